// What a child's keys and clicks do before, during and after a run, in the
// real main window: a press meant for one moment never acts in another.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "main/MasumeCanvas.h"
#include "windows/Testresultdsp1.h"
#include "tests/ui/ScriptedRun.h"

namespace {

enum Content { PracticeInOrder = 0, TestInOrder = 3 };
enum Speed { Step = 0, Fast = 3 };
enum Range { One = 0, Two = 1 };

void press(Qt::Key key) { QTest::keyPress(QApplication::focusWidget(), key); }
void release(Qt::Key key) { QTest::keyRelease(QApplication::focusWidget(), key); }

// Esc held down a little after the run has started: the practice stops.
void stopPracticeWithHeldEsc(ScriptedWindow& w, std::int64_t at = 300) {
    w.clock.after(at, [] { press(Qt::Key_Escape); });
    w.form->Button1->click();
    ASSERT_EQ(w.form->StaticText3->text(), QString::fromUtf8("◎練習を中止しました。"));
}

}  // namespace

TEST(RunKeys, AfterARunTheFocusIsBackOnStartAndTheNameStays) {
    ScriptedWindow w(Two, PracticeInOrder, Step);
    w.form->Button1->setFocus();
    stopPracticeWithHeldEsc(w);
    release(Qt::Key_Escape);
    EXPECT_EQ(QApplication::focusWidget(), w.form->Button1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_7);
    EXPECT_EQ(w.form->Edit2->text(), QString::fromUtf8("たろう"));
    EXPECT_EQ(w.st.studentName, "たろう");
    // J and Delete act as shortcuts, not as letters typed into the name
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_J);
    EXPECT_EQ(w.navigator.settings, 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    EXPECT_EQ(w.form->StaticText3->text(), QString::fromUtf8("★メニューを決めて，｢始める」をクリックしてね。"));
    EXPECT_EQ(w.form->Edit2->text(), QString::fromUtf8("たろう"));
}

TEST(RunKeys, AClickOnTheBoardTakesTheKeysAwayFromTheName) {
    ScriptedWindow w(Two, PracticeInOrder, Step);
    w.form->Edit2->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), w.form->Edit2);
    QTest::mouseClick(w.form->canvas, Qt::LeftButton, Qt::KeyboardModifiers(), QPoint(600, 530));  // a bare spot of the board
    EXPECT_NE(QApplication::focusWidget(), w.form->Edit2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    EXPECT_EQ(w.form->Edit2->text(), QString::fromUtf8("たろう"));
    EXPECT_EQ(w.form->StaticText3->text(), QString::fromUtf8("★メニューを決めて，｢始める」をクリックしてね。"));
}

TEST(RunKeys, DuringARunTheNameFieldNeitherHoldsTheFocusNorChanges) {
    ScriptedWindow w(Two, PracticeInOrder, Step);
    w.form->Button1->setFocus();
    QWidget* focusedDuringRun = nullptr;
    w.clock.after(200, [&] {
        focusedDuringRun = QApplication::focusWidget();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_B);
    });
    stopPracticeWithHeldEsc(w);
    release(Qt::Key_Escape);
    EXPECT_NE(focusedDuringRun, w.form->Edit2);
    EXPECT_EQ(w.form->Edit2->text(), QString::fromUtf8("たろう"));
}

TEST(RunKeys, StartedFromTheNameFieldTheFocusReturnsToStart) {
    ScriptedWindow w(Two, PracticeInOrder, Step);
    w.form->Edit2->setFocus();
    stopPracticeWithHeldEsc(w);
    release(Qt::Key_Escape);
    EXPECT_EQ(QApplication::focusWidget(), w.form->Button1);
}

// Presses made while idle, or to end the previous run, must not reach the
// next run: each case would otherwise stop, answer or step it at once.
TEST(RunKeys, AnEscThatEndedAPracticeDoesNotStopTheNextTest) {
    ScriptedWindow w(One, PracticeInOrder, Step);
    stopPracticeWithHeldEsc(w);
    release(Qt::Key_Escape);
    w.choose(TestInOrder);
    w.form->Button1->click();
    EXPECT_TRUE(w.boxTexts.isEmpty());
    EXPECT_EQ(w.navigator.resultsByTable, 1);
    EXPECT_EQ(w.st.askedCount, 27);
}

TEST(RunKeys, AnEscThatClosedAListDoesNotStopTheNextTest) {
    ScriptedWindow w(One, TestInOrder, Fast);
    w.form->ComboBox1->showPopup();
    QWidget* popup = QApplication::activePopupWidget();
    ASSERT_NE(popup, nullptr);
    QTest::keyClick(popup, Qt::Key_Escape);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    w.form->Button1->click();
    EXPECT_TRUE(w.boxTexts.isEmpty());
    EXPECT_EQ(w.navigator.resultsByTable, 1);
}

TEST(RunKeys, ADigitTypedWhileIdleDoesNotAnswerTheFirstQuestion) {
    ScriptedWindow w(One, TestInOrder, Fast);
    QTest::keyClick(w.form->ComboBox2, Qt::Key_1, Qt::KeypadModifier);  // 1 x 1 = 1
    w.form->Button1->click();
    EXPECT_EQ(w.st.kekkaArray[0][0], 0);
    EXPECT_EQ(w.navigator.resultsByTable, 1);
}

TEST(RunKeys, AGPressedWhileIdleDoesNotStepTheFirstFact) {
    ScriptedWindow w(One, PracticeInOrder, Step);
    QTest::keyClick(w.form->Button1, Qt::Key_G);
    QString formulaAt5s, answerAt5s;
    w.clock.after(5000, [&] {
        formulaAt5s = w.form->StaticText11->text();
        answerAt5s = w.form->StaticText12->text();
        press(Qt::Key_Escape);
    });
    w.form->Button1->click();
    release(Qt::Key_Escape);
    EXPECT_EQ(formulaAt5s, QString::fromUtf8("１×１＝"));
    EXPECT_EQ(answerAt5s, QString());
}

TEST(RunKeys, TheCloseBoxDuringARunAsksAndTheWindowStays) {
    ScriptedWindow w(Two, PracticeInOrder, Step);
    w.clock.after(1000, [&] {
        w.answerNextBox(QMessageBox::Cancel);
        w.form->close();
    });
    QString formulaAfterCancel;
    w.clock.after(3000, [&] {
        formulaAfterCancel = w.form->StaticText11->text();
        w.answerNextBox(QMessageBox::Ok);
        w.form->close();
    });
    w.form->Button1->click();
    EXPECT_EQ(w.boxTexts, QStringList({QString::fromUtf8("練習を中止しますか？"), QString::fromUtf8("練習を中止しますか？")}));
    EXPECT_EQ(formulaAfterCancel, QString::fromUtf8("２×１＝"));  // Cancel went on with the run
    EXPECT_EQ(w.form->StaticText3->text(), QString::fromUtf8("◎練習を中止しました。"));
    EXPECT_TRUE(w.form->isVisible());
    // idle again, the close box closes as usual
    EXPECT_TRUE(w.form->close());
}

TEST(RunKeys, TheCloseBoxDuringATestAsksTheTestsQuestion) {
    ScriptedWindow w(One, TestInOrder, Fast);
    w.clock.after(500, [&] {
        w.answerNextBox(QMessageBox::Ok);
        w.form->close();
    });
    w.form->Button1->click();
    EXPECT_EQ(w.boxTexts, QStringList({QString::fromUtf8("テストを中止しますか？")}));
    EXPECT_EQ(w.form->StaticText3->text(), QString::fromUtf8("◎テストを中止しました。"));
    EXPECT_EQ(w.navigator.resultsByTable, 0);
    EXPECT_TRUE(w.form->isVisible());
}

TEST(RunKeys, AfterATestWithoutANameTheBoxClosesWithEnterAndTheNameIsAskedFor) {
    ScriptedWindow w(One, TestInOrder, Fast, "");
    QString asked;
    // The box comes after the run, in real time: the keys reach it as a child's would.
    QTimer poll(w.form.get());
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !asked.isEmpty()) return;
        asked = box->windowTitle() + "/" + box->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    poll.start(20);
    w.form->Button1->click();  // every question left to time out
    poll.stop();
    EXPECT_EQ(asked, QString::fromUtf8("おねがい。。。/まず，なまえを記入してください。"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(w.navigator.resultsByTable, 0);
    EXPECT_EQ(w.form->focusWidget(), w.form->Edit2);  // where the keys go once the window is active
    EXPECT_EQ(w.keeper.recordSaves, 1);  // the answers were kept before the box
    // the window answers again: a name typed, and the results open
    QTest::keyClicks(w.form->Edit2, "abc");
    EXPECT_EQ(w.st.studentName, "abc");
    w.form->Kekka_Dsp();
    EXPECT_EQ(w.navigator.resultsByTable, 1);
}

TEST(RunKeys, TheTableContentOpensTheTableAfterTheRunAndGivesTheControlsBackWhenItCloses) {
    ScriptedWindow w(Two, 5, Fast);
    bool lockedWhileOpen = false, keysFreeWhileOpen = false;
    w.navigator.onTable = [&] {
        lockedWhileOpen = !w.form->Button1->isEnabled();
        keysFreeWhileOpen = !w.keys.runActive();
    };
    w.form->Button1->click();
    EXPECT_EQ(w.navigator.table, 1);
    EXPECT_TRUE(lockedWhileOpen);
    EXPECT_TRUE(keysFreeWhileOpen);
    EXPECT_TRUE(w.form->Button1->isEnabled());
    EXPECT_EQ(w.keeper.recordSaves, 0);  // nothing was asked
}

// An Enter held from the last answer, and its autorepeat, reach neither the
// results window that opens nor a box: only a new press acts in them.
TEST(RunKeys, AKeyHeldFromBeforeAWindowOrBoxAppearedDoesNotActInIt) {
    ScriptedWindow w(One, TestInOrder, Fast);
    const auto autorepeat = [](QWidget* target) {
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true);
        QApplication::sendEvent(target, &repeat);
    };
    QTest::keyPress(w.form.get(), Qt::Key_Return);  // held down
    TResultDsp1Form results(w.st, w.navigator, w.keeper, w.form.get());
    results.show();
    QApplication::setActiveWindow(&results);
    autorepeat(results.focusWidget() ? results.focusWidget() : &results);
    EXPECT_TRUE(results.isVisible()) << "the held Enter closed the results";

    QMessageBox box(QMessageBox::Information, "t", "x", QMessageBox::Ok, &results);
    box.show();
    QApplication::setActiveWindow(&box);
    autorepeat(box.focusWidget() ? box.focusWidget() : &box);
    EXPECT_TRUE(box.isVisible()) << "the held Enter closed the box";

    // let go, and a new press acts as usual
    QTest::keyRelease(&box, Qt::Key_Return);
    QTest::keyClick(box.focusWidget() ? box.focusWidget() : &box, Qt::Key_Return);
    EXPECT_FALSE(box.isVisible());
    QTest::keyClick(results.focusWidget() ? results.focusWidget() : &results, Qt::Key_Return);
    EXPECT_FALSE(results.isVisible());
}

// The window system's repeat is not always flagged as one: a release and a
// press at one moment, or presses without a release between, are the held
// key still, however the window manager moved the focus meanwhile. Only a
// press made after a release acts in the window that appeared.
TEST(RunKeys, AHeldKeysRepeatIsKnownByItsTimesAndNotOnlyByItsFlag) {
    struct Step {
        QEvent::Type type;
        quint64 at;
    };
    struct Row {
        const char* what;
        std::vector<Step> afterShow;
        bool keyboardAwayFirst;
        bool closes;
    };
    const QEvent::Type Press = QEvent::KeyPress, Release = QEvent::KeyRelease;
    const Row rows[] = {
        {"a release and a press at one moment", {{Release, 1700}, {Press, 1700}}, false, false},
        {"presses without a release between", {{Press, 1700}, {Press, 1740}}, false, false},
        {"the keyboard away for a moment first", {{Release, 1700}, {Press, 1700}}, true, false},
        {"let go, then pressed anew", {{Release, 1700}, {Press, 1900}}, false, true},
        {"pressed anew after a release seen by another program", {{Press, 3500}}, false, true},
    };
    for (const Row& row : rows) {
        ScriptedWindow w(One, TestInOrder, Fast);
        const auto send = [](QWidget* to, QEvent::Type type, quint64 at) {
            QKeyEvent key(type, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
            key.setTimestamp(at);
            QApplication::sendEvent(to, &key);
        };
        send(w.form.get(), Press, 1000);  // the last answer's Enter, held down
        TResultDsp1Form results(w.st, w.navigator, w.keeper, w.form.get());
        results.show();
        QApplication::setActiveWindow(&results);
        if (row.keyboardAwayFirst) {
            QApplicationStateChangeEvent away(Qt::ApplicationInactive);
            w.keys.eventFilter(qApp, &away);
        }
        for (const Step& step : row.afterShow)
            send(results.focusWidget() ? results.focusWidget() : &results, step.type, step.at);
        EXPECT_EQ(!results.isVisible(), row.closes) << row.what;
    }
}
