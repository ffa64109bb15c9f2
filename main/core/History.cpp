#include "main/core/History.h"
#include "support/core/WholeFile.h"

#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <charconv>

#include "main/core/Median.h"

namespace {
constexpr std::string_view kHeading = "# tateyokom がんばりきろく 1";
// A history of years of daily tests is far smaller; more is not ours.
constexpr qint64 kLargest = 16 * 1024 * 1024;

bool toInt(std::string_view s, int& out, int lo, int hi) {
    if (s.empty() || s.size() > 9) return false;
    int v = 0;
    const char* end = s.data() + s.size();
    auto [p, ec] = std::from_chars(s.data(), end, v);
    if (ec != std::errc() || p != end || v < lo || v > hi) return false;
    out = v;
    return true;
}

bool isWhen(std::string_view s) {
    static const QRegularExpression re(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"));
    return s.size() == 19 && re.match(QString::fromLatin1(s.data(), qsizetype(s.size()))).hasMatch();
}

bool parse(std::string_view line, HistoryEntry& e) {
    std::vector<std::string_view> f;
    while (true) {
        const size_t tab = line.find('\t');
        f.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos) break;
        line.remove_prefix(tab + 1);
    }
    constexpr int kMany = 100000;
    if (f.size() != 8 || !isWhen(f[0])) return false;
    e.when = std::string(f[0]);
    return toInt(f[1], e.range, -1, 12) && toInt(f[2], e.order, 0, 2) && toInt(f[3], e.passes, 0, 99) &&
           toInt(f[4], e.right, 0, kMany) && toInt(f[5], e.wrong, 0, kMany) && toInt(f[6], e.passed, 0, kMany) &&
           toInt(f[7], e.typicalMs, 0, 24 * 3600 * 1000);
}
}  // namespace

HistoryEntry entryOfTest(const FactRecord& before, const FactRecord& after, const std::string& when, int range,
                         int order, int passes) {
    HistoryEntry e{when, range, order, passes};
    std::vector<int> rightMs, allMs;
    for (int q = 0; q < kFactsRecorded; ++q) {
        const FactHistory& a = after.facts[size_t(q)];
        const int added = std::clamp(a.asked - before.facts[size_t(q)].asked, 0, int(a.recent.size()));
        for (auto o = a.recent.end() - added; o != a.recent.end(); ++o) {
            switch (o->kind) {
            case Outcome::Kind::Right: ++e.right, rightMs.push_back(o->ms), allMs.push_back(o->ms); break;
            case Outcome::Kind::Wrong: ++e.wrong, allMs.push_back(o->ms); break;
            case Outcome::Kind::Passed: ++e.passed; break;
            }
        }
    }
    e.typicalMs = std::max(median(rightMs.empty() ? allMs : rightMs), 0);
    return e;
}

std::string historyLine(const HistoryEntry& e) {
    std::string line = e.when;
    for (int v : {e.range, e.order, e.passes, e.right, e.wrong, e.passed, e.typicalMs}) line += '\t' + std::to_string(v);
    return line + '\n';
}

HistoryRead historyFromText(std::string_view text) {
    HistoryRead read;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    while (!text.empty()) {
        const size_t nl = text.find('\n');
        if (nl == std::string_view::npos) break;  // still being written, or cut
        std::string_view line = text.substr(0, nl);
        text.remove_prefix(nl + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line == kHeading) continue;
        HistoryEntry e;
        if (parse(line, e)) read.entries.push_back(std::move(e));
        else ++read.skipped;
    }
    return read;
}

HistoryRead loadHistoryFile(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return {};
    // The newest tests are at the end: a huge file is read from there.
    if (file.size() > kLargest) file.seek(file.size() - kLargest);
    const QByteArray bytes = file.read(kLargest);
    std::string_view text(bytes.constData(), size_t(bytes.size()));
    if (file.pos() > kLargest) {
        const size_t nl = text.find('\n');  // the first line read is cut
        text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
    }
    return historyFromText(text);
}

bool appendHistoryFile(const std::string& path, const HistoryEntry& entry, std::string* error) {
    return appendHistoryFile(path, std::vector<HistoryEntry>{entry}, error);
}

bool appendHistoryFile(const std::string& path, const std::vector<HistoryEntry>& entries, std::string* error) {
    std::string out;
    {
        QFile file(QString::fromStdString(path));
        if (!file.exists() || file.size() == 0) out = std::string(kHeading) + '\n';
        // A cut line gets a ninth field, so that a number cut short is never read.
        else if (file.open(QIODevice::ReadOnly) && file.seek(file.size() - 1) && file.read(1) != "\n") out = "\t(cut)\n";
    }
    for (const HistoryEntry& entry : entries) out += historyLine(entry);
    // One write of the whole lines: a line is never interleaved with another.
    const std::string failed = appendWhole(path, out);
    if (error) *error = failed;
    return failed.empty();
}
