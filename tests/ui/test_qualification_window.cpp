#include <gtest/gtest.h>

#include <QAccessible>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTableView>
#include <QTest>

#include "QualifyFixture.h"
#include "windows/Certif_syo.h"
#include "windows/Sikskuck.h"

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

struct Check {
    explicit Check(std::initializer_list<std::pair<int, int>> passes = {}) {
        st.studentName = "くく はじめ";
        st.contentIndex = 0;
        st.rangeIndex = 6;
        for (auto [column, row] : passes) st.recCheckArray[column - 1][row - 1] = 1;
    }
    TSikakuCheckForm& open() {
        form = std::make_unique<TSikakuCheckForm>(st, navigator, ports, nullptr);
        form->show();
        return *form;
    }
    QString cellText(int column, int row) {
        return form->StringGrid1->model()->index(row, column).data().toString();
    }
    void select(int column, int row) {
        QTableView* g = form->StringGrid1;
        const QRect r = g->visualRect(g->model()->index(row, column));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, r.center());
    }
    StudyState st;
    QuietPorts ports;
    RecordingNavigator navigator{st, ports};
    std::unique_ptr<TSikakuCheckForm> form;
};

int flagCount(const StudyState& st) {
    int n = 0;
    for (auto& column : st.recCheckArray)
        for (int flag : column) n += flag != 0;
    return n;
}

QStringList entries(QMenu* menu) {
    QStringList texts;
    for (QAction* a : menu->actions()) texts << (a->isSeparator() ? "-" : a->text());
    return texts;
}

}  // namespace

TEST(QualificationWindow, LayoutTextsAndMenus) {
    Check c;
    TSikakuCheckForm& f = c.open();
    EXPECT_EQ(f.windowTitle(), u("皆伝資格チェック"));
    QWidget* client = f.findChild<QWidget*>("client");
    ASSERT_TRUE(client);
    EXPECT_EQ(client->size(), QSize(477, 579));
    EXPECT_EQ(f.Panel1->text(), u("《資格チェック表》"));
    EXPECT_EQ(f.Edit1->text(), u("くく はじめ"));
    EXPECT_TRUE(f.Edit1->isReadOnly());
    EXPECT_EQ(f.Button1->text(), u("お助け(&E)"));
    EXPECT_EQ(f.Button1->palette().color(QPalette::ButtonText), QColor(Qt::red));
    EXPECT_EQ(f.Button4->text(), u("資格チェック(&T)"));
    EXPECT_EQ(f.Button3->text(), u("段級認定書(&D)"));
    EXPECT_EQ(f.Button3->toolTip(), u("段級位の認定書を発行します。"));
    EXPECT_EQ(f.Button5->text(), u("マスター位(&M)"));
    EXPECT_EQ(f.Button5->toolTip(), u("マスター位の認定書を発行します。"));
    QMenuBar* bar = f.findChild<QMenuBar*>();
    ASSERT_TRUE(bar);
    ASSERT_EQ(bar->actions().size(), 2);
    EXPECT_EQ(bar->actions()[0]->text(), u("資格チェック表(&K)"));
    EXPECT_EQ(entries(bar->actions()[0]->menu()),
              QStringList({u("資格チェック(&T)"), "-", u("成績クリア(&D)"), "-", u("閉める(&C)")}));
    EXPECT_EQ(bar->actions()[1]->text(), u("ヘルプ(&H)"));
    EXPECT_EQ(entries(bar->actions()[1]->menu()), QStringList({u("目次(&C)")}));

    QTableView* g = f.StringGrid1;
    ASSERT_EQ(g->model()->rowCount(), 15);
    ASSERT_EQ(g->model()->columnCount(), 5);
    EXPECT_EQ(g->columnWidth(0), 120);
    for (int col = 1; col < 5; ++col) EXPECT_EQ(g->columnWidth(col), 70) << col;
    for (int row = 0; row < 15; ++row) EXPECT_EQ(g->rowHeight(row), 24) << row;
    EXPECT_EQ(g->font().pixelSize(), 15);
    EXPECT_TRUE(g->font().bold());
    // Every cell fits: no scrolling hides any.
    for (int row = 0; row < 15; ++row)
        for (int col = 0; col < 5; ++col)
            EXPECT_TRUE(g->viewport()->rect().contains(g->visualRect(g->model()->index(row, col)))) << row << "," << col;
    EXPECT_EQ(g->currentIndex(), g->model()->index(1, 1));
}

TEST(QualificationWindow, ControlsStayInsideTheWindowApartAndShowTheWholeName) {
    Check c;
    c.st.studentName = "ながい なまえの こども";
    TSikakuCheckForm& f = c.open();
    QWidget* client = f.findChild<QWidget*>("client");
    ASSERT_TRUE(client);
    const QList<QWidget*> placed = {f.Panel1, f.Button1, f.Label1,  f.Edit1,  f.StringGrid1,
                                    f.Panel2, f.Button4, f.Button3, f.Button5};
    for (QWidget* w : placed) {
        ASSERT_EQ(w->parentWidget(), client);
        EXPECT_TRUE(client->rect().contains(w->geometry())) << w->metaObject()->className();
        for (QWidget* other : placed) {
            if (other == w) continue;
            EXPECT_FALSE(w->geometry().intersects(other->geometry()))
                << w->metaObject()->className() << " at " << w->x() << "," << w->y() << " overlaps "
                << other->metaObject()->className() << " at " << other->x() << "," << other->y();
        }
    }
    // The name sits on the line of its label, right of it, and fits its field.
    EXPECT_EQ(f.Edit1->y(), f.Label1->y());
    EXPECT_GT(f.Edit1->x(), f.Label1->geometry().right());
    EXPECT_LE(f.Edit1->fontMetrics().horizontalAdvance(f.Edit1->text()), f.Edit1->contentsRect().width() - 4);
}

TEST(QualificationWindow, CellsAreReadableThroughAccessibility) {
    Check c({{1, 5}});
    TSikakuCheckForm& f = c.open();
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(f.StringGrid1);
    ASSERT_TRUE(table && table->tableInterface());
    QAccessibleInterface* cell = table->tableInterface()->cellAt(5, 1);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->text(QAccessible::Name), u("◎"));
    EXPECT_EQ(table->tableInterface()->cellAt(0, 3)->text(QAccessible::Name), u(" (予備) "));
    EXPECT_EQ(table->tableInterface()->cellAt(14, 0)->text(QAccessible::Name), u("合否"));
}

TEST(QualificationWindow, OpeningRunsTheCheck) {
    struct Case {
        std::initializer_list<std::pair<int, int>> passes;
        const char *order, *random, *message;
        bool master;
    };
    const Case cases[] = {
        {{}, "×", "×", "<九九術マスター>をめざしてがんぼ。", false},
        {{{1, 13}, {2, 13}}, "◎", "◎", "おめでとう。<九九術マスター> の資格をゲットできるぞ。", true},
        {{{1, 13}}, "◎", "×", "<九九術マスター>をめざしてがんぼ。", false},
    };
    for (const Case& k : cases) {
        Check c(k.passes);
        TSikakuCheckForm& f = c.open();
        EXPECT_EQ(c.cellText(1, 14), u(k.order));
        EXPECT_EQ(c.cellText(2, 14), u(k.random));
        EXPECT_EQ(c.cellText(3, 14), u("×"));
        EXPECT_EQ(f.Panel2->text(), u(k.message));
        EXPECT_EQ(f.Button5->isEnabled(), k.master);
        EXPECT_EQ(c.cellText(1, 1), u("―"));
        EXPECT_EQ(c.cellText(4, 7), u("--"));
    }
}

TEST(QualificationWindow, ClickSelectsOnlyPassCells) {
    Check c;
    TSikakuCheckForm& f = c.open();
    c.select(2, 9);
    EXPECT_EQ(f.StringGrid1->currentIndex(), f.StringGrid1->model()->index(9, 2));
    c.select(0, 3);  // a row name
    c.select(3, 0);  // a header
    QTest::keyClick(f.StringGrid1, Qt::Key_Home);  // would go to column 0
    QTest::keyClick(f.StringGrid1, Qt::Key_Right);
    const QModelIndexList selected = f.StringGrid1->selectionModel()->selectedIndexes();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0], f.StringGrid1->model()->index(9, 2));
    EXPECT_EQ(f.StringGrid1->currentIndex(), selected[0]);
}

TEST(QualificationWindow, RowAndColumnNamesStandApartFromThePassCells) {
    Check c;
    TSikakuCheckForm& f = c.open();
    auto ground = [&](int column, int row) {
        return f.StringGrid1->model()->index(row, column).data(Qt::BackgroundRole).value<QColor>();
    };
    const QColor cell = ground(2, 9);
    EXPECT_EQ(cell, QColor(Qt::white));
    for (const auto& [column, row] : {std::pair{0, 0}, {0, 3}, {0, 14}, {3, 0}, {4, 0}}) {
        EXPECT_NE(ground(column, row), cell) << column << "," << row;
        EXPECT_EQ(ground(column, row), ground(0, 0)) << column << "," << row;
    }
}

TEST(QualificationWindow, RangeCertificateButton) {
    struct Case {
        int column, row;
        bool box, certificate;
        int contentIndex, rangeIndex, certKind;
    };
    // Passed: table 5 and all tables in both orders, table 9 in order only.
    const Case cases[] = {
        {3, 5, false, false, 0, 6, 0},  {4, 13, false, false, 0, 6, 0}, {1, 14, false, false, 0, 6, 0},
        {1, 9, true, false, 0, 6, 0},   {2, 9, true, false, 0, 6, 0},   {2, 5, false, true, 4, 2, -1},
        {1, 13, false, true, 3, 12, 1},
    };
    for (const Case& k : cases) {
        Check c({{1, 5}, {2, 5}, {1, 13}, {2, 13}, {1, 9}});
        TSikakuCheckForm& f = c.open();
        c.select(k.column, k.row);
        BoxAnswer box;
        BoxWatcher watcher(box, QMessageBox::Ok);
        QTest::mouseClick(f.Button3, Qt::LeftButton);  // a box is modal: answered before this returns
        EXPECT_EQ(box.seen, k.box) << k.column << "," << k.row;
        if (k.box) {
            EXPECT_EQ(box.title, u("□ごかくにん□"));
            EXPECT_EQ(box.text, u("この段(級)は，まだ<順>と<乱>の\nテストの両方に通ってないよ。"));
            EXPECT_EQ(box.buttons, QMessageBox::Ok);
        }
        EXPECT_EQ(c.navigator.certificates, k.certificate ? 1 : 0) << k.column << "," << k.row;
        EXPECT_EQ(c.st.contentIndex, k.contentIndex) << k.column << "," << k.row;
        EXPECT_EQ(c.st.rangeIndex, k.rangeIndex) << k.column << "," << k.row;
        EXPECT_EQ(c.st.certKind, k.certKind) << k.column << "," << k.row;
    }
}

TEST(QualificationWindow, MasterButtonAsksForTheMasterCertificate) {
    Check c({{1, 10}, {1, 11}, {1, 12}, {2, 13}});
    c.st.certKind = -1;
    TSikakuCheckForm& f = c.open();
    ASSERT_TRUE(f.Button5->isEnabled());
    QTest::mouseClick(f.Button5, Qt::LeftButton);
    EXPECT_EQ(c.navigator.certificates, 1);
    EXPECT_EQ(c.navigator.certKindSeen, 1);
    EXPECT_EQ(c.st.rangeIndex, 6);
}

TEST(QualificationWindow, ClearingAsksFirst) {
    for (auto button : {QMessageBox::Cancel, QMessageBox::Ok}) {
        Check c({{1, 1}, {2, 1}, {1, 13}, {2, 13}, {3, 4}});
        TSikakuCheckForm& f = c.open();
        BoxAnswer box;
        BoxWatcher watcher(box, button);
        f.D1->trigger();
        EXPECT_TRUE(box.seen);
        EXPECT_EQ(box.title, u("□ごかくにん□"));
        EXPECT_EQ(box.text, u("成績の記録を消去します。いいですか。"));
        EXPECT_EQ(box.buttons, QMessageBox::Ok | QMessageBox::Cancel);
        if (button == QMessageBox::Cancel) {
            EXPECT_EQ(c.cellText(1, 13), u("◎"));
            EXPECT_EQ(flagCount(c.st), 5);
            EXPECT_TRUE(f.Button5->isEnabled());
        } else {
            EXPECT_EQ(c.cellText(1, 13), u("－"));
            EXPECT_EQ(c.cellText(4, 2), u("－"));
            EXPECT_EQ(c.cellText(2, 14), u("×"));
            EXPECT_EQ(f.Panel2->text(), u("<九九術マスター>をめざしてがんぼ。"));
            EXPECT_FALSE(f.Button5->isEnabled());
        }
        f.C1->trigger();
        EXPECT_FALSE(f.isVisible());
        if (button == QMessageBox::Ok) EXPECT_EQ(flagCount(c.st), 0);
        else EXPECT_EQ(flagCount(c.st), 6);  // the check's verdicts join, the reserved pass goes
    }
}

TEST(QualificationWindow, EveryCloseWritesTheGridBack) {
    Check c({{1, 13}, {2, 13}, {3, 13}, {4, 2}});
    TSikakuCheckForm& f = c.open();
    f.close();  // the close box
    for (int col = 1; col <= 4; ++col)
        for (int row = 1; row <= 14; ++row) {
            const bool passed = col <= 2 && row >= 13;
            EXPECT_EQ(c.st.recCheckArray[col - 1][row - 1], passed ? 1 : 0) << col << "," << row;
        }
}

TEST(QualificationWindow, HelpButtonAndMenuOpenTheQualificationHelp) {
    Check c;
    TSikakuCheckForm& f = c.open();
    QTest::mouseClick(f.Button1, Qt::LeftButton);
    f.Contents1->trigger();
    EXPECT_EQ(c.navigator.helpFiles, (std::vector<std::string>{kQualificationHelpFile, kQualificationHelpFile}));
}

TEST(QualificationWindow, RangeCertificateOpensOverTheCheckWindow) {
    StudyState st;
    st.studentName = "くく はじめ";
    st.recCheckArray[0][4] = st.recCheckArray[1][4] = 1;  // 五の段, both orders
    QuietPorts ports;
    AppNavigator navigator(st, ports, ports, ports);
    TSikakuCheckForm form(st, navigator, ports, nullptr);
    form.show();
    form.StringGrid1->setCurrentIndex(form.StringGrid1->model()->index(5, 2));
    QString line1;
    QWidget* over = nullptr;
    QTimer::singleShot(100, &form, [&] {
        auto* cert = qobject_cast<TCertForm2*>(QApplication::activeModalWidget());
        if (!cert) return;
        line1 = cert->Label3->text();
        over = cert->parentWidget();
        cert->C1->trigger();
    });
    QTest::mouseClick(form.Button3, Qt::LeftButton);
    EXPECT_EQ(line1, u("九九術 五の段 を"));
    EXPECT_EQ(over, &form);
    EXPECT_TRUE(form.isVisible());
}
