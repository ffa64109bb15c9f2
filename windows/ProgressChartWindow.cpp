#include "windows/ProgressChartWindow.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTableView>
#include <QCursor>
#include <QDate>
#include <QToolTip>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>

#include "support/FormKit.h"
#include "support/Fonts.h"
#include "windows/PrintBoxes.h"

#include <algorithm>
#include <cmath>

namespace {
using kit::u;
constexpr int kClientWidth = 720;
constexpr int kClientHeight = 600;
// Up to about two months a day is a dot on each line; a few days, a dot
// large enough for a child to see.
constexpr size_t kDotsUpTo = 62;
constexpr size_t kDaysWithBigDots = 14;
// Days further apart than three months are not joined by a line.
constexpr qint64 kLongestPauseJoinedMs = 92LL * 24 * 3600 * 1000;
constexpr int kColumns = 5;
const char* const kHeadings[kColumns] = {"ひにち", "テスト", "せいかい", "こたえる じかん", "まんてん"};
}  // namespace

ProgressChartWindow::ProgressChartWindow(const std::vector<HistoryEntry>& history, QWidget* parent)
    : QDialog(parent), days_(progressByDay(history)) {
    setObjectName(QStringLiteral("GanbariForm"));
    const kit::Form form = kit::buildForm(this, "がんばりグラフ", kClientWidth, kClientHeight, kit::kCream, false);
    QWidget* c = form.client;
    Heading = kit::panel(c, {16, 10, 688, 40},
                         days_.empty() ? "テストをすると，がんばりが グラフに なるよ。"
                                       : "あかい せん＝せいかい　あおい せん＝１ぷんで こたえる かず　★＝まんてん",
                         {15, kit::kNavy, true}, kit::kYellow);
    Heading->setToolTip(u("赤い線: 正解の割合　青い線: 1分に答えられる問題の数（答えの時間の中央値から）　★: 全問正解のテスト　数字は下の表とその説明に"));
    buildChart(c);
    auto* model = new kit::CellModel(int(days_.size()) + 1, kColumns,
                                     [this](int row, int column, int role) { return cellData(row, column, role); });
    model->setHeadings(1, 1);
    DayGrid = kit::grid(c, {16, 380, 688, 170}, model, 24, {120, 100, 130, 200, 120}, japaneseFont(13, true));
    DayGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    PrintButton = kit::button(c, {456, 560, 120, 30}, "いんさつ(&I)",
                              {.px = 15, .bold = true, .tip = "このグラフと表をプリンタで印刷します。"});
    CloseButton = kit::button(c, {584, 560, 120, 30}, "とじる(&C)", {.px = 15, .bold = true, .pressedByEnter = true});
    connect(PrintButton, &QPushButton::clicked, this, [this] { PrintClick(); });
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
    client_ = c;
}

bool ProgressChartWindow::PrintClick() {
    // The heading and the chart as shown, then every day of the table below them.
    const QPixmap top = client_->grab(QRect(0, 0, kClientWidth, DayGrid->y()));
    const WholeGrid table = wholeGrid(DayGrid);
    const qreal ratio = top.devicePixelRatio();
    QPixmap page(QSize(kClientWidth, DayGrid->y() + qRound(table.picture.deviceIndependentSize().height())) * ratio);
    page.setDevicePixelRatio(ratio);
    page.fill(kit::kCream);
    QPainter painter(&page);
    painter.drawPixmap(0, 0, top);
    painter.drawPixmap(DayGrid->x(), DayGrid->y(), table.picture);
    painter.end();
    std::vector<int> breaks{DayGrid->y()};
    for (int bottom : table.rowBottoms) breaks.push_back(DayGrid->y() + bottom);
    // Every page after the first starts with the table's heading row, unless
    // the page starts with that row itself.
    const int headingTop = DayGrid->y();
    const int headingHeight = table.rowBottoms.front();
    return printPicture(this, page, u("がんばりグラフ"), breaks,
                        [&page, headingTop, headingHeight](QPainter& painter, double, double scale, double top) {
                            if (top <= headingTop) return 0.0;
                            const double ratio = page.devicePixelRatio();
                            const QRectF from(0, headingTop * ratio, page.width(), headingHeight * ratio);
                            painter.drawPixmap(QRectF(0, 0, page.deviceIndependentSize().width() * scale, headingHeight * scale), page, from);
                            return headingHeight * scale;
                        });
}

void ProgressChartWindow::buildChart(QWidget* client) {
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setMargins(QMargins(4, 4, 4, 4));
    auto* full = new QScatterSeries;
    full->setColor(QColor(0xFF, 0xA0, 0x00));
    full->setMarkerShape(QScatterSeries::MarkerShapeStar);
    full->setMarkerSize(14);
    full->setName(u("まんてん"));
    // Each day a dot on its lines, so that a day alone shows; not the
    // hundreds of days of a long history.
    std::vector<QLineSeries*> shareLines, speedLines;
    const auto newLine = [this](std::vector<QLineSeries*>& lines, QColor colour, const char* name) {
        auto* line = new QLineSeries;
        line->setColor(colour);
        line->setName(u(name));
        line->setPointsVisible(days_.size() <= kDotsUpTo);
        if (days_.size() <= kDaysWithBigDots) line->setMarkerSize(4);
        lines.push_back(line);
    };
    double quickest = 0;
    qint64 previous = 0;
    for (const DayProgress& d : days_) {
        const qint64 x = dayOnAxis(d.day);
        // A long pause leaves a gap: no slope that the child never climbed.
        if (shareLines.empty() || x - previous > kLongestPauseJoinedMs) {
            newLine(shareLines, Qt::red, "せいかい");
            newLine(speedLines, Qt::blue, "はやさ");
        }
        previous = x;
        shareLines.back()->append(x, d.sharePercent());
        if (d.typicalMs > 0) speedLines.back()->append(x, d.answersPerMinute());
        quickest = std::max(quickest, d.answersPerMinute());
        if (d.fullMarks > 0) full->append(x, 100);
    }
    std::vector<QXYSeries*> all(shareLines.begin(), shareLines.end());
    all.insert(all.end(), speedLines.begin(), speedLines.end());
    all.push_back(full);  // the stars over the lines
    for (QXYSeries* s : all) {
        connect(s, &QXYSeries::hovered, this, [this](const QPointF& at, bool inside) { showDayTip(at, inside); });
        chart->addSeries(s);
    }

    const TimeAxis plan = timeAxisFor(days_, QDate::currentDate().toString(Qt::ISODate).toStdString());
    auto* dates = new QDateTimeAxis;
    dates->setRange(QDateTime::fromMSecsSinceEpoch(plan.fromMs), QDateTime::fromMSecsSinceEpoch(plan.toMs));
    dates->setTickCount(plan.tickCount);
    dates->setFormat(QString::fromStdString(plan.format));
    // The child reads words: none, half, all; the parent the numbers in the table.
    auto* shares = new QCategoryAxis;
    shares->setStartValue(-1);
    shares->setRange(0, 108);  // room above 100 for the stars of faultless days
    shares->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    shares->append(u("０"), 0);
    shares->append(u("はんぶん"), 50);
    shares->append(u("ぜんぶ"), 100);
    shares->setLabelsColor(Qt::red);
    // Answers a minute, in steps of five or more: the child reads "40もん".
    auto* quick = new QCategoryAxis;
    const int top = std::max(20, int(std::ceil(quickest / 20)) * 20);
    quick->setStartValue(-1);
    quick->setRange(0, top * 1.08);
    quick->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    for (int step = 0; step <= 4; ++step) quick->append(u("%1もん").arg(top / 4 * step), top / 4 * step);
    quick->setLabelsColor(Qt::blue);
    chart->addAxis(dates, Qt::AlignBottom);
    chart->addAxis(shares, Qt::AlignLeft);
    chart->addAxis(quick, Qt::AlignRight);
    for (QXYSeries* s : all) {
        s->attachAxis(dates);
        s->attachAxis(std::find(speedLines.begin(), speedLines.end(), s) == speedLines.end() ? shares : quick);
    }
    Chart = new QChartView(chart, client);
    Chart->setGeometry(16, 58, 688, 312);
    Chart->setRenderHint(QPainter::Antialiasing);
    Chart->setAccessibleName(u("がんばりグラフ"));
    Chart->setAccessibleDescription(u("下の表と同じ数字のグラフ: 日ごとの正解の割合と、1分に答えられる問題の数"));
}

void ProgressChartWindow::showDayTip(const QPointF& at, bool inside) {
    if (!inside || days_.empty()) return QToolTip::hideText();
    // The day nearest the point under the pointer.
    const auto nearest = std::min_element(days_.begin(), days_.end(), [&](const DayProgress& a, const DayProgress& b) {
        return std::abs(dayOnAxis(a.day) - at.x()) < std::abs(dayOnAxis(b.day) - at.x());
    });
    QToolTip::showText(QCursor::pos(), dayDetails(*nearest), Chart);
}

QString ProgressChartWindow::dayDetails(const DayProgress& d) const {
    const QString time = d.typicalMs > 0 ? u("答えの時間(中央値) %1秒（1分に約%2問）")
                                               .arg(d.typicalMs / 1000.0, 0, 'f', 1)
                                               .arg(qRound(d.answersPerMinute()))
                                         : u("答えの時間 ―");
    return u("%1: テスト%2回・正解 %3/%4問（%5%）・%6・全問正解 %7回")
        .arg(QDate::fromString(QString::fromStdString(d.day), Qt::ISODate).toString(u("yyyy年M月d日")))
        .arg(d.tests)
        .arg(d.right)
        .arg(d.asked)
        .arg(d.sharePercent())
        .arg(time)
        .arg(d.fullMarks);
}

QVariant ProgressChartWindow::cellData(int row, int column, int role) const {
    const bool heading = row == 0;
    if (role == Qt::BackgroundRole) return heading ? kit::kYellow : (column == 0 ? kit::kLightYellow : QColor(Qt::white));
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
    // Headings cannot be selected, but they are not greyed as disabled.
    if (role == Qt::ForegroundRole) return QColor(Qt::black);
    if (heading) return role == Qt::DisplayRole ? u(kHeadings[column]) : QVariant();
    // The newest day first, right under the headings, however many days there are.
    const DayProgress& d = days_[days_.size() - size_t(row)];
    if (role == Qt::DisplayRole) {
        switch (column) {
        case 0: return QString::fromStdString(shortDay(d.day, spansYears(days_)));
        case 1: return u("%1かい").arg(d.tests);
        case 2: return QStringLiteral("%1%").arg(d.sharePercent());
        case 3: return d.typicalMs > 0 ? u("%1秒").arg(d.typicalMs / 1000.0, 0, 'f', 1) : u("―");
        case 4: return d.fullMarks > 0 ? u("★ %1").arg(d.fullMarks) : u("―");
        }
    }
    if (role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole) return dayDetails(d);
    return {};
}
