// Cells of the multiplication table window.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "main/core/FactTables.h"
#include "main/core/StudyState.h"
#include "windows/core/DanTable.h"

using dantable::cellAt;

namespace {

const Rgb kYellow{255, 255, 0}, kBlack{0, 0, 0}, kGrey{128, 128, 128};
const Rgb kBlue{0, 0, 255}, kRed{255, 0, 0}, kWhite{255, 255, 255};

StudyState opened(int refFromContent, int rangeIndex) {
    StudyState st;
    st.refFromContent = refFromContent;
    st.rangeIndex = rangeIndex;
    return st;
}

// One character per column, 1 to 9: 'B' blue, 'R' red, '-' grey. Every
// cell of a column must agree, and the heading must match the column.
std::string columnPattern(const StudyState& st) {
    std::string pattern;
    for (int column = 0; column < dantable::kColumns; ++column) {
        const Rgb fill = cellAt(st, 1, column).fill;
        pattern += fill == kBlue ? 'B' : fill == kRed ? 'R' : fill == kGrey ? '-' : '?';
        for (int row = 1; row < dantable::kRows; ++row) {
            EXPECT_EQ(cellAt(st, row, column).fill, fill) << "row " << row << " column " << column;
            EXPECT_EQ(cellAt(st, row, column).ink, kWhite) << "row " << row << " column " << column;
        }
        const GridCell heading = cellAt(st, 0, column);
        const bool lit = fill != kGrey;
        EXPECT_EQ(heading.fill, lit ? kYellow : kGrey) << "heading of column " << column;
        EXPECT_EQ(heading.ink, lit ? kBlack : kBlue) << "heading of column " << column;
    }
    return pattern;
}

}  // namespace

TEST(DanTableColours, FullTableFromTheMenuLightsEveryColumnWhateverTheRange) {
    for (int range : {0, 2, 10, 12}) EXPECT_EQ(columnPattern(opened(0, range)), "BRBRBRBRB") << "range " << range;
}

TEST(DanTableColours, ReferenceContentLightsTheChosenLevel) {
    EXPECT_EQ(columnPattern(opened(1, 9)), "BR--B----");   // 初級
    EXPECT_EQ(columnPattern(opened(1, 10)), "--BR-R---");  // 中級
    EXPECT_EQ(columnPattern(opened(1, 11)), "------BRB");  // 上級
    EXPECT_EQ(columnPattern(opened(1, 12)), "BRBRBRBRB");  // 全段
}

TEST(DanTableColours, ReferenceContentLightsOnlyTheChosenTable) {
    EXPECT_EQ(columnPattern(opened(1, 2)), "----B----");  // 五の段
    // Every single-table entry of the range list lights the one column
    // whose heading carries the entry's name.
    for (int range = 0; range < 9; ++range) {
        const StudyState st = opened(1, range);
        int lit = 0;
        for (int column = 0; column < dantable::kColumns; ++column) {
            if (cellAt(st, 0, column).fill != kYellow) continue;
            ++lit;
            EXPECT_EQ(cellAt(st, 0, column).text, rangeNames[size_t(range)]);
        }
        EXPECT_EQ(lit, 1) << "range " << range;
    }
}

TEST(DanTableColours, RangeOutsideTheListLightsNothing) {
    EXPECT_EQ(columnPattern(opened(1, -1)), "---------");
    EXPECT_EQ(columnPattern(opened(1, 13)), "---------");
}

TEST(DanTableTexts, HeadingsNameTheirTable) {
    const StudyState st = opened(0, 0);
    EXPECT_EQ(cellAt(st, 0, 0).text, "一の段");
    EXPECT_EQ(cellAt(st, 0, 4).text, "五の段");
    EXPECT_EQ(cellAt(st, 0, 8).text, "九の段");
}

TEST(DanTableTexts, ThreeLinesWithoutPaddingSpaces) {
    const StudyState st = opened(0, 0);
    // formula = product (one-digit products keep their trailing space),
    // the reading up to the product, the product's reading.
    EXPECT_EQ(cellAt(st, 1, 0).text, "１×１＝１　\nいん・いち・が\nいち");
    EXPECT_EQ(cellAt(st, 3, 2).text, "３×３＝９　\nさ・ざん・が\nく");
    EXPECT_EQ(cellAt(st, 3, 1).text, "２×３＝６　\nに・さん・が\nろく");
    EXPECT_EQ(cellAt(st, 9, 8).text, "９×９＝８１\nく・く\nはちじゅういち");
}

TEST(DanTableTexts, RowIsTheMultiplierAndColumnTheTable) {
    const StudyState st = opened(0, 0);
    EXPECT_EQ(cellAt(st, 2, 6).text.substr(0, cellAt(st, 2, 6).text.find('\n')), "７×２＝１４");
    EXPECT_EQ(cellAt(st, 7, 1).text.substr(0, cellAt(st, 7, 1).text.find('\n')), "２×７＝１４");
    // Readings never keep a padding space, and always have three lines.
    for (int column = 0; column < dantable::kColumns; ++column)
        for (int row = 1; row < dantable::kRows; ++row) {
            const std::string text = cellAt(st, row, column).text;
            const std::string readings = text.substr(text.find('\n'));
            EXPECT_EQ(readings.find("　"), std::string::npos) << text;
            EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2) << text;
            EXPECT_NE(text.back(), '\n') << text;
        }
}
