#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QColorDialog>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QElapsedTimer>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <vector>

#include "main/MasumeCanvas.h"
#include "main/MasumeForm.h"
#include "main/AppNavigator.h"
#include "main/core/FactTables.h"
#include "main/core/QuestionOrder.h"
#include "main/core/Runner.h"
#include "support/core/Mnemonics.h"
#include "support/KeyState.h"
#include "support/QtClock.h"
#include "tests/ui/QuietPorts.h"

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

struct Window {
    explicit Window(std::function<void(StudyState&)> load = {}) : clock(&keys) {
        MasumeServices services;
        services.loadSettings = load ? load : [](StudyState& st) {
            st.rangeIndex = 1;
            st.contentIndex = 1;
            st.studentName = "くく はじめ";
            st.studentNo = 1234567;
            st.bgColor = 61680;
            st.winLeft = st.winTop = 200;
            st.repeatCount = 2;
            st.answerDelay = 500;
        };
        services.navigator = &navigator;
        form = std::make_unique<TMasumeForm>(st, keys, clock, services);
    }
    // Answers the next message box with the given button and remembers it;
    // looked for every 50 ms for up to 5 s: a busy machine may show it late.
    void answerNextBox(QMessageBox::StandardButton button, int triesLeft = 100) {
        QTimer::singleShot(50, form.get(), [this, button, triesLeft] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                if (triesLeft > 0) answerNextBox(button, triesLeft - 1);
                return;
            }
            boxTitle = box->windowTitle();
            boxText = box->text();
            box->button(button)->click();
        });
    }
    StudyState st;
    KeyState keys;
    QtClock clock;
    // Counts the results windows instead of opening them.
    struct CountingNavigator : AppNavigator {
        using AppNavigator::AppNavigator;
        void openResultsByTable(QWidget*) override { ++byTable; }
        void openResultsByLevel(QWidget*) override { ++byLevel; }
        int byTable = 0, byLevel = 0;
    };
    struct NoSound : Sound {
        void playSound(SoundKind) override {}
        void beep() override {}
    } noSound;
    QuietPorts keeper;
    CountingNavigator navigator{st, noSound, clock, keeper};
    int& resultsByTable = navigator.byTable;
    int& resultsByLevel = navigator.byLevel;
    std::unique_ptr<TMasumeForm> form;
    QString boxTitle, boxText;
};

QColor textColour(QLabel* label) { return label->palette().color(QPalette::WindowText); }

}  // namespace

TEST(MainWindowLayout, ClientAreaAndControlPlaces) {
    Window w;
    TMasumeForm& f = *w.form;
    EXPECT_EQ(f.canvas->size(), QSize(622, 542));
    EXPECT_EQ(f.windowTitle(), u("『タテヨコ塾(Ｍ)』v1.52 --- みずなら舎"));
    struct Place {
        QWidget* widget;
        QRect rect;
    };
    const Place places[] = {
        {f.Panel1, {16, 10, 256, 73}},        {f.Label5, {16, 100, 475, 285}},
        {f.StaticText3, {30, 116, 450, 24}},  {f.StaticText14, {120, 160, 345, 25}},
        {f.StaticText11, {136, 212, 160, 49}}, {f.StaticText12, {292, 206, 94, 68}},
        {f.StaticText13, {386, 206, 58, 57}}, {f.StaticText9, {136, 288, 265, 23}},
        {f.ProgressBar3, {40, 328, 401, 15}},  {f.StaticText10, {32, 356, 86, 25}},
        {f.RadioGroup1, {500, 178, 106, 95}}, {f.Label1, {512, 282, 92, 38}},
        {f.Image3, {16, 400, 128, 128}},
    };
    for (const Place& p : places) EXPECT_EQ(p.widget->geometry(), p.rect) << p.widget->metaObject()->className();
    const std::pair<QWidget*, QPoint> corners[] = {
        {f.Panel4, {288, 14}},       {f.ComboBox2, {350, 8}},      {f.Panel5, {288, 52}},
        {f.ComboBox1, {350, 48}},    {f.StaticText4, {40, 162}},   {f.StaticText7, {48, 228}},
        {f.StaticText8, {48, 290}},  {f.StaticText2, {446, 322}},  {f.Button1, {504, 104}},
        {f.Button2, {504, 136}},     {f.SpeedButton3, {504, 326}}, {f.SpeedButton1, {528, 364}},
        {f.StaticText15, {207, 424}}, {f.StaticText16, {207, 456}}, {f.Panel8, {144, 480}},
        {f.Panel6, {144, 504}},
    };
    for (const auto& [widget, corner] : corners)
        EXPECT_EQ(widget->mapTo(f.canvas, QPoint(0, 0)), corner) << widget->metaObject()->className();
    EXPECT_EQ(f.Edit2->parentWidget()->geometry(), QRect(344, 418, 265, 92));
    EXPECT_EQ(f.ComboBox1->count(), 13);
    EXPECT_EQ(f.ComboBox1->maxVisibleItems(), 13);
    EXPECT_EQ(f.ComboBox2->count(), 6);
    EXPECT_EQ(f.ProgressBar3->maximum(), 81);
    EXPECT_FALSE(f.Image3->pixmap().isNull());
}

// A child reads every choice whole, in the closed list as in the open one.
TEST(MainWindowLayout, EachListShowsItsLongestChoiceWhole) {
    Window w;
    for (QComboBox* list : {w.form->ComboBox1, w.form->ComboBox2}) {
        QStyleOptionComboBox option;
        option.initFrom(list);
        option.editable = false;
        const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
        for (int i = 0; i < list->count(); ++i)
            EXPECT_LE(list->fontMetrics().horizontalAdvance(list->itemText(i)), field.width()) << list->itemText(i).toStdString();
        EXPECT_GE(list->height(), list->fontMetrics().height() + 4);
    }
}

TEST(MainWindowLayout, TextsAndHints) {
    Window w;
    TMasumeForm& f = *w.form;
    EXPECT_EQ(f.Button1->text(), u("始める(&E)"));
    EXPECT_EQ(f.Button2->text(), u("クリア(&L)"));
    EXPECT_EQ(f.SpeedButton3->text(), u("お助け(F1)"));
    EXPECT_EQ(f.SpeedButton1->text(), u("設定(&J)"));
    EXPECT_EQ(f.RadioGroup1->title(), u("進め方"));
    EXPECT_EQ(f.Label1->text(), u(" Esc/ｸﾘｯｸ\n で 中止!!"));
    EXPECT_TRUE(f.Label1->isVisibleTo(&f));
    EXPECT_EQ(f.Button1->toolTip(), u("練習・テストを始めます。"));
    EXPECT_EQ(f.Button2->toolTip(), u("板面を消します。"));
    EXPECT_EQ(f.SpeedButton3->toolTip(), u("ヘルプを表示します。"));
    EXPECT_EQ(f.SpeedButton1->toolTip(), u("タイムや音量の設定をします。"));
    EXPECT_EQ(f.ComboBox1->toolTip(), u("学習のはんいを選ぼう。"));
    EXPECT_EQ(f.ComboBox2->toolTip(), u("学習の内容を選ぼう。"));
    EXPECT_EQ(f.Edit2->toolTip(), u("あなたの名前を書いてね。"));
    EXPECT_EQ(f.StaticText14->text(), u("  く　・　く　・　はちじゅういち"));
    EXPECT_EQ(textColour(f.StaticText14), QColor(Qt::red));
    EXPECT_EQ(f.ComboBox1->itemText(12), u("全段(１～９段)"));
    EXPECT_EQ(f.ComboBox2->itemText(5), u("６.参照（九九の表）"));
}

TEST(MainWindowMenus, CaptionsChecksAndHiddenEntries) {
    Window w;
    TMasumeForm& f = *w.form;
    const QList<QAction*> menus = f.menuBar()->actions();
    ASSERT_EQ(menus.size(), 3);
    EXPECT_EQ(menus[0]->text(), u("ファイル(&F)"));
    EXPECT_EQ(menus[1]->text(), u("表示(&V)"));
    EXPECT_EQ(menus[2]->text(), u("ヘルプ(&H)"));
    QStringList file, view;
    for (QAction* a : menus[0]->menu()->actions()) file << (a->isSeparator() ? "-" : a->text());
    // What the child sees: クラスのきろく shows only on a computer of a class.
    for (QAction* a : menus[1]->menu()->actions())
        if (a->isVisible()) view << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(file, QStringList({u("背景色(&I)"), u("終了確認(&Q)"), "-", u("終わり(&X)"), "-", u("子どもを かえる(&W)")}));
    EXPECT_EQ(view, QStringList({u("成績表Ⅰ(段別)を見る(&L)"), u("成績表Ⅱ(級別)を見る(&S)"), u("資格チェック(&K)"),
                                 u("証明書発行(&C)"), "-", u("九九一覧(&A)"), u("にがて九九(&N)"), u("がんばりグラフ(&G)"), "-", u("条件設定(&J)"),
                                 "-"}));
    EXPECT_TRUE(f.K2->isCheckable());
    EXPECT_FALSE(f.Cert->isEnabled());
    EXPECT_FALSE(f.TestT1->isVisible());
    EXPECT_EQ(f.TestT1->text(), u("Test(&T)"));
    EXPECT_EQ(f.H2->shortcut(), QKeySequence(Qt::Key_F1));
    f.K2->trigger();
    EXPECT_EQ(w.st.closeConfirm, 1);
    f.K2->trigger();
    EXPECT_EQ(w.st.closeConfirm, 0);
}

// The settings file keeps the colour as Windows does, red in the low byte.
TEST(MainWindowMenus, TheBackgroundColourIsOfferedAndKeptAsTheFileHoldsIt) {
    Window w([](StudyState& st) {
        st.rangeIndex = 1;
        st.bgColor = 0x563412;
    });
    const auto chooseNext = [&w](QColor* offered, const QColor& choice, bool accept) {
        QTimer::singleShot(50, w.form.get(), [=] {
            auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            *offered = dialog->currentColor();
            dialog->setCurrentColor(choice);
            if (accept) dialog->accept();
            else dialog->reject();
        });
    };
    QColor offered;
    // cancelled first: the colour stays, and the balloon is drawn all the same
    ASSERT_FALSE(w.form->decorationsDrawn());
    chooseNext(&offered, QColor(0x01, 0x02, 0x03), false);
    w.form->R1->trigger();
    EXPECT_EQ(offered, QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(w.st.bgColor, 0x563412);
    EXPECT_TRUE(w.form->decorationsDrawn());
    chooseNext(&offered, QColor(0xAB, 0xCD, 0xEF), true);
    w.form->R1->trigger();
    EXPECT_EQ(offered, QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(w.st.bgColor, 0xEFCDAB);
    EXPECT_EQ(w.form->canvas->grab().toImage().pixelColor(2, 2), QColor(0xAB, 0xCD, 0xEF));
    // cancelled again: the chosen colour stays
    offered = QColor();
    chooseNext(&offered, QColor(0x01, 0x02, 0x03), false);
    w.form->R1->trigger();
    EXPECT_EQ(offered, QColor(0xAB, 0xCD, 0xEF));
    EXPECT_EQ(w.st.bgColor, 0xEFCDAB);
}

// The hidden Test entry plays the right-answer chime even with sounds off.
TEST(MainWindowMenus, TheHiddenTestEntryPlaysTheRightAnswerChime) {
    struct Recording : QuietPorts {
        void playSound(SoundKind kind) override { kinds.push_back(kind); }
        std::vector<SoundKind> kinds;
    } sound;
    Window w([](StudyState& st) { st.soundOn = 0; });
    w.form->setSound(&sound);
    w.form->TestT1->trigger();
    EXPECT_EQ(sound.kinds, std::vector<SoundKind>{SoundKind::Right});
}

TEST(MainWindowStart, RestoresTheStoredChoices) {
    Window w([](StudyState& st) {
        st.rangeIndex = 13;  // not a range: starts at the first
        st.contentIndex = 4;
        st.speedIndex = 3;
        st.studentName = "abc";
        st.studentNo = 1234567;
        st.closeConfirm = 1;
        st.bgColor = 0x0000FF;
    });
    EXPECT_EQ(w.st.rangeIndex, 0);
    EXPECT_EQ(w.st.currentDan, 1);
    EXPECT_EQ(w.form->ComboBox1->currentIndex(), 0);
    EXPECT_EQ(w.form->ComboBox2->currentIndex(), 4);
    EXPECT_TRUE(w.form->radioButtons->button(3)->isChecked());
    EXPECT_EQ(w.st.waitLimit, 1800);
    EXPECT_EQ(w.st.studentNo, 294);  // another name gives its own number
    EXPECT_EQ(w.form->StaticText6->text(), "294");
    EXPECT_TRUE(w.form->K2->isChecked());
    EXPECT_EQ(w.form->StaticText3->text(), u("◎「一の段」(乱)のテストをします。"));
    for (const auto& row : w.st.kekkaArray)
        for (int cell : row) EXPECT_EQ(cell, 2);
}

TEST(MainWindowStart, TheDefaultNameKeepsTheStoredNumber) {
    Window w;
    EXPECT_EQ(w.st.studentNo, 1234567);
    EXPECT_EQ(w.form->StaticText6->text(), "1234567");
    EXPECT_EQ(w.form->StaticText3->text(), u("◎「二の段」(逆)の練習をします。"));
}

// Enter starts at once, and J and Delete work, without a click first.
TEST(MainWindowStart, OpensWithTheFocusOnStart) {
    Window w;
    w.form->show();
    QApplication::setActiveWindow(w.form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.form.get()));
    QWidget* focused = QApplication::focusWidget();
    EXPECT_EQ(focused, w.form->Button1) << (focused ? focused->objectName().toStdString() : "no widget");
}

TEST(MainWindowStart, TheFirstTimerTickDrawsTheBalloon) {
    QElapsedTimer since;
    since.start();
    Window w;
    EXPECT_FALSE(w.form->decorationsDrawn());
    // a second after the window, not at once; a coarse timer may fire 5 % early
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.form->decorationsDrawn(); }, 5000));
    EXPECT_GE(since.elapsed(), 950);
    EXPECT_EQ(w.st.firstPaintPending, 0);
}

TEST(MainWindowSelection, MessagesAndColoursFollowTheLists) {
    Window w;
    TMasumeForm& f = *w.form;
    struct Case {
        int range, content;
        const char* message;
        QColor colour;
    };
    const Case cases[] = {
        {11, 4, "◎「八・七・九の段」(乱)のテストをします。", QColor(128, 0, 0)},
        {2, 0, "◎「五の段」(順)の練習をします。", QColor(0, 0, 255)},
        {12, 3, "◎「すべての段」(順)のテストをします。", QColor(128, 0, 0)},
        {9, 2, "◎「一・二・五の段」(乱)の練習をします。", QColor(0, 0, 255)},
        {6, 5, "◎「八の段」の九九表を参照します。", QColor(0, 0, 255)},  // content 6 keeps the colour
    };
    for (const Case& c : cases) {
        w.st.kekkaArray[0][0] = 1;
        f.ComboBox1->setCurrentIndex(c.range);
        f.ComboBox1Change(c.range);
        EXPECT_EQ(w.st.kekkaArray[0][0], 2);
        // the range alone already names itself in the message
        EXPECT_TRUE(f.StaticText3->text().contains(u(c.message).section(u("」"), 0, 0))) << c.message;
        w.st.kekkaArray[0][0] = 1;
        f.ComboBox2->setCurrentIndex(c.content);
        f.ComboBox2Change(c.content);
        EXPECT_EQ(w.st.kekkaArray[0][0], 2);
        EXPECT_EQ(f.StaticText3->text(), u(c.message));
        EXPECT_EQ(textColour(f.StaticText3), c.colour) << c.message;
        EXPECT_EQ(w.st.levelIndex, c.range - 9);
    }
}

TEST(MainWindowSelection, ResultsEntriesFollowTheRange) {
    Window w;
    TMasumeForm& f = *w.form;
    EXPECT_TRUE(f.L1->isEnabled());
    EXPECT_FALSE(f.KekkaDDsp->isEnabled());
    f.ComboBox1Change(10);
    EXPECT_FALSE(f.L1->isEnabled());
    EXPECT_TRUE(f.KekkaDDsp->isEnabled());
    f.ComboBox1Change(8);
    EXPECT_TRUE(f.L1->isEnabled());
    EXPECT_FALSE(f.KekkaDDsp->isEnabled());
}

TEST(MainWindowSelection, ResultsNeedANameFirst) {
    Window w;
    TMasumeForm& f = *w.form;
    f.Kekka_Dsp();
    EXPECT_EQ(w.resultsByTable, 1);
    f.KekkaD_Dsp();  // a table range: the level results stay shut
    EXPECT_EQ(w.resultsByLevel, 0);
    f.Edit2->clear();
    w.answerNextBox(QMessageBox::Ok);
    f.Kekka_Dsp();
    EXPECT_EQ(w.resultsByTable, 1);
    EXPECT_EQ(w.boxTitle, u("おねがい。。。"));
    EXPECT_EQ(w.boxText, u("まず，なまえを記入してください。"));
}

TEST(MainWindowName, TypingUpdatesTheNumberAndRefusesWhatTheFileCannotHold) {
    Window w;
    TMasumeForm& f = *w.form;
    f.Edit2->clear();
    EXPECT_EQ(f.StaticText6->text(), "0");
    QTest::keyClicks(f.Edit2, "ab");
    EXPECT_EQ(f.StaticText6->text(), "195");
    QTest::keyClicks(f.Edit2, "c");
    EXPECT_EQ(f.StaticText6->text(), "294");
    EXPECT_EQ(w.st.studentName, "abc");
    f.Edit2->setFocus();
    f.Edit2->insert(QString::fromUtf8("😀"));  // no Shift-JIS form
    f.Edit2->insert(QString::fromUtf8("한"));
    EXPECT_EQ(f.Edit2->text(), "abc");
    // A held key stops at forty characters, which the windows that show the name have room for.
    f.Edit2->clear();
    for (int i = 0; i < 50; ++i) f.Edit2->insert(QString::fromUtf8("あ"));
    EXPECT_EQ(f.Edit2->text().size(), 40);
}

TEST(MainWindowClear, ClearEmptiesTheBoardAndGivesControlsBack) {
    Window w;
    TMasumeForm& f = *w.form;
    f.board().showAnswer("12", 1);
    f.board().showFormula("３×４＝");
    f.board().showProgress(40);
    f.board().showMark("◎");
    f.board().showReading("さざんがく", false);
    w.st.mnemonicTable[1] = "いちいちがいち";
    f.board().showHint(0);
    ASSERT_NE(f.StaticText9->text(), "");
    f.board().composDead();
    for (QWidget* c : std::initializer_list<QWidget*>{f.RadioGroup1, f.SpeedButton1, f.SpeedButton3, f.Button1,
                                                      f.Button2, f.ComboBox1, f.ComboBox2})
        EXPECT_FALSE(c->isEnabled());
    EXPECT_TRUE(f.Edit2->isEnabled());
    w.st.kekkaArray[3][3] = 0;
    f.Button2Click();
    EXPECT_TRUE(f.Button1->isEnabled());
    EXPECT_TRUE(f.ComboBox1->isEnabled());
    EXPECT_EQ(f.StaticText12->text(), "");
    EXPECT_EQ(f.StaticText11->text(), "");
    EXPECT_EQ(f.StaticText14->text(), "");
    EXPECT_EQ(f.StaticText13->text(), "");
    EXPECT_EQ(f.StaticText9->text(), "");
    EXPECT_EQ(f.StaticText2->text(), "0");
    EXPECT_EQ(f.ProgressBar3->value(), 0);
    EXPECT_EQ(w.st.kekkaArray[3][3], 2);
    EXPECT_EQ(f.StaticText3->text(), u("★メニューを決めて，｢始める」をクリックしてね。"));
    EXPECT_TRUE(f.decorationsDrawn());
}

TEST(MainWindowClose, ConfirmationCanKeepTheWindowOpen) {
    Window w;
    int saves = 0;
    w.form.reset();
    MasumeServices services;
    services.saveSettings = [&](const StudyState&) {
        ++saves;
        return std::string();
    };
    services.loadSettings = [](StudyState& st) { st.closeConfirm = 1; };
    w.form = std::make_unique<TMasumeForm>(w.st, w.keys, w.clock, services);
    w.form->show();
    w.answerNextBox(QMessageBox::Cancel);
    EXPECT_FALSE(w.form->close());
    EXPECT_EQ(w.boxText, u("終わっていいですか？"));
    EXPECT_EQ(w.boxTitle, u("ご確認"));
    EXPECT_EQ(saves, 0);
    w.answerNextBox(QMessageBox::Ok);
    EXPECT_TRUE(w.form->close());
    EXPECT_EQ(saves, 1);
}

TEST(MainWindowClose, AFailedSaveIsReportedAgainAtTheNextQuitWhenTheFirstWasCancelled) {
    Window w;
    w.form.reset();
    MasumeServices services;
    services.saveSettings = [](const StudyState&) { return std::string("disk full"); };
    services.loadSettings = [](StudyState& st) { st.closeConfirm = 1; };
    w.form = std::make_unique<TMasumeForm>(w.st, w.keys, w.clock, services);
    w.form->show();
    // Failure boxes are acknowledged; the question whether to quit is cancelled.
    int failures = 0;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, &answerer, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        if (box->text() == "disk full") {
            ++failures;
            box->button(QMessageBox::Ok)->click();
        } else {
            box->button(QMessageBox::Cancel)->click();
        }
    });
    answerer.start(20);
    w.form->X1Click();
    ASSERT_TRUE(w.form->isVisible());
    EXPECT_EQ(failures, 1);
    w.form->X1Click();
    EXPECT_EQ(failures, 2);
}

TEST(MainWindowRun, InputIsSwallowedWhileARunIsGoing) {
    Window w;
    w.keys.setRunActive(true);
    qApp->installEventFilter(&w.keys);
    w.form->show();
    const QString before = w.form->Edit2->text();
    w.form->Edit2->setFocus();
    QTest::keyClick(w.form->Edit2, Qt::Key_7);
    EXPECT_EQ(w.form->Edit2->text(), before);
    // the drill still sees the key
    const KeyReading seven = w.keys.queryKey(mainDigit(7));
    EXPECT_TRUE(seven.pressedSinceLastQuery);
    EXPECT_FALSE(seven.heldNow);
    QTest::keyPress(w.form->Edit2, Qt::Key_5, Qt::KeypadModifier);
    EXPECT_TRUE(w.keys.keyHeld(padDigit(5)));
    QTest::keyRelease(w.form->Edit2, Qt::Key_5, Qt::KeypadModifier);
    EXPECT_FALSE(w.keys.keyHeld(padDigit(5)));
    w.keys.setRunActive(false);
    QTest::keyClick(w.form->Edit2, Qt::Key_7);
    EXPECT_EQ(w.form->Edit2->text(), before + "7");
    qApp->removeEventFilter(&w.keys);
}

TEST(MainWindowRun, OnlyTheConfirmationBoxAnswersClicksDuringARun) {
    Window w;
    qApp->installEventFilter(&w.keys);
    w.form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.form.get()));
    w.keys.setRunActive(true);
    int clearClicks = 0;
    QObject::connect(w.form->Button2, &QPushButton::clicked, [&] { ++clearClicks; });
    // a click through the main window's own window reaches no button
    const QPoint onClear = w.form->Button2->mapTo(w.form.get(), w.form->Button2->rect().center());
    QTest::mouseClick(w.form->windowHandle(), Qt::LeftButton, {}, onClear);
    EXPECT_EQ(clearClicks, 0);
    // a click quicker than a poll is still seen, once
    EXPECT_TRUE(w.keys.mouseHeld(MouseButton::Left));
    EXPECT_FALSE(w.keys.mouseHeld(MouseButton::Left));

    QMessageBox box(QMessageBox::Question, "t", "q", QMessageBox::Ok | QMessageBox::Cancel, w.form.get());
    w.keys.setAllowedBox(&box);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    QAbstractButton* cancel = box.button(QMessageBox::Cancel);
    QTest::mouseClick(box.windowHandle(), Qt::LeftButton, {}, cancel->mapTo(&box, cancel->rect().center()));
    EXPECT_EQ(box.clickedButton(), cancel);
    w.keys.setAllowedBox(nullptr);
    EXPECT_FALSE(w.keys.mouseHeld(MouseButton::Left));
    w.keys.setRunActive(false);
    qApp->removeEventFilter(&w.keys);
}

// Every message a run or a choice can show, and every shipped hint, is
// whole on its line: none is cut at the end of its box.
TEST(MainWindowLayout, EveryMessageAndHintFitsItsLine) {
    Window w;
    TMasumeForm& f = *w.form;
    const auto fits = [](const QLabel* l) {
        return l->fontMetrics().horizontalAdvance(l->text()) <= l->contentsRect().width() - 2 * std::max(l->indent(), 0);
    };
    QStringList messages;
    for (int range = 0; range < kRangeCount; ++range)
        for (int content = 0; content < kContentCount; ++content) {
            w.st.rangeIndex = range;
            w.st.currentDan = danOfRange[size_t(range)];
            w.st.contentIndex = content;
            f.showSelection();
            EXPECT_TRUE(fits(f.StaticText3)) << f.StaticText3->text().toStdString();
            for (const char* phrase : {"のテストです。キーで答えてね。", "の練習をします。"}) {
                f.board().showMessage(rangeName(w.st) + phrase);
                EXPECT_TRUE(fits(f.StaticText3)) << f.StaticText3->text().toStdString();
            }
        }
    for (const char* text : {kAfterHardPractice, "にがてテストは 9もん中 9もん せいかい！", "にがてな九九のテストです。キーで答えてね。",
                             "にがてな九九の練習をします。", "練習を中止しました。", "テストを中止しました。", "初めからもう一度どうぞ。"}) {
        f.board().showMessage(text);
        EXPECT_TRUE(fits(f.StaticText3)) << text;
    }
    std::array<std::string, kMnemonicSlots> hints{};
    ASSERT_TRUE(loadMnemonics(hints, qEnvironmentVariable("TATEYOKO_APP_DIR").toStdString() + "/" + kMnemonicFileName));
    for (int q = 0; q < kFactCount; ++q) {
        w.st.mnemonicTable[size_t(q + 1)] = hints[size_t(q + 1)];
        f.board().showHint(q);
        EXPECT_TRUE(fits(f.StaticText9)) << q << ": " << f.StaticText9->text().toStdString();
    }
}
