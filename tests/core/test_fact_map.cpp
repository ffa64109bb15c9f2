#include <gtest/gtest.h>

#include <limits>

#include "windows/core/FactMap.h"

using namespace factmap;

// A child reads marks and a word; the parent reads the numbers.
TEST(FactMap, CellsShowMarksAndASpeedWordToTheChildAndNumbersToTheParent) {
    FactRecord r;
    const int q87 = 7 * 9 + 6;  // 8 x 7
    recordAnswer(r, q87, false, 3000);
    recordPass(r, q87);
    recordAnswer(r, q87, true, 2000);
    recordAnswer(r, q87, true, 2460);
    EXPECT_EQ(cellAt(r, 8, 7).text, "８×７\n×－◎◎\nゆっくり");
    EXPECT_EQ(cellAt(r, 8, 7, View::Parent).text, "８×７\n50%\n2.2秒");
    EXPECT_EQ(cellAt(r, 8, 7).fill, kUnsureFill);
    EXPECT_EQ(cellDetails(r, 8, 7), "正解 2/4回（50%）・答えの速さ 2.2秒（制限時間 2.6秒）");
    for (int i = 0; i < 5; ++i) recordAnswer(r, q87, true, 600);
    EXPECT_EQ(cellAt(r, 8, 7).text, "８×７\n◎◎◎◎◎\nはやい");  // the last five; the median of the right ones
    EXPECT_EQ(cellAt(r, 8, 7).fill, kSureFill);  // the colour reads the marks shown
    // Never right: no time a parent could take for quick; passes tell no limit.
    recordPass(r, 3);
    recordAnswer(r, 3, false, 900);
    recordPass(r, 4);
    EXPECT_EQ(cellAt(r, 1, 4, View::Parent).text, "１×４\n0%\n―");
    EXPECT_EQ(cellDetails(r, 1, 4), "正解 0/2回（0%）・答えの速さ ―（制限時間 2.6秒）");
    EXPECT_EQ(cellDetails(r, 1, 5), "正解 0/1回（0%）・答えの速さ ―");
    EXPECT_EQ(cellAt(r, 1, 1).text, "１×１\nまだ");
    EXPECT_EQ(cellAt(r, 1, 1).fill, kNeverFill);
    EXPECT_EQ(cellDetails(r, 1, 1), "まだテストで出ていません");
    EXPECT_EQ(cellAt(r, 0, 3).text, "×３");
    EXPECT_EQ(cellAt(r, 0, 1).text, "×１");  // the first and last headings too
    EXPECT_EQ(cellAt(r, 0, kColumns - 1).text, "×９");
    EXPECT_EQ(cellAt(r, 1, 0).text, "一の段");
    EXPECT_EQ(cellAt(r, 0, 3).ink, kHeadingInk);
    EXPECT_EQ(cellAt(r, 6, 0).text, "六の段");
    EXPECT_EQ(cellDetails(r, 0, 3), "");
    // just past the last row or column there is nothing
    for (const auto& [row, column] : {std::pair{kRows, 1}, {1, kColumns}, {-1, 1}, {1, -1}, {kRows, 0}}) {
        EXPECT_EQ(cellAt(r, row, column).text, "") << row << "," << column;
        EXPECT_EQ(cellAt(r, row, column).fill, kNeverFill) << row << "," << column;
        EXPECT_NE(cellAt(r, row, column).ink, kHeadingInk) << row << "," << column;
    }
}

TEST(FactMap, EachBandHasTheColourItsLegendNames) {
    FactRecord r;
    recordAnswer(r, 0, false, 900, 1800);  // 1 x 1, wrong
    for (int i = 0; i < 3; ++i) recordAnswer(r, 1, true, 500, 2600);  // 1 x 2, right and quick
    recordAnswer(r, 2, true, 2500, 2600);  // 1 x 3, right but slow
    EXPECT_EQ(cellAt(r, 1, 1).fill, kHardFill);
    EXPECT_EQ(cellAt(r, 1, 2).fill, kSureFill);
    EXPECT_EQ(cellAt(r, 1, 3).fill, kUnsureFill);
    EXPECT_GT(kSureFill.g, kSureFill.r);   // みどり
    EXPECT_GT(kHardFill.r, kHardFill.g);   // あか
    EXPECT_GT(kUnsureFill.g, kUnsureFill.b);  // きいろ
}

TEST(FactMap, SecondsAreRoundedToTenths) {
    EXPECT_EQ(secondsText(0), "0.0秒");
    EXPECT_EQ(secondsText(949), "0.9秒");
    EXPECT_EQ(secondsText(950), "1.0秒");
    EXPECT_EQ(secondsText(12345), "12.3秒");
    EXPECT_EQ(secondsText(-1), "0.0秒");
    EXPECT_EQ(secondsText(std::numeric_limits<int>::max()), "10000.0秒");  // no overflow
}
