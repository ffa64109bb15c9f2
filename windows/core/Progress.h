// The progress chart's numbers: a child's tests summed per day.
#pragma once

#include <string>
#include <vector>

#include "main/core/History.h"

struct DayProgress {
    std::string day;  // "2026-05-01"
    int tests = 0;
    long long right = 0;  // a history may be long: sums do not overflow
    long long asked = 0;
    int fullMarks = 0;   // tests without a wrong or passed answer: each may earn a pass
    int typicalMs = 0;   // the median of the day's typical answer times; 0 without an answer
    int sharePercent() const { return asked > 0 ? int((right * 100 + asked / 2) / asked) : 0; }
};

// One entry per day with a test, oldest first, whatever order the lines
// were in (clocks of a family's computers may disagree).
std::vector<DayProgress> progressByDay(const std::vector<HistoryEntry>& entries);

// "5/1" for the chart's axis.
std::string shortDay(const std::string& day);
