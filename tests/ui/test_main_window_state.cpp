// The main window keeps what the child sees and what Start runs in step:
// after another window changed the choices, with a long stored name, and
// when quitting cannot save.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "main/core/QuestionOrder.h"
#include "tests/ui/ScriptedRun.h"

TEST(MainWindowReturn, ChoicesMadeByTheQualificationWindowShowInTheLists) {
    ScriptedWindow w(2 /*五の段*/, 3, 0);
    w.st.kekkaArray[0][0] = 1;
    w.navigator.onQualification = [&] {
        w.st.contentIndex = 4;
        w.st.rangeIndex = 10;  // 中級
    };
    w.form->K1Click();
    EXPECT_EQ(w.form->ComboBox1->currentIndex(), 10);
    EXPECT_EQ(w.form->ComboBox2->currentIndex(), 4);
    EXPECT_EQ(w.st.currentDan, 11);
    EXPECT_EQ(w.st.levelIndex, 1);
    EXPECT_EQ(w.st.kekkaArray[0][0], 2);  // no results window shows the old test in the new layout
    EXPECT_FALSE(w.form->L1->isEnabled());
    EXPECT_TRUE(w.form->KekkaDDsp->isEnabled());
    EXPECT_EQ(w.form->StaticText3->text(), QString::fromUtf8("◎「三・四・六の段」(乱)のテストをします。"));
}

TEST(MainWindowReturn, ChoicesMadeFromAResultsWindowShowInTheLists) {
    // 五の段 results, a pass registered, a certificate of 初級 chosen
    ScriptedWindow byTable(2, 3, 0);
    byTable.navigator.onResults = [&] { byTable.st.rangeIndex = 9; };
    byTable.form->Kekka_Dsp();
    EXPECT_EQ(byTable.navigator.resultsByTable, 1);
    EXPECT_EQ(byTable.form->ComboBox1->currentIndex(), 9);
    EXPECT_EQ(byTable.st.levelIndex, 0);
    EXPECT_TRUE(byTable.form->KekkaDDsp->isEnabled());
    // 中級 results, then 七の段 chosen
    ScriptedWindow byLevel(10, 4, 0);
    byLevel.navigator.onResults = [&] { byLevel.st.rangeIndex = 7; };
    byLevel.form->KekkaD_Dsp();
    EXPECT_EQ(byLevel.navigator.resultsByLevel, 1);
    EXPECT_EQ(byLevel.form->ComboBox1->currentIndex(), 7);
    EXPECT_TRUE(byLevel.form->L1->isEnabled());
}

TEST(MainWindowReturn, EachResultsWindowOpensOnlyForItsKindOfRange) {
    for (int range : {0, 8, 9, 12}) {
        ScriptedWindow w(range, 3, 0);
        w.form->Kekka_Dsp();
        w.form->KekkaD_Dsp();
        EXPECT_EQ(w.navigator.resultsByTable, range <= 8 ? 1 : 0) << range;
        EXPECT_EQ(w.navigator.resultsByLevel, range <= 8 ? 0 : 1) << range;
    }
}

TEST(MainWindowReturn, UnchangedChoicesKeepTheLastTest) {
    ScriptedWindow w(2, 3, 0);
    w.st.kekkaArray[1][4] = 1;
    w.navigator.onQualification = [] {};
    w.form->K1Click();
    EXPECT_EQ(w.st.kekkaArray[1][4], 1);
    EXPECT_EQ(w.form->ComboBox1->currentIndex(), 2);
}

TEST(MainWindowName, AStoredNameComesBackWholeHoweverLong) {
    const std::string longName = "ながいなまえのこどもはとてもながいなまえをもっているのでよんじゅうもじをこえてしまうことがあります";
    ScriptedWindow w(0, 0, 0, longName);
    EXPECT_EQ(w.form->Edit2->text(), QString::fromStdString(longName));
    EXPECT_EQ(w.st.studentName, longName);
    EXPECT_EQ(w.st.studentNo, studentNumber(longName));
}

TEST(MainWindowQuit, AFailedSaveIsReportedOnceWhenQuittingFromTheMenu) {
    int saves = 0;
    ScriptedWindow w(0, 0, 0, "たろう", [&](const StudyState&) {
        ++saves;
        return std::string("ファイル「/x/tateyokoM15.ini」に書き込めません");
    });
    int boxes = 0;
    QString shown;
    std::function<void()> dismiss = [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ++boxes;
            shown = box->text();
            box->accept();
        }
        if (w.form->isVisible()) QTimer::singleShot(20, w.form.get(), dismiss);
    };
    QTimer::singleShot(20, w.form.get(), dismiss);
    w.form->X1Click();
    EXPECT_FALSE(w.form->isVisible());
    EXPECT_EQ(saves, 2);  // before closing and on close, as always
    EXPECT_EQ(boxes, 1);
    EXPECT_TRUE(shown.contains("tateyokoM15.ini"));
}

TEST(MainWindowStart, AStartUpMessageNeverShowsAHalfBuiltWindow) {
    // The desktop activates the program when the first message box appears;
    // the window must not be shown before it is complete.
    bool visibleDuringMessage = true;
    KeyState keys;
    ScriptedClock clock;
    StudyState st;
    MasumeServices services;
    services.loadHints = [&](StudyState&) {
        emit qApp->applicationStateChanged(Qt::ApplicationActive);
        visibleDuringMessage = false;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<TMasumeForm*>(w) && w->isVisible()) visibleDuringMessage = true;
    };
    TMasumeForm form(st, keys, clock, services);
    EXPECT_FALSE(visibleDuringMessage);
    // once built, coming to the front shows it
    emit qApp->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_TRUE(form.isVisible());
}
