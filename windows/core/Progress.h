// The progress chart's numbers: a child's tests summed per day, and where
// the chart puts each day on its time axis.
#pragma once

#include <QtGlobal>
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
    // What the child's blue line shows: answers a minute at the typical time,
    // so that it rises as the child gets quicker; 0 without a time.
    double answersPerMinute() const { return typicalMs > 0 ? 60000.0 / typicalMs : 0.0; }
};

// One entry per day with a test, oldest first, whatever order the lines
// were in (clocks of a family's computers may disagree).
std::vector<DayProgress> progressByDay(const std::vector<HistoryEntry>& entries);

// "5/1", or "2025/5/1" where the days shown span more than one year.
std::string shortDay(const std::string& day, bool withYear = false);
bool spansYears(const std::vector<DayProgress>& days);

// A day on the time axis: its noon, local time, in ms since the epoch (noon,
// so that no change of the clocks moves a day into the next or the last).
qint64 dayOnAxis(const std::string& day);

// The time axis: ticks evenly spaced from `fromMs` to `toMs` that fall on
// whole days, weeks or years, so that each label names the day (or year)
// it stands on; the year in the labels where the axis crosses one.
struct TimeAxis {
    qint64 fromMs = 0;
    qint64 toMs = 0;
    int tickCount = 2;
    std::string format;  // QDateTime's format of the labels
};
// `today` ("2026-12-09") places an empty chart.
TimeAxis timeAxisFor(const std::vector<DayProgress>& days, const std::string& today);
