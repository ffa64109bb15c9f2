// The About dialog.
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "main/AppNavigator.h"
#include "main/core/RunnerPorts.h"
#include "main/core/StudyState.h"
#include "tests/ui/QuietPorts.h"
#include "windows/About_.h"

namespace {

struct About {
    StudyState st;
    QuietPorts quiet;
    TAboutForm form;
    About() {
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
};

}  // namespace

TEST(AboutFormLayout, EveryTextFitsWhereItStands) {
    About a;
    TAboutForm& f = a.form;
    EXPECT_EQ(f.minimumSize(), f.maximumSize());
    EXPECT_FALSE(f.windowFlags() & Qt::WindowMinimizeButtonHint);
    const auto textWidth = [](const QLabel* l) { return l->fontMetrics().horizontalAdvance(l->text()); };
    // The product name ends before the version begins, on the same panel.
    EXPECT_LE(f.Label2->x() + textWidth(f.Label2), f.Label3->x());
    for (QLabel* l : {f.Label1, f.Label2, f.Label3, f.Label4}) {
        EXPECT_LE(textWidth(l), l->width() + 1) << l->text().toStdString();
        EXPECT_TRUE(QRect(QPoint(), l->parentWidget()->size()).contains(l->geometry())) << l->text().toStdString();
    }
    for (QLabel* l : {f.Label1, f.Label2, f.Label3, f.Image1}) EXPECT_EQ(l->parentWidget(), f.Panel1);
    EXPECT_FALSE(f.Panel1->geometry().intersects(f.Label4->geometry()));
    EXPECT_FALSE(f.Label4->geometry().intersects(f.Button1->geometry()));
}

TEST(AboutFormLayout, OkIsTheDefaultButtonAndReadable) {
    About a;
    QPushButton* ok = a.form.Button1;
    EXPECT_TRUE(ok->isDefault());
    EXPECT_FALSE(ok->toolTip().isEmpty());
    // White text must stand out from the face it is drawn on.
    const QImage face = ok->grab().toImage();
    EXPECT_LT(face.pixelColor(4, face.height() / 2).lightness(), 160);
}

TEST(AboutFormClosing, OkEnterAndTheCloseBoxCloseItAndEscDoesNot) {
    {
        About a;
        QTest::mouseClick(a.form.Button1, Qt::LeftButton);
        EXPECT_FALSE(a.form.isVisible()) << "OK";
        EXPECT_EQ(a.form.result(), QDialog::Accepted);
    }
    {
        About a;
        QTest::keyClick(&a.form, Qt::Key_Return);
        EXPECT_FALSE(a.form.isVisible()) << "Enter";
    }
    {
        About a;
        EXPECT_TRUE(a.form.close());
        EXPECT_FALSE(a.form.isVisible()) << "close box";
    }
    {
        About a;
        QTest::keyClick(&a.form, Qt::Key_Escape);
        EXPECT_TRUE(a.form.isVisible()) << "Esc";
    }
}
