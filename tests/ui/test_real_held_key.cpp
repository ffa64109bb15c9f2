// The last answer of a test given with Enter held down for three seconds,
// under a real window manager (openbox) and the X server's own autorepeat,
// on an X display of the test's own: the window manager moves the focus to
// the results window as it appears, and the repeats of that Enter go there.
// None of them may act in it: the results window stays open.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QThread>

#include "main/core/Settings.h"
#include "support/core/IniFile.h"
#include "tests/ui/RealProgram.h"
#include "tests/ui/SyncedClass.h"

namespace {

// openbox on the display, waited for until it manages windows.
class WindowManager {
public:
    explicit WindowManager(const QString& display) : display_(display) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display);
        wm_.setProcessEnvironment(env);
        wm_.setStandardOutputFile(QProcess::nullDevice());
        wm_.setStandardErrorFile(QProcess::nullDevice());
        wm_.start("openbox", {"--sm-disable"});
    }
    ~WindowManager() {
        wm_.kill();
        wm_.waitForFinished(5000);
    }
    bool running() {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 10000 && wm_.state() != QProcess::NotRunning) {
            if (run("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}, display_).contains("window id")) return true;
            QThread::msleep(100);
        }
        return false;
    }

private:
    QString display_;
    QProcess wm_;
};

QByteArray testOfTheOnesInOrder() {
    StudyState st;
    readSettings(st, IniFile());
    st.contentIndex = 3;
    st.rangeIndex = 0;
    st.speedIndex = 0;  // five seconds for each answer
    st.studentName = "はなこ";
    IniFile ini;
    writeSettings(st, ini);
    return QByteArray::fromStdString(ini.bytes());
}

}  // namespace

TEST(RealHeldKey, EnterHeldFromTheLastAnswerDoesNotCloseTheResultsUnderAWindowManager) {
    SecondDisplay x;
    const QString display = x.start();
    ASSERT_FALSE(display.isEmpty()) << "no Xvfb of the test's own";
    WindowManager wm(display);
    ASSERT_TRUE(wm.running()) << "openbox did not start";
    // Repeats after 660 ms, 25 a second, as a desktop's keyboard settings have it.
    run("xset", {"r", "on"}, display);
    run("xset", {"r", "rate", "660", "25"}, display);
    ASSERT_TRUE(run("xset", {"q"}, display).contains("auto repeat delay:  660"));

    Journey j(display);
    ASSERT_TRUE(j.ready()) << "TATEYOKO_APP_DIR is not set: run the README's test command";
    ASSERT_TRUE(j.install(testOfTheOnesInOrder()));
    j.start();
    const QString main = j.waitFor(QString::fromUtf8("タテヨコ塾"), 30000);
    ASSERT_FALSE(main.isEmpty()) << "the main window did not appear: " << j.errors().toStdString();
    QThread::msleep(1500);

    // 1 × m in three passes of nine, the last answer's Enter held.
    QImage shown = j.formulaField(main);
    j.keys(main, {"alt+e"}, 0);
    for (int q = 0; q < 26; ++q) {
        ASSERT_TRUE(j.nextFormula(main, shown)) << "question " << q + 1 << " did not come";
        j.keys(main, {QString::number(q % 9 + 1), "Return"}, 100);
    }
    ASSERT_TRUE(j.nextFormula(main, shown)) << "the last question did not come";
    const QString caption = QString::fromUtf8("^テスト結果（段別）の表示$");
    run("xdotool", {"key", "9"}, display);
    QElapsedTimer held;
    run("xdotool", {"keydown", "Return"}, display);
    held.start();
    // The results come while Enter is still down; its repeats begin 660 ms
    // after it went down and go on until it is let go.
    const QString results = j.waitFor(caption, 5000);
    QThread::msleep(qMax<qint64>(0, 3000 - held.elapsed()));
    run("xdotool", {"keyup", "Return"}, display);
    ASSERT_FALSE(results.isEmpty()) << "no results window while Enter was held";
    QThread::msleep(1000);
    ASSERT_FALSE(j.waitFor(caption, 100).isEmpty()) << "the held Enter closed the results window";
    // A new press is meant for it: 閉じる is its default button.
    j.keys(results, {"Return"});
    EXPECT_TRUE(j.waitGone(results, 5000)) << "a fresh Enter did not close the results window";
    j.kill();
}
