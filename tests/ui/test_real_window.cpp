// The program itself in a real window on the private X display that the test
// command starts: chosen with the mouse, stopped with Esc, quit from the menu.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include "tests/ui/OnDisplay.h"

TEST(RealWindow, PracticeStoppedWithEscAndSettingsSavedOnQuit) {
    const QString display = qEnvironmentVariable("TATEYOKO_X_DISPLAY");
    ASSERT_FALSE(display.isEmpty()) << "TATEYOKO_X_DISPLAY is not set: run the README's test command";
    const QString appDir = qEnvironmentVariable("TATEYOKO_APP_DIR");
    ASSERT_FALSE(appDir.isEmpty());

    // A copy of the program, so its settings file lands in a folder of our own.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const QString& name : QDir(appDir).entryList(QDir::Files)) {
        if (name.endsWith(".ini")) continue;
        ASSERT_TRUE(QFile::copy(appDir + "/" + name, dir.filePath(name)));
    }
    QFile::setPermissions(dir.filePath("tateyokom"), QFile::permissions(appDir + "/tateyokom"));

    QProcess app;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    env.remove("QT_QPA_PLATFORM");
    app.setProcessEnvironment(env);
    app.setWorkingDirectory(dir.path());
    app.start(dir.filePath("tateyokom"), {});
    ASSERT_TRUE(app.waitForStarted(5000));

    QString id;
    for (int i = 0; i < 100 && id.isEmpty(); ++i) {
        QThread::msleep(100);
        id = run("xdotool", {"search", "--onlyvisible", "--name", QString::fromUtf8("タテヨコ塾")}, display)
                 .split('\n', Qt::SkipEmptyParts)
                 .value(0);
    }
    ASSERT_FALSE(id.isEmpty()) << "the main window did not appear";
    QThread::msleep(1200);  // the first timer tick
    const QString info = run("xwininfo", {"-id", id}, display);
    EXPECT_EQ(field(info, "Width"), 622);
    const int height = field(info, "Height");
    EXPECT_GT(height, 542);
    const int left = field(info, "Absolute upper-left X");
    const int top = field(info, "Absolute upper-left Y");
    const int menu = height - 542;  // the client area lies under the menu bar
    auto click = [&](int x, int y) {
        run("xdotool", {"mousemove", QString::number(left + x), QString::number(top + menu + y), "click", "1"}, display);
        QThread::msleep(300);
    };

    click(515, 259);  // はやく
    click(554, 118);  // 始める
    QThread::msleep(800);
    run("xdotool", {"keydown", "Escape"}, display);
    QThread::msleep(120);
    run("xdotool", {"keyup", "Escape"}, display);
    QThread::msleep(400);
    // ファイル → 終わり; a drill still running would swallow these clicks
    run("xdotool", {"mousemove", QString::number(left + 40), QString::number(top + menu / 2), "click", "1"}, display);
    QThread::msleep(500);
    run("xdotool", {"mousemove", QString::number(left + 50), QString::number(top + menu + 72), "click", "1"}, display);
    ASSERT_TRUE(app.waitForFinished(10000)) << "the program did not close from its menu";

    QFile ini(dir.filePath("tateyokoM15.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    EXPECT_TRUE(text.startsWith("[POSITION]\r\nLEFT=200\r\nTOP=200\r\n")) << text.constData();
    EXPECT_TRUE(text.contains("\r\nPROCFLAG=3\r\n")) << text.constData();
}
