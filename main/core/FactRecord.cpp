#include "main/core/FactRecord.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <ranges>
#include <sstream>

#include <QFile>

#include "main/core/FactTables.h"
#include "support/core/WholeFile.h"
#include "main/core/Median.h"

namespace {

constexpr char kHeading[] = "tateyokom fact record 2";
// A class folder's record: dated outcomes, and when it was cleared.
constexpr char kDatedHeading[] = "tateyokom fact record 3";
constexpr std::string_view kClearedLine = "cleared ";
// Older records kept outcomes without their limit.
constexpr char kFirstHeading[] = "tateyokom fact record 1";
// Bounds of what a record can honestly hold; a line beyond them is damaged.
constexpr int kMostAsked = 10'000'000;
constexpr int kLongestMs = 600'000;
constexpr int kLongestLimitMs = 60'000;
// Nearly every time, and within these shares of the limit.
constexpr int kSurePercent = 90;
constexpr int kHardBelowPercent = 50;
constexpr double kQuickShare = 0.5;
constexpr double kSlowShare = 0.8;

bool validFact(int q) { return q >= 0 && q < kFactsRecorded; }

bool readInt(std::string_view& text, int* value, int most) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value);
    if (ec != std::errc() || *value < 0 || *value > most) return false;
    text.remove_prefix(size_t(end - text.data()));
    return true;
}

void skipBlanks(std::string_view& text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
}

// "R1234/2600", "W900/1800", "P/2600"; older records "R1234", "W900".
bool readOutcome(std::string_view& line, Outcome* o) {
    const char mark = line.front();
    if (mark != 'R' && mark != 'W' && mark != 'P') return false;
    o->kind = Outcome::Kind(mark);
    line.remove_prefix(1);
    o->ms = 0;
    if (mark != 'P' && !readInt(line, &o->ms, kLongestMs)) return false;
    o->limitMs = 0;
    if (!line.empty() && line.front() == '/') {
        line.remove_prefix(1);
        if (!readInt(line, &o->limitMs, kLongestLimitMs)) return false;
    }
    o->at = 0;
    if (!line.empty() && line.front() == '@') {
        line.remove_prefix(1);
        const auto [end, ec] = std::from_chars(line.data(), line.data() + line.size(), o->at);
        if (ec != std::errc() || o->at < 0) return false;
        line.remove_prefix(size_t(end - line.data()));
    }
    return mark != 'P' || o->limitMs > 0;
}

// One fact's line; false for a line that is not whole and sound.
bool parseLine(FactRecord& record, std::string_view line) {
    int q = 0, asked = 0, right = 0;
    if (!readInt(line, &q, kFactsRecorded - 1)) return false;
    skipBlanks(line);
    if (!readInt(line, &asked, kMostAsked)) return false;
    skipBlanks(line);
    if (!readInt(line, &right, asked)) return false;
    FactHistory history{asked, right, {}};
    for (skipBlanks(line); !line.empty(); skipBlanks(line)) {
        Outcome o;
        if (!readOutcome(line, &o) || (!line.empty() && line.front() != ' ')) return false;
        history.recent.push_back(o);
    }
    if (int(history.recent.size()) > kRecentOutcomes || int(history.recent.size()) > asked) return false;
    record.facts[size_t(q)] = std::move(history);
    return true;
}

void addOutcome(FactRecord& record, int q, Outcome o) {
    if (!validFact(q)) return;
    FactHistory& h = record.facts[size_t(q)];
    ++h.asked;
    if (o.kind == Outcome::Kind::Right) ++h.right;
    h.recent.push_back(o);
    if (int(h.recent.size()) > kRecentOutcomes) h.recent.erase(h.recent.begin());
}

// Fewer right first, then slower for the limit.
double slowness(const FactSummary& s) {
    return s.typicalLimitMs > 0 ? double(s.typicalMs) / s.typicalLimitMs : 1.0;
}

}  // namespace

void recordAnswer(FactRecord& record, int q, bool right, int answerMs, int limitMs) {
    addOutcome(record, q,
               {right ? Outcome::Kind::Right : Outcome::Kind::Wrong, std::clamp(answerMs, 0, kLongestMs),
                std::clamp(limitMs, 0, kLongestLimitMs)});
}

void recordPass(FactRecord& record, int q, int limitMs) {
    addOutcome(record, q, {Outcome::Kind::Passed, 0, std::clamp(limitMs, 1, kLongestLimitMs)});
}

void clearRecord(FactRecord& record) { record = FactRecord{}; }

void addAnswers(FactRecord& record, const FactRecord& more) {
    for (size_t q = 0; q < size_t(kFactsRecorded); ++q) {
        FactHistory& h = record.facts[q];
        const FactHistory& m = more.facts[q];
        h.asked += m.asked;
        h.right += m.right;
        h.recent.insert(h.recent.end(), m.recent.begin(), m.recent.end());
        if (int(h.recent.size()) > kRecentOutcomes) h.recent.erase(h.recent.begin(), h.recent.end() - kRecentOutcomes);
    }
}

bool recordIsEmpty(const FactRecord& record) {
    return std::all_of(record.facts.begin(), record.facts.end(), [](const FactHistory& h) { return h.asked == 0; });
}

FactSummary summarise(const FactHistory& history) {
    FactSummary s;
    const auto judged = history.recent.end() - std::min<std::ptrdiff_t>(kOutcomesJudged, std::ssize(history.recent));
    s.outcomes = int(history.recent.end() - judged);
    if (s.outcomes == 0) return s;
    // The right answers when there are any, else every answer: counted
    // first, so that only the times that count are gathered.
    s.rightCount = int(std::count_if(judged, history.recent.end(),
                                     [](const Outcome& o) { return o.kind == Outcome::Kind::Right; }));
    s.sharePercent = (s.rightCount * 100 + s.outcomes / 2) / s.outcomes;
    const bool anyRight = s.rightCount > 0;
    std::vector<int> times, limits;
    times.reserve(s.outcomes);
    limits.reserve(s.outcomes);
    for (auto it = judged; it != history.recent.end(); ++it) {
        const Outcome& o = *it;
        if (anyRight ? o.kind != Outcome::Kind::Right : o.kind == Outcome::Kind::Passed) continue;
        times.push_back(o.ms);
        limits.push_back(o.limitMs > 0 ? o.limitMs : kUsualLimitMs);
    }
    s.typicalMs = median(std::move(times));
    s.typicalLimitMs = median(std::move(limits));
    if (anyRight) {
        const double share = slowness(s);
        s.speed = share <= kQuickShare ? Speed::Quick : share <= kSlowShare ? Speed::Usual : Speed::Slow;
    }
    if (s.rightCount * 100 < kHardBelowPercent * s.outcomes) s.band = Band::Hard;
    else if (s.rightCount * 100 >= kSurePercent * s.outcomes && s.speed == Speed::Quick) s.band = Band::Sure;
    else s.band = Band::Unsure;
    return s;
}

std::vector<int> hardestFacts(const FactRecord& record, int count) {
    struct Hard {
        FactSummary s;
        int q;
    };
    std::vector<Hard> hard;
    for (int q = 0; q < kFactsRecorded; ++q) {
        const FactSummary s = summarise(record.facts[size_t(q)]);
        if (s.band == Band::Hard || s.band == Band::Unsure) hard.push_back({s, q});
    }
    std::stable_sort(hard.begin(), hard.end(), [](const Hard& a, const Hard& b) {
        if (a.s.band != b.s.band) return a.s.band == Band::Hard;
        // shares compared as fractions, without rounding
        const std::int64_t ra = std::int64_t(a.s.rightCount) * b.s.outcomes, rb = std::int64_t(b.s.rightCount) * a.s.outcomes;
        if (ra != rb) return ra < rb;
        return slowness(a.s) > slowness(b.s);
    });
    std::vector<int> out;
    for (const Hard& h : hard) {
        if (int(out.size()) >= count) break;
        out.push_back(h.q);
    }
    return out;
}

std::string hardFactsLine(const FactRecord& record) {
    if (recordIsEmpty(record)) return "テストをすると，にがてな九九がわかるよ。";
    std::string names;
    int named = 0;
    for (int q : hardestFacts(record, kFactsRecorded)) {
        if (named == 3 || summarise(record.facts[size_t(q)]).band != Band::Hard) break;
        names += (names.empty() ? "" : "・") + std::string(formulaTable[size_t(q)]);
        ++named;
    }
    if (names.empty())
        return hardestFacts(record, 1).empty() ? "にがてな九九はないよ。すごいね！"
                                               : "にがては ないよ。きいろを れんしゅうしよう！";
    return names + " が にがてだよ。れんしゅうしよう！";
}

std::string recordToText(const FactRecord& record, const std::int64_t* clearedAt) {
    std::ostringstream out;
    out << (clearedAt ? kDatedHeading : kHeading) << '\n';
    if (clearedAt && *clearedAt > 0) out << kClearedLine << *clearedAt << '\n';
    for (int q = 0; q < kFactsRecorded; ++q) {
        const FactHistory& h = record.facts[size_t(q)];
        if (h.asked == 0) continue;
        out << q << ' ' << h.asked << ' ' << h.right;
        for (const Outcome& o : h.recent) {
            out << ' ' << char(o.kind);
            if (o.kind != Outcome::Kind::Passed) out << o.ms;
            if (o.limitMs > 0) out << '/' << o.limitMs;
            if (clearedAt && o.at > 0) out << '@' << o.at;
        }
        out << '\n';
    }
    return out.str();
}

bool recordFromText(FactRecord& record, std::string_view text, std::int64_t* clearedAt) {
    clearRecord(record);
    if (clearedAt) *clearedAt = 0;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    bool whole = true, first = true;
    while (!text.empty()) {
        const size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (first) {
            first = false;
            if (line == kHeading || line == kFirstHeading || line == kDatedHeading) continue;
            whole = false;  // not headed as a record: its lines may still be ours
        }
        if (line.substr(0, kClearedLine.size()) == kClearedLine) {
            std::int64_t at = 0;
            const std::string_view n = line.substr(kClearedLine.size());
            const auto [end, ec] = std::from_chars(n.data(), n.data() + n.size(), at);
            if (ec != std::errc() || end != n.data() + n.size() || at < 0) whole = false;
            else if (clearedAt) *clearedAt = at;
            continue;
        }
        if (!line.empty() && !parseLine(record, line)) whole = false;
    }
    return whole;
}

bool loadRecordFile(FactRecord& record, const std::string& path, std::int64_t* clearedAt) {
    clearRecord(record);
    if (clearedAt) *clearedAt = 0;
    QFile file(QString::fromStdString(path));
    if (!file.exists()) return true;
    // A record has 81 short lines; what is far larger is read in part.
    constexpr qint64 kLargest = 64 * 1024;
    bool whole = file.open(QIODevice::ReadOnly) && file.size() <= kLargest;
    if (file.isOpen()) {
        const QByteArray bytes = file.read(kLargest);
        whole = recordFromText(record, std::string_view(bytes.constData(), size_t(bytes.size())), clearedAt) && whole;
        file.close();
    }
    if (whole) return true;
    const QString aside = QString::fromStdString(path) + QStringLiteral(".bak");
    QFile::remove(aside);
    return QFile::copy(QString::fromStdString(path), aside);
}

bool saveRecordFile(const FactRecord& record, const std::string& path, const std::int64_t* clearedAt,
                    std::string* error) {
    const std::string failed = writeWholeFile(path, recordToText(record, clearedAt));
    if (error) *error = failed;
    return failed.empty();
}
