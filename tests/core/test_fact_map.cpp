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
    EXPECT_EQ(cellAt(r, 0, 3).ink, kHeadingInk);
    EXPECT_EQ(cellAt(r, 6, 0).text, "六の段");
    EXPECT_EQ(cellAt(r, 10, 0).text, "");
    // just past the last row or column there is nothing
    for (const auto& [row, column] : {std::pair{kRows, 1}, {1, kColumns}, {-1, 1}, {1, -1}}) {
        EXPECT_EQ(cellAt(r, row, column).text, "") << row << "," << column;
        EXPECT_EQ(cellAt(r, row, column).fill, kNeverFill) << row << "," << column;
        EXPECT_NE(cellAt(r, row, column).ink, kHeadingInk) << row << "," << column;
    }
}

TEST(FactMap, ColoursRunFromGreenThroughYellowToRed) {
    const Rgb sure = hardnessColour(0), unsure = hardnessColour(0.5), hard = hardnessColour(1);
    EXPECT_GT(sure.g, sure.r);
    EXPECT_GT(unsure.r, 200);
    EXPECT_GT(unsure.g, 200);
    EXPECT_GT(hard.r, hard.g);
    EXPECT_EQ(hardnessColour(-3), sure);
    EXPECT_EQ(hardnessColour(7), hard);
    // the red half is as even as the green half: three quarters lies midway
    const Rgb threeQuarters = hardnessColour(0.75), oneQuarter = hardnessColour(0.25);
    EXPECT_NEAR(threeQuarters.r, (unsure.r + hard.r) / 2.0, 1);
    EXPECT_NEAR(threeQuarters.g, (unsure.g + hard.g) / 2.0, 1);
    EXPECT_NEAR(threeQuarters.b, (unsure.b + hard.b) / 2.0, 1);
    EXPECT_NEAR(oneQuarter.g, (sure.g + unsure.g) / 2.0, 1);
    EXPECT_NEAR(oneQuarter.b, (sure.b + unsure.b) / 2.0, 1);
    // every colour on the way is a colour a cell can have
    for (double h = 0; h <= 1.0001; h += 0.05) {
        const Rgb c = hardnessColour(h);
        for (int component : {c.r, c.g, c.b}) {
            EXPECT_GE(component, 0) << h;
            EXPECT_LE(component, 255) << h;
        }
    }
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
