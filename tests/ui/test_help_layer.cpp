// Help files open in the desktop's viewer for their type, or a box says
// they cannot be shown. The desktop here is a private one whose viewer
// records what it was handed.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include "main/AppNavigator.h"
#include "main/core/RunnerPorts.h"
#include "main/core/StudyState.h"
#include "tests/ui/QuietPorts.h"
#include "support/HelpLauncher.h"
#include "tests/ui/PrivateDesktop.h"

namespace {

struct Box {
    bool seen = false;
    QString title, text;
    QMessageBox::StandardButtons buttons;
    QWidget* parent = nullptr;
};

// Notes the next message box and presses its OK, for as long as `alive`
// (which must die with `box`) lives.
void answerNextBox(Box& box, QObject* alive, int triesLeft = 200) {
    QTimer::singleShot(10, alive, [&box, alive, triesLeft] {
        if (auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            box = {true, shown->windowTitle(), shown->text(), shown->standardButtons(), shown->parentWidget()};
            shown->button(QMessageBox::Ok)->click();
        } else if (triesLeft > 0) {
            answerNextBox(box, alive, triesLeft - 1);
        }
    });
}

// A program folder whose name a shell would take apart.
struct ProgramFolder {
    QTemporaryDir dir;
    QString path = dir.path() + QStringLiteral("/My Programs; rm -rf $(x) & 'q' \"d\" `e`|f");
    ProgramFolder() { QDir().mkpath(path); }
    std::string exeDir() const { return path.toStdString() + "/"; }
};

struct Opener {
    StudyState st;
    QuietPorts quiet;
    AppNavigator navigator{st, quiet, quiet, quiet};
    QWidget window;
    explicit Opener(const std::string& exeDir) {
        st.exeDir = exeDir;
        window.setWindowTitle(QStringLiteral("opener"));
        window.show();
    }
    Box open(const std::string& file, int triesLeft = 200) {
        Box box;
        QObject alive;
        answerNextBox(box, &alive, triesLeft);
        navigator.openHelp(&window, file);
        QTest::qWait(30);
        return box;
    }
};

}  // namespace

TEST(HelpLayer, ViewerForTheTypeGetsTheExactPathWithoutAShell) {
    PrivateDesktop desktop;
    ProgramFolder folder;
    ASSERT_TRUE(desktop.valid() && folder.dir.isValid());
    ASSERT_TRUE(writeHelpFile(folder.path + QStringLiteral("/masumev15.chm")));

    Opener opener(folder.exeDir());
    const Box box = opener.open(kMainHelpFile, 5);
    EXPECT_FALSE(box.seen) << box.text.toStdString();
    const auto received = desktop.received();
    ASSERT_TRUE(received.has_value()) << "the viewer never ran";
    EXPECT_EQ(*received, folder.path + QStringLiteral("/masumev15.chm"));
    EXPECT_TRUE(QDir(folder.path).exists()) << "a shell took the folder name apart";
}

TEST(HelpLayer, EveryHelpFileOfTheProgramGoesThroughTheSameLayer) {
    for (const char* name : {kSettingsHelpFile, kQualificationHelpFile}) {
        PrivateDesktop desktop;
        ProgramFolder folder;
        ASSERT_TRUE(writeHelpFile(folder.path + '/' + QString::fromUtf8(name)));
        Opener opener(folder.exeDir());
        EXPECT_FALSE(opener.open(name, 5).seen) << name;
        EXPECT_EQ(desktop.received().value_or(QString()), folder.path + '/' + QString::fromUtf8(name));
    }
}

TEST(HelpLayer, MissingFileIsNamedInANoticeOverTheCallingWindow) {
    PrivateDesktop desktop;
    ProgramFolder folder;
    Opener opener(folder.exeDir());
    const Box box = opener.open(kMainHelpFile);
    ASSERT_TRUE(box.seen);
    EXPECT_EQ(box.title, QStringLiteral("お知らせ"));
    EXPECT_EQ(box.text, QStringLiteral("masumev15.chm が見あたりません。"));
    EXPECT_EQ(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(box.parent, &opener.window);
    EXPECT_TRUE(opener.window.isVisible());
    EXPECT_EQ(opener.window.windowTitle(), QStringLiteral("opener"));
    EXPECT_FALSE(desktop.received(300).has_value());
}

TEST(HelpLayer, NoViewerThatCanStartIsReportedLikeAMissingFile) {
    for (const auto viewer : {PrivateDesktop::Viewer::NotRegistered, PrivateDesktop::Viewer::ProgramMissing}) {
        PrivateDesktop desktop(viewer);
        ProgramFolder folder;
        ASSERT_TRUE(writeHelpFile(folder.path + QStringLiteral("/Jouken_setM15.chm")));
        Opener opener(folder.exeDir());
        const Box box = opener.open(kSettingsHelpFile);
        ASSERT_TRUE(box.seen) << int(viewer);
        EXPECT_EQ(box.text, QStringLiteral("Jouken_setM15.chm が見あたりません。"));
        EXPECT_EQ(box.title, QStringLiteral("お知らせ"));
        EXPECT_FALSE(desktop.received(300).has_value());
    }
}

TEST(HelpLayer, ABurstOfRequestsStartsOneViewerAndALaterOneAnother) {
    PrivateDesktop desktop(PrivateDesktop::Viewer::Registered, 60);  // open until the child closes it
    ProgramFolder folder;
    ASSERT_TRUE(writeHelpFile(folder.path + QStringLiteral("/masumev15.chm")));
    Opener opener(folder.exeDir());
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(opener.open(kMainHelpFile, 2).seen) << i;  // F1 four times
    ASSERT_TRUE(desktop.received().has_value());
    EXPECT_EQ(desktop.launches(), 1);
    ASSERT_TRUE(desktop.closeViewers());
    // Gone now (the last moment of its process aside): the next F1 starts another.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !opener.open(kMainHelpFile, 2).seen && desktop.launches() == 2; }, 10000));
}

TEST(HelpLayer, OnlyFilesAreOpened) {
    PrivateDesktop desktop;
    QTemporaryDir dir;
    EXPECT_FALSE(openHelpFile(""));
    EXPECT_FALSE(openHelpFile(dir.path().toStdString() + "/none.chm"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.chm")));
    EXPECT_FALSE(openHelpFile(dir.path().toStdString() + "/folder.chm"));
    EXPECT_FALSE(desktop.received(300).has_value());
}
