// The program itself in a real window on the private X display that the test
// command starts: chosen with the mouse, stopped with Esc, quit from the menu.
#include <gtest/gtest.h>

#include <QFile>
#include <QThread>

#include "tests/ui/RealProgram.h"

TEST(RealWindow, PracticeStoppedWithEscAndSettingsSavedOnQuit) {
    Journey j;
    ASSERT_TRUE(j.install()) << "TATEYOKO_X_DISPLAY or TATEYOKO_APP_DIR is not set: run the README's test command";
    ASSERT_TRUE(j.start());
    const QString main = j.mainWindow(10000);
    ASSERT_FALSE(main.isEmpty()) << "the main window did not appear";
    const QString info = j.info(main);
    EXPECT_EQ(field(info, "Width"), 622);
    EXPECT_GT(field(info, "Height"), 542);  // the client area lies under the menu bar

    j.click(main, 515, 259, 300);  // はやく
    j.click(main, 554, 118, 300);  // 始める
    QThread::msleep(800);
    j.hold("Escape", 120);
    QThread::msleep(400);
    // ファイル → 終わり; a drill still running would swallow these clicks
    j.quitFromMenu();
    ASSERT_TRUE(j.finished(10000)) << "the program did not close from its menu";

    QFile ini(j.iniPath());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    EXPECT_TRUE(text.startsWith("[POSITION]\r\nLEFT=200\r\nTOP=200\r\n")) << text.constData();
    EXPECT_TRUE(text.contains("\r\nPROCFLAG=3\r\n")) << text.constData();
}
