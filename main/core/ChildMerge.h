// A class child's folder, merged: every computer writes only files of its
// own (tateyokoM15.<id>.ini, kuku_nigate.<id>.txt, kuku_rireki.<id>.txt,
// kukukoe.<id>.ini), and the child is the union of them all. Files written
// before computers had their own, and a sync engine's conflict copies, are
// read as more computers' files.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "main/core/FactRecord.h"
#include "main/core/History.h"
#include "main/core/StudyState.h"

inline constexpr int kPassCells = kRecCols * kRecRows;

// When each pass was registered and last removed, in ms since 1970; 0 for
// never. A pass stands while it was registered after its last removal, so a
// clear on one computer removes only the passes registered before it.
struct PassMarks {
    std::array<std::int64_t, kPassCells> passedAt{};
    std::array<std::int64_t, kPassCells> clearedAt{};
    bool passed(int cell) const { return passedAt[size_t(cell)] > clearedAt[size_t(cell)]; }
};
// Every pass registered up to nowMs is removed.
void clearAllPasses(PassMarks& marks, std::int64_t nowMs);
// What two computers know together: the later date of each mark.
void mergeMarks(PassMarks& into, const PassMarks& other);
// Notes the passes that st gained or lost since `seen`, dated after every
// mark known, so that they count on every computer whatever its clock.
void notePassChanges(PassMarks& marks, const StudyState& seen, const StudyState& st, std::int64_t nowMs);
void passesInto(StudyState& st, const PassMarks& marks);

// The answers that st's record gained since `seen` are added to `own` (this
// computer's answers), dated nowMs; a record that lost answers was cleared:
// own starts again, and *clearedAt is dated.
void noteNewAnswers(FactRecord& own, std::int64_t* clearedAt, const FactRecord& seen, const FactRecord& st,
                    std::int64_t nowMs);

// Which of a child's files a name in their class folder is.
struct ChildFileName {
    enum class Kind { None, Settings, Record, History, Voice };
    Kind kind = Kind::None;
    std::string computer;  // empty: written before computers had files of their own
};
ChildFileName childFileName(const std::string& fileName);
std::string computerFileName(ChildFileName::Kind kind, const std::string& computer);

// The child in a class folder, merged from every computer's files.
struct ChildMerge {
    bool settingsFound = false;
    bool passTableWhole = true;   // the newest settings file's pass table reads whole
    std::string newestSettings;   // the bytes of the newest save: options and name
    PassMarks passes;
    bool recordFound = false;
    bool recordWhole = true;
    FactRecord record;             // every computer's answers since the last clear
    std::int64_t recordClearedAt = 0;
    FactRecord ownRecord;          // this computer's answers since then
    bool ownRecordWhole = true;
    std::vector<HistoryEntry> history;  // every computer's lines, once each, oldest first
    bool voiceFound = false;
    std::string newestVoice;       // the bytes of the newest voice choice saved
    // The folder, or a file of it, is a link, a special file or over its
    // bound: nothing of the child is used or written. Empty when none.
    std::string refused;
    std::string unreadable;  // a file the system will not let us read, and why
    bool arriving = false;   // a record or history whose last line is still being copied in
    std::string ownRecordBytes;  // this computer's record as read, for its copy aside
};
// folder ends in '/'; computer is this computer's id (may be empty). The
// histories, the largest files, are read only when asked for.
ChildMerge readChildFolder(const std::string& folder, const std::string& computer = {}, bool withHistory = false);

// The section of a class child's settings file that dates the passes.
namespace classfile {
inline constexpr char kSection[] = "KUKUCLASS";
inline constexpr char kSavedAt[] = "SAVEDAT";
inline constexpr char kPassedAt[] = "PASSEDAT";
inline constexpr char kClearedAt[] = "CLEAREDAT";
std::string datesText(const std::array<std::int64_t, kPassCells>& dates);
std::int64_t toInt64(std::string_view s);
}  // namespace classfile
