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

#include "main/core/ChildMerge.h"
#include "main/core/UserFiles.h"

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
