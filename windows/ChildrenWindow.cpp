#include "windows/ChildrenWindow.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>

#include "main/core/Family.h"
#include "support/FormKit.h"
#include "windows/AdultGate.h"
#include "support/Fonts.h"

namespace {
constexpr int kClientWidth = 380;
constexpr int kClientHeight = 460;
constexpr int kRows = 8;  // rows shown at once; more scroll
constexpr int kRowHeight = 28;
constexpr const char* kAskWho = "だれが つかうかな？ なまえを えらんでね。";
}  // namespace

ChildrenWindow::ChildrenWindow(Household& household, QWidget* parent) : QDialog(parent), household_(household) {
    setObjectName(QStringLiteral("KodomoForm"));
    const kit::Form form = kit::buildForm(this, "子どもを かえる", kClientWidth, kClientHeight, kit::kCream, false);
    QWidget* c = form.client;
    Heading = kit::label(c, {16, 8, 348, 24}, kAskWho, {15, kit::kNavy, true});
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
    connect(ChooseButton, &QPushButton::clicked, this, &ChildrenWindow::ChooseButtonClick);
    connect(AddButton, &QPushButton::clicked, this, &ChildrenWindow::AddButtonClick);
    connect(BackButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ChildGrid, &QTableView::doubleClicked, this, &ChildrenWindow::ChooseButtonClick);
    RenameButton = kit::button(c, {16, 322, 170, 32}, "なまえを かえる(&R)",
                               {.px = 14, .bold = true, .tip = "えらんだ子どもの なまえを かえます。"});
    RemoveButton = kit::button(c, {194, 322, 170, 32}, "この子を はずす(&D)",
                               {.px = 14, .bold = true,
                                .tip = "おうちの方へ：えらんだ子どもを リストから はずします。"
                                       "きろくは removed フォルダに のこります。"});
    connect(RenameButton, &QPushButton::clicked, this, [this] { RenameButtonClick(); });
    connect(RemoveButton, &QPushButton::clicked, this, [this] { RemoveButtonClick(); });

    // For the parent or teacher: a class folder makes the typed name choose the child's folder in it.
    const std::string classFolder = household_.classFolder();
    ClassLine = kit::label(c, {16, 368, 348, 36}, "", {12, kit::kMaroon, true});
    kit::showFitted(ClassLine,
                    classFolder.empty() ? kit::u("クラスのフォルダ：なし")
                                        : kit::u("クラスのフォルダ：") + QString::fromStdString(classFolder),
                    kit::pixelFont(12, true), 9);
    ClassButton = kit::button(c, {16, 412, 200, 32}, "クラスのフォルダ…(&F)",
                              {.px = 13, .bold = true, .tip = "クラスで使うフォルダ（共有フォルダなど）をえらびます。"});
    LeaveClassButton = kit::button(c, {224, 412, 140, 32}, "クラスをやめる(&L)",
                                   {.px = 13, .bold = true, .tip = "このコンピュータの子どもの きろくに もどります。"});
    LeaveClassButton->setEnabled(!classFolder.empty());
    connect(ClassButton, &QPushButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, kit::u("クラスのフォルダ"));
        // One click in the dialog must not turn this computer into a class computer.
        if (!folder.isEmpty() &&
            adultAllows(this, kit::u("「%1」を\nクラスのフォルダに します。\nこれからは 子どもの なまえを 入力すると、\nその子の ごうかくと 記録は "
                                     "この フォルダに のこり、\nほかの コンピュータと わけあいます。\nこの コンピュータの "
                                     "子どもの きろくは そのまま のこります。").arg(folder)))
            setClassFolder(folder.toStdString() + "/");
    });
    connect(LeaveClassButton, &QPushButton::clicked, this, [this] {
        if (adultAllows(this, kit::u("クラスのフォルダを つかうのを やめ、\nこの コンピュータの 子どもの きろくに もどります。")))
            setClassFolder({});
    });
    if (!classFolder.empty()) Heading->setText(kit::u("クラスの なかまから なまえを えらんでね。"));
    refresh();
}

void ChildrenWindow::followSelection() {
    // A class child's name is their folder in the class; the first child's
    // files stay where the program always kept them; the child sitting here
    // is switched away from before being removed.
    const int row = selectedRow();
    const ChildEntry* child = row >= 0 && row < int(children_.size()) ? &children_[size_t(row)] : nullptr;
    RenameButton->setEnabled(child && !child->inClass);
    RemoveButton->setEnabled(child && !child->inClass && child->number > 0 && !child->current);
}

void ChildrenWindow::RenameButtonClick(const QString& given) {
    const int row = selectedRow();
    if (row < 0 || row >= int(children_.size()) || children_[size_t(row)].inClass) return;
    const ChildEntry child = children_[size_t(row)];
    QString typed = given;
    if (typed.isNull()) {
        QInputDialog ask(this);
        ask.setWindowTitle(kit::u("なまえを かえる"));
        ask.setLabelText(kit::u("あたらしい なまえを かいてね。"));
        ask.setTextValue(child.name == kNewChildName ? QString() : QString::fromStdString(child.name));
        if (QLineEdit* edit = ask.findChild<QLineEdit*>()) edit->setMaxLength(kChildNameLength);
        if (ask.exec() != QDialog::Accepted) return;
        typed = ask.textValue();
    }
    const std::string name = acceptableChildName(typed.toStdString());
    if (name.empty()) {
        // Said where the child looks, without a box to close.
        Heading->setText(kit::u("その なまえは つかえません。"));
        kit::setTextColour(Heading, Qt::red);
        return;
    }
    if (!household_.renameChild(child.number, name, this)) return;
    Heading->setText(kit::u(kAskWho));
    kit::setTextColour(Heading, kit::kNavy);
    refresh();
}

void ChildrenWindow::RemoveButtonClick(bool confirmed) {
    const int row = selectedRow();
    if (row < 0 || row >= int(children_.size())) return;
    const ChildEntry child = children_[size_t(row)];
    if (child.inClass || child.number <= 0 || child.current) return;
    if (!confirmed) {
        QMessageBox ask(QMessageBox::Question, kit::u("子どもを はずす"),
                        kit::u("おうちの方へ：「%1」を この コンピュータの リストから はずします。\n"
                               "きろくは けさずに、フォルダ children/removed に うつします。よろしいですか？")
                            .arg(QString::fromStdString(child.name)),
                        QMessageBox::Yes | QMessageBox::No, this);
        ask.setDefaultButton(QMessageBox::No);
        if (ask.exec() != QMessageBox::Yes) return;
    }
    if (household_.removeChild(child.number, this)) refresh();
}

void ChildrenWindow::refresh() {
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
    connect(ChildGrid->selectionModel(), &QItemSelectionModel::selectionChanged, this, &ChildrenWindow::followSelection,
            Qt::UniqueConnection);
    followSelection();
}

int ChildrenWindow::selectedRow() const {
    const QModelIndexList rows = ChildGrid->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void ChildrenWindow::ChooseButtonClick() {
    const int row = selectedRow();
    if (row < 0 || row >= int(children_.size())) return;
    const ChildEntry& child = children_[size_t(row)];
    if (child.current) {
        reject();
        return;
    }
    if (child.inClass ? !household_.switchToClassChild(child.name, this) : !household_.switchTo(child.number, this))
        return;
    switched_ = true;
    accept();
}

void ChildrenWindow::setClassFolder(const std::string& folder) {
    if (!household_.setClassFolder(folder, this)) return;
    switched_ = true;
    accept();
}

void ChildrenWindow::AddButtonClick() {
    if (!household_.classFolder().empty()) {
        // In a class, a new child is a new name typed in the main window.
        if (!household_.newClassChild(this)) return;
        switched_ = true;
        accept();
        return;
    }
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

QVariant ChildrenWindow::cellData(int row, int, int role) const {
    if (row < 0 || row >= int(children_.size())) return {};
    const ChildEntry& child = children_[size_t(row)];
    const QString name = QString::fromStdString(child.name);
    switch (role) {
    case Qt::DisplayRole: return child.current ? kit::u("★ ") + name + kit::u("（いま）") : name;
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
        if (child.inClass) return kit::u("クラスのフォルダの「%1」").arg(name);
        return child.number == 0 ? kit::u("はじめの子ども（設定ファイルのとなり）")
                                 : kit::u("フォルダ children/%1").arg(child.number);
    case Qt::ForegroundRole: return child.current ? QColor(Qt::red) : QColor(kit::kNavy);
    default: return {};
    }
}
