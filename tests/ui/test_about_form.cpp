// The About dialog.
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "main/Navigator.h"
#include "main/core/RunnerPorts.h"
#include "main/core/StudyState.h"
#include "windows/About_.h"

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

struct Quiet : Sound, Clock {
    void playSound(int) override {}
    void beep() override {}
    std::int64_t nowMs() override { return 0; }
    void sleepMs(int) override {}
    void idleMs(int) override {}
};

struct About {
    StudyState st;
    Quiet quiet;
    Navigator navigator{st, quiet, quiet};
    TAboutForm form{st, navigator};
    About() {
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
};

QColor textColour(const QLabel* label) { return label->palette().color(QPalette::WindowText); }

}  // namespace

TEST(AboutFormLayout, SmallFixedDialogWithoutMinimise) {
    About a;
    EXPECT_EQ(a.form.windowTitle(), u("バージョン情報"));
    EXPECT_EQ(a.form.size(), QSize(190, 129));
    EXPECT_EQ(a.form.minimumSize(), a.form.maximumSize());
    EXPECT_FALSE(a.form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(a.form.palette().color(QPalette::Window), QColor(255, 255, 128));
    EXPECT_EQ(a.form.Panel1->geometry(), QRect(0, 0, 190, 73));
    EXPECT_EQ(a.form.Panel1->palette().color(QPalette::Window), QColor(202, 253, 193));
}

TEST(AboutFormLayout, TextsInTheirPlacesAndColours) {
    About a;
    TAboutForm& f = a.form;
    struct Expected {
        QLabel* label;
        const char* text;
        QPoint at;
        QColor colour;
        int px;
        QWidget* parent;
    };
    const Expected all[] = {
        {f.Label1, "《九九をおぼえちゃおう--Key版》", {10, 8}, QColor(128, 0, 0), 12, f.Panel1},
        {f.Label2, "『タテヨコ塾(M)』", {4, 24}, Qt::blue, 21, f.Panel1},
        {f.Label3, "v1.52", {147, 28}, QColor(0, 0, 128), 16, f.Panel1},
        {f.Label4, "みずなら舎", {44, 80}, QColor(0, 128, 0), 19, f.Button1->parentWidget()},
    };
    for (const Expected& e : all) {
        EXPECT_EQ(e.label->text(), u(e.text));
        EXPECT_EQ(e.label->pos(), e.at) << e.text;
        EXPECT_EQ(textColour(e.label), e.colour) << e.text;
        EXPECT_EQ(e.label->font().pixelSize(), e.px) << e.text;
        EXPECT_EQ(e.label->parentWidget(), e.parent) << e.text;
    }
    EXPECT_EQ(f.Label4->size(), QSize(139, 19));
    EXPECT_EQ(f.Image1->geometry(), QRect(157, 48, 20, 20));
    EXPECT_EQ(f.Image2->geometry(), QRect(8, 80, 32, 32));
    // The product name ends before the version begins, and every text fits.
    EXPECT_LE(f.Label2->x() + f.Label2->fontMetrics().horizontalAdvance(f.Label2->text()), f.Label3->x());
    for (const Expected& e : all)
        EXPECT_LE(e.label->fontMetrics().horizontalAdvance(e.label->text()), e.label->width() + 1) << e.text;
}

TEST(AboutFormLayout, OkIsTheDefaultButton) {
    About a;
    QPushButton* ok = a.form.Button1;
    EXPECT_EQ(ok->text(), u("Ｏ Ｋ"));
    EXPECT_EQ(ok->geometry(), QRect(128, 105, 49, 21));
    EXPECT_EQ(ok->toolTip(), u("閉じます。"));
    EXPECT_TRUE(ok->isDefault());
    EXPECT_TRUE(ok->font().bold());
    EXPECT_EQ(ok->font().pixelSize(), 13);
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
