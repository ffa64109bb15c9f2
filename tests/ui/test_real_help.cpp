// F1 in the program itself, in a real window on the private X display, on a
// private desktop whose viewer records the path it was handed: the desktop's
// own way of opening files, not the offscreen stand-in.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "tests/ui/OnDisplay.h"
#include "tests/ui/PrivateDesktop.h"

TEST(RealHelp, F1OpensTheHelpBesideTheProgramInTheDesktopsViewer) {
    const QString display = qEnvironmentVariable("TATEYOKO_X_DISPLAY");
    ASSERT_FALSE(display.isEmpty()) << "TATEYOKO_X_DISPLAY is not set: run the README's test command";
    const QString appDir = qEnvironmentVariable("TATEYOKO_APP_DIR");
    ASSERT_FALSE(appDir.isEmpty());

    PrivateDesktop desktop;
    QTemporaryDir dir;
    ASSERT_TRUE(desktop.valid() && dir.isValid());
    const QString folder = dir.path() + QStringLiteral("/My Programs; rm -rf $(x) & 'q' \"d\" `e`|f");
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const QString& name : QDir(appDir).entryList(QDir::Files)) {
        if (name.endsWith(".ini") || name.endsWith(".chm")) continue;
        ASSERT_TRUE(QFile::copy(appDir + "/" + name, folder + "/" + name));
    }
    QFile::setPermissions(folder + "/tateyokom", QFile::permissions(appDir + "/tateyokom"));
    ASSERT_TRUE(writeHelpFile(folder + QStringLiteral("/masumev15.chm")));

    QProcess app;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();  // the private desktop's
    env.insert("DISPLAY", display);
    env.remove("QT_QPA_PLATFORM");
    app.setProcessEnvironment(env);
    app.setWorkingDirectory(folder);
    app.start(folder + "/tateyokom", {});
    ASSERT_TRUE(app.waitForStarted(5000));

    QString id;
    for (int i = 0; i < 100 && id.isEmpty(); ++i) {
        QThread::msleep(100);
        id = run("xdotool", {"search", "--onlyvisible", "--name", QString::fromUtf8("タテヨコ塾")}, display)
                 .split('\n', Qt::SkipEmptyParts)
                 .value(0);
    }
    ASSERT_FALSE(id.isEmpty()) << "the main window did not appear";
    QThread::msleep(1200);
    run("xdotool", {"windowfocus", "--sync", id}, display);
    run("xdotool", {"key", "F1"}, display);

    const auto received = desktop.received(8000);
    const QString notice = run("xdotool", {"search", "--onlyvisible", "--name", QString::fromUtf8("お知らせ")}, display);
    app.kill();
    app.waitForFinished(5000);
    EXPECT_TRUE(notice.isEmpty()) << "the program said the help cannot be shown";
    ASSERT_TRUE(received.has_value()) << "the viewer never ran: " << app.readAllStandardError().toStdString();
    EXPECT_EQ(*received, folder + QStringLiteral("/masumev15.chm"));
    EXPECT_TRUE(QDir(folder).exists());
}

// A viewer that crashes as it starts (a broken install, exit status 139):
// F1 leaves the program going, and a second F1 starts the viewer again
// instead of taking the dead one for still open. The program still answers
// its keys and ends normally afterwards.
TEST(RealHelp, AViewerThatCrashesAtStartIsTriedAgainAndTheProgramGoesOn) {
    const QString display = qEnvironmentVariable("TATEYOKO_X_DISPLAY");
    ASSERT_FALSE(display.isEmpty()) << "TATEYOKO_X_DISPLAY is not set: run the README's test command";
    const QString appDir = qEnvironmentVariable("TATEYOKO_APP_DIR");
    ASSERT_FALSE(appDir.isEmpty());

    PrivateDesktop desktop(PrivateDesktop::Viewer::Crashes);
    QTemporaryDir dir;
    ASSERT_TRUE(desktop.valid() && dir.isValid());
    const QString folder = dir.path();
    for (const QString& name : QDir(appDir).entryList(QDir::Files)) {
        if (name.endsWith(".ini") || name.endsWith(".chm")) continue;
        ASSERT_TRUE(QFile::copy(appDir + "/" + name, folder + "/" + name));
    }
    QFile::setPermissions(folder + "/tateyokom", QFile::permissions(appDir + "/tateyokom"));
    ASSERT_TRUE(writeHelpFile(folder + QStringLiteral("/masumev15.chm")));

    QProcess app;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();  // the private desktop's
    env.insert("DISPLAY", display);
    env.remove("QT_QPA_PLATFORM");
    app.setProcessEnvironment(env);
    app.setWorkingDirectory(folder);
    app.start(folder + "/tateyokom", {});
    ASSERT_TRUE(app.waitForStarted(5000));
    const QString pid = QString::number(app.processId());
    const auto windowNamed = [&](const char* caption) {
        return run("xdotool", {"search", "--all", "--onlyvisible", "--pid", pid, "--name", QString::fromUtf8(caption)},
                   display)
            .split('\n', Qt::SkipEmptyParts)
            .value(0);
    };
    const auto launchesReach = [&](int count) {
        for (int i = 0; i < 100 && desktop.launches() < count; ++i) QThread::msleep(100);
        return desktop.launches() >= count;
    };

    QString id;
    for (int i = 0; i < 300 && id.isEmpty(); ++i) {
        QThread::msleep(100);
        id = windowNamed("タテヨコ塾");
    }
    ASSERT_FALSE(id.isEmpty()) << "the main window did not appear";
    QThread::msleep(1200);
    run("xdotool", {"windowfocus", "--sync", id}, display);
    run("xdotool", {"key", "F1"}, display);
    EXPECT_TRUE(launchesReach(1)) << "the viewer never ran";
    QThread::msleep(1500);  // long dead by now
    EXPECT_EQ(app.state(), QProcess::Running);
    run("xdotool", {"windowfocus", "--sync", id}, display);
    run("xdotool", {"key", "F1"}, display);
    EXPECT_TRUE(launchesReach(2)) << "a second F1 took the crashed viewer for still open";

    // Still answering: About opens and closes, and ファイル → 終わり ends it.
    run("xdotool", {"windowfocus", "--sync", id}, display);
    run("xdotool", {"key", "alt+h"}, display);
    QThread::msleep(500);
    run("xdotool", {"key", "a"}, display);
    QString about;
    for (int i = 0; i < 100 && about.isEmpty(); ++i) {
        QThread::msleep(100);
        about = windowNamed("^バージョン情報$");
    }
    EXPECT_FALSE(about.isEmpty()) << "the program no longer answers its keys";
    if (!about.isEmpty()) {
        run("xdotool", {"windowfocus", "--sync", about}, display);
        run("xdotool", {"key", "Return"}, display);
        QThread::msleep(800);
    }
    run("xdotool", {"windowfocus", "--sync", id}, display);
    run("xdotool", {"key", "alt+f"}, display);
    QThread::msleep(500);
    run("xdotool", {"key", "x"}, display);
    const bool ended = app.waitForFinished(20000);
    if (!ended) {
        app.kill();
        app.waitForFinished(5000);
    }
    EXPECT_TRUE(ended) << "the program hung";
    EXPECT_EQ(app.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(app.exitCode(), 0) << app.readAllStandardError().toStdString();
    EXPECT_EQ(desktop.launches(), 2);
}
