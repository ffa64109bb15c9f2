// The progress chart read from its data, not its pixels: each day at its own
// date, years apart when they are; axis labels that name whole days, or years;
// both of the child's lines rising as the child does better; the parent's
// numbers in the table with the year where the days span more than one.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QDate>
#include <QTableView>
#include <QTest>
#include <QToolTip>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>

#include "windows/Ganbari.h"

namespace {

QString u(const char* text) { return QString::fromUtf8(text); }

// A test on each day, quicker and a little more often right each time; the
// day's share right and typical time are given by `right` of 27 and `ms`.
struct Day {
    std::string day;
    int right;
    int ms;
};
std::vector<HistoryEntry> historyOf(const std::vector<Day>& days) {
    std::vector<HistoryEntry> out;
    for (const Day& d : days) out.push_back({d.day + " 17:00:00", 0, 0, 3, d.right, 27 - d.right, 0, d.ms});
    return out;
}
// `count` days, `apart` days apart, from `first`: the child better each time.
std::vector<Day> daysFrom(const char* first, int count, int apart) {
    std::vector<Day> out;
    const QDate start = QDate::fromString(u(first), Qt::ISODate);
    for (int i = 0; i < count; ++i)
        out.push_back({start.addDays(qint64(i) * apart).toString(Qt::ISODate).toStdString(),
                       10 + 17 * i / std::max(1, count - 1), 3000 - 2000 * i / count});
    return out;
}

qint64 noonOf(const std::string& day) {
    return QDateTime(QDate::fromString(QString::fromStdString(day), Qt::ISODate), QTime(12, 0)).toMSecsSinceEpoch();
}

// The labels the axis writes: ticks evenly spaced over its range.
QStringList tickLabels(const QDateTimeAxis* axis) {
    QStringList labels;
    const qint64 from = axis->min().toMSecsSinceEpoch(), to = axis->max().toMSecsSinceEpoch();
    for (int i = 0; i < axis->tickCount(); ++i)
        labels << QDateTime::fromMSecsSinceEpoch(from + (to - from) * i / (axis->tickCount() - 1)).toString(axis->format());
    return labels;
}

template <class Series>
Series* seriesNamed(QChart* chart, const char* name) {
    for (QAbstractSeries* s : chart->series())
        if (s->name() == u(name)) return qobject_cast<Series*>(s);
    return nullptr;
}

}  // namespace

TEST(ProgressChart, EachDayAtItsDateBothLinesRisingAndLabelsThatNameTheDay) {
    const struct Case {
        const char* what;
        std::vector<Day> days;
        QStringList labels;
        const char* newestInTable;
    } cases[] = {
        {"one day", {{"2026-12-09", 20, 1500}}, {"12/8", "12/9", "12/10"}, "12/9"},
        {"60 days", daysFrom("2026-10-10", 60, 1), {"10/9", "10/23", "11/6", "11/20", "12/4", "12/18"}, "12/8"},
        {"three weeks over the new year", daysFrom("2026-12-20", 21, 1),
         {"2026/12/19", "2026/12/26", "2027/1/2", "2027/1/9", "2027/1/16"}, "2027/1/9"},
        // The same days of two years: a year apart, not one above the other.
        {"across a year",
         {{"2025-12-05", 14, 2500}, {"2025-12-09", 20, 2000}, {"2026-12-05", 27, 1200}, {"2026-12-09", 27, 900}},
         {"2025/12/4", "2026/1/29", "2026/3/26", "2026/5/21", "2026/7/16", "2026/9/10", "2026/11/5", "2026/12/31"},
         "2026/12/9"},
        {"five years", daysFrom("2021-12-10", 61, 30),
         {"2021", "2022", "2023", "2024", "2025", "2026", "2027"}, "2026/11/14"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TGanbariForm form(historyOf(c.days));
        QChart* chart = form.Chart->chart();
        auto* share = seriesNamed<QLineSeries>(chart, "せいかい");
        auto* speed = seriesNamed<QLineSeries>(chart, "はやさ");
        auto* stars = seriesNamed<QScatterSeries>(chart, "まんてん");
        ASSERT_TRUE(share && speed && stars);
        const auto axes = chart->axes(Qt::Horizontal);
        ASSERT_EQ(axes.size(), 1);
        auto* dates = qobject_cast<QDateTimeAxis*>(axes.front());
        ASSERT_TRUE(dates);
        EXPECT_EQ(tickLabels(dates), c.labels);

        // Every day, at its own noon, inside the axis.
        ASSERT_EQ(share->count(), int(c.days.size()));
        ASSERT_EQ(speed->count(), int(c.days.size()));
        for (int i = 0; i < share->count(); ++i) {
            EXPECT_EQ(qint64(share->at(i).x()), noonOf(c.days[size_t(i)].day)) << i;
            EXPECT_EQ(share->at(i).y(), std::round(c.days[size_t(i)].right * 100.0 / 27)) << i;
            EXPECT_GT(share->at(i).x(), dates->min().toMSecsSinceEpoch());
            EXPECT_LT(share->at(i).x(), dates->max().toMSecsSinceEpoch());
        }
        // Quicker answers draw the blue line higher; a day alone is drawn as a dot.
        for (int i = 1; i < speed->count(); ++i) EXPECT_GT(speed->at(i).y(), speed->at(i - 1).y()) << i;
        EXPECT_GE(share->at(share->count() - 1).y(), share->at(0).y());
        if (c.days.size() == 1) {
            EXPECT_TRUE(share->pointsVisible() && speed->pointsVisible());
        }
        for (const QPointF& star : stars->points()) EXPECT_EQ(star.y(), 100);

        // The parent's table: the newest day first, with its year where the days span two.
        const QAbstractItemModel* table = form.DayGrid->model();
        ASSERT_EQ(table->rowCount(), int(c.days.size()) + 1);
        EXPECT_EQ(table->index(1, 0).data().toString(), u(c.newestInTable));
        const Day& newest = c.days.back();
        EXPECT_EQ(table->index(1, 2).data().toString(), QStringLiteral("%1%").arg(std::lround(newest.right * 100.0 / 27)));
        EXPECT_EQ(table->index(1, 3).data().toString(), u("%1秒").arg(newest.ms / 1000.0, 0, 'f', 1));
        const QString dated = QDate::fromString(QString::fromStdString(newest.day), Qt::ISODate).toString(u("yyyy年M月d日"));
        EXPECT_TRUE(table->index(1, 0).data(Qt::ToolTipRole).toString().startsWith(dated));
        // The same numbers over the newest point of the chart.
        emit speed->hovered(speed->at(speed->count() - 1), true);
        EXPECT_TRUE(QToolTip::text().startsWith(dated)) << QToolTip::text().toStdString();
        EXPECT_TRUE(QToolTip::text().contains(u("%1秒").arg(newest.ms / 1000.0, 0, 'f', 1)));
        emit speed->hovered(speed->at(0), false);
    }
    // Gone before the next test's windows come.
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 5000));
}

// The year spanning history of the report: the older 12/5 is not drawn over
// the newer, and its faultless days keep their stars.
TEST(ProgressChart, DaysOfTwoYearsAreNotMixedUp) {
    TGanbariForm form(historyOf({{"2025-12-05", 14, 2500}, {"2026-12-05", 27, 1200}, {"2026-12-09", 27, 900}}));
    QChart* chart = form.Chart->chart();
    auto* stars = seriesNamed<QScatterSeries>(chart, "まんてん");
    ASSERT_TRUE(stars);
    ASSERT_EQ(stars->count(), 2);
    EXPECT_EQ(qint64(stars->at(0).x()), noonOf("2026-12-05"));
    EXPECT_EQ(qint64(stars->at(1).x()), noonOf("2026-12-09"));
    const QAbstractItemModel* table = form.DayGrid->model();
    EXPECT_EQ(table->index(3, 0).data().toString(), u("2025/12/5"));
    EXPECT_EQ(table->index(3, 2).data().toString(), u("52%"));
    EXPECT_EQ(table->index(2, 4).data().toString(), u("★ 1"));
}
