// A child's history: one line for every completed key-answer test, appended
// and never rewritten. What the progress chart draws.
//
// The file is UTF-8: a heading line, then per test, separated by tabs,
//   date time (YYYY-MM-DD HH:MM:SS), range (0-12 of the range list, -1 for
//   the test of hard facts), order (0 in order, 1 random, 2 reverse),
//   passes, right, wrong, passed or timed out, typical answer time (ms)
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "main/core/FactRecord.h"

inline constexpr const char* kHistoryFileName = "kuku_rireki.txt";
inline constexpr int kHardFactsTestRange = -1;

struct HistoryEntry {
    std::string when;  // "2026-05-01 16:05:09"
    int range = 0;
    int order = 0;
    int passes = 0;
    int right = 0;
    int wrong = 0;
    int passed = 0;      // passed with G or left to time out
    int typicalMs = 0;   // median time of the right answers (of all when none is right)
    int asked() const { return right + wrong + passed; }
    bool faultless() const { return right > 0 && wrong == 0 && passed == 0; }
    std::string day() const { return when.substr(0, 10); }
    bool operator==(const HistoryEntry&) const = default;
};

// The answers that one test added to the record: the outcomes in `after`
// beyond those in `before`, per fact (at most the recent ones kept).
HistoryEntry entryOfTest(const FactRecord& before, const FactRecord& after, const std::string& when, int range,
                         int order, int passes);

std::string historyLine(const HistoryEntry& entry);

struct HistoryRead {
    std::vector<HistoryEntry> entries;
    int skipped = 0;  // damaged lines passed over; a cut last line is not counted
};
// Every good line; a cut last line (no line end) is the one being written
// and is left out.
HistoryRead historyFromText(std::string_view text);

HistoryRead loadHistoryFile(const std::string& path);
// Appends the entry's line, the heading first into a new file; a cut last
// line is closed first so that the new line stays whole. False when the
// file could not be written; then the file ends as before and *error names it.
bool appendHistoryFile(const std::string& path, const HistoryEntry& entry, std::string* error = nullptr);
// The same for several entries, in one write.
bool appendHistoryFile(const std::string& path, const std::vector<HistoryEntry>& entries, std::string* error = nullptr);
