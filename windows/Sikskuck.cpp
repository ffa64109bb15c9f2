#include "windows/Sikskuck.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>

#include "windows/AdultGate.h"
#include "windows/Keeper.h"
#include "windows/Navigator.h"
#include "main/core/StudyState.h"
#include "support/FormKit.h"
#include "support/Fonts.h"

namespace {

constexpr int kClientWidth = 477;
constexpr int kClientHeight = 579;
constexpr int kRowHeight = 24;
const QColor kVeryLightCyan(224, 255, 255);
const QColor kHighlight(49, 106, 197);

QPushButton* button(QWidget* parent, const QRect& geometry, const char* text, const char* tip = "") {
    return kit::button(parent, geometry, text, {.px = 13, .bold = true, .tip = tip});
}

}  // namespace

TSikakuCheckForm::TSikakuCheckForm(StudyState& st, Navigator& navigator, Keeper& keeper, QWidget* parent)
    : QDialog(parent), st_(st), navigator_(navigator), keeper_(keeper), grid_(gridFromPasses(st)) {
    setObjectName("SikakuCheckForm");
    const kit::Form form = kit::buildForm(this, "皆伝資格チェック", kClientWidth, kClientHeight, kit::kCream, true);
    kit::keepOpenOnEscape(this);
    buildMenu(form.menuBar);
    buildControls(form.client);
    kit::showFitted(Edit1, kit::u(st_.studentName), Edit1->font(), 11);
    StringGrid1->setCurrentIndex(model_->index(1, 1));
    K2Click();
}

void TSikakuCheckForm::buildMenu(QMenuBar* menuBar) {
    QMenu* table = menuBar->addMenu(kit::u("資格チェック表(&K)"));
    K2 = table->addAction(kit::u("資格チェック(&T)"), this, &TSikakuCheckForm::K2Click);
    table->addSeparator();
    D1 = table->addAction(kit::u("成績クリア(&D)"), this, &TSikakuCheckForm::D1Click);
    table->addSeparator();
    C1 = table->addAction(kit::u("閉める(&C)"), this, &TSikakuCheckForm::C1Click);
    QMenu* help = menuBar->addMenu(kit::u("ヘルプ(&H)"));
    Contents1 = help->addAction(kit::u("目次(&C)"), this, &TSikakuCheckForm::Contents1Click);
}

void TSikakuCheckForm::buildControls(QWidget* client) {
    Panel1 = kit::panel(client, {24, 12, 300, 38}, "《資格チェック表》", {20, Qt::red, true}, kit::kYellow);
    Button1 = button(client, {352, 14, 100, 32}, "お助け(&E)");
    kit::setTextColour(Button1, Qt::red);
    Label1 = kit::label(client, {28, 62, 52, 26}, "なまえ", {14, Qt::black, true});
    Edit1 = new QLineEdit(client);
    Edit1->setGeometry(84, 62, 240, 26);
    Edit1->setReadOnly(true);
    Edit1->setFont(faceFont(Face::Mincho, 16, true));
    kit::setTextColour(Edit1, Qt::blue);

    model_ = new kit::CellModel(kCheckRows, kCheckCols, [this](int r, int c, int role) { return cell(r, c, role); });
    // The header row and the row names are fixed: clicks and arrow keys pass
    // them by, so the selection always names a pass-table cell.
    model_->setHeadings(1, 1);
    // Sized to the cells and the frame exactly below.
    StringGrid1 = kit::grid(client, {37, 100, 402, 362}, model_, kRowHeight, {120, 70}, kit::pixelFont(15, true));
    StringGrid1->setObjectName("StringGrid1");
    const int frame = 2 * StringGrid1->frameWidth();
    StringGrid1->resize(120 + 4 * 70 + frame, kCheckRows * kRowHeight + frame);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette palette = StringGrid1->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Highlight, kHighlight);
        palette.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    StringGrid1->setPalette(palette);

    Panel2 = kit::panel(client, {36, 474, 404, 40}, "", {15, Qt::red, true}, kVeryLightCyan);
    Button4 = button(client, {24, 530, 136, 34}, "資格チェック(&T)");
    Button3 = button(client, {171, 530, 136, 34}, "段級認定書(&D)", "段級位の認定書を発行します。");
    Button5 = button(client, {318, 530, 136, 34}, "マスター位(&M)", "マスター位の認定書を発行します。");

    connect(Button1, &QPushButton::clicked, this, &TSikakuCheckForm::Contents1Click);
    connect(Button4, &QPushButton::clicked, this, &TSikakuCheckForm::K2Click);
    connect(Button3, &QPushButton::clicked, this, &TSikakuCheckForm::Button3Click);
    connect(Button5, &QPushButton::clicked, this, &TSikakuCheckForm::Button5Click);
}

QVariant TSikakuCheckForm::cell(int row, int column, int role) const {
    const bool fixed = row == 0 || column == 0;
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(grid_.at(column, row));
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    case Qt::BackgroundRole:
        return fixed ? kit::kButtonFace : QColor(Qt::white);
    case Qt::ForegroundRole:  // fixed cells are not greyed
        return fixed ? QColor(Qt::black) : QVariant();
    default:
        return {};
    }
}

void TSikakuCheckForm::showCheck() {
    model_->refresh();
    Panel2->setText(QString::fromUtf8(rankMessage(rank_).data(), qsizetype(rankMessage(rank_).size())));
    Button5->setEnabled(masterCertificateAllowed(rank_));
}

void TSikakuCheckForm::K2Click() {
    rank_ = runCheck(grid_);
    showCheck();
}

void TSikakuCheckForm::Button3Click() {
    const QModelIndex selected = StringGrid1->currentIndex();
    switch (requestRangeCertificate(grid_, selected.column(), selected.row(), st_)) {
    case RangeCertificate::Ignored:
        return;
    case RangeCertificate::NotBothOrders:
        QMessageBox::information(this, kit::u(kQualificationCaption), kit::u(kNotBothOrdersText), QMessageBox::Ok);
        return;
    case RangeCertificate::Open:
        navigator_.openCertificate(this);
        return;
    }
}

void TSikakuCheckForm::Button5Click() {
    requestMasterCertificate(st_);
    navigator_.openCertificate(this);
}

void TSikakuCheckForm::D1Click() {
    if (keeper_.adultOnly() &&
        !adultAllows(this, kit::u("この子の ごうかくを すべて 消します。\nほかの コンピュータで とった ごうかくも 消えます。")))
        return;
    const auto answer = QMessageBox::question(this, kit::u(kQualificationCaption), kit::u(kClearQuestionText),
                                              QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer != QMessageBox::Ok) return;
    rank_ = clearRecords(grid_, st_);
    showCheck();
    keeper_.savePassesCleared(this);
}

void TSikakuCheckForm::C1Click() { close(); }

void TSikakuCheckForm::Contents1Click() { navigator_.openHelp(this, kQualificationHelpFile); }

void TSikakuCheckForm::done(int result) {
    writeBack(grid_, st_);
    QDialog::done(result);
}

