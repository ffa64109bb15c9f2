#include "main/core/FactRecord.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <sstream>

#include <QFile>
#include <QSaveFile>

#include "main/core/FactTables.h"
#include "main/core/Median.h"

namespace {

constexpr char kHeading[] = "tateyokom fact record 2";
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

bool recordIsEmpty(const FactRecord& record) {
    return std::all_of(record.facts.begin(), record.facts.end(), [](const FactHistory& h) { return h.asked == 0; });
}

FactSummary summarise(const FactHistory& history) {
    FactSummary s;
    s.outcomes = int(history.recent.size());
    if (s.outcomes == 0) return s;
    std::vector<int> rightTimes, answeredTimes, rightLimits, answeredLimits;
    for (const Outcome& o : history.recent) {
        const int limit = o.limitMs > 0 ? o.limitMs : kUsualLimitMs;
        if (o.kind == Outcome::Kind::Passed) continue;
        answeredTimes.push_back(o.ms);
        answeredLimits.push_back(limit);
        if (o.kind != Outcome::Kind::Right) continue;
        rightTimes.push_back(o.ms);
        rightLimits.push_back(limit);
    }
    s.rightCount = int(rightTimes.size());
    s.sharePercent = (s.rightCount * 100 + s.outcomes / 2) / s.outcomes;
    const bool anyRight = !rightTimes.empty();
    s.typicalMs = median(anyRight ? rightTimes : answeredTimes);
    s.typicalLimitMs = median(anyRight ? rightLimits : answeredLimits);
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
    const std::vector<int> hard = hardestFacts(record, 3);
    if (hard.empty()) return "にがてな九九はないよ。すごいね！";
    std::string names;
    for (int q : hard) names += (names.empty() ? "" : "・") + std::string(formulaTable[size_t(q)]);
    return names + " が にがてだよ。れんしゅうしよう！";
}

std::string recordToText(const FactRecord& record) {
    std::ostringstream out;
    out << kHeading << '\n';
    for (int q = 0; q < kFactsRecorded; ++q) {
        const FactHistory& h = record.facts[size_t(q)];
        if (h.asked == 0) continue;
        out << q << ' ' << h.asked << ' ' << h.right;
        for (const Outcome& o : h.recent) {
            out << ' ' << char(o.kind);
            if (o.kind != Outcome::Kind::Passed) out << o.ms;
            if (o.limitMs > 0) out << '/' << o.limitMs;
        }
        out << '\n';
    }
    return out.str();
}

bool recordFromText(FactRecord& record, std::string_view text) {
    clearRecord(record);
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    bool whole = true, first = true;
    while (!text.empty()) {
        const size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (first) {
            first = false;
            if (line == kHeading || line == kFirstHeading) continue;
            whole = false;  // not headed as a record: its lines may still be ours
        }
        if (!line.empty() && !parseLine(record, line)) whole = false;
    }
    return whole;
}

bool loadRecordFile(FactRecord& record, const std::string& path) {
    clearRecord(record);
    QFile file(QString::fromStdString(path));
    if (!file.exists()) return true;
    // A record has 81 short lines; what is far larger is read in part.
    constexpr qint64 kLargest = 64 * 1024;
    bool whole = file.open(QIODevice::ReadOnly) && file.size() <= kLargest;
    if (file.isOpen()) {
        const QByteArray bytes = file.read(kLargest);
        whole = recordFromText(record, std::string_view(bytes.constData(), size_t(bytes.size()))) && whole;
        file.close();
    }
    if (whole) return true;
    const QString aside = QString::fromStdString(path) + QStringLiteral(".bak");
    QFile::remove(aside);
    return QFile::copy(QString::fromStdString(path), aside);
}

bool saveRecordFile(const FactRecord& record, const std::string& path) {
    QSaveFile file(QString::fromStdString(path));
    file.setDirectWriteFallback(true);
    const std::string text = recordToText(record);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(text.data(), qint64(text.size())) != qint64(text.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
