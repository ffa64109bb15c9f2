#include "windows/Ganbari.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTableView>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include "support/FormKit.h"
#include "support/Fonts.h"
#include "windows/PrintBoxes.h"

namespace {
using kit::u;
constexpr int kClientWidth = 720;
constexpr int kClientHeight = 600;
// The last days fit on the chart; the table holds them all.
constexpr int kDaysDrawn = 30;
constexpr int kColumns = 5;
const char* const kHeadings[kColumns] = {"ひにち", "テスト", "せいかい", "こたえる はやさ", "まんてん"};
}  // namespace

TGanbariForm::TGanbariForm(const std::vector<HistoryEntry>& history, QWidget* parent)
    : QDialog(parent), days_(progressByDay(history)) {
    setObjectName(QStringLiteral("GanbariForm"));
    const kit::Form form = kit::buildForm(this, "がんばりグラフ", kClientWidth, kClientHeight, kit::kCream, false);
    QWidget* c = form.client;
    Heading = kit::panel(c, {16, 10, 688, 40},
                         days_.empty() ? "テストをすると，がんばりが グラフに なるよ。"
                                       : "あかい せん＝せいかい　あおい せん＝こたえる はやさ　★＝まんてん",
                         {15, kit::kNavy, true}, kit::kYellow);
    Heading->setToolTip(u("赤い線: 正解の割合(%)　青い線: 答えの典型的な時間(秒)　★: 全問正解のテスト(合格できる日)"));
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

bool TGanbariForm::PrintClick() {
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
    return printPicture(this, page, u("がんばりグラフ"), breaks);
}

void TGanbariForm::buildChart(QWidget* client) {
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setMargins(QMargins(4, 4, 4, 4));
    auto* share = new QLineSeries;
    share->setColor(Qt::red);
    share->setName(u("せいかい"));
    auto* speed = new QLineSeries;
    speed->setColor(Qt::blue);
    speed->setName(u("はやさ"));
    auto* full = new QScatterSeries;
    full->setColor(QColor(0xFF, 0xA0, 0x00));
    full->setMarkerShape(QScatterSeries::MarkerShapeStar);
    full->setMarkerSize(14);
    full->setName(u("まんてん"));
    const int first = std::max(0, int(days_.size()) - kDaysDrawn);
    QStringList labels;
    double slowest = 1.0;
    for (int i = first; i < int(days_.size()); ++i) {
        const DayProgress& d = days_[size_t(i)];
        const int x = i - first;
        labels << QString::fromStdString(shortDay(d.day));
        share->append(x, d.sharePercent());
        if (d.typicalMs > 0) speed->append(x, d.typicalMs / 1000.0);
        slowest = std::max(slowest, d.typicalMs / 1000.0);
        if (d.fullMarks > 0) full->append(x, 100);
    }
    for (QAbstractSeries* s : std::initializer_list<QAbstractSeries*>{share, speed, full}) chart->addSeries(s);
    auto* days = new QBarCategoryAxis;
    days->append(labels.isEmpty() ? QStringList{QString()} : labels);
    auto* percent = new QValueAxis;
    // Room above 100 % for the stars of faultless days, ticks at the quarters.
    percent->setRange(0, 108);
    percent->setTickType(QValueAxis::TicksDynamic);
    percent->setTickAnchor(0);
    percent->setTickInterval(25);
    percent->setLabelFormat(QStringLiteral("%d%%"));
    percent->setLabelsColor(Qt::red);
    auto* seconds = new QValueAxis;
    seconds->setRange(0, std::ceil(slowest));
    seconds->setLabelFormat(QStringLiteral("%.1f s"));
    seconds->setLabelsColor(Qt::blue);
    chart->addAxis(days, Qt::AlignBottom);
    chart->addAxis(percent, Qt::AlignLeft);
    chart->addAxis(seconds, Qt::AlignRight);
    for (QAbstractSeries* s : std::initializer_list<QAbstractSeries*>{share, full}) {
        s->attachAxis(days);
        s->attachAxis(percent);
    }
    speed->attachAxis(days);
    speed->attachAxis(seconds);
    Chart = new QChartView(chart, client);
    Chart->setGeometry(16, 58, 688, 312);
    Chart->setRenderHint(QPainter::Antialiasing);
    Chart->setAccessibleName(u("がんばりグラフ"));
    Chart->setAccessibleDescription(u("下の表と同じ数字のグラフ: 日ごとの正解の割合と答えの時間"));
}

QVariant TGanbariForm::cellData(int row, int column, int role) const {
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
        case 0: return QString::fromStdString(shortDay(d.day));
        case 1: return u("%1かい").arg(d.tests);
        case 2: return QStringLiteral("%1%").arg(d.sharePercent());
        case 3: return d.typicalMs > 0 ? QStringLiteral("%1 s").arg(d.typicalMs / 1000.0, 0, 'f', 1) : u("―");
        case 4: return d.fullMarks > 0 ? u("★ %1").arg(d.fullMarks) : u("―");
        }
    }
    if (role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole)
        return u("%1: テスト%2回, 正解 %3/%4 問, 答えの時間(中央値) %5 ms, 全問正解 %6 回")
            .arg(QString::fromStdString(d.day))
            .arg(d.tests)
            .arg(d.right)
            .arg(d.asked)
            .arg(d.typicalMs)
            .arg(d.fullMarks);
    return {};
}
