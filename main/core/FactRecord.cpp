#include "main/core/FactRecord.h"

#include <algorithm>
#include <charconv>
#include <sstream>

#include <QFile>
#include <QSaveFile>

#include "main/core/FactTables.h"

namespace {

constexpr char kHeading[] = "tateyokom fact record 1";
// Answers quicker than this count as sure; at kSlowMs and beyond as slow as
// a wrong answer would be.
constexpr int kQuickMs = 1500;
constexpr int kSlowMs = 5500;
constexpr double kWrongWeight = 0.75;

bool validFact(int q) { return q >= 0 && q < kFactsRecorded; }

bool readInt(std::string_view& text, int* value) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value);
    if (ec != std::errc()) return false;
    text.remove_prefix(size_t(end - text.data()));
    return true;
}

bool parseLine(FactRecord& record, std::string_view line) {
    int q = 0, asked = 0, right = 0;
    if (!readInt(line, &q) || !validFact(q) || !readInt(line, &asked) || !readInt(line, &right)) return false;
    if (asked < 0 || right < 0 || right > asked) return false;
    FactHistory history{asked, right, {}};
    while (true) {
        while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
        if (line.empty()) break;
        const char mark = line.front();
        if (mark != 'R' && mark != 'W') return false;
        line.remove_prefix(1);
        int ms = 0;
        if (!readInt(line, &ms) || ms < 0) return false;
        history.recent.emplace_back(mark == 'R', ms);
    }
    if (int(history.recent.size()) > kRecentOutcomes || int(history.recent.size()) > asked) return false;
    record.facts[size_t(q)] = std::move(history);
    return true;
}

}  // namespace

void recordAnswer(FactRecord& record, int q, bool right, int answerMs) {
    if (!validFact(q)) return;
    FactHistory& h = record.facts[size_t(q)];
    ++h.asked;
    if (right) ++h.right;
    h.recent.emplace_back(right, std::max(answerMs, 0));
    if (int(h.recent.size()) > kRecentOutcomes) h.recent.erase(h.recent.begin());
}

void clearRecord(FactRecord& record) { record = FactRecord{}; }

bool recordIsEmpty(const FactRecord& record) {
    return std::all_of(record.facts.begin(), record.facts.end(), [](const FactHistory& h) { return h.asked == 0; });
}

FactSummary summarise(const FactHistory& history) {
    FactSummary s;
    if (history.recent.empty()) return s;
    s.asked = true;
    const int n = int(history.recent.size());
    const int right = int(std::count_if(history.recent.begin(), history.recent.end(), [](auto& o) { return o.first; }));
    s.sharePercent = (right * 100 + n / 2) / n;
    std::vector<int> times;
    for (const auto& o : history.recent) times.push_back(o.second);
    std::sort(times.begin(), times.end());
    s.typicalMs = n % 2 ? times[size_t(n / 2)] : (times[size_t(n / 2 - 1)] + times[size_t(n / 2)]) / 2;
    const double wrong = 1.0 - double(right) / n;
    const double slow = std::clamp(double(s.typicalMs - kQuickMs) / (kSlowMs - kQuickMs), 0.0, 1.0);
    s.hardness = kWrongWeight * wrong + (1 - kWrongWeight) * slow;
    return s;
}

std::vector<int> hardestFacts(const FactRecord& record, int count) {
    std::vector<std::pair<double, int>> hard;
    for (int q = 0; q < kFactsRecorded; ++q) {
        const FactSummary s = summarise(record.facts[size_t(q)]);
        if (s.asked && s.hardness > 0) hard.emplace_back(s.hardness, q);
    }
    std::stable_sort(hard.begin(), hard.end(), [](auto& a, auto& b) { return a.first > b.first; });
    std::vector<int> out;
    for (const auto& [hardness, q] : hard) {
        if (int(out.size()) >= count) break;
        out.push_back(q);
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
        for (const auto& [right, ms] : h.recent) out << ' ' << (right ? 'R' : 'W') << ms;
        out << '\n';
    }
    return out.str();
}

bool recordFromText(FactRecord& record, std::string_view text) {
    clearRecord(record);
    const auto lineEnd = text.find('\n');
    if (text.substr(0, lineEnd) != kHeading) return false;
    if (lineEnd == std::string_view::npos) return true;
    text.remove_prefix(lineEnd + 1);
    while (!text.empty()) {
        const auto nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty() && !parseLine(record, line)) {
            clearRecord(record);
            return false;
        }
        if (nl == std::string_view::npos) break;
        text.remove_prefix(nl + 1);
    }
    return true;
}

void loadRecordFile(FactRecord& record, const std::string& path) {
    clearRecord(record);
    QFile file(QString::fromStdString(path));
    // A record has 81 short lines; anything far larger is not one.
    if (!file.open(QIODevice::ReadOnly) || file.size() > 64 * 1024) return;
    const QByteArray bytes = file.readAll();
    recordFromText(record, std::string_view(bytes.constData(), size_t(bytes.size())));
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
