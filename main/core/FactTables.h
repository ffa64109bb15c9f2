// Constant tables of the 81 facts and of the range and content lists.
// Fact q = (a - 1) * 9 + (b - 1) for a x b.
#pragma once

#include <array>
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
extern const std::array<std::string_view, 10> passDigits;
extern const std::array<std::string_view, 6> testKindNames;
extern const std::array<std::string_view, kSpeedCount> speedNames;

// Reading up to the product: the first 9 full-width characters (18 CP932 bytes).
inline constexpr int kPartialReadingBytes = 18;
