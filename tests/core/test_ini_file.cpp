#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <climits>
#include <csignal>
#include <fstream>
#include <iterator>

#ifdef __unix__
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "support/core/IniFile.h"
#include "tests/core/FileBytes.h"
#include "tests/core/LockedFolder.h"

namespace {

IniFile fromText(const std::string& bytes) {
    IniFile ini;
    ini.setBytes(bytes);
    return ini;
}

std::string pathIn(const QTemporaryDir& dir, const char* name) { return dir.filePath(name).toStdString(); }

QStringList entries(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

}  // namespace

TEST(ProfileInt, ReadsDecimalHexadecimalAndRejectsTheRest) {
    constexpr int D = -777;
    struct Case {
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {"0", 0}, {"12", 12}, {"-12", -12}, {"+7", 7}, {"-0", 0}, {"007", 7},
        {" 42 ", 42}, {"\t-3\t", -3},
        {"2147483647", INT_MAX}, {"-2147483648", INT_MIN},
        {"2147483648", D}, {"-2147483649", D}, {"99999999999999999999", D},
        {"0x0000FF", 255}, {"0XfF", 255}, {"0x1", 1}, {"$FF", 255}, {"$ff", 255}, {"$0", 0},
        {"0x000000000FF", 255}, {"0xFFFFFFFF", -1}, {"$80000000", INT_MIN}, {"0x100000000", D},
        // "0x" alone is too short to be hexadecimal and is no decimal either
        {"0x", D}, {"$", D}, {"0xG1", D}, {"0x-1", D}, {"$ 1", D},
        {"", D}, {"   ", D}, {"-", D}, {"+", D}, {"12abc", D}, {"abc", D}, {"1 2", D}, {"1.5", D}, {"--1", D},
    };
    for (const Case& c : cases) EXPECT_EQ(parseProfileInt(c.text, D), c.expected) << '"' << c.text << '"';
}

TEST(IniRead, NamesMatchWithoutCaseAndBlanksAroundAreDropped) {
    const IniFile ini = fromText(
        "[position]\r\n"
        "left=5\r\n"
        "  Top =  7  \r\n"
        "[ Speak ]\r\n"
        "Name= a b \r\n");
    EXPECT_EQ(ini.readInt("POSITION", "LEFT", 0), 5);
    EXPECT_EQ(ini.readInt("Position", "TOP", 0), 7);
    EXPECT_EQ(ini.readString("SPEAK", "NAME", "x"), "a b");
    EXPECT_TRUE(ini.hasKey("speak", "name"));
    EXPECT_FALSE(ini.hasKey("SPEAK", "LEFT"));  // keys belong to their own section
    EXPECT_EQ(ini.readInt("POSITION", "MISSING", 33), 33);
    EXPECT_EQ(ini.readInt("NOSECTION", "LEFT", 44), 44);
    EXPECT_EQ(ini.readString("SPEAK", "MISSING", "くく"), "くく");
}

TEST(IniRead, FirstSectionAndFirstKeyWin) {
    const IniFile ini = fromText(
        "LEFT=1\r\n"  // before any section: belongs to none
        "[A]\r\n"
        "K=2\r\n"
        "k=3\r\n"
        "[a]\r\n"
        "K=4\r\n"
        "J=5\r\n");
    EXPECT_EQ(ini.readInt("A", "K", 0), 2);
    EXPECT_EQ(ini.readInt("A", "J", 0), 0);  // the first [A] has no J
    EXPECT_FALSE(ini.hasKey("", "LEFT"));
}

TEST(IniRead, CommentsAndLinesWithoutEqualsAreNoKeys) {
    const IniFile ini = fromText("[S]\r\n;K=1\r\nK\r\n=9\r\nK=2\r\n");
    EXPECT_EQ(ini.readInt("S", "K", 0), 2);
    EXPECT_EQ(ini.readInt("S", ";K", 0), 0);
}

TEST(IniRead, OnePairOfSurroundingQuotesIsDropped) {
    IniFile ini;
    ini.setBytes("[T]\r\nA=\"x y\"\r\nB='7'\r\nC=\"\"q\"\"\r\nD=\"open\r\nE=\"a'\r\nF=\"\r\nG=\"\"\r\nH=''\r\n");
    EXPECT_EQ(ini.readString("T", "A", "-"), "x y");
    EXPECT_EQ(ini.readInt("T", "B", -1), 7);
    EXPECT_EQ(ini.readString("T", "C", "-"), "\"q\"");
    EXPECT_EQ(ini.readString("T", "D", "-"), "\"open");
    EXPECT_EQ(ini.readString("T", "E", "-"), "\"a'");
    EXPECT_EQ(ini.readString("T", "F", "-"), "\"");
    // a pair of quotes alone holds an empty value
    EXPECT_EQ(ini.readString("T", "G", "-"), "");
    EXPECT_EQ(ini.readString("T", "H", "-"), "");
}

TEST(IniRead, EmptyValueIsTextButNoInteger) {
    const IniFile ini = fromText("[S]\r\nT=\r\nI=\r\n");
    EXPECT_TRUE(ini.hasKey("S", "T"));
    EXPECT_EQ(ini.readString("S", "T", "default"), "");
    EXPECT_EQ(ini.readInt("S", "I", 61680), 61680);
}

TEST(IniRead, LfOnlyAndMixedLineEnds) {
    const IniFile ini = fromText("[S]\nA=1\r\nB=2\nC=3");  // last line without a line end
    EXPECT_EQ(ini.readInt("S", "A", 0), 1);
    EXPECT_EQ(ini.readInt("S", "B", 0), 2);
    EXPECT_EQ(ini.readInt("S", "C", 0), 3);
    EXPECT_EQ(ini.bytes(), "[S]\r\nA=1\r\nB=2\r\nC=3\r\n");
}

TEST(IniRead, TextIsDecodedFromCp932) {
    const IniFile ini = fromText("[TESTDATA]\r\nSTUDENTNAME=\x82\xAD\x82\xAD \x82\xCD\x82\xB6\x82\xDF\r\n");
    EXPECT_EQ(ini.readString("TESTDATA", "STUDENTNAME", ""), "くく はじめ");
    EXPECT_EQ(ini.readBytes("TESTDATA", "STUDENTNAME", ""), "\x82\xAD\x82\xAD \x82\xCD\x82\xB6\x82\xDF");
}

TEST(IniRead, SecondByteOfADoubleByteNameIsNotFolded) {
    // ア is 83 41 and ャ is 83 61: as ASCII their second bytes are 'A' and 'a'
    const IniFile ini = fromText("[\x83\x41]\r\n\x83\x41=1\r\n");
    EXPECT_EQ(ini.readInt("\x83\x41", "\x83\x41", 0), 1);
    EXPECT_FALSE(ini.hasKey("\x83\x61", "\x83\x41"));
    EXPECT_FALSE(ini.hasKey("\x83\x41", "\x83\x61"));
    // 余 is 97 5D: its second byte is ']' and must not end the section's name
    const IniFile margin = fromText("[\x97\x5D\x94\x92]\r\nKEY=2\r\n");
    EXPECT_EQ(margin.readInt("\x97\x5D\x94\x92", "KEY", 0), 2);
    EXPECT_FALSE(margin.hasKey("\x97", "KEY"));
}

TEST(IniRead, ValuesAreCutTo2047Bytes) {
    const std::string exact(2047, 'A');
    const std::string longer(3000, 'B');
    // a double-byte character across the limit is dropped whole
    const std::string straddling = std::string(2046, 'C') + "\x82\xA0" + "D";
    const IniFile ini = fromText("[S]\r\nE=" + exact + "\r\nL=" + longer + "\r\nX=" + straddling +
                                 "\r\nN=" + std::string(3000, '1') + "\r\n");
    EXPECT_EQ(ini.readBytes("S", "E", ""), exact);
    EXPECT_EQ(ini.readBytes("S", "L", ""), longer.substr(0, 2047));
    EXPECT_EQ(ini.readBytes("S", "X", ""), std::string(2046, 'C'));
    EXPECT_EQ(ini.readString("S", "X", ""), std::string(2046, 'C'));
    EXPECT_EQ(ini.readInt("S", "N", -5), -5);
    // the line itself is kept whole
    EXPECT_NE(ini.bytes().find(longer), std::string::npos);
}

TEST(IniRead, DamagedInputNeverCrashesAndGivesDefaults) {
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary += char((i * 37 + 11) & 0xFF);
    const std::string inputs[] = {
        "", "\r\n", "\n\n\n", "[", "[]", "[POSI", "[POSITION", "[POSITION]\r\nLEFT", "[POSITION]\r\nLEFT=",
        "[POSITION]\r\n=5", std::string("[POSITION]\r\nLEFT=1\0\0", 20), std::string(1, '\0'), binary,
        "\x82", "[\x82]\r\n\x82=\x82", "PK\x03\x04 not an ini at all",
    };
    for (const std::string& in : inputs) {
        IniFile ini = fromText(in);
        EXPECT_EQ(ini.readInt("POSITION", "TOP", 200), 200);
        (void)ini.readString("POSITION", "LEFT", "");
        (void)ini.readString("\x82", "\x82", "");
        ini.writeInt("POSITION", "TOP", 7);
        EXPECT_EQ(ini.readInt("POSITION", "TOP", 200), 7);
    }
    EXPECT_EQ(fromText("[POSITION]\r\nLEFT").readInt("POSITION", "LEFT", 200), 200);
    EXPECT_EQ(fromText("[POSITION]\r\nLEFT=").readInt("POSITION", "LEFT", 200), 200);
    EXPECT_EQ(fromText("[POSITION").readInt("POSITION", "LEFT", 200), 200);
}

TEST(IniWrite, ReplacesTheValueInPlaceAndKeepsEverythingElse) {
    const std::string before =
        "; written by hand\r\n"
        "[position]\r\n"
        "left = 5\r\n"
        "UNKNOWN=keep me\r\n"
        "\r\n"
        "[Other]\r\n"
        "LEFT=99\r\n";
    IniFile ini = fromText(before);
    ini.writeInt("POSITION", "LEFT", -12);
    ini.writeString("Other", "left", "ア");
    EXPECT_EQ(ini.bytes(),
              "; written by hand\r\n"
              "[position]\r\n"
              "left = -12\r\n"
              "UNKNOWN=keep me\r\n"
              "\r\n"
              "[Other]\r\n"
              "LEFT=\x83\x41\r\n");
}

TEST(IniWrite, MissingKeyGoesAfterTheLastKeyOfItsSection) {
    IniFile ini = fromText(
        "[A]\r\n"
        "X=1\r\n"
        "junk line\r\n"
        "\r\n"
        "; about B\r\n"
        "[B]\r\n"
        "[C]\r\n"
        "Z=3\r\n"
        "\r\n");
    ini.writeInt("a", "Y", 2);
    ini.writeInt("B", "Q", 4);
    ini.writeInt("C", "W", 5);
    EXPECT_EQ(ini.bytes(),
              "[A]\r\n"
              "X=1\r\n"
              "Y=2\r\n"
              "junk line\r\n"
              "\r\n"
              "; about B\r\n"
              "[B]\r\n"
              "Q=4\r\n"
              "[C]\r\n"
              "Z=3\r\n"
              "W=5\r\n"
              "\r\n");
}

TEST(IniWrite, MissingSectionsGoToTheEndInTheOrderWritten) {
    IniFile ini = fromText("; only a comment\n");
    ini.writeInt("ONE", "A", 1);
    ini.writeInt("TWO", "B", 2);
    ini.writeInt("ONE", "C", 3);
    ini.writeString("TWO", "EMPTY", "");
    EXPECT_EQ(ini.bytes(),
              "; only a comment\r\n"
              "[ONE]\r\n"
              "A=1\r\n"
              "C=3\r\n"
              "[TWO]\r\n"
              "B=2\r\n"
              "EMPTY=\r\n");
}

TEST(IniWrite, TextIsEncodedAndLineBreaksCannotSplitTheLine) {
    IniFile ini;
    ini.writeString("S", "NAME", "くく\r\nはじめ");
    EXPECT_EQ(ini.bytes(), "[S]\r\nNAME=\x82\xAD\x82\xAD\x82\xCD\x82\xB6\x82\xDF\r\n");
    EXPECT_EQ(ini.readString("S", "NAME", ""), "くくはじめ");
}

TEST(IniFileIo, MissingFileLoadsEmptyAndSaveCreatesIt) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = pathIn(dir, "new.ini");
    IniFile ini;
    std::string error;
    EXPECT_TRUE(ini.load(path, &error));
    EXPECT_EQ(ini.bytes(), "");
    ini.writeInt("S", "K", 1);
    ASSERT_TRUE(ini.save(path, &error)) << error;
    EXPECT_EQ(slurp(path), "[S]\r\nK=1\r\n");

    IniFile again;
    ASSERT_TRUE(again.load(path));
    EXPECT_EQ(again.readInt("S", "K", 0), 1);
    EXPECT_EQ(entries(dir), QStringList{"new.ini"});  // no temporary left behind
}

TEST(IniFileIo, LoadKeepsUnknownBytesThroughASave) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = pathIn(dir, "hand.ini");
    spit(path, "[S]\nK=1\n# \x82\xA0 odd \xFF bytes\n\nOTHER = x \n");
    IniFile ini;
    ASSERT_TRUE(ini.load(path));
    ini.writeInt("S", "K", 2);
    ASSERT_TRUE(ini.save(path));
    EXPECT_EQ(slurp(path), "[S]\r\nK=2\r\n# \x82\xA0 odd \xFF bytes\r\n\r\nOTHER = x \r\n");
}

TEST(IniFileIo, ADirectoryInPlaceOfTheFileIsReportedOnLoadAndSave) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = pathIn(dir, "taken.ini");
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.ini"));
    IniFile ini;
    std::string error;
    EXPECT_FALSE(ini.load(path, &error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
    error.clear();
    ini.writeInt("S", "K", 1);
    EXPECT_FALSE(ini.save(path, &error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_TRUE(QFileInfo(QString::fromStdString(path)).isDir());
}

TEST(IniFileIo, SaveIntoAPlaceThatCannotHoldTheFileFailsAndNamesIt) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    spit(pathIn(dir, "plainfile"), "x");
    const std::string paths[] = {
        pathIn(dir, "no/such/dir/a.ini"),  // a directory that does not exist
        pathIn(dir, "plainfile/a.ini"),    // a directory component that is a regular file
    };
    IniFile ini;
    ini.writeInt("S", "K", 1);
    for (const std::string& path : paths) {
        std::string error;
        EXPECT_FALSE(ini.save(path, &error)) << path;
        EXPECT_NE(error.find(path), std::string::npos) << error;
        EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(path)));
    }
    EXPECT_EQ(slurp(pathIn(dir, "plainfile")), "x");
}

#ifdef __unix__
// A locked folder: permission bits bind only a user who is not root; the
// test command runs these tests once more as such a user.
constexpr const char* kLockedIni = "[S]\r\nK=1\r\n; mine\r\n";

// Never written over in place, where a full disk would cut it.
TEST(IniFileIo, ALockedFolderWithAWritableFileKeepsTheOldFileAndNamesIt) {
    LockedFolder folder("a.ini", kLockedIni, true);
    if (folder.bypassed) GTEST_SKIP() << "permission bits do not bind this user";
    IniFile ini;
    ASSERT_TRUE(ini.load(folder.path));
    ini.writeInt("S", "K", 2);
    std::string error;
    EXPECT_FALSE(ini.save(folder.path, &error));
    EXPECT_NE(error.find(folder.path), std::string::npos) << error;
    EXPECT_EQ(slurp(folder.path), folder.old);
}

TEST(IniFileIo, ALockedFolderAndFileKeepTheOldFileAndNameIt) {
    LockedFolder folder("a.ini", kLockedIni, false);
    if (folder.bypassed) GTEST_SKIP() << "permission bits do not bind this user";
    IniFile ini;
    ASSERT_TRUE(ini.load(folder.path));
    ini.writeInt("S", "K", 2);
    std::string error;
    EXPECT_FALSE(ini.save(folder.path, &error));
    EXPECT_NE(error.find(folder.path), std::string::npos) << error;
    EXPECT_EQ(slurp(folder.path), folder.old);
}

TEST(IniFileIo, SaveThatFailsHalfWayLeavesTheOldFileWhole) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = pathIn(dir, "a.ini");
    const std::string old = "[S]\r\nK=1\r\n; keep this comment\r\n";
    spit(path, old);

    IniFile ini;
    ASSERT_TRUE(ini.load(path));
    for (int i = 0; i < 200; ++i) ini.writeInt("S", ("KEY" + std::to_string(i)).c_str(), i);

    // A file size limit makes the kernel refuse the write part of the way in,
    // as a full disk would; it binds root as well.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 100;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    const bool ok = ini.save(path, &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(ok);
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_EQ(slurp(path), old);
    EXPECT_EQ(entries(dir), QStringList{"a.ini"});  // the partial temporary is gone
}
#endif
