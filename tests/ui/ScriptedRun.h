// Runs the real main window with a clock of its own: time moves only when a
// drill sleeps or waits, and key presses, clicks and close requests happen at
// chosen moments of that time. The window, key state and event loop are the
// program's own, so what a child's keys do before, during and after a run is
// seen as it happens, without waiting for real seconds.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <map>

#include "main/MasumeForm.h"
#include "main/AppNavigator.h"
#include "main/core/RunnerPorts.h"
#include "support/KeyState.h"
#include "tests/ui/QuietPorts.h"
#include "tests/ui/ScriptedClock.h"

// Counts the windows a run or a key would open instead of opening them.
struct CountingNavigator : AppNavigator {
    using AppNavigator::AppNavigator;
    void openSettings(QWidget*) override { ++settings; }
    // A results window may register a pass, and the qualification window it
    // opens may choose other lists.
    void openResultsByTable(QWidget*) override {
        ++resultsByTable;
        if (onResults) onResults();
    }
    void openResultsByLevel(QWidget*) override {
        ++resultsByLevel;
        if (onResults) onResults();
    }
    void openTable(QWidget*) override {
        ++table;
        if (onTable) onTable();
    }
    void openQualification(QWidget*) override {
        if (onQualification) onQualification();
    }
    std::function<void()> onQualification, onResults, onTable;
    int settings = 0, resultsByTable = 0, resultsByLevel = 0, table = 0;
};

struct ScriptedWindow {
    explicit ScriptedWindow(int range, int content, int speed, std::string name = "たろう",
                            std::function<std::string(const StudyState&)> save = {}) {
        qApp->installEventFilter(&keys);
        MasumeServices services;
        services.loadSettings = [=](StudyState& s) {
            s.rangeIndex = range;
            s.contentIndex = content;
            s.speedIndex = speed;
            s.studentName = name;
            s.repeatCount = 1;
            s.answerDelay = 500;
        };
        services.navigator = &navigator;
        services.saveSettings = save;
        services.keeper = &keeper;
        form = std::make_unique<TMasumeForm>(st, keys, clock, services);
        form->show();
        QApplication::setActiveWindow(form.get());
    }
    ~ScriptedWindow() { qApp->removeEventFilter(&keys); }

    // Answers the next confirmation box (real time: it runs its own loop),
    // looked for every 30 ms for up to 5 s: a busy machine may show it late.
    void answerNextBox(QMessageBox::StandardButton button, int triesLeft = 170) {
        QTimer::singleShot(30, form.get(), [this, button, triesLeft] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                if (triesLeft > 0) answerNextBox(button, triesLeft - 1);
                return;
            }
            boxTexts.push_back(box->text());
            box->button(button)->click();
        });
    }
    void choose(int content) {
        st.contentIndex = content;
        form->syncSelections();
    }

    StudyState st;
    KeyState keys;
    ScriptedClock clock;
    SilentSound sound;
    QuietPorts keeper;
    CountingNavigator navigator{st, sound, clock, keeper};
    std::unique_ptr<TMasumeForm> form;
    QStringList boxTexts;
};
