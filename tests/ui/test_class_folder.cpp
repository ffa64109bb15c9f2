// A classroom: the name a child types chooses their folder in the class
// folder, which holds their files from the first save on; a second computer
// is told the child is open already; the teacher reads the whole class.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSysInfo>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "main/core/ChildFiles.h"
#include "main/core/Classroom.h"
#include "main/core/Settings.h"
#include "support/core/IniFile.h"
#include "main/core/FactRecord.h"
#include "main/core/History.h"
#include "support/core/Codec.h"
#include "tests/ui/FamilyFixture.h"
#include "tests/ui/QualifyFixture.h"
#include "windows/AdultGate.h"
#include "windows/ChildrenWindow.h"
#include "windows/core/ResultByTable.h"
#include "windows/ClassRecordWindow.h"
#include "windows/FactMapWindow.h"

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
    // The child as every computer's files together make them.
    ChildMerge merged(const std::string& child) const { return readChildFolder(classDir + child + "/", {}, true); }
    StudyState saved(const std::string& child) const {
        const ChildMerge m = merged(child);
        IniFile ini;
        ini.setBytes(m.newestSettings);
        StudyState st;
        readSettings(st, ini);
        passesInto(st, m.passes);
        return st;
    }
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
    EXPECT_TRUE(room.form->classRecordAction->isVisible()) << "クラスのきろく is offered on a class computer";

    room.type("じろう");
    EXPECT_FALSE(room.exists(room.classDir + "じろう")) << "a name alone makes no folder";
    room.form->Button1->click();  // a test, every question left to time out
    ASSERT_EQ(room.nav.resultsByTable, 1);
    EXPECT_TRUE(room.merged("じろう").settingsFound);
    EXPECT_TRUE(room.merged("じろう").recordFound);
    EXPECT_EQ(room.merged("じろう").history.size(), 1u);
    EXPECT_FALSE(room.exists(room.file("じろう", kSettingsFileName))) << "each computer writes files of its own";
    EXPECT_EQ(slurp(room.st.exeDir + kSettingsFileName), kOldIni) << "the computer's own file is left alone";

    // A folder written before names were folded is the child's whatever the
    // input method types; the window keeps the name as typed.
    StudyState taro;
    taro.recCheckArray[0][5] = 1;
    QDir().mkpath(QString::fromStdString(room.classDir + "Taro"));
    ASSERT_TRUE(saveSettings(taro, room.file("Taro", kSettingsFileName), nullptr));
    room.type("ｔａｒｏ");
    EXPECT_EQ(room.st.recCheckArray[0][5], 1);
    EXPECT_EQ(room.form->Edit2->text(), u("ｔａｒｏ"));
    EXPECT_FALSE(room.exists(room.classDir + "taro"));

    // はなこ sits down: her passes and answers from the class folder.
    room.type(" はなこ");
    EXPECT_EQ(room.st.recCheckArray[0][0], 1);
    EXPECT_EQ(room.st.factRecord.facts[10].asked, 1);
    EXPECT_EQ(room.form->Edit2->text(), u(" はなこ"));
    const Lease here{QSysInfo::machineHostName().toStdString(), QCoreApplication::applicationPid(),
                     QDateTime::currentSecsSinceEpoch()};
    const Lease elsewhere{"pc-x", 1, here.atSeconds};
    EXPECT_EQ(othersOpen(leasesOn(room.classDir, "はなこ"), elsewhere, here.atSeconds).size(), 1u)
        << "she is noted as open here";
    EXPECT_TRUE(othersOpen(leasesOn(room.classDir, "じろう"), elsewhere, here.atSeconds).empty())
        << "じろう was let go";
    EXPECT_EQ(room.saved("じろう").studentName, "じろう");

    // Typing over her name and quitting keeps her file hers.
    room.form->Edit2->setText(u("はな"));
    room.st.recCheckArray[1][0] = 1;
    room.form->close();
    const StudyState hanako = room.saved("はなこ");
    EXPECT_EQ(hanako.studentName, " はなこ");
    EXPECT_EQ(hanako.recCheckArray[1][0], 1);
    EXPECT_EQ(hanako.recCheckArray[0][0], 1) << "her pass from today's program is kept";
    EXPECT_EQ(slurp(room.file("はなこ", kSettingsFileName)).find("KUKUCLASS"), std::string::npos)
        << "the file of today's program is left as it was";
    EXPECT_FALSE(room.exists(room.classDir + "はな"));
}

// A class computer starts with no name, so a child often takes a test first:
// the test is theirs once they type their name.
TEST(ClassFolder, ATestTakenBeforeTheNameIsTheChildsWhoTypesItNext) {
    Classroom room;
    room.open();
    BoxAnswer asked;
    {
        BoxWatcher watcher(asked, QMessageBox::Ok);
        room.form->Button1->click();  // a test, every question left to time out
    }
    EXPECT_TRUE(asked.text.contains(u("なまえ"))) << asked.text.toStdString();
    ASSERT_EQ(room.nav.resultsByTable, 0);
    // As if every answer had been right.
    for (auto& pass : room.st.kekkaArray)
        for (int& outcome : pass) outcome = outcome == 2 ? 2 : 1;

    room.type("けんた");
    const TableResult shown = readTableResult(room.st);
    EXPECT_EQ(shown.answered, 27) << "the results show the test just taken";
    ASSERT_TRUE(shown.registrable);
    EXPECT_TRUE(registerTableResult(room.st, shown, RegisterFrom::Button, [&] { room.wiring.savePasses(nullptr); }).empty());
    const ChildMerge kenta = room.merged("けんた");
    EXPECT_TRUE(kenta.passes.passed((shown.pass.column - 1) * kRecRows + shown.pass.row - 1)) << "registered as without a class";
    int asked27 = 0;
    for (const FactHistory& h : kenta.record.facts) asked27 += h.asked;
    EXPECT_EQ(asked27, 27) << "the map has the test";
    EXPECT_EQ(kenta.history.size(), 1u) << "and so has the history";

    // The next child starts with nothing of it.
    room.type("じろう");
    EXPECT_TRUE(recordIsEmpty(room.st.factRecord));
    EXPECT_TRUE(room.merged("じろう").history.empty());
}

TEST(ClassFolder, BothComputersAreToldAndALeaseLeftBehindTellsNobody) {
    Classroom room;
    room.open();
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    ASSERT_TRUE(takeLease(room.classDir, "はなこ", "pc-2", {"kyoshitsu-2", 77, now - 10}));
    BoxAnswer told;
    {
        BoxWatcher watcher(told, QMessageBox::Ok);
        room.type("はなこ");
    }
    ASSERT_TRUE(told.seen);
    EXPECT_TRUE(told.text.contains(u("kyoshitsu-2"))) << told.text.toStdString();
    const QString words = told.text;

    // Told once, not at every minute after.
    BoxAnswer again;
    {
        BoxWatcher watcher(again, QMessageBox::Ok);
        room.wiring.checkLease();
    }
    EXPECT_FALSE(again.seen) << again.text.toStdString();

    // A third program opens her: this one hears of it within the minute, in the same words.
    ASSERT_TRUE(takeLease(room.classDir, "はなこ", "pc-3", {"kyoshitsu-3", 78, now}));
    BoxAnswer third;
    {
        BoxWatcher watcher(third, QMessageBox::Ok);
        room.wiring.checkLease();
    }
    ASSERT_TRUE(third.seen);
    EXPECT_EQ(third.text, QString(words).replace(u("kyoshitsu-2"), u("kyoshitsu-3")));

    // The other computer was switched off: its lease grows old and tells nobody.
    room.type("じろう");
    ASSERT_TRUE(takeLease(room.classDir, "はなこ", "pc-2", {"kyoshitsu-2", 77, now - kLeaseStaleSeconds - 5}));
    ASSERT_TRUE(takeLease(room.classDir, "はなこ", "pc-3", {"kyoshitsu-3", 78, now - kLeaseStaleSeconds - 5}));
    BoxAnswer stale;
    {
        BoxWatcher watcher(stale, QMessageBox::Ok);
        room.type("はなこ");
    }
    EXPECT_FALSE(stale.seen) << stale.text.toStdString();
}

// A brand-new name typed on two computers: both are told, and a name typed
// in passing leaves no folder behind.
TEST(ClassFolder, ANewNameTypedOnTwoComputersIsToldWithoutAFolder) {
    Classroom room;
    room.open();
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    ASSERT_TRUE(takeLease(room.classDir, "さくら", "pc-2", {"kyoshitsu-2", 77, now}));
    BoxAnswer told;
    {
        BoxWatcher watcher(told, QMessageBox::Ok);
        room.type("さくら");
    }
    EXPECT_TRUE(told.seen);
    room.type("じろう");
    EXPECT_FALSE(room.exists(room.classDir + "さくら"));
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
    EXPECT_EQ(room.saved("はなこ").recCheckArray[1][0], 1);
}

// じろう's folder is a link to はなこ's: told once, in words a child reads, and nothing is written.
TEST(ClassFolder, AChildWhoseFolderIsALinkIsToldOnceAndNothingIsWritten) {
    Classroom room;
    ASSERT_TRUE(QFile::link(u("はなこ"), QString::fromStdString(room.classDir + "じろう")));
    const std::string hanako = slurp(room.file("はなこ", kSettingsFileName));
    room.open();
    BoxAnswer told, again;
    {
        BoxWatcher watcher(told, QMessageBox::Ok);
        room.type("じろう");
    }
    EXPECT_TRUE(told.text.contains(u("つかえません")) && told.text.contains(u("リンク"))) << told.text.toStdString();
    EXPECT_EQ(room.st.recCheckArray[0][0], 0) << "はなこ's passes are not じろう's";
    room.st.recCheckArray[1][0] = 1;
    {
        BoxWatcher watcher(again, QMessageBox::Ok);
        room.wiring.savePasses(nullptr);
    }
    EXPECT_FALSE(again.seen) << again.text.toStdString();
    EXPECT_EQ(slurp(room.file("はなこ", kSettingsFileName)), hanako);
}

TEST(ClassFolder, TheChildrenWindowListsTheClassAndSwitchesByName) {
    Classroom room;
    QDir().mkpath(QString::fromStdString(room.classDir + ".stfolder"));  // a sync engine's own
    QDir().mkpath(QString::fromStdString(room.classDir + "じろう"));
    room.open();
    room.type("じろう");
    {
        ChildrenWindow window(room.wiring, room.form.get());
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
        // Leaving the class brings the computer's own child back, for an adult
        // only: a tap or a short press does nothing, a press of three seconds does.
        ChildrenWindow window(room.wiring, room.form.get());
        const struct {
            int holdMs;
            bool leaves;
        } presses[] = {{0, false}, {AdultGate::kHoldMs / 6, false}, {AdultGate::kHoldMs + 500, true}};
        for (const auto& p : presses) {
            bool gateShown = false;
            QTimer::singleShot(50, &window, [&] {
                auto* gate = qobject_cast<AdultGate*>(QApplication::activeModalWidget());
                if (!gate) return;
                gateShown = true;
                QTest::mousePress(gate->holdButton(), Qt::LeftButton);
                // Let go, then give up: a gate passed is gone before this runs.
                QTimer::singleShot(p.holdMs, gate, [gate] {
                    QTest::mouseRelease(gate->holdButton(), Qt::LeftButton);
                    gate->reject();
                });
            });
            window.LeaveClassButton->click();
            EXPECT_TRUE(gateShown) << p.holdMs;
            EXPECT_EQ(room.wiring.classFolder().empty(), p.leaves) << p.holdMs;
        }
    }
    EXPECT_TRUE(room.wiring.classFolder().empty());
    EXPECT_EQ(room.st.recCheckArray[0][1], 1);
}

// A class is read beside the window: until it is read the window shows how
// far it has got and can only be closed; よみなおす reads again the same way,
// and a window closed while it reads stops the reading.
TEST(ClassRecordWindow, ReadsBesideTheWindowShowingHowFarItHasGot) {
    Classroom room;
    for (int i = 0; i < 40; ++i) QDir().mkpath(QString::fromStdString(room.classDir + "こ" + std::to_string(i)));
    ClassRecordWindow window(room.classDir);
    const auto acting = [&] {
        std::vector<bool> enabled;
        for (QPushButton* b : {window.ReloadButton, window.MapButton, window.CsvButton, window.PrintButton})
            enabled.push_back(b->isEnabled());
        return enabled;
    };
    EXPECT_FALSE(window.ReadingBar->isHidden());
    EXPECT_EQ(acting(), std::vector<bool>(4, false));
    EXPECT_TRUE(window.CloseButton->isEnabled());
    ASSERT_TRUE(window.waitUntilRead());
    EXPECT_TRUE(window.ReadingBar->isHidden());
    EXPECT_EQ(acting(), std::vector<bool>(4, true));
    EXPECT_EQ(window.ClassGrid->model()->rowCount(), 1 + 41);

    QDir().mkpath(QString::fromStdString(room.classDir + "あたらしい こ"));
    window.ReloadClick();
    EXPECT_FALSE(window.ReadingBar->isHidden());
    EXPECT_FALSE(window.ReloadButton->isEnabled());
    EXPECT_EQ(window.ClassGrid->model()->rowCount(), 1 + 41) << "the table read before stays until the new one is read";
    ASSERT_TRUE(window.waitUntilRead());
    EXPECT_EQ(window.ClassGrid->model()->rowCount(), 1 + 42);
    // The reading's own end, queued before it was shown, changes nothing.
    QCoreApplication::processEvents();
    EXPECT_EQ(window.ClassGrid->model()->rowCount(), 1 + 42);

    auto* closing = new ClassRecordWindow(room.classDir);
    delete closing;  // while it reads: no wait for the whole class, nothing left running
}

TEST(ClassRecordWindow, ShowsEveryChildAsReadAndWritesTheCsv) {
    Classroom room;
    QDir().mkpath(QString::fromStdString(room.classDir + "けんた"));  // half-synced: no settings yet
    ClassRecordWindow window(room.classDir);
    ASSERT_TRUE(window.waitUntilRead());
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
        auto* map = qobject_cast<FactMapWindow*>(QApplication::activeModalWidget());
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
