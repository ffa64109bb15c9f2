#include "main/core/ChildFiles.h"

#include <QFileInfo>
#include <algorithm>

#include "support/core/WholeFile.h"
#include "main/core/Settings.h"
#include "main/core/VoiceChoice.h"
#include "main/core/UntrustedFiles.h"
#include "support/core/IniFile.h"

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

using namespace classfile;

ChildFiles ChildFiles::atHome(const UserFileLocation& settings, const UserFileLocation& record) {
    ChildFiles files;
    files.kind_ = Kind::Home;
    files.settings_ = settings;
    files.record_ = record;
    return files;
}

ChildFiles ChildFiles::inClass(const std::string& classDir, const std::string& folderName,
                               const std::string& computer) {
    ChildFiles files;
    files.kind_ = Kind::Class;
    files.classDir_ = classDir;
    files.folderName_ = folderName;
    files.computer_ = computer;
    const std::string at = files.folder();
    const std::string settings = at + computerFileName(ChildFileName::Kind::Settings, computer);
    const std::string record = at + computerFileName(ChildFileName::Kind::Record, computer);
    files.settings_ = {settings, settings};
    files.record_ = {record, record};
    return files;
}

std::string ChildFiles::folder() const {
    if (kind_ == Kind::Class) return classDir_ + folderName_ + "/";
    if (kind_ == Kind::Home) return QFileInfo(q(settings_.savePath)).absolutePath().toStdString() + "/";
    return {};
}

std::string ChildFiles::historyPath() const {
    if (kind_ == Kind::None) return {};
    return folder() + (kind_ == Kind::Class ? computerFileName(ChildFileName::Kind::History, computer_)
                                            : std::string(kHistoryFileName));
}

std::string ChildFiles::voicePath() const {
    if (kind_ == Kind::Class) return folder() + computerFileName(ChildFileName::Kind::Voice, computer_);
    if (kind_ == Kind::Home) return voiceChoicePath(settings_.savePath);
    return {};
}

void ChildFiles::load(StudyState& st) {
    recordWritable_ = true;
    if (kind_ == Kind::Home) {
        loadSettings(st, settings_.loadPath);
        loadVoiceChoice(st, voiceChoicePath(settings_.loadPath));
        // A damaged record that could not be kept aside is never written over.
        recordWritable_ = loadRecordFile(st.factRecord, record_.loadPath) || record_.loadPath != record_.savePath;
        return;
    }
    const std::string name = st.studentName;
    ChildMerge m;
    if (kind_ == Kind::Class) m = readChildFolder(folder(), computer_);
    problem_ = !m.refused.empty() ? m.refused : m.unreadable;
    // What cannot be read whole is never written over: the child goes on here without saving.
    if (!problem_.empty()) {
        seen_ = st;
        return;
    }
    if (m.settingsFound) {
        IniFile ini;
        ini.setBytes(m.newestSettings);
        readSettings(st, ini);
        st.studentName = name;
    }
    // A child whose files say nothing of the voice never switched it on.
    if (m.voiceFound) voiceChoiceFromText(st, m.newestVoice);
    else if (m.settingsFound) st.voiceOn = st.testByEar = 0;
    voiceKept_ = m.voiceFound;
    passesInto(st, m.passes);
    st.factRecord = m.record;
    marks_ = m.passes;
    ownRecord_ = m.ownRecord;
    recordClearedAt_ = m.recordClearedAt;
    // This computer's damaged record is kept aside before it is written over.
    // Only the bytes read (a regular file within its bound) are copied, never what a link points at.
    if (!m.ownRecordWhole) {
        const std::string aside = record_.savePath + ".bak";
        recordWritable_ = untrusted::whyRefused(aside, false).empty() && writeWholeFile(aside, m.ownRecordBytes).empty();
    }
    seen_ = st;
}

std::string ChildFiles::whyNotWritable() const {
    if (kind_ != Kind::Class) return {};
    if (!problem_.empty()) return problem_;
    // A folder or file put in place of the child's since: never written through.
    if (!untrusted::insideFolder(classDir_, folder()))
        return "フォルダ「" + folder() + "」は リンクです（たどりません）";
    for (const std::string& path : {settings_.savePath, record_.savePath, historyPath(), voicePath()})
        if (std::string why = untrusted::whyRefused(path, false); !why.empty())
            return "ファイル「" + path + "」は " + why;
    // A share that is not mounted must not be made again as a local folder.
    if (!QFileInfo(q(classDir_)).isDir()) return "クラスのフォルダ「" + classDir_ + "」が見つかりません";
    return {};
}

namespace {
// Writing follows no link and opens no special file.
bool safeTarget(const std::string& path) { return untrusted::whyRefused(path, false).empty(); }

// One computer's settings file of a class child: the settings as at home,
// and when each pass came and went.
bool saveClassSettings(const StudyState& st, const PassMarks& marks, std::int64_t nowMs, const std::string& path,
                       std::string* error) {
    IniFile ini;
    const untrusted::FileRead read = untrusted::readFile(path, untrusted::kSettingsBound);
    if (read.status != untrusted::Status::Read && read.status != untrusted::Status::Missing) {
        if (error) *error = "ファイル「" + path + "」に書き込めません (" + read.why + ")";
        return false;
    }
    ini.setBytes(read.bytes);
    writeSettings(st, ini);
    ini.writeBytes(kSection, kSavedAt, std::to_string(nowMs));
    ini.writeBytes(kSection, kPassedAt, datesText(marks.passedAt));
    ini.writeBytes(kSection, kClearedAt, datesText(marks.clearedAt));
    return ini.save(path, error);
}
}  // namespace

bool ChildFiles::nothingToKeep(const StudyState& st) const {
    // A name only typed in passing leaves no folder behind.
    if (kind_ != Kind::Class || QFileInfo(q(folder())).isDir()) return false;
    const bool samePasses = std::equal(&st.recCheckArray[0][0], &st.recCheckArray[0][0] + kPassCells,
                                       &seen_.recCheckArray[0][0]);
    const bool sameAnswers = std::equal(st.factRecord.facts.begin(), st.factRecord.facts.end(),
                                        seen_.factRecord.facts.begin(),
                                        [](const FactHistory& a, const FactHistory& b) { return a.asked == b.asked; });
    return samePasses && sameAnswers;
}

std::string ChildFiles::saveSettings(const StudyState& st, std::int64_t nowMs) {
    // Said once when the child was opened; nothing is written there.
    if (kind_ == Kind::Class && !problem_.empty()) return {};
    if (kind_ == Kind::None || nothingToKeep(st)) return {};
    if (std::string why = whyNotWritable(); !why.empty()) return why;
    if (!prepareSavePath(settings_)) return cannotMakeFolderOf(settings_.savePath);
    std::string error;
    if (kind_ == Kind::Home) {
        if (::saveSettings(st, settings_.savePath, &error) && !saveVoiceChoice(st, voicePath()))
            error = "ファイル「" + voicePath() + "」に書き込めません";
        return error;
    }
    PassMarks marks = marks_;
    notePassChanges(marks, seen_, st, nowMs);
    if (!saveClassSettings(st, marks, nowMs, settings_.savePath, &error)) return error;
    marks_ = marks;
    std::copy(&st.recCheckArray[0][0], &st.recCheckArray[0][0] + kPassCells, &seen_.recCheckArray[0][0]);
    std::copy(&st.passRegistrations[0][0], &st.passRegistrations[0][0] + kPassCells, &seen_.passRegistrations[0][0]);
    return saveClassVoice(st, nowMs);
}

std::string ChildFiles::saveClassVoice(const StudyState& st, std::int64_t nowMs) {
    // Written only when the choice changed here, so that a program left open
    // elsewhere does not take back a choice made since; a child who never
    // switched the voice on has no such file.
    const bool on = st.voiceOn == 1 || st.testByEar == 1;
    const bool same = st.voiceOn == seen_.voiceOn && st.testByEar == seen_.testByEar;
    if (voiceKept_ ? same : !on) return {};
    const std::string path = voicePath();
    if (std::string why = untrusted::whyRefused(path, false); !why.empty())
        return "ファイル「" + path + "」は " + why;
    if (std::string failed = writeWholeFile(path, voiceChoiceText(st, nowMs)); !failed.empty()) return failed;
    voiceKept_ = true;
    seen_.voiceOn = st.voiceOn;
    seen_.testByEar = st.testByEar;
    return {};
}

std::string ChildFiles::saveRecord(const StudyState& st, std::int64_t nowMs) {
    // Said once when the child was opened; nothing is written there.
    if (kind_ == Kind::Class && !problem_.empty()) return {};
    if (kind_ == Kind::None || nothingToKeep(st)) return {};
    if (std::string why = whyNotWritable(); !why.empty()) return why;
    if (!recordWritable_) return {};
    if (!prepareSavePath(record_)) return cannotMakeFolderOf(record_.savePath);
    std::string failed;
    if (kind_ == Kind::Home) {
        saveRecordFile(st.factRecord, record_.savePath, nullptr, &failed);
        return failed;
    }
    FactRecord own = ownRecord_;
    std::int64_t clearedAt = recordClearedAt_;
    noteNewAnswers(own, &clearedAt, seen_.factRecord, st.factRecord, nowMs);
    if (!saveRecordFile(own, record_.savePath, &clearedAt, &failed)) return failed;
    ownRecord_ = own;
    recordClearedAt_ = clearedAt;
    seen_.factRecord = st.factRecord;
    return {};
}

bool ChildFiles::appendHistory(const HistoryEntry& entry) {
    // The history helps the parent; it never stops the child.
    const std::string path = historyPath();
    return !path.empty() && whyNotWritable().empty() && makeFolderOf(path) && safeTarget(path) &&
           appendHistoryFile(path, entry);
}

void ChildFiles::notePassesCleared(std::int64_t nowMs) {
    if (kind_ != Kind::Class) return;
    // Passes that arrived from other computers since the child was opened go too.
    mergeMarks(marks_, readChildFolder(folder(), computer_).passes);
    clearAllPasses(marks_, nowMs);
    for (auto& column : seen_.recCheckArray) std::fill(std::begin(column), std::end(column), 0);
}

void ChildFiles::noteRecordCleared(std::int64_t nowMs) {
    if (kind_ != Kind::Class) return;
    recordClearedAt_ = std::max(nowMs, recordClearedAt_ + 1);
    clearRecord(ownRecord_);
    clearRecord(seen_.factRecord);
}

std::vector<HistoryEntry> ChildFiles::history() const {
    if (kind_ == Kind::Class) return readChildFolder(folder(), computer_, true).history;
    if (kind_ == Kind::Home) return loadHistoryFile(historyPath()).entries;
    return {};
}
