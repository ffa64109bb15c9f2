// The main window wired to real files as the program wires it, in a
// temporary folder of its own that holds a first child's settings file.
#pragma once

#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "main/AppWiring.h"
#include "main/core/Settings.h"
#include "tests/core/FileBytes.h"
#include "tests/ui/ScriptedRun.h"

const std::string kOldIni = "; by hand\r\n[JOUKEN]\r\nKAIMAX=2\r\n[TESTDATA]\r\nRECCHECKARRAY=01\r\n";

struct ChildrenNavigator : CountingNavigator {
    using CountingNavigator::CountingNavigator;
    bool openChildren(QWidget*) override { return onChildren && onChildren(); }
    std::function<bool()> onChildren;
};

// The program's folder holding a first child's files, and the main window
// wired to it as the program wires it.
struct Family {
    Family() {
        st.exeDir = dir.path().toStdString() + "/";
        spit(st.exeDir + kSettingsFileName, kOldIni);
        services = wiring.services();
        services.navigator = &nav;
        services.checkAndLoadSounds = {};
        services.loadHints = {};
        qApp->installEventFilter(&keys);
    }
    ~Family() { qApp->removeEventFilter(&keys); }
    void open() {
        form = std::make_unique<TMasumeForm>(st, keys, clock, services);
        form->show();
    }
    void switchTo(int number) {
        nav.onChildren = [this, number] { return wiring.switchTo(number, form.get()); };
        form->ChildrenClick();
    }
    QTemporaryDir dir;
    StudyState st;
    KeyState keys;
    ScriptedClock clock;
    SilentSound sound;
    AppWiring wiring{st, clock};
    ChildrenNavigator nav{st, sound, clock, wiring};
    MasumeServices services;
    std::unique_ptr<TMasumeForm> form;
};
