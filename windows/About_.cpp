#include "windows/About_.h"

#include <QFile>
#include <QFrame>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

#include "support/FormKit.h"
#include "support/Picture.h"
#include "main/core/SpokenReadings.h"

namespace {

const QColor kPanelGreen(202, 253, 193);
const QColor kMakerGreen(0, 128, 0);

// A label at (x, y); a face wider than the one the box was laid out for is
// drawn narrower so that the text keeps to `maxWidth`.
QLabel* textAt(QWidget* parent, int x, int y, int maxWidth, std::string_view text, const kit::Look& look) {
    QLabel* label = kit::label(parent, {x, y, maxWidth, look.px + 6}, text, look);
    QFont font = label->font();
    const int natural = QFontMetrics(font).horizontalAdvance(label->text());
    if (natural > maxWidth) {
        font.setStretch(std::max(50, 100 * maxWidth / natural));
        label->setFont(font);
    }
    return label;
}

// Pictures come from the resources; a missing one leaves its box empty.
QLabel* picture(QWidget* parent, const QRect& box, const QString& resource) {
    auto* label = new QLabel(parent);
    label->setGeometry(box);
    label->setPixmap(loadPicture(resource));
    return label;
}

constexpr int kVoiceCreditHeight = 40;

}  // namespace

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutForm"));
    // The voice's licence asks for its credit wherever it ships.
    const bool voiceShips = QFile::exists(QString::fromStdString(spokenFileName(Spoken::Chant, 0)));
    const kit::Form form =
        kit::buildForm(this, "バージョン情報", 190, 129 + (voiceShips ? kVoiceCreditHeight : 0), kit::kLightYellow, false);
    kit::keepOpenOnEscape(this);
    // A fixed dialog: no minimise button.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    Panel1 = new QFrame(form.client);
    Panel1->setGeometry(0, 0, 190, 73);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    kit::fillBackground(Panel1, kPanelGreen);
    buildTopPanel();

    Image2 = picture(form.client, {8, 80, 32, 32}, QStringLiteral(":/resources/about_emblem.png"));
    Label4 = kit::label(form.client, {44, 80, 139, 19}, "みずなら舎", {19, kMakerGreen, true});

    Button1 = new QPushButton(kit::u("Ｏ Ｋ"), form.client);
    Button1->setGeometry(128, 105, 49, 21);
    Button1->setToolTip(kit::u("閉じます。"));
    Button1->setFont(kit::pixelFont(13, true));
    Button1->setStyleSheet(QStringLiteral("QPushButton { color: white; background-color: #2f8f4f; border: 1px solid #1c5c31;"
                                          " border-radius: 3px; }"
                                          "QPushButton:default { border: 2px solid #14401f; }"
                                          "QPushButton:pressed { background-color: #1f6f3a; }"));
    Button1->setDefault(true);
    Button1->setFocus();
    connect(Button1, &QPushButton::clicked, this, &TAboutForm::Button1Click);
    if (voiceShips) {
        voiceCredit = kit::label(form.client, {4, 130, 182, kVoiceCreditHeight - 2},
                                 "こえ: HTS Voice \"NITECH-JP-ATR503-M001\"\n"
                                 "© Nagoya Institute of Technology\n"
                                 "CC-BY 3.0",
                                 {9, Qt::black, false, Qt::AlignLeft | Qt::AlignTop});
        voiceCredit->setObjectName(QStringLiteral("voiceCredit"));
    }
}

void TAboutForm::buildTopPanel() {
    Label1 = textAt(Panel1, 10, 8, 178, "《九九をおぼえちゃおう--Key版》", {12, kit::kMaroon});
    Label2 = textAt(Panel1, 4, 24, 142, "『タテヨコ塾(M)』", {21, Qt::blue, true});
    Label3 = textAt(Panel1, 147, 28, 42, "v1.52", {16, kit::kNavy, true});
    Image1 = picture(Panel1, {157, 48, 20, 20}, QStringLiteral(":/resources/about_face.png"));
}

void TAboutForm::Button1Click() { accept(); }

