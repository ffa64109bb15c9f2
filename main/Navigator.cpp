#include "main/Navigator.h"

#include "main/core/StudyState.h"
#include "support/FreeMemory.h"
#include "support/HelpLauncher.h"
#include "windows/About_.h"
#include "windows/Certif_syo.h"
#include "windows/Dancalcdsp.h"
#include "windows/Kukujouken.h"
#include "windows/Nigatemap.h"
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

void Navigator::openSettings(QWidget* over) { showModal<TJoukenSetForm>(over, st_, *this); }
void Navigator::openResultsByTable(QWidget* over) { showModal<TResultDsp1Form>(over, st_, *this); }
void Navigator::openResultsByLevel(QWidget* over) { showModal<TResultDsp2Form>(over, st_, *this); }
void Navigator::openQualification(QWidget* over) { showModal<TSikakuCheckForm>(over, st_, *this); }
void Navigator::openCertificate(QWidget* over) { showModal<TCertForm2>(over, st_, *this); }
void Navigator::openTable(QWidget* over) { showModal<TDanCalcForm>(over, st_, *this); }
void Navigator::openAbout(QWidget* over) { showModal<TAboutForm>(over, st_, *this); }

std::vector<int> Navigator::openFactMap(QWidget* over) {
    releaseFreeMemory();
    std::vector<int> chosen;
    {
        TNigateMapForm window(st_, *this, over);
        window.exec();
        chosen = window.chosenFacts();
    }
    releaseFreeMemory();
    return chosen;
}

void Navigator::openHelp(QWidget* over, const std::string& fileName) { showHelpFile(over, st_.exeDir, fileName); }
