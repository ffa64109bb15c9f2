// The outcome of the last test of a level, as its results window shows it:
// both passes of every question of the level's tables, a pass or fail per
// table, a verdict and whether it may be registered.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "windows/core/ResultCommon.h"

struct StudyState;

struct LevelResult {
    static constexpr int kColumns = 10;  // heading, then tables 1-9
    static constexpr int kRows = 11;     // heading, multipliers 1-9, pass or fail

    std::string title;
    std::string cells[kColumns][kRows];
    std::vector<int> tables;  // the level's tables, in the order they are examined
    int right = 0;            // outcomes of the level's tables that are right
    int notRight = 0;         // the others, not asked included
    std::string verdict;
    bool registrable = false;
    PassCell pass;

    const std::string& cell(int column, int row) const { return cells[column][row]; }
};

// Reads the answer record in its level layout, for the level rangeIndex.
LevelResult readLevelResult(const StudyState& st);

// A level is registered without a further check: the window offers it only
// when the result allows it.
void registerLevelResult(StudyState& st, const LevelResult& result, const std::function<void()>& openQualification);
