// The progress chart read from its data, not its pixels: each day at its own
// date, years apart when they are; axis labels that name whole days or years;
// both of the child's lines rising as the child does better; the parent's
// numbers with the year where the days span more than one.
#include <gtest/gtest.h>

#include <QDate>
#include <QTableView>
#include <QTest>
#include <QToolTip>
#include <QtCharts/QChartView>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QXYSeries>

#include "windows/ProgressChartWindow.h"

namespace {

QString u(const char* text) { return QString::fromUtf8(text); }

// A day's test: `right` of 27, its typical time `ms`.
struct Day {
    std::string day;
    int right, ms;
};
// `count` days, `apart` days apart: the child a little better each time.
std::vector<Day> daysFrom(const char* first, int count, int apart) {
    std::vector<Day> out;
    for (int i = 0; i < count; ++i)
        out.push_back({QDate::fromString(u(first), Qt::ISODate).addDays(qint64(i) * apart).toString(Qt::ISODate).toStdString(),
                       10 + 17 * i / std::max(1, count - 1), 3000 - 2000 * i / count});
    return out;
}

qint64 noonOf(const std::string& day) {
    return QDateTime(QDate::fromString(QString::fromStdString(day), Qt::ISODate), QTime(12, 0)).toMSecsSinceEpoch();
}

// A line's pieces, and their points one after the other.
struct Line {
    QList<QXYSeries*> pieces;
    QList<QPointF> points;
};
Line lineNamed(QChart* chart, const char* name) {
    Line line;
    for (QAbstractSeries* s : chart->series())
        if (auto* xy = qobject_cast<QXYSeries*>(s); xy && s->name() == u(name)) {
            line.pieces << xy;
            line.points << xy->points();
        }
    return line;
}

}  // namespace

TEST(ProgressChart, EachDayAtItsDateBothLinesRisingAndLabelsThatNameTheDay) {
    const struct Case {
        const char* what;
        std::vector<Day> days;
        QStringList labels;
        const char* newestInTable;
        int pieces;  // of each line: a pause of months is a gap
    } cases[] = {
        {"one day", {{"2026-12-09", 20, 1500}}, {"12/8", "12/9", "12/10"}, "12/9", 1},
        {"60 days", daysFrom("2026-10-10", 60, 1), {"10/9", "10/23", "11/6", "11/20", "12/4", "12/18"}, "12/8", 1},
        {"three weeks over the new year", daysFrom("2026-12-20", 21, 1),
         {"2026/12/19", "2026/12/26", "2027/1/2", "2027/1/9", "2027/1/16"}, "2027/1/9", 1},
        // The same days of two years: a year apart, not one above the other.
        {"across a year",
         {{"2025-12-05", 14, 2500}, {"2025-12-09", 20, 2000}, {"2026-12-05", 27, 1200}, {"2026-12-09", 27, 900}},
         {"2025/12/4", "2026/1/29", "2026/3/26", "2026/5/21", "2026/7/16", "2026/9/10", "2026/11/5", "2026/12/31"},
         "2026/12/9", 2},
        {"five years", daysFrom("2021-12-10", 61, 30), {"2021", "2022", "2023", "2024", "2025", "2026", "2027"},
         "2026/11/14", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<HistoryEntry> history;
        for (const Day& d : c.days) history.push_back({d.day + " 17:00:00", 0, 0, 3, d.right, 27 - d.right, 0, d.ms});
        ProgressChartWindow form(history);
        QChart* chart = form.Chart->chart();
        const Line share = lineNamed(chart, "せいかい"), speed = lineNamed(chart, "はやさ");
        EXPECT_EQ(share.pieces.size(), c.pieces);
        EXPECT_EQ(speed.pieces.size(), c.pieces);
        ASSERT_EQ(chart->axes(Qt::Horizontal).size(), 1);
        auto* dates = qobject_cast<QDateTimeAxis*>(chart->axes(Qt::Horizontal).front());
        ASSERT_TRUE(dates);
        // The labels the axis writes, at ticks evenly spaced over its range.
        QStringList labels;
        const qint64 from = dates->min().toMSecsSinceEpoch(), to = dates->max().toMSecsSinceEpoch();
        for (int i = 0; i < dates->tickCount(); ++i)
            labels << QDateTime::fromMSecsSinceEpoch(from + (to - from) * i / (dates->tickCount() - 1)).toString(dates->format());
        EXPECT_EQ(labels, c.labels);

        // Every day at its own noon, inside the axis; a star on each faultless day.
        ASSERT_EQ(share.points.size(), qsizetype(c.days.size()));
        ASSERT_EQ(speed.points.size(), qsizetype(c.days.size()));
        QList<QPointF> faultless;
        for (int i = 0; i < share.points.size(); ++i) {
            const Day& d = c.days[size_t(i)];
            EXPECT_EQ(qint64(share.points[i].x()), noonOf(d.day)) << i;
            EXPECT_EQ(share.points[i].y(), std::round(d.right * 100.0 / 27)) << i;
            EXPECT_TRUE(from < share.points[i].x() && share.points[i].x() < to) << i;
            if (d.right == 27) faultless << QPointF(noonOf(d.day), 100);
        }
        EXPECT_EQ(lineNamed(chart, "まんてん").points, faultless);
        // Quicker answers draw the blue line higher; a day alone is drawn as a dot.
        for (int i = 1; i < speed.points.size(); ++i) EXPECT_GT(speed.points[i].y(), speed.points[i - 1].y()) << i;
        EXPECT_GE(share.points.back().y(), share.points.front().y());
        if (c.days.size() == 1) {
            EXPECT_TRUE(share.pieces[0]->pointsVisible() && speed.pieces[0]->pointsVisible());
        }

        // The parent's numbers: the newest day first in the table, and over its point.
        const QAbstractItemModel* table = form.DayGrid->model();
        ASSERT_EQ(table->rowCount(), int(c.days.size()) + 1);
        EXPECT_EQ(table->index(1, 0).data().toString(), u(c.newestInTable));
        const Day& newest = c.days.back();
        const QString seconds = u("%1秒").arg(newest.ms / 1000.0, 0, 'f', 1);
        EXPECT_EQ(table->index(1, 2).data().toString(), QStringLiteral("%1%").arg(std::lround(newest.right * 100.0 / 27)));
        EXPECT_EQ(table->index(1, 3).data().toString(), seconds);
        const QString dated = QDate::fromString(QString::fromStdString(newest.day), Qt::ISODate).toString(u("yyyy年M月d日"));
        EXPECT_TRUE(table->index(1, 0).data(Qt::ToolTipRole).toString().startsWith(dated));
        emit speed.pieces.back()->hovered(speed.points.back(), true);
        EXPECT_TRUE(QToolTip::text().startsWith(dated) && QToolTip::text().contains(seconds)) << QToolTip::text().toStdString();
        emit speed.pieces.back()->hovered(speed.points.back(), false);
    }
    // Gone before the next test's windows come.
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 5000));
}
