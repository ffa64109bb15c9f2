// Controls the program paints itself: the bar of questions done and the
// coloured group boxes. What a child sees is checked pixel by pixel.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QTextLayout>
#include <QImage>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <functional>
#include <memory>
#include <utility>

#include "main/MasumeCanvas.h"
#include "support/FormKit.h"

namespace {

QImage shot(QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); }

// The columns of the bar's middle row that are red.
int redColumns(const QImage& image) {
    int red = 0;
    for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, image.height() / 2) == QColor(Qt::red).rgb()) ++red;
    return red;
}

}  // namespace

TEST(ProgressStrip, RedGrowsWithTheQuestionsDoneInsideAGreyLine) {
    ProgressStrip bar;
    bar.setFixedSize(401, 15);
    bar.setRange(0, 81);
    bar.setValue(0);
    QImage empty = shot(bar);
    EXPECT_EQ(redColumns(empty), 0);
    EXPECT_EQ(empty.pixel(200, 7), QColor(Qt::white).rgb());
    for (QPoint edge : {QPoint(0, 7), QPoint(400, 7), QPoint(200, 0), QPoint(200, 14)})
        EXPECT_EQ(empty.pixel(edge), QColor(0x80, 0x80, 0x80).rgb()) << edge.x() << "," << edge.y();

    bar.setValue(27);
    const QImage third = shot(bar);
    EXPECT_NEAR(redColumns(third), 399 / 3, 1);
    EXPECT_EQ(third.pixel(1, 7), QColor(Qt::red).rgb());  // from the left, inside the line
    EXPECT_EQ(third.pixel(0, 7), QColor(0x80, 0x80, 0x80).rgb());
    EXPECT_EQ(third.pixel(300, 7), QColor(Qt::white).rgb());

    bar.setValue(81);
    const QImage full = shot(bar);
    EXPECT_EQ(redColumns(full), 399);
    EXPECT_EQ(full.pixel(400, 7), QColor(0x80, 0x80, 0x80).rgb());
    EXPECT_EQ(full.pixel(200, 1), QColor(Qt::red).rgb());
    EXPECT_EQ(full.pixel(200, 13), QColor(Qt::red).rgb());

    bar.setRange(10, 91);  // counted from the range's start
    bar.setValue(37);
    EXPECT_NEAR(redColumns(shot(bar)), 399 / 3, 1);

    bar.setRange(5, 5);  // an empty range shows nothing done rather than dividing by zero
    EXPECT_EQ(redColumns(shot(bar)), 0);
}

TEST(MasumeCanvas, TheBalloonAndThePointerAppearWhenAsked) {
    MasumeCanvas canvas;
    canvas.setFixedSize(622, 542);
    canvas.setBackground(QColor(0, 128, 128));
    const QRgb background = QColor(0, 128, 128).rgb();
    const QPoint balloon(260, 445), tail(188, 444), pointer(505, 287);
    QImage plain = shot(canvas);
    for (QPoint at : {balloon, tail, pointer}) EXPECT_EQ(plain.pixel(at), background);
    canvas.showBalloon();
    QImage withBalloon = shot(canvas);
    EXPECT_EQ(withBalloon.pixel(balloon), QColor(Qt::yellow).rgb());
    EXPECT_EQ(withBalloon.pixel(tail), QColor(Qt::yellow).rgb());
    EXPECT_EQ(withBalloon.pixel(pointer), background);
    canvas.showPointer();
    EXPECT_EQ(shot(canvas).pixel(pointer), QColor(Qt::red).rgb());
}

// A change shows on the screen by itself: the window is not left stale
// until something else makes it paint.
TEST(MasumeCanvas, EachChangeRepaintsAShownCanvas) {
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) ++paints;
            return false;
        }
    } counter;
    MasumeCanvas canvas;
    canvas.setFixedSize(622, 542);
    canvas.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&canvas));
    canvas.installEventFilter(&counter);
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"colour", [&] { canvas.setBackground(QColor(10, 20, 30)); }},
        {"balloon", [&] { canvas.showBalloon(); }},
        {"pointer", [&] { canvas.showPointer(); }},
    };
    for (const auto& [what, change] : changes) {
        QTest::qWait(20);
        counter.paints = 0;
        change();
        EXPECT_TRUE(QTest::qWaitFor([&] { return counter.paints >= 1; }, 2000)) << what;
    }
}

TEST(ColouredGroup, FilledFramedAndTitledInItsColours) {
    QWidget parent;
    parent.setFixedSize(200, 150);
    const QColor frame(0xb0, 0xa0, 0x00);
    QGroupBox* groove =
        kit::group(&parent, {10, 10, 106, 95}, "進め方", {kit::kYellow, frame, true, 3, {8, 4}, kit::kNavy}, 13);
    auto* radio = new QRadioButton(kit::u("ステップ"), groove);
    radio->setGeometry(10, 40, 90, 18);
    const QImage g = shot(*groove);
    EXPECT_EQ(g.pixel(60, 80), QColor(kit::kYellow).rgb());
    // The groove: dark outside and light inside at the top and left, the other
    // way round at the bottom and right.
    const QColor light = frame.lighter(150);
    EXPECT_EQ(g.pixel(0, 47), frame.rgb());
    EXPECT_EQ(g.pixel(1, 47), light.rgb());
    EXPECT_EQ(g.pixel(50, 0), frame.rgb());
    EXPECT_EQ(g.pixel(50, 1), light.rgb());
    EXPECT_EQ(g.pixel(105, 47), light.rgb());
    EXPECT_EQ(g.pixel(104, 47), frame.rgb());
    EXPECT_EQ(g.pixel(50, 94), light.rgb());
    EXPECT_EQ(g.pixel(50, 93), frame.rgb());
    // The title in navy, where it was placed, above the first button.
    auto inkIn = [&](const QImage& image, const QRect& area, const QColor& ink) {
        int found = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (image.pixel(x, y) == ink.rgb()) ++found;
        return found;
    };
    EXPECT_GT(inkIn(g, {8, 4, 50, 18}, kit::kNavy), 10);
    EXPECT_EQ(inkIn(g, {0, 0, 8, 95}, kit::kNavy), 0);
    groove->setEnabled(false);  // a title of its own colour keeps it when disabled
    EXPECT_GT(inkIn(shot(*groove), {8, 4, 50, 18}, kit::kNavy), 10);

    // The usual look: one line a shade darker than the fill, the title in the
    // palette's text colour, greyed when disabled.
    QGroupBox* plain = kit::group(&parent, {0, 0, 120, 60}, "音声設定", kit::kCream, 12);
    const QImage p = shot(*plain);
    EXPECT_EQ(p.pixel(0, 30), QColor(kit::kCream.darker(160)).rgb());
    EXPECT_EQ(p.pixel(1, 30), QColor(kit::kCream).rgb());
    EXPECT_EQ(p.pixel(60, 40), QColor(kit::kCream).rgb());
    const QColor text = plain->palette().color(QPalette::Active, QPalette::WindowText);
    EXPECT_GT(inkIn(p, {6, 3, 50, 16}, text), 5);
    plain->setEnabled(false);
    EXPECT_EQ(inkIn(shot(*plain), {6, 3, 50, 16}, text), 0);
}

TEST(Panel, RaisedTwoPixelFrameAroundItsFill) {
    QWidget parent;
    QLabel* panel = kit::panel(&parent, {0, 0, 58, 22}, "もくじ", {13});
    const QImage p = shot(*panel);
    const QRgb fill = kit::kButtonFace.rgb();
    auto brightness = [&](int x, int y) { return qGray(p.pixel(x, y)); };
    // Light above and to the left, dark below and to the right, two pixels
    // deep, then the fill.
    for (int depth : {0, 1}) {
        EXPECT_GT(brightness(depth, 11), qGray(fill)) << depth;
        EXPECT_GT(brightness(29, depth), qGray(fill)) << depth;
        EXPECT_LT(brightness(57 - depth, 11), qGray(fill)) << depth;
        EXPECT_LT(brightness(29, 21 - depth), qGray(fill)) << depth;
    }
    EXPECT_EQ(p.pixel(3, 11), fill);
}

// A grid whose cells follow the study state: after a refresh the view shows
// the new values, and the change it announces (to views and screen readers)
// spans every cell, no more.
TEST(CellModel, ARefreshAnnouncesEveryCellAndTheGridShowsTheNewValues) {
    int base = 1;
    auto* model = new kit::CellModel(3, 4, [&base](int row, int column, int role) -> QVariant {
        if (role != Qt::DisplayRole) return {};
        return QString::number(base * 100 + row * 10 + column);
    });
    QWidget parent;
    QTableView* view = kit::grid(&parent, {0, 0, 260, 80}, model, 20, {60}, QFont());
    QModelIndex first, last;
    int announced = 0;
    QObject::connect(model, &QAbstractItemModel::dataChanged, &parent, [&](const QModelIndex& a, const QModelIndex& b) {
        first = a, last = b, ++announced;
    });
    base = 7;
    model->refresh();
    ASSERT_EQ(announced, 1);
    ASSERT_TRUE(first.isValid() && last.isValid());
    EXPECT_EQ(std::pair(first.row(), first.column()), std::pair(0, 0));
    EXPECT_EQ(std::pair(last.row(), last.column()), std::pair(2, 3));
    EXPECT_EQ(view->model()->index(2, 3).data().toString(), QStringLiteral("723"));
    // An empty grid has nothing to announce.
    kit::CellModel empty(0, 4, [](int, int, int) { return QVariant(); });
    QObject::connect(&empty, &QAbstractItemModel::dataChanged, &empty, [&] { ++announced; });
    empty.refresh();
    EXPECT_EQ(announced, 1);
}

namespace {
// Where each line but the last of the text, laid out as a wrapping label
// lays it out, ends: the letters before the break, word joiners left out.
QStringList linesAt(const QString& text, const QFont& font, int width) {
    QStringList lines;
    for (const QString& paragraph : text.split('\n')) {
        QTextLayout layout(paragraph, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines << paragraph.mid(line.textStart(), line.textLength()).remove(QChar(0x2060));
        }
        layout.endLayout();
    }
    return lines;
}
}  // namespace

// A line of a box ends only at a space, after 、。，．！？ or a slash, or
// where the text ends a line itself; a word longer than any box may break.
TEST(BoxLines, BreakOnlyBetweenWordsAtEveryWidth) {
    const QString lease = QString::fromUtf8(
        "「はなこ」さんの きろくは いま ほかの コンピュータ（pc-12）でも ひらいています。\n"
        "りょうほうで つづけると，あとから ほぞんした ほうの きろくだけが のこります。");
    const QString path = QString::fromUtf8("ファイル「/home/hanako/.config/mizunara/tateyokom/tateyokoM15.ini」に書き込めませんでした");
    const QString emoji = QString::fromUtf8("ほし🌟が みっつ 😀😀😀 もらえたよ。");
    const QFont font = kit::pixelFont(13);
    struct Row {
        const QString& text;
        int width;
        bool inside;  // a word broken inside: only a word longer than any box
    };
    const Row rows[] = {{lease, 120, false}, {lease, 200, false}, {lease, 330, false},
                        {emoji, 60, false},  {emoji, 150, false}, {path, 150, true}};
    const QString breakable = QString::fromUtf8(" 　、。，．！？/");
    for (const Row& row : rows) {
        const QString kept = kit::keepWordsWhole(row.text);
        EXPECT_EQ(QString(kept).remove(QChar(0x2060)), row.text) << "no letter added, dropped or moved";
        bool brokeInside = false;
        const QStringList lines = linesAt(kept, font, row.width);
        for (int i = 0; i + 1 < lines.size(); ++i) {
            const QString& line = lines[i];
            if (line.isEmpty()) continue;
            const bool atParagraphEnd = row.text.contains(line + "\n") || row.text.endsWith(line);
            if (!atParagraphEnd && !breakable.contains(line.back())) brokeInside = true;
        }
        EXPECT_EQ(brokeInside, row.inside) << row.width << ": " << lines.join(" | ").toStdString();
        EXPECT_GT(lines.size(), row.text.count('\n') + 1) << row.width << ": wrapped at all";
    }
    // Without it, the same box breaks inside a word: the rows do test something.
    const QStringList plain = linesAt(lease, font, 200);
    bool plainInside = false;
    for (int i = 0; i + 1 < plain.size(); ++i)
        if (!plain[i].isEmpty() && !breakable.contains(plain[i].back()) && !lease.contains(plain[i] + "\n"))
            plainInside = true;
    EXPECT_TRUE(plainInside) << plain.join(" | ").toStdString();

    // A message box that wraps lays its text out between words; one too
    // short to wrap keeps its text to the letter.
    std::unique_ptr<QObject> filter(kit::breakBoxLinesBetweenWords(qApp));
    const QString shortText = QString::fromUtf8("まず，なまえを記入してください。");
    for (const QString& text : {lease, shortText}) {
        QMessageBox box(QMessageBox::Information, QString::fromUtf8("ちゅうい"), text);
        box.show();
        const QLabel* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        ASSERT_TRUE(label);
        EXPECT_EQ(label->text(), text == lease ? kit::keepWordsWhole(lease) : shortText);
        box.close();
    }
}
