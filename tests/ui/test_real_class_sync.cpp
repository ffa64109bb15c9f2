// A classroom whose class folder Syncthing keeps in step: two classroom
// computers, each the real program started with --class-folder on its own
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
#include <QFile>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <functional>
#include <thread>

#include "main/core/ChildFiles.h"
#include "main/core/History.h"
#include "main/core/Settings.h"
#include "tests/ui/OnDisplay.h"
#include "tests/ui/SyncedClass.h"
#include "windows/ClassRecordWindow.h"
#include "windows/core/ClassRecord.h"

namespace {

// The program copied into a computer's folder, with settings that choose
// the test in order of one range at the slowest speed, so that a busy
// computer still answers within each question's limit. Both computers are
// installed before either starts: a copy still open for writing while the
// other thread forks would make its program "busy" to exec.
QString installProgram(const QString& folder, int range) {
    const QString appDir = qEnvironmentVariable("TATEYOKO_APP_DIR");
    if (appDir.isEmpty()) return "TATEYOKO_APP_DIR is not set: run the README's test command";
    for (const QString& file : QDir(appDir).entryList(QDir::Files)) {
        if (file.endsWith(".ini") || file.endsWith(".chm")) continue;
        if (!QFile::copy(appDir + "/" + file, folder + "/" + file)) return "cannot copy " + file;
    }
    QFile::setPermissions(folder + "/tateyokom", QFile::permissions(appDir + "/tateyokom"));
    QFile ini(folder + "/" + kSettingsFileName);
    const QByteArray settings = "[JOUKEN]\r\nMENUN=3\r\nMOKUJIN=" + QByteArray::number(range) + "\r\nPROCFLAG=0\r\n";
    if (!ini.open(QIODevice::WriteOnly) || ini.write(settings) != settings.size()) return "cannot write the settings";
    return {};
}

// A classroom computer: the program installed in a folder of its own,
// started on a display.
class ClassroomComputer {
public:
    ClassroomComputer(QString display, QString folder) : display_(std::move(display)), folder_(std::move(folder)) {}
    ~ClassroomComputer() {
        if (app_.state() == QProcess::NotRunning) return;
        app_.kill();
        app_.waitForFinished(5000);
    }

    // The child's whole visit; empty when it went as it should, else where
    // it did not. Its steps are noted on the test's clock.
    QString visit(const QString& classFolder, const QString& name, int table, const QElapsedTimer& clock,
                  const std::function<void(const char*)>& at) {
        const auto note = [&](const char* step) {
            steps_ += QString("%1 %2 s, ").arg(step).arg(clock.elapsed() / 1000.0, 0, 'f', 1);
        };
        if (QString e = start(classFolder); !e.isEmpty()) return e;
        note("main window");
        // The name field, then Enter: the child's folder of the class.
        click(506, 441);
        xdo({"key", "ctrl+a"});
        xdo({"type", "--delay", "120", name});
        xdo({"key", "Return"});
        // The same child open on the other computer: a box says so.
        QThread::msleep(800);
        if (dismissNotice()) note("told of the other computer");
        at("named");
        if (dismissNotice()) note("told of the other computer");
        keys(main_, {"alt+e"});  // 始める, with the focus back from a box
        for (int pass = 0; pass < 3; ++pass)
            for (int m = 1; m <= 9; ++m)
                if (QString e = answer(table * m); !e.isEmpty())
                    return QString("pass %1, %2×%3: %4").arg(pass + 1).arg(table).arg(m).arg(e);
        const QString results = waitFor("^テスト結果（段別）の表示$");
        if (results.isEmpty()) return "no results window after the test";
        note("results");
        keys(results, {"alt+p"});  // 証明書 → 登録, which saves the pass
        registeredMs_ = clock.elapsed();
        note("registered");
        keys(results, {"r"});
        const QString check = waitFor("資格チェック$");
        if (check.isEmpty()) return "registering opened no qualification window";
        keys(check, {"alt+k", "c"});
        if (!waitGone(check)) return "the qualification window did not close";
        keys(results, {"alt+t", "c"});
        if (!waitGone(results)) return "the results window did not close";
        // The other computer's notice comes at a check once nothing else is open.
        for (int i = 0; i < 40 && notices_ == 0 && app_.state() == QProcess::Running; ++i) {
            if (dismissNotice()) note("told of the other computer");
            QThread::msleep(250);
        }
        note("waits to quit");
        at("quit");
        // The other computer's notice comes at a minute's tick once nothing else is open.
        for (int tries = 0; tries < 3 && app_.state() == QProcess::Running; ++tries) {
            if (dismissNotice()) note("told of the other computer");
            keys(main_, {"alt+f", "x"});  // ファイル → 終わり
            app_.waitForFinished(tries < 2 ? 4000 : 30000);
        }
        if (app_.state() != QProcess::NotRunning) return "the program did not end at ファイル → 終わり";
        if (app_.exitStatus() != QProcess::NormalExit || app_.exitCode() != 0)
            return "the program ended with " + QString::number(app_.exitCode()) + ": " + app_.readAllStandardError();
        note("ended");
        return {};
    }
    qint64 registeredMs() const { return registeredMs_; }
    int notices() const { return notices_; }
    // Each step done, and when: "main window 3.0 s, results 36.1 s, ...".
    const QString& steps() const { return steps_; }

private:
    QString start(const QString& classFolder) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display_);
        env.remove("QT_QPA_PLATFORM");
        if (!env.contains("DBUS_SESSION_BUS_ADDRESS"))
            env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + folder_ + "/no-bus");
        app_.setProcessEnvironment(env);
        app_.setWorkingDirectory(folder_);
        app_.start(folder_ + "/tateyokom", {"--class-folder", classFolder});
        if (!app_.waitForStarted(5000)) return "the program did not start: " + app_.errorString();
        // Two programs start at once here, on a computer that may be busy.
        main_ = waitFor("タテヨコ塾", 60000);
        if (main_.isEmpty())
            return "the main window did not appear; shown: " + shownWindows() + "; " + processState() + "; " +
                   app_.readAllStandardError();
        const QString info = run("xwininfo", {"-id", main_}, display_);
        menuHeight_ = field(info, "Height") - 542;
        QThread::msleep(1200);  // the first timer tick
        return {};
    }

    // One question: once the board's answer field is empty the question is
    // shown and waits for keys; a digit, and once the program has shown it,
    // the second digit or Enter. A key sent earlier could be taken by the
    // question before.
    QString answer(int product) {
        if (!waitAnswerField(true, 10000)) return "the question did not come";
        const QString digits = QString::number(product);
        xdo({"key", digits.left(1)});
        if (!waitAnswerField(false, 5000)) return "the first digit was not shown";
        xdo({"key", digits.size() == 2 ? digits.mid(1) : QString("Return")});
        return {};
    }
    bool waitAnswerField(bool empty, int ms) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            if (answerFieldEmpty() == empty) return true;
            if (app_.state() != QProcess::Running) return false;
            QThread::msleep(40);
        }
        return false;
    }
    // The field of the board where the answer is shown, inside its margins:
    // one colour when it is empty.
    bool answerFieldEmpty() {
        const QString crop = QString("80x56+298+%1").arg(menuHeight_ + 210);
        return run("import", {"-window", main_, "-crop", crop, "+repage", "-format", "%k", "info:"}, display_)
                   .trimmed() == "1";
    }

    // Closes a box that tells of the child open on another computer; true when there was one.
    bool dismissNotice() {
        const QString box = windowNamed("^ちゅうい$");
        if (box.isEmpty()) return false;
        keys(box, {"Return"});
        ++notices_;
        return waitGone(box);
    }
    void xdo(const QStringList& args) {
        run("xdotool", args, display_);
        QThread::msleep(150);
    }
    void click(int x, int yBelowMenu) {
        run("xdotool", {"windowfocus", "--sync", main_}, display_);
        xdo({"mousemove", "--window", main_, QString::number(x), QString::number(menuHeight_ + yBelowMenu), "click",
             "1"});
    }
    void keys(const QString& window, const QStringList& names) {
        run("xdotool", {"windowfocus", "--sync", window}, display_);
        QThread::msleep(150);
        for (const QString& name : names) {
            run("xdotool", {"key", name}, display_);
            QThread::msleep(400);
        }
    }
    QString waitFor(const QString& caption, int ms = 15000) {
        QElapsedTimer t;
        t.start();
        QString id;
        while ((id = windowNamed(caption)).isEmpty() && t.elapsed() < ms && app_.state() == QProcess::Running)
            QThread::msleep(100);
        return id;
    }
    bool waitGone(const QString& id) {
        for (int i = 0; i < 100; ++i) {
            if (!run("xwininfo", {"-id", id}, display_).contains("Map State: IsViewable")) return true;
            QThread::msleep(100);
        }
        return false;
    }
    // Where the program is, for a failure's message: its state and what it waits in.
    QString processState() {
        const QString proc = "/proc/" + QString::number(app_.processId());
        QFile status(proc + "/status"), wchan(proc + "/wchan");
        if (!status.open(QIODevice::ReadOnly)) return "the program has ended";
        const QString state = QString::fromLatin1(status.readAll()).section("State:", 1).section('\n', 0, 0).trimmed();
        return "state " + state + (wchan.open(QIODevice::ReadOnly) ? ", waiting in " + wchan.readAll() : QString());
    }
    // The captions of what the program shows, for a failure's message.
    QString shownWindows() {
        return run("xdotool",
                   {"search", "--all", "--onlyvisible", "--pid", QString::number(app_.processId()), "--name", ".",
                    "getwindowname", "%@"},
                   display_)
            .split('\n', Qt::SkipEmptyParts)
            .join(" | ");
    }
    QString windowNamed(const QString& caption) {
        return run("xdotool",
                   {"search", "--all", "--onlyvisible", "--pid", QString::number(app_.processId()), "--name", caption},
                   display_)
            .split('\n', Qt::SkipEmptyParts)
            .value(0);
    }

    QString display_;
    QString folder_;
    QProcess app_;
    QString main_;
    int menuHeight_ = 0;
    qint64 registeredMs_ = -1;
    QString steps_;
    int notices_ = 0;
};

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
    SecondDisplay screens[2];
    const QString displays[] = {screens[0].start(), screens[1].start()};
    ASSERT_FALSE(displays[0].isEmpty() || displays[1].isEmpty()) << "no X server for a classroom computer";
    QTemporaryDir folders[2];
    for (int i = 0; i < 2; ++i) {
        const QString installed = folders[i].isValid() ? installProgram(folders[i].path(), kTests[i].range)
                                                       : QString("no folder for the program");
        ASSERT_TRUE(installed.isEmpty()) << installed.toStdString();
    }

    // Round 0: computer 0 quits first; round 1: computer 1.
    const QString names[2] = {"あおい", "けんた"};
    QElapsedTimer clock;
    clock.start();
    struct Visit {
        QString error, steps;
        qint64 registeredMs = -1;
        int notices = 0;
    };
    Visit visits[2][2];
    for (int round = 0; round < 2; ++round) {
        std::atomic<int> named = 0, quit = 0;
        const auto waitUntil = [](const std::atomic<int>& n, int value) {
            QElapsedTimer t;
            t.start();
            while (n < value && t.elapsed() < 180000) QThread::msleep(100);
        };
        const auto visit = [&](int i) {
            ClassroomComputer computer(displays[i], folders[i].path());
            Visit& v = visits[round][i];
            v.error = computer.visit(sync.folder(i), names[round], kTests[i].table, clock, [&](const char* step) {
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
            v.registeredMs = computer.registeredMs();
            v.steps = computer.steps();
            v.notices = computer.notices();
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
