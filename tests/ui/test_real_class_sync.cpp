// A classroom whose class folder Syncthing keeps in step: two classroom
// computers, each the real program started through its installed command
// with --class-folder (a folder named from where it was started) on its own
// X display, and the teacher's. The same child opens on both computers at
// once (each is told of the other), takes a test of another table on each,
// answering every question right, and registers the pass in the results
// window; one computer quits, then the other, and once more the other way
// round with a second child. Within a minute the teacher's copy of the
// folder shows each child with both passes, both tests' answers and both
// history lines, to readClassFolder and in クラスのきろく.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTableView>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <functional>
#include <thread>

#include "main/core/ChildFiles.h"
#include "main/core/History.h"
#include "tests/ui/RealProgram.h"
#include "tests/ui/SyncedClass.h"
#include "windows/ClassRecordWindow.h"
#include "windows/core/ClassRecord.h"

namespace {

// Settings that choose the test in order of one range at the slowest
// speed, so that a busy computer still answers within each question's limit.
QByteArray testOfRange(int range) {
    return "[JOUKEN]\r\nMENUN=3\r\nMOKUJIN=" + QByteArray::number(range) + "\r\nPROCFLAG=0\r\n";
}

// What a child's visit to a classroom computer came to.
struct Visit {
    QString error, steps;  // steps: "main window 3.0 s, results 36.1 s, ..."
    int notices = 0;       // boxes that told of the other computer
};

// The child's whole visit, on a computer whose program is installed and
// told its class folder: empty when it went as it should, else where it
// did not. Its steps and notices go to v, the steps on the test's clock.
QString visitOf(Journey& j, Visit& v, const QString& name, int table, const QElapsedTimer& clock,
                const std::function<void(const char*)>& at) {
    const auto note = [&](const char* step) {
        v.steps += QString("%1 %2 s, ").arg(step).arg(clock.elapsed() / 1000.0, 0, 'f', 1);
    };
    // A box that tells of the same child open on the other computer.
    const auto notice = [&] {
        if (!j.boxShown("^ちゅうい$", 0)) return;
        ++v.notices;
        note("told of the other computer");
    };
    if (!j.start()) return "the program did not start";
    // Two programs start at once here, on a computer that may be busy.
    const QString main = j.mainWindow(60000);
    if (main.isEmpty()) return "the main window did not appear; " + j.describe();
    note("main window");
    // The name field, then Enter: the child's folder of the class.
    j.keys(main, {}, 0);
    j.click(main, 506, 441, 150);
    j.keys(main, {"ctrl+a"}, 150);
    j.type(name);
    j.keys(main, {"Return"}, 800);
    notice();
    at("named");
    notice();
    j.keys(main, {"alt+e"});  // 始める, with the focus back from a box
    for (int pass = 0; pass < 3; ++pass)
        for (int m = 1; m <= 9; ++m)
            if (QString e = j.answer(main, table * m); !e.isEmpty())
                return QString("pass %1, %2×%3: %4").arg(pass + 1).arg(table).arg(m).arg(e);
    const QString results = j.waitFor("^テスト結果（段別）の表示$");
    if (results.isEmpty()) return "no results window after the test";
    note("results");
    j.keys(results, {"alt+p"});  // 証明書 → 登録, which saves the pass
    note("registered");
    j.keys(results, {"r"});
    const QString check = j.waitFor("資格チェック$");
    if (check.isEmpty()) return "registering opened no qualification window";
    j.keys(check, {"alt+k", "c"});
    if (!j.waitGone(check)) return "the qualification window did not close";
    j.keys(results, {"alt+t", "c"});
    if (!j.waitGone(results)) return "the results window did not close";
    // The other computer's notice comes at a check once nothing else is open.
    for (int i = 0; i < 40 && v.notices == 0 && j.running(); ++i) {
        notice();
        QThread::msleep(250);
    }
    note("waits to quit");
    at("quit");
    // The other computer's notice comes at a minute's tick once nothing else is open.
    for (int tries = 0; tries < 3 && j.running(); ++tries) {
        notice();
        j.keys(main, {"alt+f", "x"});  // ファイル → 終わり
        j.finished(tries < 2 ? 4000 : 30000);
    }
    if (j.running()) return "the program did not end at ファイル → 終わり";
    if (j.exitCode() != 0) return "the program ended with " + QString::number(j.exitCode()) + ": " + j.errors();
    note("ended");
    return {};
}

// A child's test on one computer.
struct Test {
    int range;  // in the range list, as the settings store it
    int table;
};
// Computer i tests tests[i].
const Test kTests[2] = {{0, 1}, {1, 2}};

// Where the class view shows passes: the order (1 in order) and the row of
// the pass table.
std::vector<std::pair<int, int>> passesShown(const ClassChild& child) {
    std::vector<std::pair<int, int>> passes;
    for (int r = 1; r <= kClassRanges; ++r)
        for (int c = 1; c <= kClassOrders; ++c)
            if (child.grid.passed(c, r)) passes.emplace_back(c, r);
    return passes;
}

// A child's two tests as the teacher's folder holds them once all has come:
// both passes, the 54 answers and the history's two lines.
bool testsArrived(const ClassChild& child, const std::string& teacher) {
    int answers = 0;
    for (const FactHistory& fact : child.record.facts) answers += fact.asked;
    return child.state == ClassChild::State::Whole && passesShown(child).size() == 2 && answers == 54 &&
           readChildFolder(teacher + child.name + "/", {}, true).history.size() == 2;
}

}  // namespace

TEST(RealClassSync, OneChildOnTwoComputersKeepsBothPassesInEitherQuitOrder) {
    QElapsedTimer syncStart;
    syncStart.start();
    SyncedClass sync;
    const QString started = sync.start();
    ASSERT_TRUE(started.isEmpty()) << started.toStdString();
    std::printf("three Syncthing instances connected and idle in %.1f s\n", syncStart.elapsed() / 1000.0);
    // Each computer on an X server of its own, as two computers are: no
    // focus to fight over, and nothing another test left on a shared one.
    OwnDisplay screens[2];
    const QString displays[] = {screens[0].name(), screens[1].name()};
    ASSERT_FALSE(displays[0].isEmpty() || displays[1].isEmpty()) << "no X server for a classroom computer";
    // Both computers are installed before either starts: a copy still open
    // for writing while the other thread forks would make its program
    // "busy" to exec.
    QTemporaryDir folders[2];
    for (int i = 0; i < 2; ++i) {
        Journey computer(displays[i], folders[i].path());
        ASSERT_TRUE(folders[i].isValid() && computer.install(testOfRange(kTests[i].range)) && computer.installCommand())
            << "TATEYOKO_APP_DIR or TATEYOKO_SOURCE_DIR is not set: run the README's test command";
    }

    // Round 0: computer 0 quits first; round 1: computer 1.
    const QString names[2] = {"あおい", "けんた"};
    QElapsedTimer clock;
    clock.start();
    Visit visits[2][2];
    for (int round = 0; round < 2; ++round) {
        std::atomic<int> named = 0, quit = 0;
        const auto waitUntil = [](const std::atomic<int>& n, int value) {
            QElapsedTimer t;
            t.start();
            while (n < value && t.elapsed() < 180000) QThread::msleep(100);
        };
        const auto visit = [&](int i) {
            // Made in this thread: its process is driven from here.
            Journey computer(displays[i], folders[i].path());
            // Through the installed command, the class folder named from the folder above it.
            const QDir classFolder(sync.folder(i));
            computer.startFrom(QFileInfo(classFolder.absolutePath()).absolutePath());
            computer.setArguments({"--class-folder", classFolder.dirName()});
            Visit& v = visits[round][i];
            v.error = visitOf(computer, v, names[round], kTests[i].table, clock, [&](const char* step) {
                if (std::string(step) == "named") {
                    // Both have the child open before either starts a test.
                    ++named;
                    waitUntil(named, 2);
                } else if (i != round) {
                    waitUntil(quit, 1);  // the other computer quits first
                }
            });
            ++quit;
            ++named;  // a visit that failed early holds nobody up
        };
        std::thread threads[] = {std::thread(visit, 0), std::thread(visit, 1)};
        for (std::thread& t : threads) t.join();
        for (int i = 0; i < 2; ++i) {
            const Visit& v = visits[round][i];
            SCOPED_TRACE(names[round].toStdString() + " on computer " + std::to_string(i));
            ASSERT_TRUE(v.error.isEmpty()) << v.error.toStdString() << " (after " << v.steps.toStdString() << ")";
            std::printf("%s on computer %d: %s\n", names[round].toUtf8().constData(), i, v.steps.toUtf8().constData());
        }
        for (int i = 0; i < 2; ++i)
            EXPECT_GE(visits[round][i].notices, 1) << "computer " << i << " was not told of the other";
    }

    // The teacher's folder until both children's tests are there, at most a minute after.
    const std::string teacher = sync.folder(2).toStdString();
    const qint64 overMs = clock.elapsed();
    ClassView view;
    bool arrived = false;
    while (!arrived && clock.elapsed() - overMs < 60000) {
        QThread::msleep(200);
        view = readClassFolder(teacher);
        arrived = view.children.size() == 2 && testsArrived(view.children[0], teacher) &&
                  testsArrived(view.children[1], teacher);
    }
    ASSERT_TRUE(arrived) << "both children's two tests did not reach the teacher's folder within a minute";
    std::printf("both tests of both children in the teacher's folder %.1f s after the last quit\n",
                (clock.elapsed() - overMs) / 1000.0);

    ClassRecordWindow window(teacher);
    ASSERT_TRUE(window.waitUntilRead());
    const QAbstractItemModel* model = window.ClassGrid->model();
    ASSERT_EQ(model->rowCount(), 3);  // the heading and the two children
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(names[i].toStdString());
        const ClassChild& child = view.children[size_t(i)];  // by name: あ before け
        EXPECT_EQ(child.name, names[i].toStdString());
        // Both passes, in order, in the rows of the two tables (a table's row is its number).
        EXPECT_EQ(passesShown(child), (std::vector<std::pair<int, int>>{{1, 1}, {1, 2}}));
        const std::vector<HistoryEntry> history = readChildFolder(teacher + child.name + "/", {}, true).history;
        ASSERT_EQ(history.size(), 2u);
        for (int t = 0; t < 2; ++t) {
            // Every answer of each test was right and is in the record.
            EXPECT_EQ(child.record.facts[size_t(9 * (kTests[t].table - 1))].right, 3);
            EXPECT_EQ(history[size_t(t)].right, 27);
        }
        EXPECT_EQ(model->index(i + 1, 0).data().toString(), names[i]);
        for (int row = 1; row <= kClassRanges; ++row)
            EXPECT_EQ(model->index(i + 1, 2 + row).data().toString(), QString::fromUtf8(row <= 2 ? "◎ ―" : "― ―"))
                << "row " << row;
    }
}
