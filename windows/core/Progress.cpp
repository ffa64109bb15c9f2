#include "windows/core/Progress.h"

#include <QDate>
#include <QDateTime>
#include <algorithm>
#include <map>

#include "main/core/Median.h"

namespace {

constexpr qint64 kDayMs = 86'400'000;
// 365.2425 days, the calendar's mean year: ticks a year apart stay within a
// day of the new year however many years pass.
constexpr qint64 kYearMs = 31'556'952'000;
// More intervals and the labels of a 700-pixel chart run into each other.
constexpr int kMostIntervals = 7;

QDate dateOf(const std::string& day) {
    const QDate date = QDate::fromString(QString::fromStdString(day), Qt::ISODate);
    return date.isValid() ? date : QDate(2000, 1, 1);
}

qint64 noon(QDate date) { return QDateTime(date, QTime(12, 0)).toMSecsSinceEpoch(); }

qint64 intervalsFor(qint64 span, qint64 step) { return (span + step - 1) / step; }

}  // namespace

std::vector<DayProgress> progressByDay(const std::vector<HistoryEntry>& entries) {
    std::map<std::string, std::pair<DayProgress, std::vector<int>>> days;
    for (const HistoryEntry& e : entries) {
        auto& [d, times] = days[e.day()];
        d.day = e.day();
        ++d.tests;
        d.right += e.right;
        d.asked += e.asked();
        if (e.faultless()) ++d.fullMarks;
        if (e.right + e.wrong > 0) times.push_back(e.typicalMs);
    }
    std::vector<DayProgress> out;
    for (auto& [day, entry] : days) {
        auto& [d, times] = entry;
        d.typicalMs = median(times);
        out.push_back(d);
    }
    return out;
}

std::string shortDay(const std::string& day, bool withYear) {
    if (day.size() != 10) return day;
    auto number = [](std::string_view s) { return std::to_string(std::stoi(std::string(s))); };
    return (withYear ? day.substr(0, 4) + "/" : "") + number(day.substr(5, 2)) + "/" + number(day.substr(8, 2));
}

bool spansYears(const std::vector<DayProgress>& days) {
    return !days.empty() && days.front().day.substr(0, 4) != days.back().day.substr(0, 4);
}

qint64 dayOnAxis(const std::string& day) { return noon(dateOf(day)); }

TimeAxis timeAxisFor(const std::vector<DayProgress>& days, const std::string& today) {
    const QDate first = dateOf(days.empty() ? today : days.front().day);
    const QDate last = dateOf(days.empty() ? today : days.back().day);
    // A day of room on each side, so that no point sits on the chart's edge.
    const QDate from = first.addDays(-1);
    const qint64 span = from.daysTo(last.addDays(1));
    TimeAxis axis;
    for (int step : {1, 2, 7, 14, 28, 56, 91, 182}) {
        const qint64 n = std::max<qint64>(2, intervalsFor(span, step));
        if (n > kMostIntervals) continue;
        const QDate to = from.addDays(n * step);
        axis.fromMs = noon(from);
        axis.toMs = noon(to);
        axis.tickCount = int(n) + 1;
        axis.format = from.year() == to.year() ? "M/d" : "yyyy/M/d";
        return axis;
    }
    // Years apart: a tick on each new year, or every few.
    axis.fromMs = noon(QDate(first.year(), 1, 1));
    const qint64 years = last.year() - first.year() + 1;
    const qint64 step = std::max<qint64>(1, intervalsFor(years, kMostIntervals));
    const qint64 n = intervalsFor(years, step);
    axis.toMs = axis.fromMs + n * step * kYearMs;
    axis.tickCount = int(n) + 1;
    axis.format = "yyyy";
    return axis;
}
