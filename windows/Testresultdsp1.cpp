#include "windows/Testresultdsp1.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>

#include "windows/Keeper.h"
#include "windows/Navigator.h"
#include "main/core/StudyState.h"
#include "support/FormKit.h"
#include "windows/ResultsParts.h"
#include "main/core/VoiceChoice.h"

TResultDsp1Form::TResultDsp1Form(StudyState& st, Navigator& navigator, Keeper& keeper, QWidget* parent)
    : QDialog(parent), st_(st), navigator_(navigator), keeper_(keeper), result_(readTableResult(st)) {
    const kit::Form form = kit::buildForm(this, "テスト結果（段別）の表示", 313, 455, kit::kCream, true);
    kit::keepOpenOnEscape(this);
    // What it shows was answered by ear: passes registered here were earned so.
    if (st.lastTestByEar == 1) setWindowTitle(windowTitle() + QString::fromUtf8(kByEarTitle));
    QWidget* c = form.client;

    Panel1 = kit::panel(c, QRect(8, 8, 297, 34), result_.title, {.px = 16, .colour = Qt::white, .bold = true},
                        QColor(0, 0, 255));
    const results::NameRow name = results::nameRow(c, st_, 52);
    StaticText2 = name.label;
    Edit1 = name.edit;

    const results::GridLook look{24, {89, 67}, 16, kit::kAqua, kit::kLightYellow};
    TestResultGrid = results::resultGrid(c, QRect(10, 88, 293, 242), TableResult::kColumns, TableResult::kRows,
                                         [this](int column, int row) { return result_.cell(column, row); }, look);

    StaticText1 = kit::label(c, QRect(4, 340, 305, 26), result_.verdict,
                             {.px = 14, .colour = Qt::red, .bold = true, .align = Qt::AlignCenter});
    SpeedButton1 = results::registerButton(c, QRect(46, 374, 221, 32), Qt::red, "段・級の証明証を発行する。");
    connect(SpeedButton1, &QToolButton::clicked, this, &TResultDsp1Form::SpeedButton1Click);

    Button1 = kit::button(c, {124, 416, 65, 28}, "閉", {.px = 16, .pressedByEnter = true});
    connect(Button1, &QPushButton::clicked, this, &TResultDsp1Form::TestClick);

    buildMenus(form.menuBar);
    SpeedButton1->setEnabled(result_.registrable);
    R1->setEnabled(result_.registrable);
}

void TResultDsp1Form::buildMenus(QMenuBar* menuBar) {
    // The heading only opens its entry: leaving the menu must not close the
    // window, whatever was chosen.
    QMenu* results = menuBar->addMenu(kit::u("段テスト結果(&T)"));
    C1 = results->addAction(kit::u("閉じる(&C)"), this, &TResultDsp1Form::TestClick);
    QMenu* certificate = menuBar->addMenu(kit::u("証明書(&P)"));
    R1 = certificate->addAction(kit::u("登録(&R)"), this, &TResultDsp1Form::R1Click);
}


void TResultDsp1Form::TestClick() { close(); }

void TResultDsp1Form::SpeedButton1Click() { registerFrom(RegisterFrom::Button); }

void TResultDsp1Form::R1Click() { registerFrom(RegisterFrom::Menu); }

void TResultDsp1Form::registerFrom(RegisterFrom from) {
    const std::string refusal =
        registerTableResult(st_, result_, from, [this] {
        keeper_.savePasses(this);
        navigator_.openQualification(this);
    });
    if (!refusal.empty()) QMessageBox::information(this, kit::u("ご確認!!"), kit::u(refusal));
}
