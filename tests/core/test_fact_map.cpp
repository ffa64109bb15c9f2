#include <gtest/gtest.h>

#include "windows/core/FactMap.h"

using namespace factmap;

TEST(FactMap, CellsNameTheFactItsShareAndTimeOrSayNeverAsked) {
    FactRecord r;
    recordAnswer(r, 7 * 9 + 6, false, 3000);  // 8 x 7
    recordAnswer(r, 7 * 9 + 6, true, 2000);
    recordAnswer(r, 7 * 9 + 6, true, 2460);
    EXPECT_EQ(cellAt(r, 8, 7).text, "８×７\n67%\n2.5秒");
    EXPECT_EQ(cellAt(r, 1, 1).text, "１×１\nまだ");
    EXPECT_EQ(cellAt(r, 1, 1).fill, kNeverFill);
    EXPECT_EQ(cellAt(r, 9, 9).text, "９×９\nまだ");
    EXPECT_EQ(cellAt(r, 0, 3).text, "×３");
    EXPECT_TRUE(cellAt(r, 0, 3).heading);
    EXPECT_EQ(cellAt(r, 6, 0).text, "六の段");
    EXPECT_EQ(cellAt(r, 10, 0).text, "");
}

TEST(FactMap, ColoursRunFromGreenThroughYellowToRed) {
    const Rgb sure = hardnessColour(0), unsure = hardnessColour(0.5), hard = hardnessColour(1);
    EXPECT_GT(sure.g, sure.r);
    EXPECT_GT(unsure.r, 200);
    EXPECT_GT(unsure.g, 200);
    EXPECT_GT(hard.r, hard.g);
    EXPECT_EQ(hardnessColour(-3), sure);
    EXPECT_EQ(hardnessColour(7), hard);
    // harder is never greener
    for (double h = 0; h < 1; h += 0.05) EXPECT_GE(hardnessColour(h).g + 30, hardnessColour(h + 0.05).g) << h;
    FactRecord r;
    recordAnswer(r, 0, false, 5500);
    EXPECT_EQ(cellAt(r, 1, 1).fill, hard);
}

TEST(FactMap, SecondsAreRoundedToTenths) {
    EXPECT_EQ(secondsText(0), "0.0秒");
    EXPECT_EQ(secondsText(949), "0.9秒");
    EXPECT_EQ(secondsText(950), "1.0秒");
    EXPECT_EQ(secondsText(12345), "12.3秒");
}
