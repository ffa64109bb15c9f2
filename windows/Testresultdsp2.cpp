#include "windows/Testresultdsp2.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>

#include "windows/Keeper.h"
#include "windows/Navigator.h"
#include "main/core/StudyState.h"
#include "support/FormKit.h"
#include "windows/ResultsParts.h"
#include "main/core/VoiceChoice.h"

TResultDsp2Form::TResultDsp2Form(StudyState& st, Navigator& navigator, Keeper& keeper, QWidget* parent)
    : QDialog(parent), st_(st), navigator_(navigator), keeper_(keeper), result_(readLevelResult(st)) {
    const kit::Form form = kit::buildForm(this, "テスト結果（級別）の結果", 504, 482, kit::kButtonFace, true);
    kit::keepOpenOnEscape(this);
    // What it shows was answered by ear: passes registered here were earned so.
    if (st.lastTestByEar == 1) setWindowTitle(windowTitle() + QString::fromUtf8(kByEarTitle));
    QWidget* c = form.client;

    Panel1 = kit::panel(c, QRect(8, 8, 488, 36), result_.title, {.px = 16, .colour = QColor(0, 0, 255), .bold = true},
                        kit::kFuchsia);
    const results::NameRow name = results::nameRow(c, st_, 54);
    StaticText2 = name.label;
    Edit1 = name.edit;

    const results::GridLook look{26, {72, 40}, 15, kit::kButtonFace, Qt::white};
    TestResultGrid2 = results::resultGrid(c, QRect(35, 90, 434, 288), LevelResult::kColumns, LevelResult::kRows,
                                          [this](int column, int row) { return result_.cell(column, row); }, look);

    StaticText1 = kit::label(c, QRect(8, 386, 488, 26), result_.verdict,
                             {.px = 16, .colour = Qt::red, .bold = true, .align = Qt::AlignCenter});
    SpeedButton1 = results::registerButton(c, QRect(100, 424, 232, 34), QColor(0, 0, 255),
                                           "級の合格を登録し，認定書を発行します。");
    connect(SpeedButton1, &QToolButton::clicked, this, &TResultDsp2Form::SpeedButton1Click);

    Button1 = kit::button(c, {372, 427, 72, 28}, "閉", {.px = 16, .pressedByEnter = true});
    connect(Button1, &QPushButton::clicked, this, &TResultDsp2Form::TestClick);

    buildMenus(form.menuBar);
    SpeedButton1->setEnabled(false);
    R1->setEnabled(false);
    if (result_.registrable) whenPassed();
}

void TResultDsp2Form::buildMenus(QMenuBar* menuBar) {
    QMenu* results = menuBar->addMenu(kit::u("級テスト結果(&T)"));
    C1 = results->addAction(kit::u("閉じる(&C)"), this, &TResultDsp2Form::C1Click);
    QMenu* certificate = menuBar->addMenu(kit::u("証明書(&P)"));
    R1 = certificate->addAction(kit::u("登録(&R)"), this, &TResultDsp2Form::R1Click);
}

void TResultDsp2Form::whenPassed() {
    SpeedButton1->setEnabled(true);
    R1->setEnabled(true);
}


void TResultDsp2Form::TestClick() { close(); }

void TResultDsp2Form::C1Click() { close(); }

void TResultDsp2Form::SpeedButton1Click() { R1Click(); }

void TResultDsp2Form::R1Click() {
    registerLevelResult(st_, result_, [this] {
        keeper_.savePasses(this);
        navigator_.openQualification(this);
    });
}
