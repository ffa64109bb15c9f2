// The multiplication table window as the child sees it.
#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QAction>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include "main/AppNavigator.h"
#include "main/core/RunnerPorts.h"
#include "main/core/StudyState.h"
#include "tests/ui/QuietPorts.h"
#include "windows/Dancalcdsp.h"

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

struct Table {
    StudyState st;
    QuietPorts quiet;
    std::unique_ptr<TDanCalcForm> form;
    Table(int refFromContent, int rangeIndex) {
        st.refFromContent = refFromContent;
        st.rangeIndex = rangeIndex;
        form = std::make_unique<TDanCalcForm>(st);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    QTableView* grid() const { return form->StringGrid1; }
    // Where cell (row, column) stands on screen, in the grid's viewport.
    QRect cellRect(int row, int column) const {
        const int logicalRow = grid()->verticalHeader()->logicalIndex(row);
        return grid()->visualRect(grid()->model()->index(logicalRow, column));
    }
    // The colour low in a cell's left corner, where no text reaches.
    QColor fillAt(const QImage& shot, int row, int column) const {
        const QRect r = cellRect(row, column);
        return shot.pixelColor(r.left() + 4, r.bottom() - 3);
    }
    QImage shot() const { return grid()->viewport()->grab().toImage(); }
};

const QColor kBlue(0, 0, 255), kRed(255, 0, 0), kGrey(128, 128, 128), kYellow(255, 255, 0);

// 'B' blue, 'R' red, '-' grey for each column's cells as painted, row 5.
std::string paintedPattern(const Table& t) {
    const QImage shot = t.shot();
    std::string pattern;
    for (int column = 0; column < 9; ++column) {
        const QColor c = t.fillAt(shot, 5, column);
        pattern += c == kBlue ? 'B' : c == kRed ? 'R' : c == kGrey ? '-' : '?';
    }
    return pattern;
}

}  // namespace

TEST(DanCalcFormLayout, EverythingInSightAndApart) {
    Table t(0, 0);
    TDanCalcForm& f = *t.form;
    const QWidget* client = f.findChild<QWidget*>(QStringLiteral("client"));
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(f.minimumSize(), f.maximumSize());
    EXPECT_FALSE(f.windowFlags() & Qt::WindowMaximizeButtonHint);
    const QRect area(QPoint(0, 0), client->size());
    for (QWidget* w : std::initializer_list<QWidget*>{f.Panel1, f.Panel2, f.Button1, f.StringGrid1})
        EXPECT_TRUE(area.contains(w->geometry())) << w->metaObject()->className();
    EXPECT_FALSE(f.Panel1->geometry().intersects(f.Panel2->geometry()));
    EXPECT_FALSE(f.Panel2->geometry().intersects(f.Button1->geometry()));
    EXPECT_FALSE(f.StringGrid1->geometry().intersects(f.Panel2->geometry()));
    EXPECT_FALSE(f.GuruguruBtn->isVisible());
    // The whole table is in sight: every cell, no scrolling.
    QTableView* g = t.grid();
    EXPECT_FALSE(g->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(g->verticalScrollBar()->isVisible());
    EXPECT_TRUE(g->viewport()->rect().contains(t.cellRect(9, 8)));
    EXPECT_LT(t.cellRect(0, 0).height(), t.cellRect(1, 0).height()) << "the heading row is the low one";
    // The heading stands out in the rounded display face where it is installed.
    const QFontInfo heading(f.Panel1->font());
    if (QFontDatabase::families().contains(QStringLiteral("RocknRoll One")))
        EXPECT_EQ(heading.family(), QStringLiteral("RocknRoll One"));
    else
        EXPECT_TRUE(heading.bold());
    EXPECT_GT(heading.pixelSize(), QFontInfo(g->font()).pixelSize());
}

TEST(DanCalcFormPainting, MenuOpeningPaintsEveryTableInItsColour) {
    Table t(0, 7);
    EXPECT_EQ(paintedPattern(t), "BRBRBRBRB");
    const QImage shot = t.shot();
    for (int column = 0; column < 9; ++column) EXPECT_EQ(t.fillAt(shot, 0, column), kYellow) << column;
}

TEST(DanCalcFormPainting, ReferenceContentPaintsOnlyTheChosenRange) {
    Table five(1, 2);  // 五の段
    EXPECT_EQ(paintedPattern(five), "----B----");
    Table middle(1, 10);  // 中級
    EXPECT_EQ(paintedPattern(middle), "--BR-R---");
    const QImage shot = middle.shot();
    EXPECT_EQ(middle.fillAt(shot, 0, 2), kYellow);
    EXPECT_EQ(middle.fillAt(shot, 0, 0), kGrey);
}

TEST(DanCalcFormPainting, TextIsWhiteOnTheFillAndStartsAtTheTop) {
    Table t(0, 0);
    const QImage shot = t.shot();
    const QRect cell = t.cellRect(9, 8);  // ９×９＝８１, three lines
    int whiteTop = -1, whiteBottom = -1;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            if (shot.pixelColor(x, y) == Qt::white) {
                if (whiteTop < 0) whiteTop = y - cell.top();
                whiteBottom = y - cell.top();
            }
    EXPECT_GE(whiteTop, 0) << "no white text";
    EXPECT_LE(whiteTop, 12);
    EXPECT_GT(whiteBottom, 45) << "three lines reach down the cell";
    EXPECT_LT(whiteBottom, 70);
}

TEST(DanCalcFormRows, DraggedRowIsDrawnAsTheRowThatStoodThere) {
    Table t(1, 10);
    const QImage before = t.shot();
    const QString textAtThree = t.grid()->model()->index(3, 2).data().toString();
    QHeaderView* rows = t.grid()->verticalHeader();
    rows->moveSection(3, 7);
    rows->moveSection(0, 5);
    QApplication::processEvents();
    EXPECT_EQ(t.shot(), before);
    // What stands third on screen still reads as the third row.
    const int logical = rows->logicalIndex(3);
    EXPECT_NE(logical, 3);
    EXPECT_EQ(t.grid()->model()->index(logical, 2).data().toString(), textAtThree);
    EXPECT_EQ(t.grid()->rowHeight(rows->logicalIndex(0)), 30);
}

TEST(DanCalcFormRows, ClickingAndSelectingChangeNothing) {
    Table t(1, 2);
    const QImage before = t.shot();
    QTest::mouseClick(t.grid()->viewport(), Qt::LeftButton, Qt::NoModifier, t.cellRect(4, 4).center());
    QTest::keyClick(t.grid(), Qt::Key_Down);
    QTest::keyClick(t.grid(), Qt::Key_Right);
    EXPECT_EQ(t.shot(), before);
    EXPECT_TRUE(t.form->isVisible());
}

TEST(DanCalcFormAccess, EveryCellReadsItsLines) {
    Table t(0, 0);
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(t.grid());
    ASSERT_NE(table, nullptr);
    ASSERT_NE(table->tableInterface(), nullptr);
    const auto read = [&](int row, int column) {
        QAccessibleInterface* cell = table->tableInterface()->cellAt(row, column);
        return cell ? cell->text(QAccessible::Name) : QString();
    };
    EXPECT_EQ(read(0, 4), u("五の段"));
    EXPECT_EQ(read(3, 1), u("２×３＝６　\nに・さん・が\nろく"));
    EXPECT_EQ(read(9, 8), u("９×９＝８１\nく・く\nはちじゅういち"));
}

TEST(DanCalcFormClosing, EscButtonAndMenuClose) {
    {
        Table t(0, 0);
        t.grid()->setFocus();
        QTest::keyClick(t.grid(), Qt::Key_Escape);
        EXPECT_FALSE(t.form->isVisible()) << "Esc";
    }
    {
        Table t(0, 0);
        QTest::mouseClick(t.form->Button1, Qt::LeftButton);
        EXPECT_FALSE(t.form->isVisible()) << "button";
    }
    {
        Table t(0, 0);
        QMenuBar* bar = t.form->findChild<QMenuBar*>();
        ASSERT_NE(bar, nullptr);
        ASSERT_EQ(bar->actions().size(), 1);
        EXPECT_EQ(bar->actions().front()->text(), u("表示(&V)"));
        QMenu* view = bar->actions().front()->menu();
        ASSERT_EQ(view->actions().size(), 1);
        EXPECT_EQ(view->actions().front()->text(), u("閉じる(&C)"));
        view->actions().front()->trigger();
        EXPECT_FALSE(t.form->isVisible()) << "menu";
    }
    {
        Table t(0, 0);
        t.grid()->setFocus();
        QTest::keyClick(t.grid(), Qt::Key_Return);
        EXPECT_TRUE(t.form->isVisible()) << "Enter means nothing here";
    }
}
