// Figures, not verdicts: the teacher's window over a large class. A class of
// children (200 and 1,000 by default; give other sizes as arguments) is
// made in a temporary folder, each child with passes, a full record of
// answers and a 200-line history. Printed for each size: the time the
// reading takes beside the window, and the longest time the window's thread
// is held (no event handled) while the window opens, while よみなおす reads
// and while 「クラスの にがて」 opens and paints; beside them the same for a
// bare dialog of the same size, the yardstick of what Qt itself costs.
// Run on a display (tools/private_xvfb.sh) or QT_QPA_PLATFORM=offscreen:
// ./bench_class [CHILDREN...], or ./bench_class --make DIR CHILDREN to make one class to open by hand
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <string>
#include <functional>
#include <vector>

#include "bench/MakeClass.h"
#include "main/core/FactRecord.h"
#include "support/Fonts.h"
#include "support/core/WholeFile.h"
#include "windows/ClassRecordWindow.h"
#include "windows/FactMapWindow.h"
#include "windows/core/ClassRecord.h"

namespace {

// The longest gap between two turns of the window's event loop while
// `start` runs and until `done` is true: how long the window could not
// answer. A timer asks every millisecond.
double longestHoldMs(const std::function<void()>& start, const std::function<bool()>& done) {
    QEventLoop loop;
    QElapsedTimer clock;
    double last = 0, longest = 0;
    bool started = false;
    QTimer beat;
    beat.setTimerType(Qt::PreciseTimer);
    beat.setInterval(1);
    QObject::connect(&beat, &QTimer::timeout, &loop, [&] {
        const double now = double(clock.nsecsElapsed()) / 1e6;
        longest = std::max(longest, now - last);
        last = now;
        if (started && done()) loop.quit();
    });
    QTimer::singleShot(5, &loop, [&] {
        last = double(clock.nsecsElapsed()) / 1e6;
        start();
        started = true;
    });
    clock.start();
    beat.start();
    loop.exec();
    return longest;
}

// A modal window opened by `open`, closed once it has been shown for a while.
double longestHoldOfModal(const std::function<void()>& open) {
    bool closed = false;
    return longestHoldMs(
        [&] {
            QTimer::singleShot(300, [] {
                if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
            });
            open();
            closed = true;
        },
        [&] { return closed; });
}

constexpr int kRounds = 5;

std::string spread(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    char text[64];
    std::snprintf(text, sizeof text, "%.0f / %.0f", ms[ms.size() / 2], ms.back());
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setFont(japaneseFont(13));
    // --make DIR N: only makes such a class in DIR, to open by hand.
    if (argc == 4 && std::string(argv[1]) == "--make") {
        makeClass(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));
        return 0;
    }
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {200, 1000};

    // The yardstick: a bare dialog of the teacher's window's size.
    QDialog* bare = nullptr;
    const double bareOpen = longestHoldMs(
        [&] {
            bare = new QDialog;
            bare->resize(920, 600);
            bare->show();
        },
        [&] { return true; });
    const double bareModal = longestHoldOfModal([] {
        QDialog modal;
        modal.resize(560, 640);
        modal.exec();
    });
    delete bare;
    std::printf("bare dialog: opening holds the window %.1f ms, a modal one over it %.1f ms\n", bareOpen, bareModal);
    std::printf("longest hold of the window's thread, ms: median / most of %d rounds\n", kRounds);
    std::printf("%9s %12s %14s %14s %16s\n", "children", "reading ms", "open", "reload", "class map");

    for (int children : sizes) {
        QTemporaryDir dir;
        makeClass(dir.path(), children);
        const std::string folder = dir.path().toStdString() + "/";
        QElapsedTimer reading;
        reading.start();
        const ClassView view = readClassFolder(folder);
        const double readingMs = double(reading.nsecsElapsed()) / 1e6;
        QElapsedTimer summing;
        summing.start();
        for (const FactHistory& h : view.merged.facts) summarise(h);
        std::printf("  the class's 81 facts summarised once: %.1f ms\n", double(summing.nsecsElapsed()) / 1e6);

        ClassRecordWindow* form = nullptr;
        const auto readDone = [&] { return form && form->ReloadButton->isEnabled(); };
        // Each step several times: a shared computer's figures scatter.
        std::vector<double> open, reload, map;
        for (int round = 0; round < kRounds; ++round) {
            delete form;
            form = nullptr;
            open.push_back(longestHoldMs(
                [&] {
                    form = new ClassRecordWindow(folder);
                    form->show();
                },
                readDone));
            reload.push_back(longestHoldMs([&] { form->ReloadClick(); }, readDone));
            map.push_back(longestHoldOfModal([&] { form->MapClick(); }));
        }
        std::printf("%9d %12.0f %14s %14s %16s   (%zu rows)\n", children, readingMs, spread(open).c_str(),
                    spread(reload).c_str(), spread(map).c_str(), form->view().children.size());
        delete form;
    }
    return 0;
}
