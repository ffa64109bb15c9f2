#include "main/AppNavigator.h"

#include "main/core/StudyState.h"
#include "support/FreeMemory.h"
#include "support/HelpLauncher.h"
#include "windows/About_.h"
#include "windows/Certif_syo.h"
#include "windows/Dancalcdsp.h"
#include "windows/ProgressChartWindow.h"
#include "windows/ChildrenWindow.h"
#include "windows/ClassRecordWindow.h"
#include "windows/Kukujouken.h"
#include "windows/FactMapWindow.h"
#include "windows/Sikskuck.h"
#include "windows/Testresultdsp1.h"
#include "windows/Testresultdsp2.h"

namespace {
// What the run before it freed goes back before a window is built, and what
// the window itself used goes back when it closes.
template <typename Window, typename... Args>
void showModal(QWidget* over, Args&&... args) {
    releaseFreeMemory();
    {
        Window window(std::forward<Args>(args)..., over);
        window.exec();
    }
    releaseFreeMemory();
}
}  // namespace

void AppNavigator::openSettings(QWidget* over) { showModal<TJoukenSetForm>(over, st_, *this, sound_, clock_); }
void AppNavigator::openResultsByTable(QWidget* over) { showModal<TResultDsp1Form>(over, st_, *this, keeper_); }
void AppNavigator::openResultsByLevel(QWidget* over) { showModal<TResultDsp2Form>(over, st_, *this, keeper_); }
void AppNavigator::openQualification(QWidget* over) { showModal<TSikakuCheckForm>(over, st_, *this, keeper_); }
void AppNavigator::openCertificate(QWidget* over) { showModal<TCertForm2>(over, st_); }
void AppNavigator::openTable(QWidget* over) { showModal<TDanCalcForm>(over, st_); }
void AppNavigator::openAbout(QWidget* over) { showModal<TAboutForm>(over); }

FactMapChoice AppNavigator::openFactMap(QWidget* over) {
    releaseFreeMemory();
    FactMapChoice chosen;
    {
        FactMapWindow window(st_, keeper_, over);
        window.exec();
        chosen = window.choice();
    }
    releaseFreeMemory();
    return chosen;
}

void AppNavigator::openHelp(QWidget* over, const std::string& fileName) { showHelpFile(over, st_.exeDir, fileName); }

bool AppNavigator::openChildren(QWidget* over) {
    if (!household_) return false;
    ChildrenWindow window(*household_, over);
    window.exec();
    return window.switched();
}

void AppNavigator::openProgress(QWidget* over) {
    if (!household_) return;
    showModal<ProgressChartWindow>(over, household_->history());
}

void AppNavigator::openClassRecord(QWidget* over) {
    if (!household_ || household_->classFolder().empty()) return;
    showModal<ClassRecordWindow>(over, household_->classFolder());
}
