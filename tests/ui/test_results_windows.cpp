#include <gtest/gtest.h>
#include "windows/Sikskuck.h"
#include <QFontInfo>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <string>

#include "main/AppNavigator.h"
#include "tests/ui/QuietPorts.h"
#include "main/core/FactTables.h"
#include "main/core/QuestionOrder.h"
#include "main/core/RunnerPorts.h"
#include "main/core/TestRecord.h"
#include "windows/Testresultdsp1.h"
#include "windows/Testresultdsp2.h"

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

struct Silent : Sound {
    void playSound(SoundKind) override {}
    void beep() override {}
};
struct StillClock : Clock {
    std::int64_t nowMs() override { return 0; }
    void sleepMs(int) override {}
    void idleMs(int) override {}
};
// Counts the qualification windows instead of opening them.
struct Nav : AppNavigator {
    using AppNavigator::AppNavigator;
    void openQualification(QWidget* over) override {
        ++qualifications;
        overWhat = over;
    }
    int qualifications = 0;
    QWidget* overWhat = nullptr;
};

struct World {
    World() {
        st.studentName = "くく はじめ";
        clearKekka(st);
    }
    void table(int range, int content) {
        st.rangeIndex = range;
        st.currentDan = danOfRange[range];
        st.contentIndex = content;
    }
    StudyState st;
    Silent sound;
    StillClock clock;
    QuietPorts keeper;
    Nav nav{st, sound, clock, keeper};
};

// What a screen reader reads from a grid cell.
QString spoken(QTableView* grid, int row, int column) {
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(grid);
    if (!view || !view->tableInterface()) return "<no table>";
    QAccessibleInterface* cell = view->tableInterface()->cellAt(row, column);
    return cell ? cell->text(QAccessible::Name) : "<no cell>";
}

QString spoken(QWidget* widget) {
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(widget);
    return i ? i->text(QAccessible::Name) : "<none>";
}

QStringList menuTitles(QWidget* window) {
    QStringList titles;
    for (QAction* a : window->findChild<QMenuBar*>()->actions()) titles << a->text();
    return titles;
}

// Answers the next message box with OK and remembers what it said.
struct BoxWatcher {
    // Looked for until it shows, for up to 5 s.
    void expectOne(int triesLeft = 250) {
        QTimer::singleShot(triesLeft == 250 ? 0 : 20, &alive, [this, triesLeft] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                if (triesLeft > 0) expectOne(triesLeft - 1);
                return;
            }
            title = box->windowTitle();
            text = box->text();
            box->button(QMessageBox::Ok)->click();
        });
    }
    QString title, text;
    QObject alive;
};

// Esc leaves a results window open; its close entry and its button close it.
// first() runs on the shown window before the Esc.
template <typename Form>
void expectOnlyTheEntryAndTheButtonClose(World& w, const std::function<void(Form&)>& first = {}) {
    for (const char* how : {"entry", "button"}) {
        Form form(w.st, w.nav, w.keeper);
        form.show();
        if (first) first(form);
        QTest::keyClick(&form, Qt::Key_Escape);
        EXPECT_TRUE(form.isVisible()) << how;
        if (std::string(how) == "entry")
            form.C1->trigger();
        else
            form.Button1->click();
        EXPECT_FALSE(form.isVisible()) << how;
    }
}

}  // namespace

TEST(ResultsByTableWindow, AFaultlessTableShowsItsMarksAndRegisters) {
    World w;
    w.table(2, 3);  // 五の段 in order
    for (int p = 0; p < 3; ++p)
        for (int m = 0; m < 9; ++m) w.st.kekkaArray[p][m] = 1;
    TResultDsp1Form form(w.st, w.nav, w.keeper);
    form.show();

    EXPECT_EQ(form.windowTitle(), u("テスト結果（段別）の表示"));
    EXPECT_EQ(form.findChild<QWidget*>("client")->size(), QSize(313, 455));
    EXPECT_EQ(spoken(form.Panel1), u("「五の段」（順）のテスト結果"));
    EXPECT_EQ(form.Edit1->text(), u("くく はじめ"));
    EXPECT_TRUE(form.Edit1->isReadOnly());
    EXPECT_EQ(spoken(form.TestResultGrid, 0, 0), u("【九・九】"));
    EXPECT_EQ(spoken(form.TestResultGrid, 0, 2), u("２回目"));
    EXPECT_EQ(spoken(form.TestResultGrid, 3, 0), u("５×３　"));
    for (int row = 1; row <= 9; ++row)
        for (int col = 1; col <= 3; ++col) EXPECT_EQ(spoken(form.TestResultGrid, row, col), u("◎"));
    EXPECT_EQ(spoken(form.StaticText1), u("☆パーペキだね。いうことなし!!"));
    EXPECT_EQ(menuTitles(&form), QStringList({u("段テスト結果(&T)"), u("証明書(&P)")}));
    EXPECT_EQ(form.C1->text(), u("閉じる(&C)"));

    ASSERT_TRUE(form.SpeedButton1->isEnabled());
    ASSERT_TRUE(form.R1->isEnabled());
    form.SpeedButton1->click();
    form.R1->trigger();
    EXPECT_EQ(w.nav.qualifications, 2);
    EXPECT_EQ(w.nav.overWhat, &form);
    EXPECT_EQ(w.st.recCheckArray[0][4], 1);
    EXPECT_EQ(w.st.certKind, -1);
    EXPECT_TRUE(form.isVisible());
}

TEST(ResultsByTableWindow, OneWrongAnswerDisablesRegistrationAndItsRefusalSaysWhy) {
    World w;
    w.table(6, 4);  // 八の段 at random
    for (int p = 0; p < 3; ++p)
        for (int m = 0; m < 9; ++m) w.st.kekkaArray[p][m] = 1;
    w.st.kekkaArray[2][6] = 0;
    TResultDsp1Form form(w.st, w.nav, w.keeper);
    form.show();
    EXPECT_EQ(spoken(form.Panel1), u("「八の段」（乱）のテスト結果"));
    EXPECT_EQ(spoken(form.TestResultGrid, 7, 3), u("×"));
    EXPECT_EQ(spoken(form.TestResultGrid, 7, 2), u("◎"));
    EXPECT_EQ(spoken(form.StaticText1), u("★できなかったところがあるよ。さいチャ!!"));
    EXPECT_FALSE(form.SpeedButton1->isEnabled());
    EXPECT_FALSE(form.R1->isEnabled());

    struct Case {
        std::function<void()> ask;
        const char* text;
    };
    for (const Case& c : {Case{[&] { form.SpeedButton1Click(); }, "全問正解でないと，証明書の発行はできません。"},
                          Case{[&] { form.R1Click(); }, "全問正解でないと，登録はできません。"}}) {
        BoxWatcher box;
        box.expectOne();
        c.ask();
        EXPECT_EQ(box.title, u("ご確認!!"));
        EXPECT_EQ(box.text, u(c.text));
    }
    EXPECT_EQ(w.nav.qualifications, 0);
    EXPECT_EQ(recCheckToText(w.st), std::string(56, '0'));
}

TEST(ResultsByTableWindow, NeitherItsMenuHeadingNorEscClosesItButItsEntryAndButtonDo) {
    World w;
    w.table(0, 3);
    expectOnlyTheEntryAndTheButtonClose<TResultDsp1Form>(w, [](TResultDsp1Form& form) {
        QMenu* menu = form.findChild<QMenuBar*>()->actions()[0]->menu();
        menu->popup(form.mapToGlobal(QPoint(0, 0)));
        QApplication::processEvents();
        menu->hide();
        QApplication::processEvents();
    });
}

TEST(ResultsByTableWindow, NameFollowsTheStudyStateOnRepaint) {
    World w;
    w.table(0, 3);
    TResultDsp1Form form(w.st, w.nav, w.keeper);
    form.show();
    w.st.studentName = "たろう";
    form.findChild<QWidget*>("client")->grab();  // paints the client as a repaint would
    EXPECT_EQ(form.Edit1->text(), u("たろう"));
}

// A name longer than its box in any window that shows it: smaller, then
// shortened in the middle, never cut at an end, and read whole.
TEST(ResultsWindows, ALongNameIsShownSmallerOrShortenedButReadWhole) {
    World w;
    w.table(9, 3);
    w.st.studentName = "じゅげむじゅげむごこうのすりきれかいじゃりすいぎょのすいぎょうまつうんらいまつ";
    const QString whole = QString::fromStdString(w.st.studentName);
    TResultDsp1Form byTable(w.st, w.nav, w.keeper);
    TResultDsp2Form byLevel(w.st, w.nav, w.keeper);
    QuietPorts ports;
    TSikakuCheckForm check(w.st, w.nav, ports);
    for (QDialog* window : std::initializer_list<QDialog*>{&byTable, &byLevel, &check}) {
        window->show();
        window->findChild<QWidget*>("client")->grab();
        auto* name = window->findChild<QLineEdit*>();
        ASSERT_TRUE(name);
        const QString shown = name->text();
        EXPECT_EQ(name->accessibleName(), whole);
        EXPECT_GE(QFontInfo(name->font()).pixelSize(), 11);
        EXPECT_LE(name->fontMetrics().horizontalAdvance(shown), name->width() - 4) << shown.toStdString();
        ASSERT_TRUE(shown.contains(u("…"))) << shown.toStdString();
        EXPECT_TRUE(whole.startsWith(shown.section(u("…"), 0, 0)));
        EXPECT_TRUE(whole.endsWith(shown.section(u("…"), 1)));
    }
}

TEST(ResultsByLevelWindow, ShowsBothPassesPerCellAndRegistersOnTheSecondChance) {
    World w;
    w.st.rangeIndex = 9;  // 初級 in order
    w.st.contentIndex = 3;
    for (int d : {1, 2, 5})
        for (int m = 0; m < 9; ++m) w.st.kekkaArray[d - 1][m] = w.st.kekkaArray[9 + d - 1][m] = 1;
    w.st.kekkaArray[9 + 1][3] = 0;  // 2 x 4, pass 2
    TResultDsp2Form form(w.st, w.nav, w.keeper);
    form.show();

    EXPECT_EQ(form.windowTitle(), u("テスト結果（級別）の結果"));
    EXPECT_EQ(form.findChild<QWidget*>("client")->size(), QSize(504, 482));
    EXPECT_EQ(spoken(form.Panel1), u("初級(１･２･５段)（順）のテスト結果"));
    EXPECT_EQ(form.Edit1->text(), u("くく はじめ"));
    EXPECT_EQ(spoken(form.TestResultGrid2, 0, 0), u("[段]→"));
    EXPECT_EQ(spoken(form.TestResultGrid2, 0, 5), u("五"));
    EXPECT_EQ(spoken(form.TestResultGrid2, 4, 0), u("×４"));
    EXPECT_EQ(spoken(form.TestResultGrid2, 10, 0), u("合・否"));
    EXPECT_EQ(spoken(form.TestResultGrid2, 4, 2), u("◎×"));
    EXPECT_EQ(spoken(form.TestResultGrid2, 9, 5), u("◎◎"));
    EXPECT_EQ(spoken(form.TestResultGrid2, 10, 1), u("◎"));
    EXPECT_EQ(spoken(form.TestResultGrid2, 10, 2), u("×"));
    EXPECT_EQ(spoken(form.TestResultGrid2, 10, 5), u("◎"));
    for (int col : {3, 4, 6, 7, 8, 9})
        for (int row = 1; row <= 10; ++row) EXPECT_EQ(spoken(form.TestResultGrid2, row, col), "") << row << "," << col;
    EXPECT_EQ(form.TestResultGrid2->columnWidth(4), 40);
    EXPECT_EQ(spoken(form.StaticText1), u("できなかったところがあるよ。覚えちゃおう!!"));
    EXPECT_EQ(menuTitles(&form), QStringList({u("級テスト結果(&T)"), u("証明書(&P)")}));

    ASSERT_TRUE(form.SpeedButton1->isEnabled());
    ASSERT_TRUE(form.R1->isEnabled());
    form.R1->trigger();
    EXPECT_EQ(w.nav.qualifications, 1);
    EXPECT_EQ(w.st.recCheckArray[0][9], 1);
    EXPECT_EQ(spoken(form.TestResultGrid2, 4, 2), u("◎×"));
    form.C1->trigger();
    EXPECT_FALSE(form.isVisible());
}

TEST(ResultsByLevelWindow, EscLeavesItOpenButItsEntryAndButtonCloseIt) {
    World w;
    w.st.rangeIndex = 10;
    w.st.contentIndex = 3;
    expectOnlyTheEntryAndTheButtonClose<TResultDsp2Form>(w);
}

TEST(ResultsByLevelWindow, NothingAnsweredShowsEmptyMarksAndOffersNothing) {
    World w;
    w.st.rangeIndex = 12;
    w.st.contentIndex = 4;
    TResultDsp2Form form(w.st, w.nav, w.keeper);
    form.show();
    for (int col = 1; col <= 9; ++col) {
        EXPECT_EQ(spoken(form.TestResultGrid2, 9, col), u("－－"));
        EXPECT_EQ(spoken(form.TestResultGrid2, 10, col), u("×"));
    }
    EXPECT_FALSE(form.SpeedButton1->isEnabled());
    EXPECT_FALSE(form.R1->isEnabled());
    form.Button1->click();
    EXPECT_FALSE(form.isVisible());
}

// The grids of both results windows and of the qualification window: Tab
// goes on to the next control, the headings cannot be selected, and a
// screen reader names the columns and rows as they are shown.
TEST(ResultsWindows, GridsLetTabGoOnKeepTheirHeadingsFixedAndAnnounceThemAsShown) {
    World w;
    w.table(0, 3);
    TResultDsp1Form byTable(w.st, w.nav, w.keeper);
    w.table(9, 3);
    TResultDsp2Form byLevel(w.st, w.nav, w.keeper);
    QuietPorts ports;
    TSikakuCheckForm check(w.st, w.nav, ports);
    const std::pair<QDialog*, QTableView*> grids[] = {
        {&byTable, byTable.TestResultGrid}, {&byLevel, byLevel.TestResultGrid2}, {&check, check.StringGrid1}};
    for (const auto& [window, grid] : grids) {
        window->show();
        QApplication::setActiveWindow(window);
        grid->setFocus();
        ASSERT_TRUE(grid->hasFocus()) << window->windowTitle().toStdString();
        QTest::keyClick(grid, Qt::Key_Tab);
        EXPECT_FALSE(grid->hasFocus()) << window->windowTitle().toStdString();
        const QAbstractItemModel* model = grid->model();
        EXPECT_FALSE(model->flags(model->index(0, 1)) & Qt::ItemIsSelectable);
        EXPECT_FALSE(model->flags(model->index(1, 0)) & Qt::ItemIsSelectable);
        EXPECT_TRUE(model->flags(model->index(1, 1)) & Qt::ItemIsSelectable);
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid);
        ASSERT_TRUE(table && table->tableInterface());
        EXPECT_EQ(table->tableInterface()->columnDescription(1), model->index(0, 1).data().toString());
        EXPECT_EQ(table->tableInterface()->rowDescription(1), model->index(1, 0).data().toString());
        window->hide();
    }
    EXPECT_EQ(byTable.TestResultGrid->model()->index(0, 1).data().toString(), u("１回目"));
}

// Every title and verdict of both results windows, for every range and
// order, and every rank message of the qualification window, is whole.
TEST(ResultsWindows, EveryTitleVerdictAndRankMessageFitsItsBox) {
    const auto fits = [](const QLabel* l) {
        return l->fontMetrics().horizontalAdvance(l->text()) <= l->contentsRect().width();
    };
    for (int range = 0; range < kRangeCount; ++range)
        for (int content : {3, 4})
            for (int outcome : {2, 0, 1}) {
                World w;
                w.table(range, content);
                for (auto& row : w.st.kekkaArray)
                    for (int& cell : row) cell = outcome;
                std::unique_ptr<QDialog> form;
                if (range < 9) form = std::make_unique<TResultDsp1Form>(w.st, w.nav, w.keeper);
                else form = std::make_unique<TResultDsp2Form>(w.st, w.nav, w.keeper);
                for (const QLabel* l : form->findChildren<QLabel*>()) {
                    if (!l->text().contains('\n') && !l->wordWrap()) {
                        EXPECT_TRUE(fits(l)) << range << "/" << content << ": " << l->text().toStdString();
                    }
                }
            }
    World w;
    QuietPorts ports;
    for (const auto& passes : {std::vector<int>{}, std::vector<int>{13}}) {
        for (int p : passes) w.st.recCheckArray[0][p - 1] = w.st.recCheckArray[1][p - 1] = 1;
        TSikakuCheckForm check(w.st, w.nav, ports);
        EXPECT_TRUE(fits(check.Panel2)) << check.Panel2->text().toStdString();
    }
}

TEST(ResultsWindowsByEar, TheTitleSaysWhenTheTestWasAnsweredByEar) {
    for (const int byEar : {0, 1}) {
        World w;
        w.table(2, 3);
        w.st.lastTestByEar = byEar;
        TResultDsp1Form byTable(w.st, w.nav, w.keeper);
        const QString ear = byEar ? QStringLiteral("　―　みみで きいて こたえた テスト") : QString();
        EXPECT_EQ(byTable.windowTitle(), u("テスト結果（段別）の表示") + ear);
        w.st.rangeIndex = 9;
        TResultDsp2Form byLevel(w.st, w.nav, w.keeper);
        EXPECT_EQ(byLevel.windowTitle(), u("テスト結果（級別）の結果") + ear);
    }
}
