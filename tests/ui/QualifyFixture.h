// A navigator that records which windows were asked for, and a helper that
// answers the next message box, for the qualification and certificate suites.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <string>

#include "main/AppNavigator.h"
#include "main/core/RunnerPorts.h"
#include "main/core/StudyState.h"
#include "tests/ui/QuietPorts.h"


struct RecordingNavigator : AppNavigator {
    RecordingNavigator(StudyState& st, QuietPorts& ports) : AppNavigator(st, ports, ports, ports) {}
    void openCertificate(QWidget*) override {
        ++certificates;
        certKindSeen = st_.certKind;
        if (onCertificate) onCertificate();
    }
    void openHelp(QWidget*, const std::string& file) override { helpFiles.push_back(file); }
    int certificates = 0;
    int certKindSeen = -99;
    std::function<void()> onCertificate;
    std::vector<std::string> helpFiles;
};

// What the next message box said, and the buttons it offered.
struct BoxAnswer {
    bool seen = false;
    QString title, text;
    QMessageBox::StandardButtons buttons;
};

// Watches, while it lives, for a message box and presses the given button
// on it.
class BoxWatcher {
public:
    BoxWatcher(BoxAnswer& answer, QMessageBox::StandardButton button) {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this, &answer, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            timer_.stop();
            answer.seen = true;
            answer.title = box->windowTitle();
            answer.text = box->text();
            answer.buttons = box->standardButtons();
            box->button(button)->click();
        });
        timer_.start();
    }

private:
    QTimer timer_;
};
