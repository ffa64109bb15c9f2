#include "windows/Kodomo.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>

#include "support/FormKit.h"
#include "support/Fonts.h"

namespace {
constexpr int kClientWidth = 380;
constexpr int kClientHeight = 330;
constexpr int kRows = 8;  // rows shown at once; more scroll
constexpr int kRowHeight = 28;
}  // namespace

TKodomoForm::TKodomoForm(Household& household, QWidget* parent) : QDialog(parent), household_(household) {
    setObjectName(QStringLiteral("KodomoForm"));
    const kit::Form form = kit::buildForm(this, "子どもを かえる", kClientWidth, kClientHeight, kit::kCream, false);
    QWidget* c = form.client;
    kit::label(c, {16, 8, 348, 24}, "だれが つかうかな？ なまえを えらんでね。", {15, kit::kNavy, true});
    children_ = household_.children();
    model_ = new kit::CellModel(int(children_.size()), 1,
                                [this](int row, int column, int role) { return cellData(row, column, role); }, this);
    ChildGrid = kit::grid(c, {16, 38, 348, kRows * kRowHeight + 2}, model_, kRowHeight, {344}, japaneseFont(15, true));
    ChildGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    ChildGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    ChildGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ChooseButton = kit::button(c, {16, 284, 124, 32}, "この子にする(&O)",
                               {.px = 14, .bold = true, .pressedByEnter = true, .tip = "えらんだ子どもに かわります。"});
    AddButton = kit::button(c, {148, 284, 124, 32}, "子どもを ふやす(&A)",
                            {.px = 14, .bold = true, .tip = "あたらしい子どもの きろくを つくります。"});
    BackButton = kit::button(c, {280, 284, 84, 32}, "もどる(&B)", {.px = 14, .bold = true});
    connect(ChooseButton, &QPushButton::clicked, this, &TKodomoForm::ChooseButtonClick);
    connect(AddButton, &QPushButton::clicked, this, &TKodomoForm::AddButtonClick);
    connect(BackButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ChildGrid, &QTableView::doubleClicked, this, &TKodomoForm::ChooseButtonClick);
    refresh();
}

void TKodomoForm::refresh() {
    const std::vector<ChildEntry> now = household_.children();
    if (now.size() != children_.size()) {
        children_ = now;
        auto* old = model_;
        model_ = new kit::CellModel(int(children_.size()), 1,
                                    [this](int row, int column, int role) { return cellData(row, column, role); }, this);
        ChildGrid->setModel(model_);
        ChildGrid->setColumnWidth(0, 344);
        delete old;
    } else {
        children_ = now;
        model_->refresh();
    }
    for (int r = 0; r < int(children_.size()); ++r) {
        ChildGrid->setRowHeight(r, kRowHeight);
        if (children_[size_t(r)].current) ChildGrid->selectRow(r);
    }
}

int TKodomoForm::selectedRow() const {
    const QModelIndexList rows = ChildGrid->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TKodomoForm::ChooseButtonClick() {
    const int row = selectedRow();
    if (row < 0 || row >= int(children_.size())) return;
    const ChildEntry& child = children_[size_t(row)];
    if (child.current) {
        reject();
        return;
    }
    if (!household_.switchTo(child.number, this)) return;
    switched_ = true;
    accept();
}

void TKodomoForm::AddButtonClick() {
    const int number = household_.addChild(this);
    if (number < 0) return;
    // The new child starts at once and types a name in the main window.
    if (!household_.switchTo(number, this)) {
        refresh();
        return;
    }
    switched_ = true;
    accept();
}

QVariant TKodomoForm::cellData(int row, int, int role) const {
    if (row < 0 || row >= int(children_.size())) return {};
    const ChildEntry& child = children_[size_t(row)];
    const QString name = QString::fromStdString(child.name);
    switch (role) {
    case Qt::DisplayRole: return child.current ? kit::u("★ ") + name + kit::u("（いま）") : name;
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
        return child.number == 0 ? kit::u("はじめの子ども（設定ファイルのとなり）")
                                 : kit::u("フォルダ children/%1").arg(child.number);
    case Qt::ForegroundRole: return child.current ? QColor(Qt::red) : QColor(kit::kNavy);
    default: return {};
    }
}
