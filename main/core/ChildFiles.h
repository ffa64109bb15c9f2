// A child's files: where each one is, whether it may be written, and what
// the child has when many computers keep files for them.
//
// At home a child has one settings file, one record and one history. In a
// class folder every computer writes only files of its own, named by its id
// (tateyokoM15.<id>.ini, kuku_nigate.<id>.txt, kuku_rireki.<id>.txt and,
// once the voice was switched on, kukukoe.<id>.ini), so a
// sync engine never sees two writers of one file; the child is the merge of
// them all. Files written before computers had their own (tateyokoM15.ini…)
// and a sync engine's conflict copies are read as more computers' files.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "main/core/FactRecord.h"
#include "main/core/History.h"
#include "main/core/StudyState.h"
#include "main/core/UserFiles.h"

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

// The stable id of this computer, kept in familyDir (ending in '/'): made
// once from the computer's name and a random part; a folder that cannot be
// written gives an id made from the computer alone.
inline constexpr const char* kComputerIdFile = "kuku_computer.txt";
std::string computerIdIn(const std::string& familyDir);
// The computer's name as an id begins: lower-case letters, digits and '-'
// only (a dot would end it in a file name), at most 16; "pc" when none is left.
std::string idOfHost(const std::string& hostName);

class ChildFiles {
public:
    // No child (a class computer before a name is typed): nothing to read or write.
    ChildFiles() = default;
    // A child at home: one file of each kind, found by the usual folder rule.
    static ChildFiles atHome(const UserFileLocation& settings, const UserFileLocation& record);
    // A child of the class folder classDir (ending in '/').
    static ChildFiles inClass(const std::string& classDir, const std::string& folderName,
                              const std::string& computer);

    bool none() const { return kind_ == Kind::None; }
    bool classChild() const { return kind_ == Kind::Class; }
    const std::string& folderName() const { return folderName_; }
    // The folder of the child's files, ending in '/'.
    std::string folder() const;

    // Reads the child into st. A class child without files keeps st's
    // options and starts with no passes or answers.
    void load(StudyState& st);
    // Why the child's files cannot be used, found by the last load, in
    // words for the adult; the child's program says so once and writes nothing.
    const std::string& problem() const { return problem_; }
    // Empty when the files may be written now; else why not, naming the folder.
    std::string whyNotWritable() const;
    // Each returns an empty text, or what went wrong, naming the file.
    std::string saveSettings(const StudyState& st, std::int64_t nowMs);
    std::string saveRecord(const StudyState& st, std::int64_t nowMs);
    bool appendHistory(const HistoryEntry& entry);
    std::vector<HistoryEntry> history() const;
    // 成績クリア: the next save removes every pass registered before now,
    // those of other computers too.
    void notePassesCleared(std::int64_t nowMs);
    // The record cleared: the next save removes every answer given before now.
    void noteRecordCleared(std::int64_t nowMs);

    // The files this computer writes.
    std::string settingsPath() const { return settings_.savePath; }
    std::string recordPath() const { return record_.savePath; }
    std::string historyPath() const;
    std::string voicePath() const;

private:
    bool nothingToKeep(const StudyState& st) const;
    std::string saveClassVoice(const StudyState& st, std::int64_t nowMs);
    enum class Kind { None, Home, Class };
    Kind kind_ = Kind::None;
    UserFileLocation settings_;
    UserFileLocation record_;
    std::string classDir_;
    std::string folderName_;
    std::string computer_;
    bool recordWritable_ = true;
    std::string problem_;
    // A class child: what was read or last saved, so that a save adds only
    // what changed here.
    StudyState seen_;
    PassMarks marks_;
    FactRecord ownRecord_;
    std::int64_t recordClearedAt_ = 0;
    bool voiceKept_ = false;  // a voice choice of the child's is in the folder
};
