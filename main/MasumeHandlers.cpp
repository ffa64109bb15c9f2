// What the main window does when the user acts.
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include "main/MasumeCanvas.h"
#include "main/MasumeForm.h"
#include "support/FormKit.h"
#include "windows/Household.h"
#include "windows/Keeper.h"
#include "windows/Navigator.h"
#include "main/core/FactTables.h"
#include "main/core/History.h"
#include "main/core/QuestionOrder.h"
#include "main/core/Runner.h"
#include "windows/core/Qualification.h"
#include "support/FreeMemory.h"
#include "support/KeyState.h"
#include "support/QtConfirm.h"

using kit::u;

void TMasumeForm::run(const std::function<RunOutcome(Runner&)>& what) {
    if (running_) return;
    // A name typed just before the start is the child whose answers these are.
    if (!confirmName()) return;
    running_ = true;
    keys_.setRunActive(true);
    RunOutcome outcome;
    const FactRecord before = st_.factRecord;
    {
        QtConfirm confirm(keys_, this);
        Runner runner(st_, board_, RunnerPorts{clock_, keys_, *services_.sound, confirm});
        outcome = what(runner);
    }
    keys_.setRunActive(false);
    running_ = false;
    releaseFreeMemory();
    // The run is over: keys reach windows again, and the answers are kept.
    if (outcome.answersRecorded && services_.keeper) services_.keeper->saveFactRecord(this);
    if (outcome.end == RunOutcome::End::Completed && outcome.answersRecorded && services_.appendHistory) {
        // A test of the hard facts opens nothing after it and belongs to no range.
        const bool hardFacts = outcome.then == RunOutcome::Then::Nothing;
        services_.appendHistory(entryOfTest(before, st_.factRecord,
                                            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString(),
                                            hardFacts ? kHardFactsTestRange : st_.rangeIndex, st_.orderMode, st_.passNo));
    }
    switch (outcome.then) {
    case RunOutcome::Then::ResultsByTable: Kekka_Dsp(); break;
    case RunOutcome::Then::ResultsByLevel: KekkaD_Dsp(); break;
    case RunOutcome::Then::TableWindow:
        if (services_.navigator) services_.navigator->openTable(this);
        board_.composAlive();
        break;
    case RunOutcome::Then::Nothing: break;
    }
}

void TMasumeForm::ExecButtonClick() {
    run([](Runner& runner) { return runner.ExecButtonClick(); });
}

void TMasumeForm::HardFactsClick() {
    if (running_ || !services_.navigator) return;
    const FactMapChoice chosen = services_.navigator->openFactMap(this);
    if (chosen.drill == FactMapChoice::Drill::Practice)
        run([&chosen](Runner& runner) { return runner.runPracticeOf(chosen.facts); });
    if (chosen.drill == FactMapChoice::Drill::Test)
        run([&chosen](Runner& runner) { return runner.runTestOf(chosen.facts); });
}

void TMasumeForm::Button2Click() { board_.clearBoard(); }

void TMasumeForm::ComboBox1Change(int row) {
    st_.rangeIndex = row;
    clearKekka(st_);
    refreshResultsEntries();
    st_.currentDan = danOfRange[st_.rangeIndex];
    st_.levelIndex = st_.rangeIndex - 9;
    showSelection();
}

void TMasumeForm::ComboBox2Change(int row) {
    st_.contentIndex = row;
    clearKekka(st_);
    showSelection();
}

void TMasumeForm::RadioGroup1Click(int item) { selectSpeed(st_, item); }

void TMasumeForm::Edit2Change(const QString& name) {
    st_.studentName = name.toStdString();
    st_.studentNo = studentNumber(st_.studentName);
    StaticText6->setText(QString::number(st_.studentNo));
}

void TMasumeForm::showSelection() { board_.showSelection(); }

void TMasumeForm::Timer1Timer() {
    Timer1->stop();  // only the first tick has work
    if (st_.firstPaintPending == 1) {
        drawDecorations();
        st_.firstPaintPending = 0;
    }
}

void TMasumeForm::iroChange() {
    const QColor now(st_.bgColor & 0xFF, (st_.bgColor >> 8) & 0xFF, (st_.bgColor >> 16) & 0xFF);
    const QColor chosen = QColorDialog::getColor(now, this);
    if (chosen.isValid()) {
        st_.bgColor = chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16);
        applyBackground();
    }
    drawDecorations();
}

void TMasumeForm::K2Click(bool checked) { st_.closeConfirm = checked ? 1 : 0; }

bool TMasumeForm::saveAndReport() {
    const std::string error = services_.saveSettings ? services_.saveSettings(st_) : std::string();
    if (error.empty()) return true;
    if (!saveFailureShown_) kit::saveFailureBox(this, error);
    saveFailureShown_ = true;
    return false;
}

void TMasumeForm::X1Click() {
    saveAndReport();
    close();
    // Still open (the question was answered with Cancel): a later quit reports again.
    saveFailureShown_ = false;
}

bool TMasumeForm::askForNameIfEmpty() {
    if (!Edit2->text().isEmpty()) return false;
    QMessageBox::information(this, u("おねがい。。。"), u("まず，なまえを記入してください。"));
    Edit2->setFocus();
    return true;
}

void TMasumeForm::Kekka_Dsp() {
    if (!isTableRange(st_.rangeIndex) || askForNameIfEmpty()) return;
    if (services_.navigator) services_.navigator->openResultsByTable(this);
    followChoicesMadeElsewhere();
}

void TMasumeForm::KekkaD_Dsp() {
    if (isTableRange(st_.rangeIndex) || askForNameIfEmpty()) return;
    if (services_.navigator) services_.navigator->openResultsByLevel(this);
    followChoicesMadeElsewhere();
}

void TMasumeForm::K1Click() {
    if (services_.navigator) services_.navigator->openQualification(this);
    followChoicesMadeElsewhere();
}

void TMasumeForm::followChoicesMadeElsewhere() {
    // The qualification window chooses a certificate's range and content by
    // setting them; what the lists show must be what Start runs.
    const SelectionChange change = selectionChange({ComboBox2->currentIndex(), ComboBox1->currentIndex()}, st_);
    if (!change.any()) return;
    if (change.range) st_.levelIndex = st_.rangeIndex - 9;
    clearKekka(st_);
    syncSelections();
}

void TMasumeForm::A1Click() {
    st_.refFromContent = 0;
    if (services_.navigator) services_.navigator->openTable(this);
}

void TMasumeForm::C1Click() {
    if (services_.navigator) services_.navigator->openSettings(this);
}

void TMasumeForm::H2Click() {
    if (services_.navigator) services_.navigator->openHelp(this, kMainHelpFile);
}

void TMasumeForm::V1Click() {
    if (services_.navigator) services_.navigator->openAbout(this);
}

void TMasumeForm::TestT1Click() { services_.sound->playSound(SoundKind::Right); }

void TMasumeForm::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore();
        return;
    }
    if (st_.closeConfirm == 1) {
        const auto answer = QMessageBox::question(this, u("ご確認"), u("終わっていいですか？"),
                                                  QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
        if (answer != QMessageBox::Ok) {
            event->ignore();
            return;
        }
    }
    if (services_.releaseSounds) services_.releaseSounds();
    saveAndReport();
    event->accept();
}

void TMasumeForm::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !st_.firstPaintPending) drawDecorations();
    QMainWindow::changeEvent(event);
}

void TMasumeForm::ChildrenClick() {
    if (running_ || !services_.navigator) return;
    const bool switched = services_.navigator->openChildren(this);
    classRecordAction->setVisible(inClass());
    if (switched) followChild();
    // The child sitting here may have been given another name.
    else if (const QString name = QString::fromStdString(st_.studentName); Edit2->text() != name) Edit2->setText(name);
}

void TMasumeForm::followChild() {
    // Another child sits here now: their name, passes, settings and map,
    // and nothing left on the board of the child before.
    board_.clearBoard();
    setFieldText(Field::PassLabel, "[＊回目]");
    showChild();
    syncSelections();
    sankakuPt();
    drawDecorations();
}

bool TMasumeForm::inClass() const { return services_.household && !services_.household->classFolder().empty(); }

bool TMasumeForm::confirmName() {
    if (!services_.household || confirmingName_) return true;
    confirmingName_ = true;
    const NameChange change = services_.household->confirmName(this);
    confirmingName_ = false;
    if (change == NameChange::Loaded) followChild();
    if (change == NameChange::Carried) {
        // The test just taken is this child's: its results stay to be seen and registered.
        const StudyState run = st_;
        followChild();
        std::copy(&run.kekkaArray[0][0], &run.kekkaArray[0][0] + kKekkaRows * kKekkaCols, &st_.kekkaArray[0][0]);
        st_.questionOrder = run.questionOrder;
        st_.shuffleRanks = run.shuffleRanks;
        st_.orderMode = run.orderMode;
        st_.firstPos = run.firstPos;
        st_.endPos = run.endPos;
        st_.passNo = run.passNo;
    }
    if (change == NameChange::Refused) Edit2->setText(QString::fromStdString(st_.studentName));
    return change != NameChange::Refused;
}
