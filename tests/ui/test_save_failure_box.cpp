// The box a failed save shows, read where its text can be read: the main
// window quits through the real settings save into a place that refuses it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>
#include <functional>

#ifdef __unix__
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "main/core/History.h"
#include "main/core/Settings.h"
#include "tests/core/FileBytes.h"
#include "tests/core/FullDisk.h"
#include "tests/ui/FamilyFixture.h"
#include "tests/ui/ScriptedRun.h"

namespace {

const std::string kOld = "; by hand\r\n[JOUKEN]\r\nKAIMAX=5\r\n";

// Quits the window from its menu; returns the texts of the boxes it showed.
QStringList quitAndReadBoxes(const std::string& iniPath) {
    ScriptedWindow w(0, 0, 0, "たろう", [iniPath](const StudyState& st) {
        std::string error;
        saveSettings(st, iniPath, &error);
        return error;
    });
    QStringList shown;
    std::function<void()> dismiss = [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown << box->text();
            box->accept();
        }
        if (w.form->isVisible()) QTimer::singleShot(20, w.form.get(), dismiss);
    };
    QTimer::singleShot(20, w.form.get(), dismiss);
    w.form->X1Click();
    return shown;
}

}  // namespace

#ifdef __unix__
// A disk that refuses more bytes, as a full one does (a file size limit
// binds root too).
TEST(SaveFailureBox, AFullDiskNamesTheFileOnceAndKeepsIt) {
    QTemporaryDir dir;
    const std::string ini = settingsPath(dir.path().toStdString() + "/");
    spit(ini, kOld);
    QStringList boxes;
    {
        FullDisk full;
        ASSERT_TRUE(full.ok());
        boxes = quitAndReadBoxes(ini);
    }
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].contains(QString::fromStdString(ini))) << boxes[0].toStdString();
    EXPECT_EQ(slurp(ini), kOld);
}

// The history's lines of tests that a full disk refused: one box naming
// the file, the file as it was, and the lines written with the next test's.
TEST(SaveFailureBox, HistoryLinesAFullDiskRefusedAreToldOnceAndWrittenLater) {
    Family family;
    family.open();
    const std::string history = family.wiring.historyPath();
    ASSERT_FALSE(history.empty());
    QStringList boxes;
    QTimer dismiss;
    QObject::connect(&dismiss, &QTimer::timeout, family.form.get(), [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxes << box->text();
            box->accept();
        }
    });
    dismiss.start(10);
    const HistoryEntry test{"2026-05-01 16:05:09", 3, 0, 1, 27, 0, 0, 1200};
    {
        FullDisk full;
        ASSERT_TRUE(full.ok());
        EXPECT_FALSE(family.wiring.appendHistory(test));
        EXPECT_FALSE(family.wiring.appendHistory(test));
    }
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].contains(QString::fromStdString(history))) << boxes[0].toStdString();
    EXPECT_FALSE(QFile::exists(QString::fromStdString(history)));
    EXPECT_TRUE(family.wiring.appendHistory(test));
    const HistoryRead read = loadHistoryFile(history);
    EXPECT_EQ(read.entries.size(), 3u);
    EXPECT_EQ(read.skipped, 0);
    EXPECT_EQ(boxes.size(), 1);
}

// Run as an ordinary user (tools/as_test_user.sh): the folder and the file
// as an administrator leaves them for a child's account.
TEST(OrdinaryUserSaveBox, ALockedFolderNamesTheFileOnceAndKeepsIt) {
    QTemporaryDir dir;
    const std::string ini = settingsPath(dir.path().toStdString() + "/");
    spit(ini, kOld);
    QFile::setPermissions(QString::fromStdString(ini), QFile::ReadOwner);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    ASSERT_NE(access(dir.path().toLocal8Bit().constData(), W_OK), 0)
        << "permission bits do not bind this user: run through tools/as_test_user.sh";
    const QStringList boxes = quitAndReadBoxes(ini);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].contains(QString::fromStdString(ini))) << boxes[0].toStdString();
    EXPECT_EQ(slurp(ini), kOld);
}
#endif
