#include "main/core/ChildFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSysInfo>
#include <algorithm>
#include <charconv>
#include <map>
#include <set>

#include "support/core/WholeFile.h"
#include "main/core/Settings.h"
#include "main/core/TestRecord.h"
#include "main/core/VoiceChoice.h"
#include "main/core/UntrustedFiles.h"
#include "support/core/IniFile.h"

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }

constexpr std::string_view kConflict = "sync-conflict-";
// Our own section of a class folder's settings file.
constexpr char kClassSection[] = "KUKUCLASS";
constexpr char kSavedAt[] = "SAVEDAT";
constexpr char kPassedAt[] = "PASSEDAT";
constexpr char kClearedAt[] = "CLEAREDAT";

struct KindName {
    ChildFileName::Kind kind;
    std::string_view stem, suffix;
};
const KindName kKinds[] = {{ChildFileName::Kind::Settings, "tateyokoM15", ".ini"},
                           {ChildFileName::Kind::Record, "kuku_nigate", ".txt"},
                           {ChildFileName::Kind::History, "kuku_rireki", ".txt"},
                           {ChildFileName::Kind::Voice, "kukukoe", ".ini"}};

bool readBounded(const QString& path, qint64 most, std::string& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray data = file.read(most);
    bytes.assign(data.constData(), size_t(data.size()));
    return true;
}

std::int64_t toInt64(std::string_view s) {
    std::int64_t v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && end == s.data() + s.size() && v >= 0 ? v : 0;
}

std::string datesText(const std::array<std::int64_t, kPassCells>& dates) {
    std::string out;
    for (std::int64_t d : dates) out += (out.empty() ? "" : ",") + std::to_string(d);
    return out;
}

bool datesFrom(std::string_view text, std::array<std::int64_t, kPassCells>& dates) {
    size_t cell = 0;
    while (cell < dates.size()) {
        const size_t comma = text.find(',');
        dates[cell++] = toInt64(text.substr(0, comma));
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return cell == dates.size();
}

int cellOf(int column, int row) { return column * kRecRows + row; }

// One settings file of the child's folder.
struct SettingsFile {
    std::int64_t savedAt = 0;
    PassMarks marks;
    bool passTableWhole = false;
};

SettingsFile readSettingsFile(const std::string& bytes) {
    IniFile ini;
    ini.setBytes(bytes);
    SettingsFile f;
    f.savedAt = toInt64(ini.readBytes(kClassSection, kSavedAt, "0"));
    const std::string table = ini.readBytes("TESTDATA", "RECCHECKARRAY", "");
    f.passTableWhole = table.size() == size_t(kPassCells) &&
                       std::all_of(table.begin(), table.end(), [](char c) { return c == '0' || c == '1'; });
    if (datesFrom(ini.readBytes(kClassSection, kPassedAt, ""), f.marks.passedAt) &&
        datesFrom(ini.readBytes(kClassSection, kClearedAt, ""), f.marks.clearedAt))
        return f;
    // A file of one computer from before dates: its passes are older than any clear.
    f.marks = {};
    StudyState st;
    readSettings(st, ini);
    for (int c = 0; c < kRecCols; ++c)
        for (int r = 0; r < kRecRows; ++r)
            if (st.recCheckArray[c][r] != 0) f.marks.passedAt[size_t(cellOf(c, r))] = 1;
    return f;
}

// The answers of one computer given after `since`; a file cleared at or
// after it holds only such answers already.
FactHistory answersAfter(const FactHistory& h, std::int64_t since, std::int64_t fileClearedAt) {
    if (fileClearedAt >= since) return h;
    FactHistory out;
    for (const Outcome& o : h.recent)
        if (o.at > since) {
            out.recent.push_back(o);
            ++out.asked;
            if (o.kind == Outcome::Kind::Right) ++out.right;
        }
    return out;
}

// Nowhere to keep an id of our own: the computer's, the same at every start.
std::string fallbackId(const std::string& host) {
    const QByteArray unique = QSysInfo::machineUniqueId().toHex().left(8);
    return host + "-" + (unique.isEmpty() ? std::string("0") : unique.toStdString());
}

struct RecordGroup {
    FactRecord record;
    std::int64_t clearedAt = 0;
};
}  // namespace

void mergeMarks(PassMarks& into, const PassMarks& other) {
    for (size_t i = 0; i < size_t(kPassCells); ++i) {
        into.passedAt[i] = std::max(into.passedAt[i], other.passedAt[i]);
        into.clearedAt[i] = std::max(into.clearedAt[i], other.clearedAt[i]);
    }
}

void notePassChanges(PassMarks& marks, const StudyState& seen, const StudyState& st, std::int64_t nowMs) {
    for (int c = 0; c < kRecCols; ++c)
        for (int r = 0; r < kRecRows; ++r) {
            const size_t i = size_t(cellOf(c, r));
            const bool was = seen.recCheckArray[c][r] != 0, is = st.recCheckArray[c][r] != 0;
            const bool earnedAgain = st.passRegistrations[c][r] != seen.passRegistrations[c][r];
            const std::int64_t after = std::max({nowMs, marks.passedAt[i] + 1, marks.clearedAt[i] + 1});
            if (is && (!was || earnedAgain)) marks.passedAt[i] = after;
            if (was && !is) marks.clearedAt[i] = after;
        }
}

void clearAllPasses(PassMarks& marks, std::int64_t nowMs) {
    for (size_t i = 0; i < size_t(kPassCells); ++i)
        marks.clearedAt[i] = std::max({nowMs, marks.passedAt[i] + 1, marks.clearedAt[i]});
}

void passesInto(StudyState& st, const PassMarks& marks) {
    for (int c = 0; c < kRecCols; ++c)
        for (int r = 0; r < kRecRows; ++r) st.recCheckArray[c][r] = marks.passed(cellOf(c, r)) ? 1 : 0;
}

void noteNewAnswers(FactRecord& own, std::int64_t* clearedAt, const FactRecord& seen, const FactRecord& st,
                    std::int64_t nowMs) {
    const bool cleared = std::any_of(st.facts.begin(), st.facts.end(), [&](const FactHistory& h) {
        return h.asked < seen.facts[size_t(&h - st.facts.data())].asked;
    });
    const FactRecord none;
    const FactRecord& before = cleared ? none : seen;
    if (cleared) {
        clearRecord(own);
        *clearedAt = std::max(nowMs, *clearedAt + 1);
    }
    const std::int64_t stamp = std::max(nowMs, *clearedAt + 1);
    for (size_t q = 0; q < size_t(kFactsRecorded); ++q) {
        const FactHistory& now = st.facts[q];
        const int added = now.asked - before.facts[q].asked;
        if (added <= 0) continue;
        FactHistory& mine = own.facts[q];
        mine.asked += added;
        mine.right += std::clamp(now.right - before.facts[q].right, 0, added);
        const size_t n = std::min(size_t(added), now.recent.size());
        for (auto o = now.recent.end() - ptrdiff_t(n); o != now.recent.end(); ++o) {
            Outcome dated = *o;
            if (dated.at == 0) dated.at = stamp;
            mine.recent.push_back(dated);
        }
        if (mine.recent.size() > size_t(kRecentOutcomes))
            mine.recent.erase(mine.recent.begin(), mine.recent.end() - kRecentOutcomes);
        mine.right = std::min(mine.right, mine.asked);
    }
}

ChildFileName childFileName(const std::string& fileName) {
    const std::string_view name = fileName;
    for (const KindName& k : kKinds) {
        if (name.size() < k.stem.size() + k.suffix.size() || name.substr(0, k.stem.size()) != k.stem ||
            name.substr(name.size() - k.suffix.size()) != k.suffix)
            continue;
        std::string_view middle = name.substr(k.stem.size(), name.size() - k.stem.size() - k.suffix.size());
        if (middle.empty()) return {k.kind, {}};
        if (middle.front() != '.') continue;
        middle.remove_prefix(1);
        // A conflict copy is the file it copies: NAME.sync-conflict-….EXT
        if (const size_t at = middle.find(kConflict); at != std::string_view::npos) {
            if (at == 0) return {k.kind, {}};
            if (middle[at - 1] != '.') continue;
            middle = middle.substr(0, at - 1);
        }
        if (middle.empty() || middle.find('.') != std::string_view::npos) continue;
        return {k.kind, std::string(middle)};
    }
    return {};
}

std::string computerFileName(ChildFileName::Kind kind, const std::string& computer) {
    for (const KindName& k : kKinds)
        if (k.kind == kind)
            return std::string(k.stem) + (computer.empty() ? "" : "." + computer) + std::string(k.suffix);
    return {};
}

ChildMerge readChildFolder(const std::string& folder, const std::string& computer, bool withHistory) {
    ChildMerge m;
    // A child's folder that is a link is another place: nothing in it is ours.
    if (std::string why = untrusted::whyRefused(folder.substr(0, folder.size() - 1), true); !why.empty()) {
        m.refused = why;
        return m;
    }
    const QDir dir(q(folder));
    std::int64_t newest = -1, newestVoice = -1;
    std::map<std::string, RecordGroup> groups;
    std::set<std::string> lines;
    // Settings first, then records: a program saves its settings before
    // its record, so the answers read are never older than the passes.
    // Links and special files are listed too, so that they are told, not skipped.
    std::vector<std::pair<ChildFileName, QString>> files;
    for (const QString& entry :
         dir.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name))
        if (ChildFileName which = childFileName(entry.toStdString()); which.kind != ChildFileName::Kind::None)
            files.emplace_back(std::move(which), dir.filePath(entry));
    std::stable_sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return a.first.kind < b.first.kind; });
    for (const auto& [which, path] : files) {
        using untrusted::Status;
        const bool history = which.kind == ChildFileName::Kind::History;
        // A history not asked for is only looked at, never read: a link or special file is still told.
        if (history && !withHistory) {
            if (std::string why = untrusted::whyRefused(path.toStdString(), false); !why.empty() && m.refused.empty())
                m.refused = QFileInfo(path).fileName().toStdString() + "：" + why;
            continue;
        }
        const bool record = which.kind == ChildFileName::Kind::Record;
        const untrusted::FileRead read = untrusted::readFile(
            path.toStdString(),
            which.kind == ChildFileName::Kind::Settings ? untrusted::kSettingsBound
            : history                                   ? untrusted::kHistoryTail
            : record                                    ? untrusted::kRecordBound
                                                        : untrusted::kVoiceChoiceBound,
            history, history || record);
        const std::string named = QFileInfo(path).fileName().toStdString() + "：" + read.why;
        if (read.status == Status::Refused || read.status == Status::TooLarge) {
            if (m.refused.empty()) m.refused = named;
            continue;
        }
        if (read.status == Status::Unreadable) {
            if (m.unreadable.empty()) m.unreadable = named;
            if (record) m.recordWhole = false;
            continue;
        }
        if (read.status != Status::Read) continue;
        const std::string& bytes = read.bytes;
        switch (which.kind) {
        case ChildFileName::Kind::None: break;
        case ChildFileName::Kind::Settings: {
            const SettingsFile f = readSettingsFile(bytes);
            m.settingsFound = true;
            mergeMarks(m.passes, f.marks);
            if (f.savedAt > newest) {
                newest = f.savedAt;
                m.newestSettings = bytes;
                m.passTableWhole = f.passTableWhole;
            }
            break;
        }
        case ChildFileName::Kind::Record: {
            m.recordFound = true;
            m.arriving = m.arriving || read.cutLine;
            const bool own = which.computer == computer && !computer.empty();
            if (own) m.ownRecordBytes = bytes;
            // A record still being copied in counts only for the lines it has.
            if (bytes.empty() && read.cutLine) break;
            FactRecord one;
            std::int64_t cleared = 0;
            // Every save writes a heading: an empty record is one still being copied in.
            const bool whole = !bytes.empty() && recordFromText(one, bytes, &cleared);
            m.recordWhole = m.recordWhole && whole;
            if (own) m.ownRecordWhole = m.ownRecordWhole && whole && !read.cutLine;
            // Copies of one computer's file: the fullest of each fact, never both.
            RecordGroup& g = groups[which.computer];
            g.clearedAt = std::max(g.clearedAt, cleared);
            for (size_t f = 0; f < size_t(kFactsRecorded); ++f)
                if (one.facts[f].asked > g.record.facts[f].asked) g.record.facts[f] = one.facts[f];
            break;
        }
        case ChildFileName::Kind::History:
            m.arriving = m.arriving || read.cutLine;
            for (HistoryEntry& e : historyFromText(bytes).entries)
                if (lines.insert(historyLine(e)).second) m.history.push_back(std::move(e));
            break;
        case ChildFileName::Kind::Voice:
            // Like the options, the choice of the newest save; a file with no date is the oldest.
            if (const std::int64_t at = voiceChoiceSavedAt(bytes); at > newestVoice) {
                newestVoice = at;
                m.newestVoice = bytes;
            }
            m.voiceFound = true;
            break;
        }
    }
    std::stable_sort(m.history.begin(), m.history.end(),
                     [](const HistoryEntry& a, const HistoryEntry& b) { return a.when < b.when; });
    for (const auto& [id, g] : groups) m.recordClearedAt = std::max(m.recordClearedAt, g.clearedAt);
    for (size_t f = 0; f < size_t(kFactsRecorded); ++f) {
        FactHistory& merged = m.record.facts[f];
        for (const auto& [id, g] : groups) {
            const FactHistory h = answersAfter(g.record.facts[f], m.recordClearedAt, g.clearedAt);
            merged.asked += h.asked;
            merged.right += h.right;
            merged.recent.insert(merged.recent.end(), h.recent.begin(), h.recent.end());
            if (id == computer && !computer.empty()) m.ownRecord.facts[f] = h;
        }
        std::stable_sort(merged.recent.begin(), merged.recent.end(),
                         [](const Outcome& a, const Outcome& b) { return a.at < b.at; });
        if (merged.recent.size() > size_t(kRecentOutcomes))
            merged.recent.erase(merged.recent.begin(), merged.recent.end() - kRecentOutcomes);
    }
    return m;
}

std::string idOfHost(const std::string& hostName) {
    std::string host;
    for (char c : QString::fromStdString(hostName).toLower().toStdString())
        if (host.size() < 16 && ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-')) host += c;
    return host.empty() ? "pc" : host;
}

std::string computerIdIn(const std::string& familyDir) {
    const std::string host = idOfHost(QSysInfo::machineHostName().toStdString());
    const QString path = q(familyDir + kComputerIdFile);
    std::string id;
    if (readBounded(path, 64, id)) {
        id = QString::fromStdString(id).trimmed().toStdString();
        // A program folder that several computers share keeps the first one's id: not ours.
        if (id.rfind(host + "-", 0) == 0 &&
            id.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-") == std::string::npos)
            return id;
        if (!id.empty()) return fallbackId(host);
    }
    const QString made = QString::number(QRandomGenerator::system()->generate(), 16).rightJustified(8, u'0');
    id = host + "-" + made.toStdString();
    if (QDir().mkpath(q(familyDir)) && writeWholeFile(familyDir + kComputerIdFile, id + "\n").empty()) return id;
    return fallbackId(host);
}

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
    ini.writeBytes(kClassSection, kSavedAt, std::to_string(nowMs));
    ini.writeBytes(kClassSection, kPassedAt, datesText(marks.passedAt));
    ini.writeBytes(kClassSection, kClearedAt, datesText(marks.clearedAt));
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
