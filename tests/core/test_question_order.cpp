#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "main/core/FactTables.h"
#include "main/core/QuestionOrder.h"

namespace {
int q(int a, int b) { return (a - 1) * 9 + (b - 1); }
}

TEST(QuestionOrder, TablesRunInRangeListOrder) {
    StudyState st;
    buildQuestionOrder(st);
    const int tables[9] = {1, 2, 5, 3, 4, 6, 8, 7, 9};
    for (int r = 0; r < 9; ++r)
        for (int m = 1; m <= 9; ++m) EXPECT_EQ(st.questionOrder[9 * r + m - 1], q(tables[r], m)) << r << "," << m;
    EXPECT_EQ(st.questionOrder[18], 36);
    EXPECT_EQ(st.questionOrder[27], 18);
    EXPECT_EQ(st.questionOrder[54], 63);
    EXPECT_EQ(st.questionOrder[63], 54);
}

TEST(QuestionOrder, ReverseTurnsEachTableButKeepsTheLevelOrder) {
    StudyState st;
    buildQuestionOrder(st);
    for (int k = 0; k < kFactCount; ++k) st.shuffleRanks[k] = k;
    reverseBlocks(st);
    for (int k = 0; k < kFactCount; ++k) ASSERT_EQ(st.shuffleRanks[k], k) << "the order's neighbour changed at " << k;
    EXPECT_EQ(st.questionOrder[0], q(1, 9));
    EXPECT_EQ(st.questionOrder[8], q(1, 1));
    EXPECT_EQ(st.questionOrder[9], q(2, 9));
    EXPECT_EQ(st.questionOrder[18], q(5, 9));
    EXPECT_EQ(st.questionOrder[80], q(9, 1));
    buildQuestionOrder(st);  // a new run starts from the plain order again
    EXPECT_EQ(st.questionOrder[0], q(1, 1));
}

TEST(QuestionOrder, RangeStretches) {
    struct Case { int range, first, end, count; };
    const Case cases[] = {{0, 0, 9, 9}, {2, 18, 27, 9}, {8, 72, 81, 9}, {9, 0, 27, 27},
                          {10, 27, 54, 27}, {11, 54, 81, 27}, {12, 0, 81, 81}};
    for (const Case& c : cases) {
        const RangeStretch s = rangeStretch(c.range);
        EXPECT_EQ(s.firstPos, c.first) << c.range;
        EXPECT_EQ(s.endPos, c.end) << c.range;
        EXPECT_EQ(s.count, c.count) << c.range;
    }
}

TEST(Shuffle, LargestDrawIsAskedFirstAndTiesGoByPosition) {
    // positions 3 and 7 share a value with four larger values drawn
    const std::vector<int> draws = {98, 90, 80, 50, 70, 10, 5, 50, 0};
    const std::vector<int> ranks = ranksFromDraws(draws);
    EXPECT_EQ(ranks[0], 0);
    EXPECT_EQ(ranks[3], 4);
    EXPECT_EQ(ranks[7], 5);
    EXPECT_EQ(ranks[8], 8);
}

TEST(Shuffle, AllEqualDrawsKeepTheirPositions) {
    const std::vector<int> ranks = ranksFromDraws(std::vector<int>(27, 42));
    for (int i = 0; i < 27; ++i) EXPECT_EQ(ranks[i], i);
}

TEST(Shuffle, AlwaysAPermutation) {
    StudyState st;
    for (int count : {9, 27, 81}) {
        for (int round = 0; round < 50; ++round) {
            shuffle(st, count);
            std::set<int> seen(st.shuffleRanks.begin(), st.shuffleRanks.begin() + count);
            ASSERT_EQ(int(seen.size()), count);
            EXPECT_EQ(*seen.begin(), 0);
            EXPECT_EQ(*seen.rbegin(), count - 1);
        }
    }
}

TEST(StudentNumber, SumsSignedCp932Bytes) {
    EXPECT_EQ(studentNumber("abc"), 294);
    EXPECT_EQ(studentNumber("くく はじめ"), 654438);
    EXPECT_EQ(studentNumber(""), 0);
    EXPECT_EQ(studentNumber(" "), 32);  // spaces count, nothing is trimmed
}

TEST(Speeds, EachSpeedSetsBothDelays) {
    StudyState st;
    const int pauses[] = {100, 200, 200, 100};
    const int limits[] = {5500, 3800, 2600, 1800};
    for (int i = 0; i < 4; ++i) {
        selectSpeed(st, i);
        EXPECT_EQ(st.stepPause, pauses[i]);
        EXPECT_EQ(st.waitLimit, limits[i]);
    }
}

TEST(RangeName, TablesLevelsAndAll) {
    StudyState st;
    const std::pair<int, const char*> cases[] = {{2, "五の段"}, {6, "八の段"}, {9, "一・二・五の段"},
                                                 {11, "八・七・九の段"}, {12, "すべての段"}};
    for (const auto& [range, name] : cases) {
        st.rangeIndex = range;
        st.currentDan = danOfRange[range];
        EXPECT_EQ(rangeName(st), name);
    }
}

TEST(FactTables, ReadingsAreSixteenFullWidthCharacters) {
    for (int i = 0; i < kFactCount; ++i) {
        EXPECT_EQ(readingTable[i].size(), 48u) << i;  // 16 three-byte UTF-8 characters
        EXPECT_EQ(productValue[i], (i / 9 + 1) * (i % 9 + 1));
    }
    EXPECT_EQ(formulaTable[11], "２×３");
    EXPECT_EQ(productTable[5], "６　");
    EXPECT_EQ(productTable[14], "１２");  // 2 x 6
}
