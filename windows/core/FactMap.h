// What the map of hard facts shows in each cell. For the child: the fact,
// its last answers as marks (◎ right, × wrong, － not answered) and how
// quick the right ones were (はやい・ふつう・ゆっくり), on the colour of its
// band (みどり とくい, きいろ もう少し, あか にがて). For the parent: the share
// right and the typical time, in the cell's description and in the parent's
// view of the map.
#pragma once

#include <string>

#include "main/core/FactRecord.h"
#include "windows/core/GridCell.h"

namespace factmap {

inline constexpr int kRows = 10;  // heading row, tables 1-9
inline constexpr int kColumns = 10;  // heading column, multipliers 1-9
inline constexpr int kMarksShown = kOutcomesJudged;

inline constexpr Rgb kHeadingFill{0, 255, 255};
inline constexpr Rgb kHeadingInk{0, 0, 128};
inline constexpr Rgb kNeverFill{245, 245, 245};
inline constexpr Rgb kSureFill{110, 210, 110};
inline constexpr Rgb kUnsureFill{255, 225, 60};
inline constexpr Rgb kHardFill{245, 100, 90};

Rgb bandColour(Band band);

enum class View { Child, Parent };
GridCell cellAt(const FactRecord& record, int row, int column, View view = View::Child);
// What a parent reads about a cell (its tooltip and accessible description):
// "正解 8/10回（80%）・答えの速さ 1.4秒（制限時間 2.6秒）".
std::string cellDetails(const FactRecord& record, int row, int column);

// "2.4秒": tenths of a second, rounded.
std::string secondsText(int ms);
// ◎, × and － for the last answers, oldest first.
std::string marksText(const FactHistory& history, int count);
std::string speedWord(Speed speed);

}  // namespace factmap
