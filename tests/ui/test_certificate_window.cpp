#include <gtest/gtest.h>

#include <QApplication>
#include <QDate>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QMenuBar>
#include <QTest>

#include "QualifyFixture.h"
#include "support/Fonts.h"
#include "windows/Certif_syo.h"
#include "windows/core/Certificate.h"

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

struct Cert {
    Cert(int certKind, int rangeIndex) {
        st.certKind = certKind;
        st.rangeIndex = rangeIndex;
        st.studentName = "やまだ はなこ";
        st.studentNo = 1234567;
        form = std::make_unique<TCertForm2>(st, nullptr);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    StudyState st;
    QuietPorts ports;
    RecordingNavigator navigator{st, ports};
    std::unique_ptr<TCertForm2> form;
};

}  // namespace

TEST(CertificateWindow, WindowMenuAndFixedItems) {
    Cert c(-1, 2);
    TCertForm2& f = *c.form;
    EXPECT_EQ(f.windowTitle(), u("証明書フォーマット"));
    EXPECT_EQ(f.size(), QSize(410, 585));
    // Sizable.
    EXPECT_LT(f.minimumSize().height(), f.height());
    EXPECT_GT(f.maximumSize().width(), f.width());
    QMenuBar* bar = f.findChild<QMenuBar*>();
    ASSERT_TRUE(bar);
    ASSERT_EQ(bar->actions().size(), 1);
    EXPECT_EQ(bar->actions()[0]->text(), u("そうさ(&E)"));
    const QList<QAction*> entries = bar->actions()[0]->menu()->actions();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0]->text(), u("印刷(&P)"));
    EXPECT_TRUE(entries[1]->isSeparator());
    EXPECT_EQ(entries[2]->text(), u("閉じる(&C)"));
    EXPECT_EQ(f.client->y(), bar->height());
    EXPECT_EQ(f.client->palette().color(QPalette::Window), QColor(Qt::white));

    const std::pair<QWidget*, QRect> boxes[] = {
        {f.Image2, {0, 8, 393, 41}},        {f.Image3, {0, 472, 393, 41}},      {f.Image4, {0, 8, 393, 37}},
        {f.Image5, {0, 472, 393, 37}},      {f.StaticText5, {24, 64, 340, 39}}, {f.StaticText7, {12, 64, 372, 37}},
        {f.StaticText1, {40, 64, 304, 39}}, {f.Label1, {120, 120, 202, 24}},    {f.Label3, {16, 176, 360, 33}},
        {f.Label4, {16, 240, 321, 33}},     {f.Label5, {16, 304, 305, 33}},     {f.Image6, {296, 288, 60, 60}},
        {f.StaticText4, {28, 368, 241, 23}}, {f.Panel1, {274, 360, 113, 28}},   {f.StaticText3, {136, 408, 183, 41}},
        {f.Image1, {328, 400, 50, 54}},
    };
    for (const auto& [widget, rect] : boxes) EXPECT_EQ(widget->geometry(), rect) << widget->metaObject()->className();
    EXPECT_EQ(f.Label2->x(), 336);  // its height follows the name's baseline
    EXPECT_EQ(f.StaticText2->pos(), QPoint(24, 416));
    // Items placed by their corner show their whole text.
    for (QLabel* l : {f.Label2, f.StaticText2}) EXPECT_GE(l->width(), l->sizeHint().width()) << l->text().toStdString();
    // Tulips lie above olives.
    EXPECT_GT(f.client->children().indexOf(f.Image4), f.client->children().indexOf(f.Image2));
    EXPECT_EQ(f.Label2->text(), u("殿"));
    EXPECT_EQ(f.StaticText2->text(), u("タテヨコ塾 師範"));
    EXPECT_EQ(f.StaticText3->text(), u("九九 zed"));
    EXPECT_EQ(f.NoLabel->text(), u("No."));
    const QDate today = QDate::currentDate();
    EXPECT_EQ(f.StaticText4->text(), QString::fromStdString(dateLine(today.year(), today.month(), today.day())));
}

TEST(CertificateWindow, AnEnlargedWindowStaysWhiteAroundTheSheet) {
    Cert c(-1, 2);
    TCertForm2& f = *c.form;
    f.resize(600, 700);
    QApplication::processEvents();
    const QImage shot = f.grab().toImage();
    for (const QPoint& p : {QPoint(590, 690), QPoint(500, 100), QPoint(50, 650)})
        EXPECT_EQ(shot.pixelColor(p), QColor(Qt::white)) << p.x() << "," << p.y();
}

TEST(CertificateWindow, EachKindShowsItsTitleBandsAndLines) {
    struct Case {
        int certKind, rangeIndex;
        QLabel* TCertForm2::*title;
        bool tulips, olives;
        const char *line1, *line2;
    };
    const Case cases[] = {
        {-1, 2, &TCertForm2::StaticText5, true, false, "九九術 五の段 を", "　達成したことを"},
        {-1, 11, &TCertForm2::StaticText5, true, false, "九九術 八・七・九の段 を", "　達成したことを"},
        {1, 2, &TCertForm2::StaticText7, false, true, "九九術 マスター位を", "　習得したことを"},
        {0, 2, &TCertForm2::StaticText1, true, true, "九九術 免許皆伝を", "　取得したことを"},
    };
    for (const Case& k : cases) {
        Cert c(k.certKind, k.rangeIndex);
        TCertForm2& f = *c.form;
        for (QLabel* TCertForm2::*title : {&TCertForm2::StaticText5, &TCertForm2::StaticText7, &TCertForm2::StaticText1})
            EXPECT_EQ((f.*title)->isVisible(), title == k.title) << k.line1;
        EXPECT_EQ(f.Image4->isVisible(), k.tulips) << k.line1;
        EXPECT_EQ(f.Image5->isVisible(), k.tulips) << k.line1;
        EXPECT_EQ(f.Image2->isVisible(), k.olives) << k.line1;
        EXPECT_EQ(f.Image3->isVisible(), k.olives) << k.line1;
        EXPECT_EQ(f.Label3->text(), u(k.line1));
        EXPECT_EQ(f.Label4->text(), u(k.line2));
        EXPECT_EQ(f.Label5->text(), u("　ここに証する。"));
        EXPECT_EQ(f.Label1->text(), u("やまだ はなこ"));
        EXPECT_EQ(f.StaticText6->text(), u("1234567"));
    }
    EXPECT_EQ(u("九九術 段級位認定書"), Cert(-1, 0).form->StaticText5->text());
    EXPECT_EQ(u("九九術 マスター認定書"), Cert(1, 0).form->StaticText7->text());
    EXPECT_EQ(u("九九術 免許皆伝書"), Cert(0, 0).form->StaticText1->text());
}

// Titles in the brush hand, the child's name and the lines in Mincho, the
// number and 殿 in the program's Gothic: each falls back only where its face
// is missing.
TEST(CertificateWindow, EachTextIsSetInItsFace) {
    Cert c(-1, 2);
    TCertForm2& f = *c.form;
    auto shown = [](const QLabel* l) { return QFontInfo(l->font()).family(); };
    const QStringList brush{u("KouzanBrushFontGyousyo"), u("AoyagiKouzanFontT")};
    const QStringList mincho{u("IPAMincho"), u("IPAPMincho")};
    const QStringList families = QFontDatabase::families();
    for (const QLabel* title : {f.StaticText5, f.StaticText7, f.StaticText1}) {
        if (families.contains(brush[0]) || families.contains(brush[1])) EXPECT_TRUE(brush.contains(shown(title)));
        else EXPECT_EQ(shown(title), japaneseFamily());
    }
    for (const QLabel* line : {f.Label1, f.Label3, f.Label4, f.Label5, f.StaticText4, f.StaticText2}) {
        if (families.contains(mincho[0]) || families.contains(mincho[1])) EXPECT_TRUE(mincho.contains(shown(line)));
        else EXPECT_EQ(shown(line), japaneseFamily());
    }
    for (const QLabel* gothic : {f.Label2, f.NoLabel, f.StaticText6}) EXPECT_EQ(shown(gothic), japaneseFamily());
}

// What a child takes home is never cut: every line of every kind fits its
// box; a name too long for its line is drawn smaller, then set in two lines
// (at the space between its words where that fits), and only a name longer
// than two lines hold is shortened, in the middle of its second line; a
// screen reader reads it whole; 殿 stands on the baseline of its last line.
TEST(CertificateWindow, EveryLineAndEveryNameFitsItsBox) {
    const auto fits = [](const QLabel* l) {
        for (const QString& line : l->text().split('\n'))
            if (l->fontMetrics().horizontalAdvance(line) > l->contentsRect().width()) return false;
        return true;
    };
    const auto baseline = [](const QLabel* l, bool centred) {
        const QFontMetrics m(l->font());
        const int below = int(l->text().count('\n')) * m.lineSpacing();
        return l->y() + (centred ? (l->height() - below - m.height()) / 2 : 0) + below + m.ascent();
    };
    for (int kind : {-1, 0, 1})
        for (int range = 0; range < kRangeCount; ++range) {
            Cert c(kind, range);
            for (const QLabel* l : {c.form->Label3, c.form->Label4, c.form->Label5, c.form->StaticText4})
                EXPECT_TRUE(fits(l)) << kind << "/" << range << ": " << l->text().toStdString();
        }
    struct Name {
        int length;
        std::string text;
        int lines;
        bool shortened;
    };
    const Name names[] = {
        {1, "あ", 1, false},
        {7, "やまだ はなこ", 1, false},
        {10, "わたなべ ゆうたろう", 1, false},
        {15, "たかはし ゆうたろうまるのすけ", 2, false},
        {18, "ながさわやま ゆうたろうまるのすけえ", 2, false},
        {20, "Alexandra Wolfeschle", 1, false},
        {20, "じゅげむじゅげむごこうのすりきれかいじゃ", 2, false},  // no space to break at
        {20, "あ じゅげむじゅげむごこうのすりきれかい", 2, false},  // its space breaks it too unevenly
        {20, "ＷＷＷＷＷＷＷＷＷＷ　ＷＷＷＷＷＷＷＷＷ", 2, false},
        {40, "じゅげむじゅげむごこうのすりきれかいじゃりすいぎょのすいぎょうまつうんらいまつふ", 2, true},
        {40, "ＷＷＷＷＷＷＷＷＷＷＷＷＷＷＷＷＷＷＷＷ ＷＷＷＷＷＷＷＷＷＷＷＷＷＷＷＷＷＷＷ", 2, true},
    };
    for (int kind : {-1, 0, 1})
        for (const Name& name : names) {
            Cert c(kind, 2);
            c.st.studentName = name.text;
            c.form->client->repaint();
            const QLabel* shown = c.form->Label1;
            const QString whole = QString::fromStdString(name.text);
            const QString text = shown->text();
            ASSERT_EQ(whole.size(), name.length) << name.text;
            EXPECT_TRUE(fits(shown)) << name.text;
            EXPECT_GE(QFontInfo(shown->font()).pixelSize(), 14) << name.text;
            EXPECT_EQ(shown->accessibleName(), whole);
            EXPECT_EQ(text.count('\n') + 1, name.lines) << text.toStdString();
            // Clear of the title above and of the first line below.
            EXPECT_GE(shown->y(), c.form->StaticText5->geometry().bottom()) << name.text;
            EXPECT_LE(shown->geometry().bottom(), c.form->Label3->y()) << name.text;
            const QString joined = QString(text).replace('\n', ' ');
            const bool shownWhole = joined == whole || QString(text).remove('\n') == whole ||
                                    QString(text).replace('\n', QChar(0x3000)) == whole;
            EXPECT_EQ(!shownWhole, name.shortened) << text.toStdString();
            if (name.shortened) {
                const QString first = text.section('\n', 0, 0), second = text.section('\n', 1);
                EXPECT_TRUE(whole.startsWith(first)) << text.toStdString();
                EXPECT_TRUE(second.contains(u("…")));
                EXPECT_TRUE(whole.mid(first.size()).trimmed().startsWith(second.section(u("…"), 0, 0)))
                    << text.toStdString();
                EXPECT_TRUE(whole.endsWith(second.section(u("…"), 1))) << text.toStdString();
                EXPECT_EQ(shown->toolTip(), whole);
            }
            EXPECT_EQ(baseline(c.form->Label2, false), baseline(shown, true)) << name.text;
        }
}

TEST(CertificateWindow, EveryPaintFollowsTheStudyState) {
    Cert c(-1, 2);
    c.st.certKind = 1;
    c.st.studentNo = 42;
    c.form->client->repaint();
    EXPECT_TRUE(c.form->StaticText7->isVisible());
    EXPECT_FALSE(c.form->StaticText5->isVisible());
    EXPECT_EQ(c.form->Label3->text(), u("九九術 マスター位を"));
    EXPECT_EQ(c.form->StaticText6->text(), u("42"));
}

TEST(CertificateWindow, CloseEntryCloses) {
    Cert c(1, 0);
    c.form->C1->trigger();
    EXPECT_FALSE(c.form->isVisible());
}
