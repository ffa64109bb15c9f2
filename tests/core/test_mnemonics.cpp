#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <string>
#include <vector>

#include "main/core/StudyState.h"
#include "support/core/Codec.h"
#include "support/core/Mnemonics.h"

namespace {

// Writes the UTF-8 text as CP932 bytes, the way the shipped file is stored.
std::string writeCsv(const QTemporaryDir& dir, const std::string& utf8) {
    const QString path = dir.filePath(kMnemonicFileName);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    const std::string bytes = codec::toCp932(utf8);
    f.write(bytes.data(), qint64(bytes.size()));
    return path.toStdString();
}

std::string lines(const std::vector<std::string>& ls, const char* eol = "\r\n") {
    std::string s;
    for (const auto& l : ls) s += l + eol;
    return s;
}

std::string hint(int a, int b) { return "h" + std::to_string(a) + "x" + std::to_string(b); }

}  // namespace

TEST(Mnemonics, HeadingAndEightyOneHintsFillTheTableExactly) {
    QTemporaryDir dir;
    std::vector<std::string> ls{"九九,ごろあわせ"};
    for (int a = 1; a <= 9; ++a)
        for (int b = 1; b <= 9; ++b) ls.push_back(std::to_string(a) + "x" + std::to_string(b) + "," + hint(a, b));
    StudyState st;
    ASSERT_TRUE(loadMnemonics(st.mnemonicTable, writeCsv(dir, lines(ls))));
    EXPECT_EQ(st.mnemonicTable[0], "ごろあわせ\n");  // CR LF comes back as one line feed
    for (int a = 1; a <= 9; ++a)
        for (int b = 1; b <= 9; ++b)
            EXPECT_EQ(st.mnemonicTable[size_t((a - 1) * 9 + b)], hint(a, b) + "\n") << a << "x" << b;
}

// Each case: the file's lines (LF ends) and the slots they should fill.
struct PieceCase {
    const char* name;
    std::vector<std::string> fileLines;
    std::vector<std::string> expected;
};

class MnemonicPieces : public ::testing::TestWithParam<PieceCase> {};

TEST_P(MnemonicPieces, FillSlotsInFileOrder) {
    const PieceCase& c = GetParam();
    QTemporaryDir dir;
    StudyState st;
    ASSERT_TRUE(loadMnemonics(st.mnemonicTable, writeCsv(dir, lines(c.fileLines, "\n"))));
    for (size_t i = 0; i < c.expected.size(); ++i) EXPECT_EQ(st.mnemonicTable[i], c.expected[i]) << "slot " << i;
    for (size_t i = c.expected.size(); i < st.mnemonicTable.size(); ++i)
        EXPECT_EQ(st.mnemonicTable[i], "") << "slot " << i;
}

const std::string a40(40, 'a');
const std::string b48(48, 'b');  // "1x," and these: 51 bytes
const std::string c47(47, 'c');  // "1x," and these: 50 bytes
const std::string kana48 = [] {
    std::string s;
    for (int i = 0; i < 48; ++i) s += "ｱ";
    return s;
}();

INSTANTIATE_TEST_SUITE_P(
    Cases, MnemonicPieces,
    ::testing::Values(
        PieceCase{"CommentLinesTakeNoSlot",
                  {"head,H", "/ slash comment", "* star comment", ",empty first column", "1x1,いんいちがいち"},
                  {"H\n", "いんいちがいち\n"}},
        PieceCase{"EmptyLineTakesASlot", {"head,H", "", "1x1,one", "1x2,two"}, {"H\n", "\n", "one\n", "two\n"}},
        PieceCase{"LaterCommasAreKept", {"head,H", "1x1,a,b,c"}, {"H\n", "a,b,c\n"}},
        PieceCase{"NoCommaKeepsTheWholeLine", {"heading", "いんいち"}, {"heading\n", "いんいち\n"}},
        // 59 bytes and the line feed: 52 bytes, then the last 8.
        PieceCase{"SixtyByteLineBecomesTwoEntries",
                  {"1x1," + a40 + "xxxxxxxx" + "1234567"},
                  {a40 + "xxxxxxxx", "1234567\n"}},
        PieceCase{"SecondPieceDropsItsOwnFirstColumn",
                  {"1x1," + a40 + "xxxxxxxx" + "12,4567"},
                  {a40 + "xxxxxxxx", "4567\n"}},
        PieceCase{"SecondPieceStartingWithACommaIsSkipped",
                  {"1x1," + a40 + "xxxxxxxx" + ",234567", "next,N"},
                  {a40 + "xxxxxxxx", "N\n"}},
        // A 52-byte line leaves its lone line feed as an entry of its own.
        PieceCase{"FiftyTwoByteLineLeavesItsLineFeed", {"1x1," + std::string(48, 'z'), "1x2,two"},
                  {std::string(48, 'z'), "\n", "two\n"}},
        // 51 bytes with a double-byte character last still read whole.
        PieceCase{"FiftyOneByteLineWithWideEndIsWhole", {"1x1," + std::string(45, 'w') + "九"},
                  {std::string(45, 'w') + "九\n"}},
        // "九" would take bytes 52 and 53: the piece ends before it.
        PieceCase{"WideCharacterAtByte52IsNotSplit", {"1x," + b48 + "九九", "1x2,two"},
                  {b48, "九九\n", "two\n"}},
        PieceCase{"WideCharacterEndingAtByte52StaysInFirstPiece", {"1x," + c47 + "九九"},
                  {c47 + "九", "九\n"}},
        // Half-width kana are one byte each: the cut stays at 52.
        PieceCase{"HalfWidthKanaAreSingleBytes", {"1x," + kana48 + "ｲｳ"}, {kana48 + "ｲ", "ｳ\n"}}),
    [](const ::testing::TestParamInfo<PieceCase>& info) { return std::string(info.param.name); });

TEST(Mnemonics, LastLineWithoutLineFeedIsStoredWithoutOne) {
    QTemporaryDir dir;
    StudyState st;
    ASSERT_TRUE(loadMnemonics(st.mnemonicTable, writeCsv(dir, "head,H\r\n1x1,last")));
    EXPECT_EQ(st.mnemonicTable[1], "last");
}

TEST(Mnemonics, ReadingStopsAfterSlot81) {
    QTemporaryDir dir;
    std::vector<std::string> ls;
    for (int i = 0; i < 90; ++i) ls.push_back("k," + std::to_string(i));
    StudyState st;
    ASSERT_TRUE(loadMnemonics(st.mnemonicTable, writeCsv(dir, lines(ls))));
    EXPECT_EQ(st.mnemonicTable[0], "0\n");
    EXPECT_EQ(st.mnemonicTable[81], "81\n");
}

TEST(Mnemonics, MissingFileLeavesTheTableEmpty) {
    QTemporaryDir dir;
    StudyState st;
    EXPECT_FALSE(loadMnemonics(st.mnemonicTable, dir.filePath("kuku_goro.csv").toStdString()));
    for (const auto& slot : st.mnemonicTable) EXPECT_TRUE(slot.empty());
    EXPECT_STREQ(kMnemonicMissingText, "九九語呂合わせ<kuku_goro.csv>ファイルがありません。");
    EXPECT_STREQ(kMnemonicMissingCaption, "ご確認！");
}
