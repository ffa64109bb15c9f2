// F1 in the program itself, in a real window on the private X display, on a
// private desktop whose viewer records the path it was handed: the desktop's
// own way of opening files, not the offscreen stand-in.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QThread>

#include "tests/ui/PrivateDesktop.h"
#include "tests/ui/RealProgram.h"

namespace {
constexpr const char* kNotReady = "TATEYOKO_X_DISPLAY or TATEYOKO_APP_DIR is not set: run the README's test command";
}

TEST(RealHelp, F1OpensTheHelpBesideTheProgramInTheDesktopsViewer) {
    PrivateDesktop desktop;
    QTemporaryDir dir;
    ASSERT_TRUE(desktop.valid() && dir.isValid());
    const QString folder = dir.path() + QStringLiteral("/My Programs; rm -rf $(x) & 'q' \"d\" `e`|f");
    ASSERT_TRUE(QDir().mkpath(folder));
    Journey j(qEnvironmentVariable("TATEYOKO_X_DISPLAY"), folder);  // in the private desktop's environment
    ASSERT_TRUE(j.install()) << kNotReady;
    ASSERT_TRUE(writeHelpFile(folder + QStringLiteral("/masumev15.chm")));
    ASSERT_TRUE(j.start());
    const QString main = j.mainWindow(10000);
    ASSERT_FALSE(main.isEmpty()) << "the main window did not appear";
    j.keys(main, {"F1"}, 0);

    const auto received = desktop.received(8000);
    const QString notice = j.waitFor(QString::fromUtf8("お知らせ"), 0);
    const QString errors = j.errors();
    j.kill();
    EXPECT_TRUE(notice.isEmpty()) << "the program said the help cannot be shown";
    ASSERT_TRUE(received.has_value()) << "the viewer never ran: " << errors.toStdString();
    EXPECT_EQ(*received, folder + QStringLiteral("/masumev15.chm"));
    EXPECT_TRUE(QDir(folder).exists());
}

// A viewer that crashes as it starts (a broken install, exit status 139):
// F1 leaves the program going, and a second F1 starts the viewer again
// instead of taking the dead one for still open. The program still answers
// its keys and ends normally afterwards.
TEST(RealHelp, AViewerThatCrashesAtStartIsTriedAgainAndTheProgramGoesOn) {
    PrivateDesktop desktop(PrivateDesktop::Viewer::Crashes);
    ASSERT_TRUE(desktop.valid());
    Journey j;
    ASSERT_TRUE(j.install()) << kNotReady;
    ASSERT_TRUE(writeHelpFile(j.folder() + QStringLiteral("/masumev15.chm")));
    const auto launchesReach = [&](int count) {
        for (int i = 0; i < 100 && desktop.launches() < count; ++i) QThread::msleep(100);
        return desktop.launches() >= count;
    };
    ASSERT_TRUE(j.start());
    const QString main = j.mainWindow();
    ASSERT_FALSE(main.isEmpty()) << "the main window did not appear";
    j.keys(main, {"F1"}, 0);
    EXPECT_TRUE(launchesReach(1)) << "the viewer never ran";
    QThread::msleep(1500);  // long dead by now
    EXPECT_TRUE(j.running());
    j.keys(main, {"F1"}, 0);
    EXPECT_TRUE(launchesReach(2)) << "a second F1 took the crashed viewer for still open";

    // Still answering: About opens and closes, and ファイル → 終わり ends it.
    j.keys(main, {"alt+h", "a"}, 500);
    const QString about = j.waitFor(QString::fromUtf8("^バージョン情報$"), 10000);
    EXPECT_FALSE(about.isEmpty()) << "the program no longer answers its keys";
    if (!about.isEmpty()) j.keys(about, {"Return"}, 800);
    j.keys(main, {"alt+f", "x"}, 500);
    const bool ended = j.finished(20000);
    if (!ended) j.kill();
    EXPECT_TRUE(ended) << "the program hung";
    EXPECT_EQ(j.exitCode(), 0) << j.errors().toStdString();
    EXPECT_EQ(desktop.launches(), 2);
}
