// Constant tables of the 81 facts and of the range and content lists.
// Fact q = (a - 1) * 9 + (b - 1) for a x b.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "main/core/StudyState.h"

extern const std::array<std::string_view, kFactCount> readingTable;
extern const std::array<std::string_view, kFactCount> formulaTable;
extern const std::array<std::string_view, kFactCount> productTable;
extern const std::array<int, kFactCount> productValue;

extern const std::array<std::string_view, kRangeCount> rangeNames;      // the range list
extern const std::array<std::string_view, kContentCount> contentNames;  // the content list
extern const std::array<int, kRangeCount> danOfRange;
extern const std::array<std::string_view, 13> danNames;
extern const std::array<std::string_view, 6> testKindNames;
extern const std::array<std::string_view, kSpeedCount> speedNames;

// Reading up to the product: the first 9 full-width characters (18 CP932 bytes).
inline constexpr int kPartialReadingBytes = 18;

// What a range of the list asks: one table, one of the three levels, or all
// nine tables.
enum class RangeKind { Table, Level, All, Unknown };
constexpr RangeKind rangeKind(int rangeIndex) {
    if (rangeIndex >= 0 && rangeIndex <= 8) return RangeKind::Table;
    if (rangeIndex >= 9 && rangeIndex <= 11) return RangeKind::Level;
    return rangeIndex == 12 ? RangeKind::All : RangeKind::Unknown;
}
// A test of one table shows the results by table; any other, by level.
constexpr bool isTableRange(int rangeIndex) { return rangeKind(rangeIndex) == RangeKind::Table; }

// The three levels: their place in the range list and their tables, in the
// order they are asked and examined.
struct Level {
    int rangeIndex;
    std::array<int, 3> tables;
};
inline constexpr std::array<Level, 3> kLevels{{{9, {1, 2, 5}}, {10, {3, 4, 6}}, {11, {8, 7, 9}}}};

// Half-width digits become full-width ones ("12" -> "１２"); the rest stays.
std::string toFullWidthDigits(std::string_view text);
