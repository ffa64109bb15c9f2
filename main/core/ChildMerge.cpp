#include "main/core/ChildMerge.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <charconv>
#include <map>
#include <set>

#include "main/core/Settings.h"
#include "main/core/UntrustedFiles.h"
#include "main/core/VoiceChoice.h"
#include "support/core/IniFile.h"

using namespace classfile;

namespace classfile {
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
}  // namespace classfile

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }

constexpr std::string_view kConflict = "sync-conflict-";

struct KindName {
    ChildFileName::Kind kind;
    std::string_view stem, suffix;
};
const KindName kKinds[] = {{ChildFileName::Kind::Settings, "tateyokoM15", ".ini"},
                           {ChildFileName::Kind::Record, "kuku_nigate", ".txt"},
                           {ChildFileName::Kind::History, "kuku_rireki", ".txt"},
                           {ChildFileName::Kind::Voice, "kukukoe", ".ini"}};

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
    f.savedAt = toInt64(ini.readBytes(kSection, kSavedAt, "0"));
    const std::string table = ini.readBytes("TESTDATA", "RECCHECKARRAY", "");
    f.passTableWhole = table.size() == size_t(kPassCells) &&
                       std::all_of(table.begin(), table.end(), [](char c) { return c == '0' || c == '1'; });
    if (datesFrom(ini.readBytes(kSection, kPassedAt, ""), f.marks.passedAt) &&
        datesFrom(ini.readBytes(kSection, kClearedAt, ""), f.marks.clearedAt))
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
