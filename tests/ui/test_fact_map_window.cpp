// The map of hard facts as a child and a parent use it: what it shows, the
// practice it starts in the main window, and clearing the record.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QDate>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "main/core/Runner.h"
#include "tests/ui/QualifyFixture.h"
#include "tests/ui/ScriptedRun.h"
#include "windows/FactMapWindow.h"
#include "windows/Sikskuck.h"

namespace {

int q(int a, int b) { return (a - 1) * 9 + (b - 1); }

struct MapFixture {
    MapFixture() {
        recordAnswer(st.factRecord, q(7, 8), false, 4000);
        recordAnswer(st.factRecord, q(6, 7), false, 2000);
        recordAnswer(st.factRecord, q(6, 7), true, 1800);
        recordAnswer(st.factRecord, q(2, 2), true, 700);
        form = std::make_unique<FactMapWindow>(st, ports);
        form->show();
    }
    QString readCell(int row, int column, QAccessible::Text what = QAccessible::Name) {
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(form->MapGrid);
        QAccessibleTableInterface* cells = table ? table->tableInterface() : nullptr;
        QAccessibleInterface* cell = cells ? cells->cellAt(row, column) : nullptr;
        return cell ? cell->text(what) : QString("<none>");
    }
    StudyState st;
    QuietPorts ports;
    RecordingNavigator navigator{st, ports};
    std::unique_ptr<FactMapWindow> form;
};

}  // namespace

TEST(FactMapWindow, ShowsEveryFactAndNamesTheHardestInWordsAChildReads) {
    MapFixture m;
    EXPECT_EQ(m.form->windowTitle(), QString::fromUtf8("にがて九九マップ"));
    // 6 x 7 is yellow: only the red ones are named
    EXPECT_EQ(m.form->HardLine->text(), QString::fromUtf8("７×８ が にがてだよ。れんしゅうしよう！"));
    EXPECT_EQ(m.readCell(7, 8), QString::fromUtf8("７×８\n×\n"));
    EXPECT_EQ(m.readCell(6, 7), QString::fromUtf8("６×７\n×◎\nふつう"));
    EXPECT_EQ(m.readCell(2, 2), QString::fromUtf8("２×２\n◎\nはやい"));
    EXPECT_EQ(m.readCell(9, 9), QString::fromUtf8("９×９\nまだ"));
    // the numbers stay for the parent: in each cell's description, and in their own view
    EXPECT_EQ(m.readCell(6, 7, QAccessible::Description),
              QString::fromUtf8("正解 1/2回（50%）・答えの速さ 1.8秒（制限時間 2.6秒）"));
    m.form->ParentButton->click();
    EXPECT_EQ(m.readCell(7, 8), QString::fromUtf8("７×８\n0%\n―"));  // never right: no time
    EXPECT_EQ(m.readCell(6, 7), QString::fromUtf8("６×７\n50%\n1.8秒"));
    m.form->ParentButton->click();
    EXPECT_EQ(m.readCell(2, 2), QString::fromUtf8("２×２\n◎\nはやい"));
    EXPECT_EQ(m.readCell(0, 9), QString::fromUtf8("×９"));
    EXPECT_TRUE(m.form->PracticeButton->isEnabled());
    // The colours are explained in words beside the map.
    bool legend = false;
    for (const QLabel* l : m.form->findChildren<QLabel*>())
        legend |= l->isVisible() && l->text() == QString::fromUtf8("みどり＝とくい　きいろ＝もう少し　あか＝にがて");
    EXPECT_TRUE(legend);
    // On paper: whose map and of which day, above the map, and no buttons.
    m.st.studentName = "たかはし ゆうた";
    const QString caption = m.form->printedCaption(), page = QString::fromUtf8("たかはし ゆうた　");
    EXPECT_TRUE(caption == page + QDate::currentDate().addDays(-1).toString(QString::fromUtf8("yyyy年M月d日")) ||
                caption == page + QDate::currentDate().toString(QString::fromUtf8("yyyy年M月d日")));  // midnight may pass
    const QImage buttons = m.form->printedPage().toImage().copy(
        m.form->PrintButton->geometry().united(m.form->ParentButton->geometry()).translated(0, FactMapWindow::kCaptionHeight));
    QImage blank(buttons.size(), buttons.format());
    blank.fill(buttons.pixel(0, 0));
    EXPECT_EQ(buttons, blank);
    m.form->showClassMap();  // a class's map names no child
    EXPECT_FALSE(m.form->printedCaption().contains(QString::fromUtf8("たかはし")));
}

TEST(FactMapWindow, PractiseChoosesTheHardFactsHardestFirstAndCloses) {
    MapFixture m;
    m.form->PracticeButton->click();
    EXPECT_EQ(m.form->choice().drill, FactMapChoice::Drill::Practice);
    EXPECT_EQ(m.form->choice().facts, (std::vector<int>{q(7, 8), q(6, 7)}));
    EXPECT_FALSE(m.form->isVisible());
}

TEST(FactMapWindow, ClearingAsksFirstAndEmptiesOnlyOnOk) {
    MapFixture m;
    EXPECT_TRUE(m.form->ClearButton->isEnabled());
    {
        BoxAnswer seen;
        BoxWatcher watch(seen, QMessageBox::Cancel);
        m.form->ClearButton->click();
        EXPECT_TRUE(seen.seen);
        EXPECT_EQ(seen.buttons, QMessageBox::Ok | QMessageBox::Cancel);
    }
    EXPECT_FALSE(recordIsEmpty(m.st.factRecord));
    {
        BoxAnswer seen;
        BoxWatcher watch(seen, QMessageBox::Ok);
        m.form->ClearButton->click();
    }
    EXPECT_TRUE(recordIsEmpty(m.st.factRecord));
    EXPECT_EQ(m.readCell(7, 8), QString::fromUtf8("７×８\nまだ"));
    EXPECT_FALSE(m.form->PracticeButton->isEnabled());
    EXPECT_FALSE(m.form->ClearButton->isEnabled());  // nothing left to clear
    EXPECT_EQ(m.form->HardLine->text(), QString::fromUtf8("テストをすると，にがてな九九がわかるよ。"));
}

TEST(FactMapWindow, WithNothingHardItsDrillsAreOffAndLookIt) {
    StudyState st;
    QuietPorts ports;
    recordAnswer(st.factRecord, 0, true, 500);
    FactMapWindow form(st, ports);
    form.show();
    for (QPushButton* b : {form.PracticeButton, form.TestButton}) {
        EXPECT_FALSE(b->isEnabled());
        // drawn in the style's grey, not in the colour of the enabled button
        EXPECT_NE(b->palette().color(QPalette::Disabled, QPalette::ButtonText),
                  b->palette().color(QPalette::Active, QPalette::ButtonText));
    }
    EXPECT_EQ(form.HardLine->text(), QString::fromUtf8("にがてな九九はないよ。すごいね！"));
}

TEST(FactMapWindow, ClearingPassesLeavesTheRecordAlone) {
    StudyState st;
    recordAnswer(st.factRecord, 5, false, 3000);
    st.recCheckArray[0][0] = 1;
    QuietPorts ports;
    RecordingNavigator navigator(st, ports);
    TSikakuCheckForm check(st, navigator, ports);
    {
        BoxAnswer seen;
        BoxWatcher watch(seen, QMessageBox::Ok);
        check.D1Click();
    }
    check.close();
    EXPECT_EQ(st.recCheckArray[0][0], 0);
    EXPECT_EQ(st.factRecord.facts[5].asked, 1);
}

TEST(FactMapWindow, TheMainWindowPractisesTheChosenFacts) {
    struct MapNavigator : CountingNavigator {
        using CountingNavigator::CountingNavigator;
        FactMapChoice openFactMap(QWidget*) override {
            return {FactMapChoice::Drill::Practice, {q(8, 7), q(4, 6)}};
        }
    };
    ScriptedWindow w(2, 3, 0);  // the lists say 五の段 test: the practice does not care
    MapNavigator navigator(w.st, w.sound, w.clock, w.keeper);
    // the window's navigator is fixed at construction; reach the map through the handler
    std::vector<int> asked;
    QString messageDuringRun;
    TMasumeForm* shown = nullptr;
    for (int i = 0; i < 4; ++i)
        w.clock.after(500 + 2000 * i, [&] {
            asked.push_back(w.st.currentQuestion);
            if (messageDuringRun.isEmpty()) messageDuringRun = shown->StaticText3->text();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_G);
        });
    TMasumeForm form(w.st, w.keys, w.clock, [&] {
        MasumeServices s;
        s.navigator = &navigator;
        return s;
    }());
    form.show();
    shown = &form;
    w.st.repeatCount = 2;
    form.HardFactsClick();
    EXPECT_EQ(asked, (std::vector<int>{q(8, 7), q(4, 6), q(8, 7), q(4, 6)}));
    EXPECT_EQ(messageDuringRun, QString::fromUtf8("◎にがてな九九の練習をします。"));
    EXPECT_EQ(form.StaticText3->text(), QString::fromUtf8("◎") + QString::fromUtf8(kAfterHardPractice));
    EXPECT_TRUE(form.Button1->isEnabled());
}

TEST(FactMapWindow, TheHardFactsTestRunsInTheMainWindowAndKeepsItsAnswers) {
    struct MapNavigator : CountingNavigator {
        using CountingNavigator::CountingNavigator;
        FactMapChoice openFactMap(QWidget*) override { return {FactMapChoice::Drill::Test, {q(8, 7), q(4, 6)}}; }
    };
    ScriptedWindow w(2, 0, 3);
    MapNavigator navigator(w.st, w.sound, w.clock, w.keeper);
    TMasumeForm form(w.st, w.keys, w.clock, [&] {
        MasumeServices s;
        s.navigator = &navigator;
        s.keeper = &w.keeper;
        return s;
    }());
    form.show();
    form.HardFactsClick();  // every question left to time out
    EXPECT_EQ(form.StaticText3->text(), QString::fromUtf8("◎にがてテストは 2もん中 0もん せいかい！"));
    EXPECT_EQ(w.st.factRecord.facts[size_t(q(8, 7))].asked, 1);
    EXPECT_EQ(w.keeper.recordSaves, 1);
    EXPECT_EQ(navigator.resultsByTable + navigator.resultsByLevel, 0);
    EXPECT_TRUE(form.Button1->isEnabled());
}
