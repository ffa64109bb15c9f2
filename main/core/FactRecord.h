// What every judged answer of a key-answer test tells about each fact: how
// often it was asked and answered right, and the last ten outcomes with
// their answer times. Small enough to keep for ever; kept in a file of its
// own beside the settings.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kFactsRecorded = 81;
inline constexpr int kRecentOutcomes = 10;

struct FactHistory {
    int asked = 0;
    int right = 0;
    // The most recent last; at most kRecentOutcomes.
    std::vector<std::pair<bool, int>> recent;  // right?, answer time in ms
};

struct FactRecord {
    std::array<FactHistory, kFactsRecorded> facts{};
};

void recordAnswer(FactRecord& record, int q, bool right, int answerMs);
void clearRecord(FactRecord& record);
bool recordIsEmpty(const FactRecord& record);

// One fact, summarised over its recent outcomes.
struct FactSummary {
    bool asked = false;
    int sharePercent = 0;  // right among the recent outcomes
    int typicalMs = 0;     // their median answer time
    double hardness = 0;   // 0 sure and quick .. 1 always wrong
};
FactSummary summarise(const FactHistory& history);

// Facts answered wrong or slowly, hardest first; equal hardness in fact
// order. Facts never asked, and facts answered right and quickly, are not
// hard. At most count.
std::vector<int> hardestFacts(const FactRecord& record, int count);

// "７×８ が にがてだよ。れんしゅうしよう！" for the three hardest, or what
// to do when there are none.
std::string hardFactsLine(const FactRecord& record);

// The file: a heading line, then one line per fact that was ever asked.
std::string recordToText(const FactRecord& record);
// False, with the record left empty, for text that is not such a file.
bool recordFromText(FactRecord& record, std::string_view text);

inline constexpr const char* kFactRecordFileName = "kuku_nigate.txt";

// A missing or damaged file gives an empty record and no message: the record
// helps, it never stops the program.
void loadRecordFile(FactRecord& record, const std::string& path);
// Replaces the file in one step; false when it could not be written (the
// old file is then left as it was).
bool saveRecordFile(const FactRecord& record, const std::string& path);
