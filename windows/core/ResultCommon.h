// What both results windows share: the marks of the answer record and the
// pass they register.
#pragma once

#include <functional>
#include <string_view>

struct StudyState;

// "◎" right, "×" not right, "－" not asked.
std::string_view markOf(int outcome);

// The cell of the pass table that a faultless test registers.
struct PassCell {
    int column = 0;  // 1 in order, 2 at random
    int row = 0;     // passRowOf(rangeIndex)
};
// Taken when a results window opens: the window registers the test it shows
// even if the qualification window later changes the selections.
PassCell passCellOf(const StudyState& st);

// Marks the pass and opens the qualification window (when one is given).
void registerTested(StudyState& st, PassCell cell, const std::function<void()>& openQualification);
