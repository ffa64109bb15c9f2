#include "windows/Nigatemap.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>

#include "main/core/StudyState.h"
#include "support/FormKit.h"
#include "windows/CellColour.h"
#include "support/Fonts.h"
#include "windows/Keeper.h"
#include "windows/core/FactMap.h"

namespace {
constexpr int kClientWidth = 760;
constexpr int kClientHeight = 700;
constexpr int kHeadingWidth = 88;
constexpr int kCellWidth = 72;
constexpr int kHeadingHeight = 26;
constexpr int kCellHeight = 56;
// Up to nine facts make one short practice.
constexpr int kPracticeFacts = 9;

}  // namespace

TNigateMapForm::TNigateMapForm(StudyState& st, Keeper& keeper, QWidget* parent)
    : QDialog(parent), st_(st), keeper_(keeper) {
    setObjectName(QStringLiteral("NigateMapForm"));
    const kit::Form form = kit::buildForm(this, "にがて九九マップ", kClientWidth, kClientHeight, kit::kCream, false);
    buildControls(form.client);
    refresh();
}

void TNigateMapForm::buildControls(QWidget* client) {
    TitlePanel = kit::panel(client, {16, 10, 300, 56}, "にがて九九マップ", {30, Qt::blue}, kit::kYellow);
    TitlePanel->setFont(displayFont(30));
    kit::label(client, {330, 12, 414, 22}, "テストの答えから，にがてな九九を色でしめすよ。", {14, kit::kNavy, true});
    kit::label(client, {330, 38, 414, 22}, "みどり＝とくい　きいろ＝もう少し　あか＝にがて", {14, kit::kMaroon, true});
    HardLine = kit::panel(client, {16, 76, 728, 34}, "", {18, Qt::red, true}, QColor(0xF0, 0xFF, 0xFF));

    model_ = new kit::CellModel(factmap::kRows, factmap::kColumns,
                                [this](int row, int column, int role) { return cellData(row, column, role); });
    MapGrid = kit::grid(client, {16, 120, kHeadingWidth + 9 * kCellWidth + 2, kHeadingHeight + 9 * kCellHeight + 2},
                        model_, kCellHeight, {kHeadingWidth, kCellWidth}, japaneseFont(12, true));
    MapGrid->setRowHeight(0, kHeadingHeight);
    MapGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MapGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MapGrid->setSelectionMode(QAbstractItemView::NoSelection);
    MapGrid->setWordWrap(true);

    PracticeButton = kit::button(client, {16, 662, 200, 30}, "にがてを練習(&P)",
                                 {.px = 15, .bold = true, .tip = "にがてな九九を，にがてな順に練習します。"});
    ClearButton = kit::button(client, {388, 662, 170, 30}, "記録を消す(&D)",
                              {.px = 15, .bold = true, .tip = "これまでの答えの記録を消します。"});
    CloseButton = kit::button(client, {574, 662, 170, 30}, "閉じる(&C)", {.px = 15, .bold = true});
    kit::setTextColour(PracticeButton, Qt::red);
    connect(PracticeButton, &QPushButton::clicked, this, &TNigateMapForm::PracticeButtonClick);
    connect(ClearButton, &QPushButton::clicked, this, &TNigateMapForm::ClearButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TNigateMapForm::refresh() {
    HardLine->setText(QString::fromStdString(hardFactsLine(st_.factRecord)));
    PracticeButton->setEnabled(!hardestFacts(st_.factRecord, 1).empty());
    ClearButton->setEnabled(!recordIsEmpty(st_.factRecord));
    model_->refresh();
}

void TNigateMapForm::PracticeButtonClick() {
    chosen_ = hardestFacts(st_.factRecord, kPracticeFacts);
    if (!chosen_.empty()) accept();
}

void TNigateMapForm::ClearButtonClick() {
    const auto answer = QMessageBox::question(this, kit::u("ご確認"), kit::u("これまでの答えの記録を消しますか？"),
                                              QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer != QMessageBox::Ok) return;
    clearRecord(st_.factRecord);
    refresh();
    keeper_.saveFactRecord(this);
}

QVariant TNigateMapForm::cellData(int row, int column, int role) const {
    const GridCell cell = factmap::cellAt(st_.factRecord, row, column);
    switch (role) {
    case Qt::DisplayRole: return QString::fromStdString(cell.text);
    case Qt::BackgroundRole: return cellColour(cell.fill);
    case Qt::ForegroundRole: return cellColour(cell.ink);
    case Qt::TextAlignmentRole: return int(Qt::AlignCenter);
    default: return {};
    }
}
