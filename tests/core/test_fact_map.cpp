#include <gtest/gtest.h>

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
    EXPECT_EQ(cellAt(r, 1, 1).text, "１×１\nまだ");
    EXPECT_EQ(cellAt(r, 1, 1).fill, kNeverFill);
    EXPECT_EQ(cellDetails(r, 1, 1), "まだテストで出ていません");
    EXPECT_EQ(cellAt(r, 0, 3).text, "×３");
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
}

// What the child reads agrees with the colours: the headline names red facts
// only, a cell's marks are the answers its colour reads, and a fact never
// answered right has no time a parent could take for quick.
TEST(FactMap, HeadlineMarksAndColoursTellTheSameStory) {
    struct Answer {
        int row, column;
        char kind;  // R right, W wrong, P passed
        int ms;
    };
    const auto times = [](int n, Answer a) { return std::vector<Answer>(size_t(n), a); };
    const auto join = [](std::vector<Answer> a, const std::vector<Answer>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const auto of = [](const std::vector<Answer>& list) {
        FactRecord r;
        for (const Answer& a : list) {
            const int fact = (a.row - 1) * 9 + (a.column - 1);
            if (a.kind == 'P') recordPass(r, fact);
            else recordAnswer(r, fact, a.kind == 'R', a.ms);
        }
        return r;
    };
    struct Case {
        const char* what;
        FactRecord record;
        const char* headline;
        int row, column;  // the cell looked at
        const char* child;
        const char* parent;
        Rgb fill;
        const char* details;
    } cases[] = {
        {"wrong once", of({{7, 8, 'W', 4000}}), "７×８ が にがてだよ。れんしゅうしよう！", 7, 8, "７×８\n×\n",
         "７×８\n0%\n―", kHardFill, "正解 0/1回（0%）・答えの速さ ―（制限時間 2.6秒）"},
        {"passed twice", of({{3, 4, 'P', 0}, {3, 4, 'P', 0}}), "３×４ が にがてだよ。れんしゅうしよう！", 3, 4,
         "３×４\n－－\n", "３×４\n0%\n―", kHardFill, "正解 0/2回（0%）・答えの速さ ―"},
        {"a yellow fact is not named", of({{7, 8, 'W', 4000}, {6, 7, 'W', 2000}, {6, 7, 'R', 1800}}),
         "７×８ が にがてだよ。れんしゅうしよう！", 6, 7, "６×７\n×◎\nふつう", "６×７\n50%\n1.8秒", kUnsureFill,
         "正解 1/2回（50%）・答えの速さ 1.8秒（制限時間 2.6秒）"},
        {"only yellow: said kindly", of({{9, 9, 'R', 2500}}), "にがては ないよ。きいろを れんしゅうしよう！", 9, 9,
         "９×９\n◎\nゆっくり", "９×９\n100%\n2.5秒", kUnsureFill, "正解 1/1回（100%）・答えの速さ 2.5秒（制限時間 2.6秒）"},
        {"only green", of({{2, 2, 'R', 700}}), "にがてな九九はないよ。すごいね！", 2, 2, "２×２\n◎\nはやい",
         "２×２\n100%\n0.7秒", kSureFill, "正解 1/1回（100%）・答えの速さ 0.7秒（制限時間 2.6秒）"},
        {"four red: the three hardest named",
         of({{1, 2, 'W', 900}, {5, 2, 'W', 900}, {5, 4, 'W', 900}, {5, 7, 'P', 0}, {5, 7, 'R', 900}, {8, 8, 'W', 900}}),
         "１×２・５×２・５×４ が にがてだよ。れんしゅうしよう！", 8, 8, "８×８\n×\n", "８×８\n0%\n―", kHardFill,
         "正解 0/1回（0%）・答えの速さ ―（制限時間 2.6秒）"},
        {"five right and quick after five wrong: green, as its marks say",
         of(join(times(5, {5, 4, 'W', 3000}), times(5, {5, 4, 'R', 600}))), "にがてな九九はないよ。すごいね！", 5, 4,
         "５×４\n◎◎◎◎◎\nはやい", "５×４\n100%\n0.6秒", kSureFill, "正解 5/5回（100%）・答えの速さ 0.6秒（制限時間 2.6秒）"},
        {"one wrong among the five: yellow", of(join(times(6, {5, 4, 'R', 600}), times(1, {5, 4, 'W', 600}))),
         "にがては ないよ。きいろを れんしゅうしよう！", 5, 4, "５×４\n◎◎◎◎×\nはやい", "５×４\n80%\n0.6秒", kUnsureFill,
         "正解 4/5回（80%）・答えの速さ 0.6秒（制限時間 2.6秒）"},
        {"five wrong after five right: red", of(join(times(5, {5, 4, 'R', 600}), times(5, {5, 4, 'W', 1000}))),
         "５×４ が にがてだよ。れんしゅうしよう！", 5, 4, "５×４\n×××××\n", "５×４\n0%\n―", kHardFill,
         "正解 0/5回（0%）・答えの速さ ―（制限時間 2.6秒）"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(hardFactsLine(c.record), c.headline);
        EXPECT_EQ(cellAt(c.record, c.row, c.column).text, c.child);
        EXPECT_EQ(cellAt(c.record, c.row, c.column, View::Parent).text, c.parent);
        EXPECT_EQ(cellAt(c.record, c.row, c.column).fill, c.fill);
        EXPECT_EQ(cellDetails(c.record, c.row, c.column), c.details);
    }
}
