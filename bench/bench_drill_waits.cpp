// Figures, not verdicts: what a drill costs while it waits, and how late its
// waits end. Run from the build folder: ./bench_drill_waits
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sys/resource.h>
#include <vector>

#include "main/MasumeForm.h"
#include "support/Fonts.h"
#include "support/KeyState.h"
#include "support/QtClock.h"

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * (v.size() - 1) + 0.5))];
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication app(argc, argv);
    app.setFont(japaneseFont(13));
    StudyState st;
    KeyState keys;
    app.installEventFilter(&keys);
    QtClock clock(&keys);
    MasumeServices services;
    services.loadSettings = [](StudyState& s) {
        s.rangeIndex = 0;
        s.contentIndex = 0;
        s.speedIndex = 0;  // step: each fact waits 10 s for G
        s.repeatCount = 1;
        s.answerDelay = 500;
        s.studentName = "くく はじめ";
    };
    TMasumeForm form(st, keys, clock, services);
    form.show();
    bool painted = false;
    while (!painted) {
        app.processEvents(QEventLoop::AllEvents, 5);
        painted = form.isVisible() && !form.grab().isNull();
    }
    std::printf("start to painted main window: %.1f ms (%s)\n", sinceStart.nsecsElapsed() / 1e6,
                qPrintable(QGuiApplication::platformName()));

    // CPU during a 10-second step wait: Esc ends the practice at 10.5 s.
    QTimer::singleShot(10'500, [&] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(&form, &press);
    });
    const double cpuAtStart = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    form.ExecButtonClick();
    const double wallAtStart = 0;
    const double cpu = cpuSeconds() - cpuAtStart;
    const double seconds = wall.nsecsElapsed() / 1e9 - wallAtStart;
    std::printf("practice wait: %.2f s of CPU in %.2f s = %.2f %% of one core (target < 1 %%)\n", cpu, seconds,
                100.0 * cpu / seconds);
    std::printf("message after Esc: %s\n", qPrintable(form.StaticText3->text()));

    // How late sleeps end after their limits.
    std::vector<double> late;
    for (int i = 0; i < 300; ++i) {
        const int ms = 1 + (i * 37) % 60;
        const auto t0 = std::chrono::steady_clock::now();
        clock.sleepMs(ms);
        const double took = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        late.push_back(took - ms);
    }
    std::printf("sleep lateness over %zu sleeps of 1-60 ms: median %.3f ms, p95 %.3f ms, max %.3f ms (target median < 3 ms)\n",
                late.size(), percentile(late, 0.5), percentile(late, 0.95), *std::max_element(late.begin(), late.end()));
    std::printf("resident memory: %ld kB\n", residentKb());
    return 0;
}
