// What every judged question of a key-answer test tells about each fact: how
// often it was asked and answered right, and the last ten outcomes with
// their answer times and the time limit they were given. Small enough to
// keep for ever; kept in a file of its own beside the settings.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kFactsRecorded = 81;
inline constexpr int kRecentOutcomes = 10;
// A fact is judged by its last five answers, the ones the map shows as
// marks: the colour reads what the child sees.
inline constexpr int kOutcomesJudged = 5;
// The limit of ふつう: what an outcome of an older record, kept without its
// limit, is judged against.
inline constexpr int kUsualLimitMs = 2600;

struct Outcome {
    // Passed: the question was passed (G) or left to time out, unanswered.
    enum class Kind : char { Right = 'R', Wrong = 'W', Passed = 'P' };
    Kind kind = Kind::Right;
    int ms = 0;       // from the question to the answer's last digit
    int limitMs = 0;  // the test's limit then; 0 where not known
    // When it was saved, ms since 1970; 0 where not known. Only a class
    // folder's files, merged from many computers, keep it.
    std::int64_t at = 0;
    bool operator==(const Outcome&) const = default;
};

struct FactHistory {
    int asked = 0;
    int right = 0;
    // The most recent last; at most kRecentOutcomes.
    std::vector<Outcome> recent;
};

struct FactRecord {
    std::array<FactHistory, kFactsRecorded> facts{};
};

void recordAnswer(FactRecord& record, int q, bool right, int answerMs, int limitMs = kUsualLimitMs);
void recordPass(FactRecord& record, int q, int limitMs = kUsualLimitMs);
void clearRecord(FactRecord& record);
// The answers of `more`, given after those of `record`, added to them.
void addAnswers(FactRecord& record, const FactRecord& more);
bool recordIsEmpty(const FactRecord& record);

// How sure a fact is, as the map colours it: あか when it is not answered
// right most of the time, at any speed; みどり only when it is answered right
// nearly every time and quickly for the limit it was given; きいろ between.
enum class Band { NotAsked, Sure, Unsure, Hard };
// The typical right answer against its limit: はやい within half of it,
// ゆっくり beyond four fifths, ふつう between; None without a right answer.
enum class Speed { None, Quick, Usual, Slow };

// One fact, summarised over its last kOutcomesJudged outcomes.
struct FactSummary {
    int outcomes = 0;      // recent outcomes counted
    int rightCount = 0;    // of them right
    int sharePercent = 0;  // right among them
    int typicalMs = 0;     // median time of the right answers (of all answers when none is right)
    int typicalLimitMs = 0;
    Speed speed = Speed::None;
    Band band = Band::NotAsked;
    bool asked() const { return outcomes > 0; }
};
FactSummary summarise(const FactHistory& history);

// The facts that are not sure (あか, then きいろ), hardest first: fewer right,
// then slower for their limit; equal ones in fact order. At most count.
std::vector<int> hardestFacts(const FactRecord& record, int count);

// "７×８ が にがてだよ。れんしゅうしよう！" for the three hardest of the
// red (あか) facts only, as the legend names them; else what to do.
std::string hardFactsLine(const FactRecord& record);

// The file: a heading line, then one line per fact that was ever asked.
// With clearedAt (a class folder's file), the outcomes carry their dates and
// the file when the record was last cleared.
std::string recordToText(const FactRecord& record, const std::int64_t* clearedAt = nullptr);
// Reads every good line of such a text, CRLF line ends and a UTF-8 BOM
// allowed, and passes over the others. Returns false when anything was
// passed over (a bad line, a cut last line, no heading): the text was not
// read whole.
bool recordFromText(FactRecord& record, std::string_view text, std::int64_t* clearedAt = nullptr);

inline constexpr const char* kFactRecordFileName = "kuku_nigate.txt";

// A missing file gives an empty record. A file that cannot be read whole
// gives its good lines, and is kept aside as path + ".bak" (the newest
// such file) before anything can write over it: returns false when it could
// not be kept aside, and then the file must not be written over. No message:
// the record helps, it never stops the program.
bool loadRecordFile(FactRecord& record, const std::string& path, std::int64_t* clearedAt = nullptr);
// Replaces the file in one step; false when it could not be written (the
// old file is then left as it was, and *error names the file).
bool saveRecordFile(const FactRecord& record, const std::string& path, const std::int64_t* clearedAt = nullptr,
                    std::string* error = nullptr);
