// A classroom: the name a child types chooses their folder in the class
// folder, which holds their files from the first save on; a second computer
// is told the child is open already; the teacher reads the whole class.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSysInfo>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "main/core/Classroom.h"
#include "main/core/FactRecord.h"
#include "main/core/History.h"
#include "support/core/Codec.h"
#include "tests/ui/FamilyFixture.h"
#include "tests/ui/QualifyFixture.h"
#include "windows/Kodomo.h"
#include "windows/Kurasu.h"
#include "windows/Nigatemap.h"

namespace {
using codec::u;

// A computer of the class: its own settings file, and a class folder in
// which はなこ has passed 一の段 in order on another computer.
struct Classroom : Family {
    Classroom() {
        classDir = classFolder.path().toStdString() + "/";
        StudyState hanako;
        hanako.studentName = "はなこ";
        hanako.recCheckArray[0][0] = 1;
        recordAnswer(hanako.factRecord, 10, false, 3000);
        QDir().mkpath(QString::fromStdString(classDir + "はなこ"));
        EXPECT_TRUE(saveSettings(hanako, classDir + "はなこ/" + kSettingsFileName, nullptr));
        EXPECT_TRUE(saveRecordFile(hanako.factRecord, classDir + "はなこ/" + kFactRecordFileName));
        wiring.useClassFolder(classDir);
        services.loadSettings = [this](StudyState& s) {
            wiring.services().loadSettings(s);
            s.rangeIndex = 0;
            s.contentIndex = 3;  // a test
            s.speedIndex = 3;
        };
    }
    // The child types a name and presses Enter.
    void type(const char* name) {
        form->Edit2->setFocus();
        form->Edit2->setText(u(name));
        QTest::keyClick(form->Edit2, Qt::Key_Return);
    }
    std::string file(const std::string& child, const char* name) const { return classDir + child + "/" + name; }
    bool exists(const std::string& path) const { return QFile::exists(QString::fromStdString(path)); }

    QTemporaryDir classFolder;
    std::string classDir;
};
}  // namespace

TEST(ClassFolder, TheTypedNameChoosesTheChildsFolderWrittenFromTheFirstSaveOn) {
    Classroom room;
    room.open();
    EXPECT_TRUE(room.form->Edit2->text().isEmpty()) << "a class computer waits for the child's name";
    EXPECT_EQ(room.st.recCheckArray[0][1], 0) << "the computer's own passes are nobody's here";
    EXPECT_TRUE(room.form->R2->isVisible()) << "クラスのきろく is offered on a class computer";

    room.type("じろう");
    EXPECT_FALSE(room.exists(room.classDir + "じろう")) << "a name alone makes no folder";
    room.form->Button1->click();  // a test, every question left to time out
    ASSERT_EQ(room.nav.resultsByTable, 1);
    EXPECT_TRUE(room.exists(room.file("じろう", kSettingsFileName)));
    EXPECT_TRUE(room.exists(room.file("じろう", kFactRecordFileName)));
    EXPECT_EQ(loadHistoryFile(room.file("じろう", kHistoryFileName)).entries.size(), 1u);
    EXPECT_EQ(slurp(room.st.exeDir + kSettingsFileName), kOldIni) << "the computer's own file is left alone";

    // はなこ sits down: her passes and answers from the class folder.
    room.type(" はなこ");
    EXPECT_EQ(room.st.recCheckArray[0][0], 1);
    EXPECT_EQ(room.st.factRecord.facts[10].asked, 1);
    EXPECT_EQ(room.form->Edit2->text(), u(" はなこ"));
    Lease lease;
    ASSERT_TRUE(readLease(room.classDir + "はなこ/", lease)) << "her folder is taken while she is here";
    EXPECT_EQ(lease.process, QCoreApplication::applicationPid());
    EXPECT_FALSE(readLease(room.classDir + "じろう/", lease)) << "じろう's folder was let go";
    StudyState jiro;
    loadSettings(jiro, room.file("じろう", kSettingsFileName));
    EXPECT_EQ(jiro.studentName, "じろう");

    // Typing over her name and quitting keeps her file hers.
    room.form->Edit2->setText(u("はな"));
    room.st.recCheckArray[1][0] = 1;
    room.form->close();
    StudyState hanako;
    loadSettings(hanako, room.file("はなこ", kSettingsFileName));
    EXPECT_EQ(hanako.studentName, " はなこ");
    EXPECT_EQ(hanako.recCheckArray[1][0], 1);
    EXPECT_FALSE(room.exists(room.classDir + "はな"));
}

TEST(ClassFolder, ASecondComputerIsToldAndALeaseLeftBehindIsTaken) {
    Classroom room;
    room.open();
    const std::string hanako = room.classDir + "はなこ/";
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    ASSERT_TRUE(writeLease(hanako, {"きょうしつ-2", 77, now - 10}));
    BoxAnswer told;
    {
        BoxWatcher watcher(told, QMessageBox::Ok);
        room.type("はなこ");
    }
    ASSERT_TRUE(told.seen);
    EXPECT_TRUE(told.text.contains(u("きょうしつ-2"))) << told.text.toStdString();
    Lease lease;
    ASSERT_TRUE(readLease(hanako, lease));
    EXPECT_EQ(lease.computer, "きょうしつ-2") << "a fresh lease stays with its computer";

    // The other computer was switched off: its lease grows old and is taken.
    room.type("じろう");
    ASSERT_TRUE(writeLease(hanako, {"きょうしつ-2", 77, now - kLeaseStaleSeconds - 5}));
    BoxAnswer again;
    {
        BoxWatcher watcher(again, QMessageBox::Ok);
        room.type("はなこ");
    }
    EXPECT_FALSE(again.seen) << again.text.toStdString();
    ASSERT_TRUE(readLease(hanako, lease));
    EXPECT_EQ(lease.computer, QSysInfo::machineHostName().toStdString());
}

// A share that went away must not be made again on the local disk, and the
// child before keeps what they earned: the name goes back until it is saved.
TEST(ClassFolder, AClassFolderThatIsGoneKeepsTheChildAndSaysSo) {
    Classroom room;
    room.open();
    room.type("はなこ");
    room.st.recCheckArray[1][0] = 1;  // a pass earned just now
    const QString moved = room.classFolder.path() + ".away";
    ASSERT_TRUE(QDir().rename(room.classFolder.path(), moved));
    BoxAnswer told;
    {
        BoxWatcher watcher(told, QMessageBox::Ok);
        room.type("じろう");
    }
    EXPECT_TRUE(told.seen);
    EXPECT_TRUE(told.text.contains(QString::fromStdString(room.classDir))) << told.text.toStdString();
    EXPECT_EQ(room.form->Edit2->text(), u("はなこ"));
    EXPECT_EQ(room.st.recCheckArray[1][0], 1);
    EXPECT_FALSE(QDir(room.classFolder.path()).exists());

    ASSERT_TRUE(QDir().rename(moved, room.classFolder.path()));
    room.type("じろう");
    StudyState hanako;
    loadSettings(hanako, room.file("はなこ", kSettingsFileName));
    EXPECT_EQ(hanako.recCheckArray[1][0], 1);
}

TEST(ClassFolder, TheChildrenWindowListsTheClassAndSwitchesByName) {
    Classroom room;
    QDir().mkpath(QString::fromStdString(room.classDir + ".stfolder"));  // a sync engine's own
    QDir().mkpath(QString::fromStdString(room.classDir + "じろう"));
    room.open();
    room.type("じろう");
    {
        TKodomoForm window(room.wiring, room.form.get());
        ASSERT_EQ(window.ChildGrid->model()->rowCount(), 2);
        EXPECT_TRUE(window.ChildGrid->model()->index(0, 0).data().toString().contains(u("じろう")));
        EXPECT_TRUE(window.LeaveClassButton->isEnabled());
        window.ChildGrid->selectRow(1);
        window.ChooseButton->click();
        EXPECT_TRUE(window.switched());
    }
    EXPECT_EQ(room.st.studentName, "はなこ");
    EXPECT_EQ(room.st.recCheckArray[0][0], 1);
    {
        // Leaving the class brings the computer's own child back.
        TKodomoForm window(room.wiring, room.form.get());
        window.LeaveClassButton->click();
    }
    EXPECT_TRUE(room.wiring.classFolder().empty());
    EXPECT_EQ(room.st.recCheckArray[0][1], 1);
}

TEST(ClassRecordWindow, ShowsEveryChildAsReadAndWritesTheCsv) {
    Classroom room;
    QDir().mkpath(QString::fromStdString(room.classDir + "けんた"));  // half-synced: no settings yet
    TKurasuForm window(room.classDir);
    const QAbstractItemModel* grid = window.ClassGrid->model();
    ASSERT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(grid->headerData(3, Qt::Horizontal).toString(), u("一の段\n順 乱"));
    EXPECT_EQ(grid->index(1, 0).data().toString(), u("けんた"));
    EXPECT_EQ(grid->index(1, 1).data().toString(), u("こわれ"));
    EXPECT_FALSE(grid->index(1, 1).data(Qt::AccessibleDescriptionRole).toString().isEmpty());
    EXPECT_EQ(grid->index(2, 0).data().toString(), u("はなこ"));
    EXPECT_EQ(grid->index(2, 3).data().toString(), u("◎ ―"));
    EXPECT_EQ(grid->index(2, 3).data(Qt::AccessibleDescriptionRole).toString(), u("はなこ：一の段　順 ◎　乱 ―"));
    EXPECT_EQ(grid->index(1, 3).data(Qt::AccessibleDescriptionRole).toString(), u("けんた：一の段　順 ―　乱 ―"));

    // The class's answers as one map, to read only.
    bool shown = false;
    QTimer::singleShot(50, &window, [&] {
        auto* map = qobject_cast<TNigateMapForm*>(QApplication::activeModalWidget());
        if (!map) return;
        shown = map->windowTitle() == u("クラスの にがて九九マップ") && map->PracticeButton->isHidden() &&
                map->ClearButton->isHidden() && map->MapGrid->model()->index(2, 2).data().toString().contains(u("×"));
        map->reject();
    });
    window.MapClick();
    EXPECT_TRUE(shown);

    const QString csv = room.classFolder.path() + "/../class.csv";
    ASSERT_TRUE(window.CsvClick(csv));
    EXPECT_EQ(slurp(csv.toStdString()), classCsv(window.view()));
    QFile::remove(csv);
}
