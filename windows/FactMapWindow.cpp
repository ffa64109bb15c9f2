#include "windows/FactMapWindow.h"

#include <QDate>
#include <QLabel>
#include <QPainter>

#include <algorithm>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>

#include "main/core/StudyState.h"
#include "support/FormKit.h"
#include "windows/CellColour.h"
#include "support/Fonts.h"
#include "support/CupsPrint.h"
#include "windows/AdultGate.h"
#include "windows/Keeper.h"
#include "windows/PrintBoxes.h"
#include "windows/core/FactMap.h"

namespace {
constexpr int kClientWidth = 760;
constexpr int kClientHeight = 700;
constexpr int kHeadingWidth = 88;
constexpr int kCellWidth = 72;
constexpr int kHeadingHeight = 26;
constexpr int kCellHeight = 56;
// The title, the legend and the map; the buttons stay off the page.
constexpr int kPrintedHeight = 656;
// Up to nine facts make one short practice.
constexpr int kPracticeFacts = 9;

}  // namespace

FactMapWindow::FactMapWindow(StudyState& st, Keeper& keeper, QWidget* parent)
    : QDialog(parent), st_(st), keeper_(keeper) {
    setObjectName(QStringLiteral("NigateMapForm"));
    const kit::Form form = kit::buildForm(this, "にがて九九マップ", kClientWidth, kClientHeight, kit::kCream, false);
    buildControls(form.client);
    refresh();
}

void FactMapWindow::buildControls(QWidget* client) {
    TitlePanel = kit::panel(client, {16, 10, 300, 56}, "にがて九九マップ", {30, Qt::blue}, kit::kYellow);
    TitlePanel->setFont(displayFont(30));
    kit::label(client, {330, 12, 414, 22}, "テストの答えから，にがてな九九を色でしめすよ。", {14, kit::kNavy, true});
    kit::label(client, {330, 38, 414, 22}, "みどり＝とくい　きいろ＝もう少し　あか＝にがて", {14, kit::kMaroon, true});
    client_ = client;
    HardLine = kit::panel(client, {16, 76, 472, 34}, "", {18, Qt::red, true}, QColor(0xF0, 0xFF, 0xFF));
    PrintButton = kit::button(client, {496, 76, 120, 34}, "いんさつ(&I)",
                              {.px = 14, .bold = true, .tip = "このマップをプリンタで印刷します。"});
    connect(PrintButton, &QPushButton::clicked, this, [this] { PrintClick(); });
    ParentButton = kit::button(client, {624, 76, 120, 34}, "おうちの方へ",
                               {.px = 14, .bold = true, .tip = "正解の割合と答えの速さを数字で表示します。"});
    ParentButton->setCheckable(true);
    connect(ParentButton, &QPushButton::toggled, this, [this] {
        shown_.clear();
        model_->refresh();
    });

    model_ = new kit::CellModel(factmap::kRows, factmap::kColumns,
                                [this](int row, int column, int role) { return cellData(row, column, role); });
    MapGrid = kit::grid(client, {16, 120, kHeadingWidth + 9 * kCellWidth + 2, kHeadingHeight + 9 * kCellHeight + 2},
                        model_, kCellHeight, {kHeadingWidth, kCellWidth}, japaneseFont(12, true));
    MapGrid->setRowHeight(0, kHeadingHeight);
    MapGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MapGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MapGrid->setSelectionMode(QAbstractItemView::NoSelection);
    MapGrid->setWordWrap(true);

    PracticeButton = kit::button(client, {16, 662, 190, 30}, "にがてを れんしゅう(&P)",
                                 {.px = 15, .bold = true, .tip = "にがてな九九を，にがてな順に練習します。"});
    TestButton = kit::button(client, {214, 662, 170, 30}, "にがてテスト(&T)",
                             {.px = 15, .bold = true, .tip = "にがてな九九を，キーで答えるテストでたしかめます。"});
    ClearButton = kit::button(client, {392, 662, 170, 30}, "きろくを けす(&D)",
                              {.px = 15, .bold = true, .tip = "これまでの答えの記録を消します。"});
    CloseButton = kit::button(client, {570, 662, 174, 30}, "とじる(&C)", {.px = 15, .bold = true});
    kit::setTextColour(PracticeButton, Qt::red);
    kit::setTextColour(TestButton, Qt::blue);
    connect(PracticeButton, &QPushButton::clicked, this, &FactMapWindow::PracticeButtonClick);
    connect(TestButton, &QPushButton::clicked, this, &FactMapWindow::TestButtonClick);
    connect(ClearButton, &QPushButton::clicked, this, &FactMapWindow::ClearButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
}

void FactMapWindow::refresh() {
    kit::showFitted(HardLine, QString::fromStdString(hardFactsLine(st_.factRecord)), kit::pixelFont(18, true), 12);
    const bool anyHard = !hardestFacts(st_.factRecord, 1).empty();
    PracticeButton->setEnabled(anyHard);
    TestButton->setEnabled(anyHard);
    ClearButton->setEnabled(!recordIsEmpty(st_.factRecord));
    shown_.clear();
    model_->refresh();
}

void FactMapWindow::choose(FactMapChoice::Drill drill) {
    choice_ = {drill, hardestFacts(st_.factRecord, kPracticeFacts)};
    if (choice_.facts.empty()) choice_ = {};
    else accept();
}

QString FactMapWindow::printedCaption() const {
    const QString day = QDate::currentDate().toString(kit::u("yyyy年M月d日"));
    const QString name = classMap_ ? QString() : QString::fromStdString(st_.studentName).trimmed();
    return name.isEmpty() ? day : name + kit::u("　") + day;
}

QPixmap FactMapWindow::printedPage() const {
    // Whose map, and of which day, above the title, the legend and the map;
    // the buttons are of no use on paper.
    const QPixmap shown = client_->grab(QRect(0, 0, kClientWidth, kPrintedHeight));
    const qreal ratio = shown.devicePixelRatio();
    QPixmap page(QSize(kClientWidth, kCaptionHeight + kPrintedHeight) * ratio);
    page.setDevicePixelRatio(ratio);
    page.fill(kit::kCream);
    QPainter painter(&page);
    painter.drawPixmap(0, kCaptionHeight, shown);
    for (const QPushButton* button : {PrintButton, ParentButton})
        painter.fillRect(button->geometry().translated(0, kCaptionHeight), kit::kCream);
    const QRect line(16, 6, kClientWidth - 32, kCaptionHeight - 6);
    QFont font = kit::pixelFont(20, true);
    const QString caption = printedCaption();
    // A long name is set smaller rather than cut.
    while (font.pixelSize() > 10 && QFontMetrics(font).horizontalAdvance(caption) > line.width())
        font.setPixelSize(font.pixelSize() - 1);
    painter.setFont(font);
    painter.setPen(kit::kNavy);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, caption);
    return page;
}

bool FactMapWindow::PrintClick() { return printPicture(this, printedPage(), kit::u("にがて九九マップ")); }

void FactMapWindow::showClassMap() {
    classMap_ = true;
    setWindowTitle(kit::u("クラスの にがて九九マップ"));
    TitlePanel->setText(kit::u("クラスの にがて"));
    // The class's answers are for reading: no drill and nothing to clear here.
    for (QPushButton* button : {PracticeButton, TestButton, ClearButton}) button->hide();
    CloseButton->setFocus();
}

void FactMapWindow::PracticeButtonClick() { choose(FactMapChoice::Drill::Practice); }

void FactMapWindow::TestButtonClick() { choose(FactMapChoice::Drill::Test); }

void FactMapWindow::ClearButtonClick() {
    if (keeper_.adultOnly() &&
        !adultAllows(this, kit::u("この子の これまでの 答えの 記録を 消します。\nほかの コンピュータの 記録も 消えます。")))
        return;
    const auto answer = QMessageBox::question(this, kit::u("ご確認"), kit::u("これまでの答えの記録を消しますか？"),
                                              QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer != QMessageBox::Ok) return;
    clearRecord(st_.factRecord);
    refresh();
    keeper_.saveFactRecordCleared(this);
}

QVariant FactMapWindow::cellData(int row, int column, int role) const {
    shown_.resize(size_t(factmap::kRows * factmap::kColumns));
    ShownCell& at = shown_[size_t(row * factmap::kColumns + column)];
    if (!at.known) {
        const auto view = ParentButton->isChecked() ? factmap::View::Parent : factmap::View::Child;
        at = {true, factmap::cellAt(st_.factRecord, row, column, view),
              QString::fromStdString(factmap::cellDetails(st_.factRecord, row, column))};
    }
    const GridCell& cell = at.cell;
    switch (role) {
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole: return at.details;
    case Qt::DisplayRole: return QString::fromStdString(cell.text);
    case Qt::BackgroundRole: return cellColour(cell.fill);
    case Qt::ForegroundRole: return cellColour(cell.ink);
    case Qt::TextAlignmentRole: return int(Qt::AlignCenter);
    default: return {};
    }
}
