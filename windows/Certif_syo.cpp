#include "windows/Certif_syo.h"

#include <QDate>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QVBoxLayout>

#include "main/core/StudyState.h"
#include "support/CupsPrint.h"
#include "support/Fonts.h"
#include "support/FormKit.h"
#include "support/Picture.h"
#include "windows/PrintBoxes.h"
#include "windows/core/Certificate.h"

namespace {

constexpr int kNamePx = 24;
// The smallest sizes at which a name on the certificate still reads well:
// on a line of its own beside 殿, and set in two lines.
constexpr int kNameLineFloorPx = 16;
constexpr int kNameFloorPx = 14;
// The name's line, and how high a name of two lines may reach: clear of the
// title above.
constexpr QRect kNameBox{120, 120, 202, 24};
constexpr int kNameTop = 105;

// A missing or damaged picture gives a null pixmap, which leaves its box empty.
QPixmap picture(const QString& base, const QString& suffix) { return loadPicture(base + suffix); }

QLabel* image(QWidget* parent, const QRect& geometry, const QString& base, const QString& suffix) {
    auto* l = new QLabel(parent);
    l->setGeometry(geometry);
    l->setScaledContents(true);
    l->setPixmap(picture(base, suffix));
    return l;
}

QLabel* text(QWidget* parent, const QRect& geometry, const char* content, const QFont& font, const QColor& colour,
             Qt::Alignment align) {
    QLabel* l = kit::label(parent, geometry, content, {13, colour, true, align});
    l->setFont(font);
    return l;
}

// A title on its own coloured ground.
QLabel* title(QWidget* parent, const QRect& geometry, const char* content, int px, const QColor& ground,
              const QColor& colour = Qt::black) {
    QLabel* l = text(parent, geometry, content, faceFont(Face::Gyousho, px, true), colour, Qt::AlignCenter);
    kit::fillBackground(l, ground);
    return l;
}

// The widest of the lines in the font.
int widest(const QFont& font, const QStringList& lines) {
    const QFontMetrics m(font);
    int w = 0;
    for (const QString& line : lines) w = std::max(w, m.horizontalAdvance(line));
    return w;
}

// The largest size, down to the floor, at which every line is as wide as the
// box at most; 0 when none is.
int largestFitting(QFont font, const QStringList& lines, int width, int fromPx, int floorPx) {
    for (int px = fromPx; px >= floorPx; --px) {
        font.setPixelSize(px);
        if (widest(font, lines) <= width) return px;
    }
    return 0;
}

struct NameSetting {
    QFont font;
    QStringList lines;
    bool shortened = false;
};

// A name on one line while it fits at a legible size, else on two: broken at
// the space between family and given name where that fits, else between the
// letters where the two halves come out most even. A name too long for two
// lines at the floor keeps its first line whole and is shortened in the
// middle of the second.
NameSetting setName(const QString& name, const QFont& font, int width, int lineFloorPx, int floorPx) {
    if (int px = largestFitting(font, {name}, width, font.pixelSize(), lineFloorPx)) {
        QFont f = font;
        f.setPixelSize(px);
        return {f, {name}};
    }
    NameSetting best{font, {}};
    int bestPx = 0;
    const auto consider = [&](const QStringList& lines) {
        if (int px = largestFitting(font, lines, width, font.pixelSize(), floorPx); px > bestPx) {
            bestPx = px;
            best.lines = lines;
        }
    };
    for (int i = 1; i + 1 < name.size(); ++i)
        if (name[i] == ' ' || name[i] == QChar(0x3000)) consider({name.left(i), name.mid(i + 1)});
    if (bestPx == 0)
        for (int i = 1; i < name.size(); ++i) consider({name.left(i), name.mid(i)});
    if (bestPx > 0) {
        best.font.setPixelSize(bestPx);
        return best;
    }
    QFont f = font;
    f.setPixelSize(floorPx);
    const QFontMetrics m(f);
    int cut = 1;
    while (cut < name.size() && m.horizontalAdvance(name.left(cut + 1)) <= width) ++cut;
    const QString rest = name.mid(cut).trimmed();
    return {f, {name.left(cut).trimmed(), m.elidedText(rest, Qt::ElideMiddle, width)}, true};
}

}  // namespace

TCertForm2::TCertForm2(StudyState& st, QWidget* parent)
    : QDialog(parent), st_(st) {
    setObjectName("CertForm2");
    setWindowTitle(kit::u("証明書フォーマット"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    kit::fillBackground(this, Qt::white);
    auto* menuBar = new QMenuBar(this);
    menuBar->setNativeMenuBar(false);
    QMenu* menu = menuBar->addMenu(kit::u("そうさ(&E)"));
    Print1 = menu->addAction(kit::u("印刷(&P)"), this, [this] { PrintClick(); });
    menu->addSeparator();
    C1 = menu->addAction(kit::u("閉じる(&C)"), this, &TCertForm2::C1Click);

    client = new QWidget(this);
    client->setObjectName("client");
    kit::fillBackground(client, Qt::white);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar);
    layout->addWidget(client);
    resize(410, 585);

    buildControls();
    const QDate today = QDate::currentDate();
    StaticText4->setText(kit::u(dateLine(today.year(), today.month(), today.day())));
    FormPaint();
    client->installEventFilter(this);
}

void TCertForm2::buildControls() {
    const QString art = QStringLiteral(":/resources/");
    Image2 = image(client, {0, 8, 393, 41}, art + "cert_olive", ".jpg");
    Image3 = image(client, {0, 472, 393, 41}, art + "cert_olive", ".jpg");
    Image4 = image(client, {0, 8, 393, 37}, art + "cert_tulip", ".jpg");
    Image5 = image(client, {0, 472, 393, 37}, art + "cert_tulip", ".jpg");

    StaticText5 = title(client, {24, 64, 340, 39}, "九九術 段級位認定書", 35, QColor(128, 255, 128));
    StaticText7 = title(client, {12, 64, 372, 37}, "九九術 マスター認定書", 33, QColor(241, 238, 118));
    StaticText1 = title(client, {40, 64, 304, 39}, "九九術 免許皆伝書", 35, QColor(250, 247, 184), Qt::blue);
    StaticText1->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    Label1 = text(client, kNameBox, "くく はじめ", faceFont(Face::Mincho, kNamePx, true), Qt::black,
                  Qt::AlignRight | Qt::AlignVCenter);
    // Placed by their corner only: they take the size of their text.
    Label2 = text(client, {336, 120, 0, 0}, "殿", faceFont(Face::Gothic, 24, true), Qt::black, Qt::AlignLeft);
    Label2->adjustSize();
    Label3 = text(client, {16, 176, 360, 33}, "", faceFont(Face::ProportionalMincho, 33, true), Qt::black,
                  Qt::AlignCenter);
    Label4 = text(client, {16, 240, 321, 33}, "", faceFont(Face::ProportionalMincho, 32, true), Qt::black,
                  Qt::AlignCenter);
    Label5 = text(client, {16, 304, 305, 33}, "", faceFont(Face::ProportionalMincho, 32, true), Qt::black,
                  Qt::AlignCenter);
    Image6 = image(client, {296, 288, 60, 60}, art + "cert_seal", ".jpg");

    StaticText4 = text(client, {28, 368, 241, 23}, "", faceFont(Face::Mincho, 19, true), Qt::black,
                       Qt::AlignLeft | Qt::AlignVCenter);
    Panel1 = kit::panel(client, {274, 360, 113, 28}, "", {16}, kit::kYellow);
    NoLabel = text(Panel1, {6, 4, 30, 20}, "No.", faceFont(Face::Gothic, 16, true), Qt::red, Qt::AlignLeft);
    StaticText6 = text(Panel1, {36, 4, 72, 20}, "", faceFont(Face::Gothic, 16, true), Qt::blue, Qt::AlignLeft);

    StaticText2 = text(client, {24, 416, 0, 0}, "タテヨコ塾 師範", faceFont(Face::Mincho, 16, true), Qt::black,
                       Qt::AlignLeft | Qt::AlignVCenter);
    StaticText2->adjustSize();
    // Centred: the brush font is narrower than the box, and so the name
    // keeps clear of the title before it.
    StaticText3 = text(client, {136, 408, 183, 41}, "九九 zed", faceFont(Face::Gyousho, 37, true), Qt::black,
                       Qt::AlignCenter);
    Image1 = image(client, {328, 400, 50, 54}, art + "cert_portrait", ".png");
}

void TCertForm2::FormPaint() {
    const CertificateText t = certificateText(st_);
    StaticText5->setVisible(t.kind == CertKind::Range);
    StaticText7->setVisible(t.kind == CertKind::Master);
    StaticText1->setVisible(t.kind == CertKind::Kaiden);
    for (QLabel* band : {Image2, Image3}) band->setVisible(t.oliveBands);
    for (QLabel* band : {Image4, Image5}) band->setVisible(t.tulipBands);
    const QString holder = kit::u(t.holder);
    if (holder != shownHolder_ || shownHolder_.isNull()) showHolder(holder);
    Label3->setText(kit::u(t.line1));
    Label4->setText(kit::u(t.line2));
    Label5->setText(kit::u(t.line3));
    StaticText6->setText(kit::u(t.number));
}

bool TCertForm2::eventFilter(QObject* watched, QEvent* event) {
    // The kind and texts follow the study state at every paint; unchanged
    // texts and visibilities cause no further paint.
    if (watched == client && event->type() == QEvent::Paint) FormPaint();
    return QDialog::eventFilter(watched, event);
}

bool TCertForm2::PrintClick() {
    const QPixmap image = client->grab();
    PrintJob* job = newPrintJob(this, kit::u("証明書"));
    job->print(kit::u("証明書"), [&image](QPainter& painter, QPagedPaintDevice& page) {
        // At its size on screen, from the corner of the printable area.
        const QSizeF size = image.deviceIndependentSize();
        painter.drawPixmap(QRect(0, 0, printedLength(qRound(size.width()), page.logicalDpiX()),
                                 printedLength(qRound(size.height()), page.logicalDpiY())),
                           image);
        return true;
    });
    return job->sent();
}

// A long name is drawn smaller, then set in two lines, never cut; 殿 stands
// on the baseline of its last line.
void TCertForm2::showHolder(const QString& holder) {
    shownHolder_ = holder.isNull() ? QString("") : holder;
    const NameSetting set = setName(shownHolder_, faceFont(Face::Mincho, kNamePx, true), kNameBox.width(),
                                    kNameLineFloorPx, kNameFloorPx);
    const QFontMetrics name(set.font);
    // Two lines grow above and below the one line's place, between the title
    // and the first line of the text.
    const int height = set.lines.size() == 1 ? kNameBox.height()
                                             : (int(set.lines.size()) - 1) * name.lineSpacing() + name.height();
    const int top = std::max(kNameTop, kNameBox.y() + kNameBox.height() / 2 - height / 2);
    Label1->setGeometry(kNameBox.x(), top, kNameBox.width(), height);
    Label1->setFont(set.font);
    const QString shown = set.lines.join('\n');
    Label1->setText(shown);
    Label1->setAccessibleName(shownHolder_);
    Label1->setToolTip(set.shortened ? shownHolder_ : QString());
    const int below = (int(set.lines.size()) - 1) * name.lineSpacing();
    const int baseline = top + (height - below - name.height()) / 2 + below + name.ascent();
    Label2->move(Label2->x(), baseline - Label2->fontMetrics().ascent());
}

void TCertForm2::C1Click() { close(); }
