// Children of one family on one computer: each with their own files, the
// main window following the one who sits there, and a home with one child
// writing exactly what it always wrote.
#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QProgressBar>
#include <QTemporaryDir>

#include "main/AppWiring.h"
#include "main/core/Family.h"
#include "main/core/FactRecord.h"
#include "main/core/History.h"
#include "main/core/Settings.h"
#include "support/core/Codec.h"
#include "tests/core/FileBytes.h"
#include "tests/ui/FamilyFixture.h"
#include "windows/ProgressChartWindow.h"
#include "windows/ChildrenWindow.h"

namespace {
using codec::u;
}  // namespace

TEST(FamilyOnOneComputer, EachChildKeepsTheirOwnNamePassesAndFilesAndTheWindowFollows) {
    Family home;
    home.open();
    home.form->Edit2->setText(u("はなこ"));
    ASSERT_EQ(home.st.recCheckArray[0][1], 1);  // the first child's pass, from the file

    const int second = home.wiring.addChild(home.form.get());
    ASSERT_EQ(second, 1);
    home.switchTo(second);
    EXPECT_EQ(home.wiring.currentChild(), 1);
    EXPECT_EQ(home.form->Edit2->text(), u(kNewChildName));
    EXPECT_EQ(home.st.recCheckArray[0][1], 0) << "a new child starts without the other's passes";
    // Leaving the first child saved their files where they always were.
    EXPECT_EQ(childName(home.st.exeDir, kSettingsFileName), "はなこ");

    home.form->Edit2->setText(u("じろう"));
    home.st.recCheckArray[1][3] = 1;
    recordAnswer(home.st.factRecord, 20, false, 3000);
    ASSERT_TRUE(home.wiring.savePasses(home.form.get()));

    home.switchTo(0);
    EXPECT_EQ(home.form->Edit2->text(), u("はなこ"));
    EXPECT_EQ(home.form->StaticText6->text(), QString::number(home.st.studentNo));
    EXPECT_EQ(home.st.recCheckArray[0][1], 1);
    EXPECT_EQ(home.st.recCheckArray[1][3], 0);
    EXPECT_EQ(home.st.factRecord.facts[20].asked, 0) << "the hard facts are not mixed";

    const std::string folder = childFolder(home.st.exeDir, 1);
    StudyState jiro;
    loadSettings(jiro, folder + kSettingsFileName);
    EXPECT_EQ(jiro.studentName, "じろう");
    EXPECT_EQ(jiro.recCheckArray[1][3], 1);
    FactRecord jiroRecord;
    ASSERT_TRUE(loadRecordFile(jiroRecord, folder + kFactRecordFileName));
    EXPECT_EQ(jiroRecord.facts[20].asked, 1);

    const std::vector<ChildEntry> children = home.wiring.children();
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(children[0].name, "はなこ");
    EXPECT_TRUE(children[0].current);
    EXPECT_EQ(children[1].name, "じろう");
}

TEST(FamilyOnOneComputer, TheNextStartOpensTheChildChosenLast) {
    Family home;
    home.open();
    home.switchTo(home.wiring.addChild(home.form.get()));
    home.form->Edit2->setText(u("じろう"));
    home.form->close();  // the quit saves the second child
    home.form.reset();

    Family again;
    again.dir.remove();
    again.st.exeDir = home.st.exeDir;
    again.open();
    EXPECT_EQ(again.wiring.currentChild(), 1);
    EXPECT_EQ(again.form->Edit2->text(), u("じろう"));
}

TEST(FamilyOnOneComputer, TheChildrenWindowListsAddsAndSwitches) {
    Family home;
    home.open();
    home.form->Edit2->setText(u("はなこ"));
    {
        ChildrenWindow window(home.wiring, home.form.get());
        ASSERT_EQ(window.ChildGrid->model()->rowCount(), 1);
        const QString shown = window.ChildGrid->model()->index(0, 0).data().toString();
        EXPECT_TRUE(shown.contains(u("はなこ"))) << shown.toStdString();
        window.AddButton->click();
        EXPECT_TRUE(window.switched());
    }
    EXPECT_EQ(home.wiring.currentChild(), 1);
    {
        ChildrenWindow window(home.wiring, home.form.get());
        ASSERT_EQ(window.ChildGrid->model()->rowCount(), 2);
        window.ChildGrid->selectRow(0);
        window.ChooseButton->click();
        EXPECT_TRUE(window.switched());
    }
    EXPECT_EQ(home.wiring.currentChild(), 0);
    EXPECT_EQ(home.st.studentName, "はなこ");
}

// Two children told apart, renamed and removed in the children window, and
// nothing of the child before left on the board after a switch.
TEST(FamilyOnOneComputer, ChildrenAreToldApartRenamedRemovedAndSwitchedCleanly) {
    Family home;
    home.open();
    home.form->Edit2->setText(u("はなこ"));
    // The last question of a test on the board.
    home.form->board().showMark("◎");
    home.form->board().showProgress(17);
    home.form->board().showPassLabel(3);
    home.form->board().showFormula("２×３");
    home.form->board().showAnswer("6", 1);
    const auto inWindow = [&](const std::function<void(ChildrenWindow&)>& act) {
        home.nav.onChildren = [&] {
            ChildrenWindow window(home.wiring, home.form.get());
            act(window);
            return window.switched();
        };
        home.form->ChildrenClick();
    };
    inWindow([](ChildrenWindow& w) { w.AddButton->click(); });
    ASSERT_EQ(home.wiring.currentChild(), 1);
    EXPECT_EQ(home.form->Edit2->text(), u("あたらしい こ"));
    EXPECT_EQ(home.form->StaticText13->text(), QString()) << "the mark of the child before";
    EXPECT_EQ(home.form->ProgressBar3->value(), 0);
    EXPECT_EQ(home.form->StaticText10->text(), u("[＊回目]"));
    EXPECT_EQ(home.form->StaticText11->text(), QString());
    EXPECT_EQ(home.form->StaticText12->text(), QString());
    EXPECT_EQ(home.form->StaticText2->text(), u("0"));

    // Pressed again before the new child is named: still two, told apart.
    inWindow([](ChildrenWindow& w) { w.AddButton->click(); });
    ASSERT_EQ(home.wiring.children().size(), 2u);

    struct Rename {
        int row;
        const char* typed;
        const char* first;   // the names listed afterwards
        const char* second;
    };
    const Rename renames[] = {
        {1, "  じろう ", "はなこ", "じろう"},  // the child sitting here: the name field follows
        {0, "はな", "はな", "じろう"},         // the other child, in their own file
        {0, "　", "はな", "じろう"},           // refused, said in the window
        {1, "😀", "はな", "じろう"},
    };
    for (const Rename& r : renames) {
        bool refused = false;
        inWindow([&](ChildrenWindow& w) {
            w.ChildGrid->selectRow(r.row);
            EXPECT_TRUE(w.RenameButton->isEnabled());
            w.RenameButtonClick(u(r.typed));
            refused = w.Heading->text().contains(u("つかえません"));
            EXPECT_FALSE(w.switched());
        });
        const std::vector<ChildEntry> children = home.wiring.children();
        ASSERT_EQ(children.size(), 2u);
        EXPECT_EQ(children[0].name, r.first) << r.typed;
        EXPECT_EQ(children[1].name, r.second) << r.typed;
        EXPECT_EQ(refused, acceptableChildName(r.typed).empty()) << r.typed;
        EXPECT_EQ(home.form->Edit2->text(), u("じろう"));
    }
    EXPECT_EQ(childName(home.st.exeDir, kSettingsFileName), "はな");
    EXPECT_EQ(childName(childFolder(home.st.exeDir, 1), kSettingsFileName), "じろう");

    // Neither the first child nor the one sitting here can be removed.
    inWindow([](ChildrenWindow& w) {
        for (int row : {0, 1}) {
            w.ChildGrid->selectRow(row);
            EXPECT_FALSE(w.RemoveButton->isEnabled()) << row;
            w.RemoveButtonClick(true);
        }
    });
    ASSERT_EQ(home.wiring.children().size(), 2u);
    home.switchTo(0);
    inWindow([](ChildrenWindow& w) {
        w.ChildGrid->selectRow(1);
        EXPECT_TRUE(w.RemoveButton->isEnabled());
        w.RemoveButtonClick(true);
        EXPECT_EQ(w.ChildGrid->model()->rowCount(), 1);
    });
    EXPECT_EQ(home.wiring.children().size(), 1u);
    EXPECT_EQ(childName(home.st.exeDir + "children/removed/1/", kSettingsFileName), "じろう");

    // A name typed for a new child names them: the next press adds another.
    inWindow([](ChildrenWindow& w) { w.AddButton->click(); });
    home.form->Edit2->setText(u("さぶろう"));
    inWindow([](ChildrenWindow& w) { w.AddButton->click(); });
    const std::vector<ChildEntry> three = home.wiring.children();
    ASSERT_EQ(three.size(), 3u);
    EXPECT_EQ(three[1].name, "さぶろう");
    EXPECT_EQ(three[2].name, kNewChildName);
    EXPECT_TRUE(three[2].current);
}

// A home with one child: the settings file and the record are the very
// bytes the plain savers write for the same state, and no folder of
// children appears. The history of tests is the one file added.
TEST(FamilyOnOneComputer, OneChildWritesTheSameBytesAsBefore) {
    Family home;
    home.services.loadSettings = [&](StudyState& st) {
        home.wiring.services().loadSettings(st);
        st.rangeIndex = 0;
        st.contentIndex = 3;
        st.speedIndex = 3;
        st.studentName = "はなこ";
    };
    home.open();
    EXPECT_FALSE(home.form->classRecordAction->isVisible()) << "no class, no class menu entry";
    home.form->Button1->click();  // a test, every question left to time out
    home.form->close();
    ASSERT_EQ(home.nav.resultsByTable, 1);

    QTemporaryDir plain;
    const std::string ini = plain.path().toStdString() + "/a.ini";
    spit(ini, kOldIni);
    ASSERT_TRUE(saveSettings(home.st, ini, nullptr));
    ASSERT_TRUE(saveRecordFile(home.st.factRecord, plain.path().toStdString() + "/b.txt"));
    EXPECT_EQ(slurp(home.st.exeDir + kSettingsFileName), slurp(ini));
    EXPECT_EQ(slurp(home.st.exeDir + kFactRecordFileName), slurp(plain.path().toStdString() + "/b.txt"));
    EXPECT_EQ(QDir(home.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList({kFactRecordFileName, kHistoryFileName, kSettingsFileName}));

    const HistoryRead history = loadHistoryFile(home.st.exeDir + kHistoryFileName);
    ASSERT_EQ(history.entries.size(), 1u);
    // As the answer record of that test tells it: every asked question timed out.
    int asked = 0, passes = 0;
    for (const auto& row : home.st.kekkaArray) {
        const int inRow = int(std::count_if(std::begin(row), std::end(row), [](int k) { return k != 2; }));
        asked += inRow;
        passes += inRow > 0;
    }
    EXPECT_EQ(history.entries[0].range, 0);
    EXPECT_EQ(history.entries[0].passes, passes);
    EXPECT_EQ(history.entries[0].passed, asked);
    EXPECT_EQ(history.entries[0].right + history.entries[0].wrong, 0);
}

TEST(FamilyOnOneComputer, TheProgressChartShowsTheHistorysDaysInItsTable) {
    Family home;
    home.open();
    const std::vector<HistoryEntry> tests{{"2026-05-01 18:00:00", 0, 0, 3, 20, 5, 2, 1500},
                                          {"2026-05-03 09:00:00", 0, 0, 3, 27, 0, 0, 900}};
    for (const HistoryEntry& e : tests) ASSERT_TRUE(home.wiring.appendHistory(e));
    ProgressChartWindow chart(loadHistoryFile(home.wiring.historyPath()).entries, home.form.get());
    const QAbstractItemModel* table = chart.DayGrid->model();
    ASSERT_EQ(table->rowCount(), 3);  // headings, then one row a day, the newest first
    EXPECT_EQ(table->index(1, 0).data().toString(), u("5/3"));
    EXPECT_EQ(table->index(2, 0).data().toString(), u("5/1"));
    EXPECT_EQ(table->index(2, 2).data().toString(), QStringLiteral("74%"));  // 20 of 27
    EXPECT_TRUE(table->index(1, 4).data().toString().contains(u("★")));
    // The parent's numbers are in each row's description.
    EXPECT_TRUE(table->index(2, 3).data(Qt::AccessibleDescriptionRole).toString().contains(u("1.5秒")));

    // A child without tests yet is told how the chart comes.
    ProgressChartWindow empty({}, home.form.get());
    EXPECT_EQ(empty.DayGrid->model()->rowCount(), 1);
    EXPECT_TRUE(empty.Heading->text().contains(u("テストをすると")));
}

// Each child's sounds at their own volume: the sounds are made again at the
// volume of the child who sits down.
TEST(FamilyOnOneComputer, TheSoundsFollowEachChildsVolume) {
    Family home;
    const QString data = qEnvironmentVariable("TATEYOKO_SOURCE_DIR") + "/data/";
    for (const char* name : {"Seikai.wav", "Huseikai.wav", "promptA.wav"})
        ASSERT_TRUE(QFile::copy(data + name, home.dir.filePath(name))) << name;
    const QString before = QDir::currentPath();
    QDir::setCurrent(home.dir.path());
    home.services = home.wiring.services();
    home.services.navigator = &home.nav;
    home.services.loadHints = {};
    home.open();
    const auto peak = [&] {
        const QByteArray& wave = home.wiring.player().soundBuffers[0];
        int most = 0;
        for (qsizetype i = 44; i + 1 < wave.size(); i += 2)
            most = std::max(most, std::abs(int(qint16(quint8(wave[i]) | (quint8(wave[i + 1]) << 8)))));
        return most;
    };
    const int loud = peak();
    home.switchTo(home.wiring.addChild(home.form.get()));
    home.st.effectVolume = 10;
    ASSERT_TRUE(home.wiring.savePasses(home.form.get()));
    home.switchTo(0);
    home.switchTo(1);
    QDir::setCurrent(before);
    EXPECT_GT(loud, 0);
    EXPECT_LT(peak(), loud / 2) << "the quiet child's sounds are quiet";
}
