// Figures, not verdicts: a child of a class of 1,000 (or the number given)
// types their name and presses Enter on a class computer. Printed: how long
// the window's thread is busy with the Enter (saving the child before,
// reading the new child's files, the lease), and the time until the window
// has painted after it; median, most and how many of the names took over
// 100 ms. Each child has passes, a full record and a 200-line history.
// ./bench_class_name [CHILDREN] [NAMES]
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include "bench/MakeClass.h"
#include "main/AppWiring.h"
#include "main/MasumeForm.h"
#include "main/core/Settings.h"
#include "support/Fonts.h"
#include "support/KeyState.h"
#include "support/QtClock.h"

namespace {
// Records when the form last painted.
struct PaintWatch : QObject {
    QElapsedTimer* clock = nullptr;
    double lastPaint = -1;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) lastPaint = double(clock->nsecsElapsed()) / 1e6;
        return false;
    }
};

void line(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    const long over = std::count_if(ms.begin(), ms.end(), [](double m) { return m > 100; });
    std::printf("%-34s median %6.1f ms, most %6.1f ms, over 100 ms: %ld of %zu\n", what, ms[ms.size() / 2], ms.back(), over,
                ms.size());
}
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setFont(japaneseFont(13));
    const int children = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int names = argc > 2 ? std::atoi(argv[2]) : 33;
    QTemporaryDir program, classDir;
    makeClass(classDir.path(), children);

    StudyState st;
    st.exeDir = program.path().toStdString() + "/";
    KeyState keys;
    app.installEventFilter(&keys);
    QtClock clock(&keys);
    AppWiring wiring(st, clock);
    wiring.useClassFolder(classDir.path().toStdString() + "/");
    MasumeServices services = wiring.services();
    services.checkAndLoadSounds = {};
    services.loadHints = {};
    TMasumeForm form(st, keys, clock, services);
    form.show();
    QElapsedTimer time;
    time.start();
    PaintWatch watch;
    watch.clock = &time;
    for (QWidget* w : form.findChildren<QWidget*>()) w->installEventFilter(&watch);
    form.installEventFilter(&watch);
    QApplication::processEvents();

    std::mt19937 random(7);
    std::vector<double> busy, painted;
    for (int n = 0; n < names; ++n) {
        const QString name = QStringLiteral("こども%1").arg(int(random() % unsigned(children)), 4, 10, QChar('0'));
        form.Edit2->setFocus();
        form.Edit2->setText(name);
        QApplication::processEvents();
        watch.lastPaint = -1;
        const double pressed = double(time.nsecsElapsed()) / 1e6;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(form.Edit2, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(form.Edit2, &release);
        busy.push_back(double(time.nsecsElapsed()) / 1e6 - pressed);
        QElapsedTimer wait;
        wait.start();
        while (watch.lastPaint < 0 && wait.elapsed() < 2000) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        painted.push_back(watch.lastPaint - pressed);
    }
    std::printf("a class of %d, %d names typed in turn\n", children, names);
    line("window's thread busy with Enter:", busy);
    line("Enter to the window painted:", painted);
    return 0;
}
