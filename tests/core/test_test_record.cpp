#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>

#include "main/core/QuestionOrder.h"
#include "main/core/TestRecord.h"

namespace {

int q(int dan, int m) { return (dan - 1) * 9 + (m - 1); }

StudyState clearedAt(int rangeIndex) {
    StudyState st;
    st.rangeIndex = rangeIndex;
    clearKekka(st);
    return st;
}

std::set<int> rowsTouched(const StudyState& st) {
    std::set<int> rows;
    for (int r = 0; r < kKekkaRows; ++r)
        for (int c = 0; c < kKekkaCols; ++c)
            if (st.kekkaArray[r][c] != 2) rows.insert(r);
    return rows;
}

std::set<std::pair<int, int>> passedCells(const StudyState& st) {
    std::set<std::pair<int, int>> cells;
    for (int c = 0; c < kRecCols; ++c)
        for (int r = 0; r < kRecRows; ++r)
            if (st.recCheckArray[c][r] != 0) cells.insert({c + 1, r + 1});
    return cells;
}

}  // namespace

TEST(SetKekka, TableTestUsesOneRowPerPass) {
    StudyState st = clearedAt(2);  // 五の段
    for (int pass = 1; pass <= 3; ++pass)
        for (int m = 1; m <= 9; ++m) setKekka(st, pass, q(5, m), (m + pass) % 2);
    for (int pass = 1; pass <= 3; ++pass)
        for (int m = 1; m <= 9; ++m) EXPECT_EQ(st.kekkaArray[pass - 1][m - 1], (m + pass) % 2) << pass << "x" << m;
    EXPECT_EQ(rowsTouched(st), (std::set<int>{0, 1, 2}));
}

TEST(SetKekka, AbandonedTableTestLeavesTheRestNotAsked) {
    StudyState st = clearedAt(0);
    for (int m = 1; m <= 9; ++m) setKekka(st, 1, q(1, m), 1);
    for (int m = 9; m >= 6; --m) setKekka(st, 2, q(1, m), 0);  // reverse order, stopped after four
    for (int m = 1; m <= 9; ++m) {
        EXPECT_EQ(st.kekkaArray[0][m - 1], 1);
        EXPECT_EQ(st.kekkaArray[1][m - 1], m >= 6 ? 0 : 2);
        EXPECT_EQ(st.kekkaArray[2][m - 1], 2);
    }
}

TEST(SetKekka, AnyNonZeroAnswerCountsAsRight) {
    StudyState st = clearedAt(8);
    setKekka(st, 1, q(9, 1), 7);
    setKekka(st, 1, q(9, 2), -1);
    setKekka(st, 1, q(9, 3), 0);
    EXPECT_EQ(st.kekkaArray[0][0], 1);
    EXPECT_EQ(st.kekkaArray[0][1], 1);
    EXPECT_EQ(st.kekkaArray[0][2], 0);
}

TEST(SetKekka, LevelTestRowIsPassTimesNinePlusTable) {
    for (int range = 9; range <= 12; ++range)
        for (int pass = 1; pass <= 2; ++pass)
            for (int d = 1; d <= 9; ++d)
                for (int m = 1; m <= 9; ++m) {
                    StudyState st = clearedAt(range);
                    setKekka(st, pass, q(d, m), 1);
                    EXPECT_EQ(st.kekkaArray[(pass - 1) * 9 + d - 1][m - 1], 1)
                        << "range " << range << " pass " << pass << " " << d << "x" << m;
                    EXPECT_EQ(rowsTouched(st).size(), 1u);
                }
}

TEST(SetKekka, ShokyuWritesOnlyTheRowsOfTables125) {
    StudyState st = clearedAt(9);
    for (int pass = 1; pass <= 2; ++pass)
        for (int d : {1, 2, 5})
            for (int m = 1; m <= 9; ++m) setKekka(st, pass, q(d, m), 0);
    EXPECT_EQ(rowsTouched(st), (std::set<int>{0, 1, 4, 9, 10, 13}));
    for (int c = 0; c < kKekkaCols; ++c) EXPECT_EQ(st.kekkaArray[13][c], 0);
}

TEST(SetKekka, CellsOutsideTheRecordAreIgnored) {
    struct Case {
        int range, pass, question;
    };
    const Case cases[] = {
        {0, 1, -1}, {0, 1, 81}, {0, 0, 0}, {0, -3, 4}, {0, 19, 0},  // table test rows run out at 18
        {12, 3, 0}, {12, 2, 81}, {9, 0, 40},                         // a level has room for two passes
        {13, 1, 0}, {-1, 1, 0},                                      // no such range
    };
    for (const Case& c : cases) {
        StudyState st = clearedAt(c.range);
        setKekka(st, c.pass, c.question, 1);
        EXPECT_TRUE(rowsTouched(st).empty()) << c.range << "/" << c.pass << "/" << c.question;
    }
}

TEST(PassRow, EveryRangeHasItsRow) {
    const int expected[kRangeCount] = {1, 2, 5, 3, 4, 6, 8, 7, 9, 10, 11, 12, 13};
    for (int r = 0; r < kRangeCount; ++r) EXPECT_EQ(passRowOf(r), expected[r]) << r;
    EXPECT_EQ(passRowOf(2), 5);   // 五の段, not its index plus one
    EXPECT_EQ(passRowOf(12), 13); // 全段
    EXPECT_EQ(passRowOf(-1), 0);
    EXPECT_EQ(passRowOf(13), 0);
}

TEST(RegisterPass, SetsTheFlagAndAsksForTheRangeCertificate) {
    StudyState st;
    st.certKind = 1;
    int opened = 0;
    registerPass(st, 1, passRowOf(2), [&] {  // 五の段 in order
        ++opened;
        EXPECT_EQ(st.recCheckArray[0][4], 1);  // the window sees the new pass
    });
    registerPass(st, 2, passRowOf(12));  // 全段 at random
    registerPass(st, 2, passRowOf(0));   // 一の段 at random: the first row
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(passedCells(st), (std::set<std::pair<int, int>>{{1, 5}, {2, 13}, {2, 1}}));
    EXPECT_EQ(st.certKind, -1);

    StudyState other;
    for (const auto& [col, row] : {std::pair{0, 1}, {5, 1}, {1, 0}, {1, 15}, {-1, -1}}) {
        registerPass(other, col, row);
        EXPECT_TRUE(passedCells(other).empty()) << col << "," << row;
    }
}

TEST(RecCheckText, FromTextReadsOneCharacterPerFlagColumnByColumn) {
    struct Case {
        std::string text;
        std::set<std::pair<int, int>> passed;
    };
    const std::string twenty = "10000000000001" "100001";
    const Case cases[] = {
        {"", {}},
        {"00000000000000", {}},
        {"1", {{1, 1}}},
        {"1a1", {{1, 1}, {1, 3}}},
        {"1" + std::string(55, '0'), {{1, 1}}},
        {twenty, {{1, 1}, {1, 14}, {2, 1}, {2, 6}}},
        {std::string(56, '0') + "111", {}},
        {std::string(55, '0') + "1" + "1", {{4, 14}}},
        {"- 1", {{1, 3}}},
    };
    for (const Case& c : cases) {
        StudyState st;
        for (auto& col : st.recCheckArray)
            for (int& f : col) f = 1;  // everything is replaced, not merged
        recCheckFromText(st, c.text);
        EXPECT_EQ(passedCells(st), c.passed) << '"' << c.text << '"';
    }
}

TEST(RecCheckText, FromTextKeepsTheDigitValue) {
    StudyState st;
    recCheckFromText(st, "0129");
    EXPECT_EQ(st.recCheckArray[0][0], 0);
    EXPECT_EQ(st.recCheckArray[0][1], 1);
    EXPECT_EQ(st.recCheckArray[0][2], 2);
    EXPECT_EQ(st.recCheckArray[0][3], 9);
    // a text longer than the table writes nothing beside it
    st.certKind = -1;
    recCheckFromText(st, std::string(56, '0') + "7777");
    EXPECT_EQ(st.certKind, -1);
    EXPECT_EQ(st.recCheckArray[3][13], 0);
}

TEST(RecCheckText, ToTextIsAlways56CharactersAndRoundTrips) {
    StudyState st;
    EXPECT_EQ(recCheckToText(st), std::string(56, '0'));

    st.recCheckArray[0][0] = 1;
    st.recCheckArray[0][13] = 1;
    st.recCheckArray[1][4] = 1;
    st.recCheckArray[3][13] = 1;
    const std::string text = recCheckToText(st);
    EXPECT_EQ(text, "10000000000001" "00001000000000" "00000000000000" "00000000000001");
    StudyState back;
    recCheckFromText(back, text);
    EXPECT_EQ(passedCells(back), passedCells(st));

    // flags the program never sets must not shift the positions after them
    StudyState odd;
    odd.recCheckArray[0][0] = 10;
    odd.recCheckArray[0][1] = -1;
    odd.recCheckArray[2][0] = 7;
    const std::string oddText = recCheckToText(odd);
    ASSERT_EQ(oddText.size(), 56u);
    EXPECT_EQ(oddText.substr(0, 3), "110");
    EXPECT_EQ(oddText[28], '1');
    EXPECT_EQ(std::count(oddText.begin(), oddText.end(), '1'), 3);
}
