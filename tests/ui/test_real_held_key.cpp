// The last answer of a test given with Enter held down for three seconds,
// under a real window manager (openbox) and the X server's own autorepeat,
// on an X display of the test's own: the window manager moves the focus to
// the results window as it appears, and the repeats of that Enter go there.
// None of them may act in it: the results window stays open.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QThread>

#include "tests/ui/RealProgram.h"

TEST(RealHeldKey, EnterHeldFromTheLastAnswerDoesNotCloseTheResultsUnderAWindowManager) {
    OwnDisplay x;
    const QString display = x.name();
    ASSERT_FALSE(display.isEmpty()) << "no Xvfb of the test's own";
    ASSERT_TRUE(x.manageWindows()) << "openbox did not start";
    // Repeats after 660 ms, 25 a second, as a desktop's keyboard settings have it.
    run("xset", {"r", "on"}, display);
    run("xset", {"r", "rate", "660", "25"}, display);
    ASSERT_TRUE(run("xset", {"q"}, display).contains("auto repeat delay:  660"));

    Journey j(display);
    ASSERT_TRUE(j.ready()) << "TATEYOKO_APP_DIR is not set: run the README's test command";
    ASSERT_TRUE(j.install(iniBytes(onesTestInOrder())));
    j.start();
    const QString main = j.mainWindow();
    ASSERT_FALSE(main.isEmpty()) << "the main window did not appear: " << j.errors().toStdString();

    // 1 × m in three passes of nine, the last answer's Enter held.
    ASSERT_EQ(j.answerOnes(main, 26), 26) << "a question did not come";
    ASSERT_TRUE(j.nextFormula(main)) << "the last question did not come";
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
