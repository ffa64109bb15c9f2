// What the map of hard facts shows in each cell: the fact, its share right
// and typical time, coloured from sure (green) through unsure (yellow) to
// hard (red); facts never asked plainly so.
#pragma once

#include <string>

#include "main/core/FactRecord.h"
#include "windows/core/GridCell.h"

namespace factmap {

inline constexpr int kRows = 10;  // heading row, tables 1-9
inline constexpr int kColumns = 10;  // heading column, multipliers 1-9

inline constexpr Rgb kHeadingFill{0, 255, 255};
inline constexpr Rgb kHeadingInk{0, 0, 128};
inline constexpr Rgb kNeverFill{245, 245, 245};

// The colour of a hardness 0..1: green, yellow at the middle, red.
Rgb hardnessColour(double hardness);
GridCell cellAt(const FactRecord& record, int row, int column);
// "2.4秒": tenths of a second, rounded.
std::string secondsText(int ms);

}  // namespace factmap
