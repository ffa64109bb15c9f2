#include "windows/Kukujouken.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>
#include <climits>

#include "windows/Navigator.h"
#include "main/core/RunnerPorts.h"
#include "main/core/StudyState.h"
#include "support/Picture.h"
#include "main/core/Settings.h"
#include "main/core/VoiceChoice.h"
#include "support/FormKit.h"

namespace {

constexpr int kClientWidth = 259;
constexpr int kClientHeight = 230;
// The band of the spoken 九九, below the rest of the dialog.
constexpr int kVoiceBandHeight = 92;

constexpr int kTextPx = 12;

const QColor kFormColour(192, 220, 192);
using kit::kCream;
using kit::kLime;
using kit::kYellow;

using kit::setPixelFont;

QLabel* makeLabel(QWidget* parent, std::string_view text, const QRect& geometry,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    return kit::label(parent, geometry, text, {kTextPx, Qt::black, false, alignment});
}

QLabel* makeDiamond(QWidget* parent, const QColor& colour, const QRect& geometry) {
    return kit::label(parent, geometry, "◆", {14, colour, false, Qt::AlignCenter});
}

// A box left without a number shows the value in force again; the toolkit
// would put its lowest value there.
class NumberBox : public QSpinBox {
public:
    using QSpinBox::QSpinBox;
    void fixup(QString& input) const override {
        const bool hasDigit = std::any_of(input.begin(), input.end(), [](QChar c) { return c.isDigit(); });
        if (hasDigit) QSpinBox::fixup(input);
        else input = textFromValue(value());
    }
};

QSpinBox* makeNumberBox(QWidget* parent, int minimum, int maximum, int step,
                        const QRect& geometry) {
    auto* box = new NumberBox(parent);
    setPixelFont(box, 13);
    box->setRange(minimum, maximum);
    box->setSingleStep(step);
    box->setWrapping(false);
    // A number typed beyond either end settles at that end.
    box->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The dialog shows 3000 as "3,000" whatever the desktop's language is.
    box->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    box->setGroupSeparatorShown(true);
    // The palette of a coloured group would otherwise tint the field.
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, Qt::white);
    box->setPalette(palette);
    box->setGeometry(geometry);
    return box;
}

// The scale over the volume bar: its first word is drawn centred over the
// bar's first tick, its last over the last tick and the rest in between, so
// the blanks of the text need not match the font's width of a blank.
class ScaleLabel : public QLabel {
public:
    using QLabel::QLabel;

    // x of the first and last tick, in this label's parent's coordinates.
    void placeOver(int firstTickX, int lastTickX, int top, int height) {
        const QStringList words = text().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const QFontMetrics metrics(font());
        const int firstHalf = metrics.horizontalAdvance(words.value(0)) / 2;
        const int lastHalf = metrics.horizontalAdvance(words.value(words.size() - 1)) / 2;
        setGeometry(firstTickX - firstHalf, top,
                    lastTickX - firstTickX + firstHalf + lastHalf + 1, height);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const QStringList words = text().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.isEmpty()) {
            return;
        }
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        const QFontMetrics metrics(font());
        int used = 0;
        for (const QString& word : words) {
            used += metrics.horizontalAdvance(word);
        }
        const qreal gap = words.size() > 1
                              ? static_cast<qreal>(width() - used) / (words.size() - 1)
                              : 0.0;
        qreal x = words.size() > 1 ? 0.0 : (width() - used) / 2.0;
        for (const QString& word : words) {
            const int w = metrics.horizontalAdvance(word);
            painter.drawText(QRectF(x, 0, w + 1, height()), Qt::AlignLeft | Qt::AlignVCenter, word);
            x += w + gap;
        }
    }
};

// A number typed outside the box's range takes effect at the nearest end of
// it, so what the box shows is what is in force.
void settleNumberBox(QSpinBox* box, int (*clampValue)(int)) {
    QString digits = box->text();
    digits.remove(box->locale().groupSeparator());
    bool ok = false;
    const long long typed = digits.trimmed().toLongLong(&ok);
    if (ok) box->setValue(clampValue(int(std::clamp<long long>(typed, INT_MIN, INT_MAX))));
    else box->interpretText();
}

}  // namespace

TJoukenSetForm::TJoukenSetForm(StudyState& st, Navigator& navigator, Sound& sound, Clock& clock, QWidget* parent)
    : QDialog(parent), st_(st), navigator_(navigator), sound_(sound), clock_(clock) {
    setObjectName(QStringLiteral("JoukenSetForm"));
    client_ = kit::buildForm(this, "□「タテヨコ塾」の設定□", kClientWidth, kClientHeight + kVoiceBandHeight, kFormColour,
                             false)
                  .client;
    // A small tool window, as the settings always were.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setModal(true);
    setPixelFont(this, kTextPx);

    kit::keepOpenOnEscape(this);
    buildControls();
    FormCreate();
}

void TJoukenSetForm::buildControls() {
    buildSoundGroup();
    buildPassesGroup();
    buildPauseGroup();
    buildBottomRow();
    buildVoiceGroup();
    connectControls();
}

void TJoukenSetForm::buildSoundGroup() {
    // Sound: on/off, a test, and the volume.
    GroupBox1 = kit::group(client_, QRect(4, 3, 251, 100), "◎音声設定", kCream, kTextPx);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));

    CheckBox1 = new QCheckBox(QStringLiteral("効果音を使う"), GroupBox1);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    setPixelFont(CheckBox1, kTextPx);
    CheckBox1->setGeometry(12, 22, 112, 24);

    Button2 = kit::button(GroupBox1, {136, 20, 104, 27}, "効果音テスト", {.px = kTextPx});
    Button2->setObjectName(QStringLiteral("Button2"));

    auto* scale = new ScaleLabel(QStringLiteral("0       効果音の音量     Max"), GroupBox1);
    setPixelFont(scale, kTextPx);
    Label1 = scale;
    Label1->setObjectName(QStringLiteral("Label1"));

    EffectBar = new QSlider(Qt::Horizontal, GroupBox1);
    EffectBar->setObjectName(QStringLiteral("EffectBar"));
    EffectBar->setRange(0, 20);
    EffectBar->setSingleStep(1);
    EffectBar->setPageStep(2);
    EffectBar->setTickPosition(QSlider::TicksBelow);
    EffectBar->setTickInterval(1);
    EffectBar->setGeometry(10, 68, 229, 26);
    {
        // Ticks stand at the centre of the handle at each end of its travel.
        QStyleOptionSlider option;
        option.initFrom(EffectBar);
        option.orientation = Qt::Horizontal;
        option.minimum = EffectBar->minimum();
        option.maximum = EffectBar->maximum();
        option.tickPosition = EffectBar->tickPosition();
        option.tickInterval = EffectBar->tickInterval();
        const int handle = EffectBar->style()->pixelMetric(QStyle::PM_SliderLength, &option, EffectBar);
        const int first = EffectBar->x() + handle / 2;
        const int last = EffectBar->x() + EffectBar->width() - 1 - handle / 2;
        scale->placeOver(first, last, 50, 18);
    }
}

void TJoukenSetForm::buildPassesGroup() {
    // Practice passes.
    GroupBox2 = kit::group(client_, QRect(4, 107, 118, 78), "◎練習の回数", kLime, kTextPx);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    Label2 = makeDiamond(GroupBox2, Qt::red, QRect(8, 27, 16, 24));
    Label2->setObjectName(QStringLiteral("Label2"));
    UpDown1 = makeNumberBox(GroupBox2, 1, 9, 1, QRect(26, 26, 50, 26));
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    Edit1 = UpDown1->findChild<QLineEdit*>();
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Label3 = makeLabel(GroupBox2, "回", QRect(80, 27, 24, 24));
    Label3->setObjectName(QStringLiteral("Label3"));
    Label4 = makeLabel(GroupBox2, "(1～９回)", QRect(4, 55, 110, 18),
                       Qt::AlignCenter);
    Label4->setObjectName(QStringLiteral("Label4"));
}

void TJoukenSetForm::buildPauseGroup() {
    // Pause between formula and answer in timed practice.
    GroupBox3 = kit::group(client_, QRect(126, 107, 129, 78), "◎答の間(練習)", kYellow, kTextPx);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    Label5 = makeDiamond(GroupBox3, Qt::blue, QRect(6, 27, 16, 24));
    Label5->setObjectName(QStringLiteral("Label5"));
    UpDown2 = makeNumberBox(GroupBox3, 100, 3000, 100, QRect(23, 26, 68, 26));
    UpDown2->setObjectName(QStringLiteral("UpDown2"));
    Edit2 = UpDown2->findChild<QLineEdit*>();
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Label6 = makeLabel(GroupBox3, "m秒", QRect(94, 27, 32, 24));
    Label6->setObjectName(QStringLiteral("Label6"));
    Label7 = makeLabel(GroupBox3, "(100～3000ﾐﾘ秒)", QRect(3, 55, 123, 18),
                       Qt::AlignCenter);
    Label7->setObjectName(QStringLiteral("Label7"));
}

void TJoukenSetForm::buildBottomRow() {
    Image1 = new QLabel(client_);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(10, 190, 36, 36);
    Image1->setPixmap(loadPicture(QStringLiteral(":/resources/jouken_small.jpg")));

    Button4 = kit::button(client_, {66, 195, 92, 29}, "ヘルプ（&H）", {.px = kTextPx, .tip = "ヘルプを開きます。"});
    Button4->setObjectName(QStringLiteral("Button4"));

    Button1 = kit::button(client_, {164, 195, 88, 29}, "OK(&Y)", {.px = kTextPx, .bold = true, .tip = "設定をきめて閉じます。"});
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
}

void TJoukenSetForm::buildVoiceGroup() {
    voiceGroup = kit::group(client_, QRect(4, kClientHeight, 251, kVoiceBandHeight - 4), "◎九九の こえ", kit::kCream, kTextPx);
    voiceGroup->setObjectName(QStringLiteral("voiceGroup"));
    voiceBox = new QCheckBox(QStringLiteral("九九を こえで よむ"), voiceGroup);
    voiceBox->setObjectName(QStringLiteral("voiceBox"));
    setPixelFont(voiceBox, kTextPx);
    voiceBox->setGeometry(10, 18, 128, 22);
    voiceBox->setToolTip(QStringLiteral("練習で、九九を こえに 出して よみます。"));
    byEarBox = new QCheckBox(QStringLiteral("きいて こたえる"), voiceGroup);
    byEarBox->setObjectName(QStringLiteral("byEarBox"));
    setPixelFont(byEarBox, kTextPx);
    byEarBox->setGeometry(140, 18, 108, 22);
    byEarBox->setToolTip(QStringLiteral("テストの もんだいを こえで 出します。きこえ おわってから 時間を はかります。"));
    auto slider = [this](int top, const char* name, const char* text, int low, int high, const char* tip) {
        makeLabel(voiceGroup, text, QRect(10, top, 76, 20));
        auto* bar = new QSlider(Qt::Horizontal, voiceGroup);
        bar->setObjectName(QString::fromLatin1(name));
        bar->setRange(low, high);
        bar->setPageStep(1);
        bar->setGeometry(88, top, 152, 20);
        bar->setToolTip(QString::fromUtf8(tip));
        bar->setAccessibleName(QString::fromUtf8(text));
        return bar;
    };
    // Volume in steps of 10 (SIKISPVOLUME 0..100); speed in tenths (SIKISPRATE).
    voiceVolumeBar = slider(42, "voiceVolumeBar", "こえの 大きさ", 0, 10, "こえの 大きさ (0～100)");
    voiceRateBar = slider(64, "voiceRateBar", "はやさ", kVoiceRateSlowest, kVoiceRateFastest,
                          "よむ はやさ (10 が ふつう)");
    noVoiceLabel = makeLabel(voiceGroup, "（こえの ファイルが ありません）", QRect(10, 42, 230, 20), Qt::AlignCenter);
    noVoiceLabel->setObjectName(QStringLiteral("noVoiceLabel"));
}

void TJoukenSetForm::showVoiceChoice() {
    const bool available = sound_.hasVoice();
    voiceBox->setChecked(available && st_.voiceOn == 1);
    byEarBox->setChecked(available && st_.testByEar == 1);
    voiceBox->setEnabled(available);
    byEarBox->setEnabled(available);
    noVoiceLabel->setVisible(!available);
    voiceVolumeBar->setVisible(available);
    voiceRateBar->setVisible(available);
    for (QLabel* label : voiceGroup->findChildren<QLabel*>())
        if (label != noVoiceLabel) label->setVisible(available);
    const bool speaking = available && (st_.voiceOn == 1 || st_.testByEar == 1);
    voiceVolumeBar->setEnabled(speaking);
    voiceRateBar->setEnabled(speaking);
    voiceVolumeBar->setValue(voiceVolumeStep(st_.sikiSpVolume));
    voiceRateBar->setValue(voiceRateTenths(st_.sikiSpRate));
}

void TJoukenSetForm::voiceBarsMoved() {
    if (!dialogReady) return;
    if (voiceVolumeBar->value() != voiceVolumeStep(st_.sikiSpVolume)) st_.sikiSpVolume = voiceVolumeBar->value() * 10;
    if (voiceRateBar->value() != voiceRateTenths(st_.sikiSpRate)) st_.sikiSpRate = voiceRateBar->value();
    sound_.setVoice(st_.sikiSpVolume, voiceRateTenths(st_.sikiSpRate));
    sound_.speak(Spoken::Chant, (7 - 1) * 9 + (8 - 1));  // しちは ごじゅうろく, to hear the change
}

// The dialog hides itself only after this part of it is gone; the focus then
// leaving a number box must not reach a handler of the half-destroyed form.
TJoukenSetForm::~TJoukenSetForm() {
    for (QObject* control : findChildren<QObject*>()) QObject::disconnect(control, nullptr, this, nullptr);
}

void TJoukenSetForm::connectControls() {
    connect(CheckBox1, &QCheckBox::clicked, this, [this] { CheckBox1Click(); });
    connect(EffectBar, &QSlider::valueChanged, this, &TJoukenSetForm::EffectBarChange);
    // Typed numbers and arrow clicks both arrive here, so what a box shows is
    // always what is in force.
    connect(UpDown1, &QSpinBox::valueChanged, this, &TJoukenSetForm::UpDown1Click);
    connect(UpDown2, &QSpinBox::valueChanged, this, &TJoukenSetForm::UpDown2Click);
    connect(UpDown1, &QSpinBox::editingFinished, this, [this] { settleNumberBox(UpDown1, clampPasses); });
    connect(UpDown2, &QSpinBox::editingFinished, this, [this] { settleNumberBox(UpDown2, clampPause); });
    connect(Button2, &QPushButton::clicked, this, &TJoukenSetForm::Button2Click);
    connect(Button4, &QPushButton::clicked, this, &TJoukenSetForm::Button4Click);
    connect(Button1, &QPushButton::clicked, this, &TJoukenSetForm::Button1Click);
    auto voiceChanged = [this] {
        if (!dialogReady) return;
        st_.voiceOn = voiceBox->isChecked() ? 1 : 0;
        st_.testByEar = byEarBox->isChecked() ? 1 : 0;
        showVoiceChoice();
    };
    connect(voiceBox, &QCheckBox::clicked, this, voiceChanged);
    connect(byEarBox, &QCheckBox::clicked, this, voiceChanged);
    // Only a move of the parent's changes the carried values: opening the
    // dialog leaves the file's bytes as they were.
    connect(voiceVolumeBar, &QSlider::sliderReleased, this, [this] { voiceBarsMoved(); });
    connect(voiceRateBar, &QSlider::sliderReleased, this, [this] { voiceBarsMoved(); });
    connect(voiceVolumeBar, &QSlider::actionTriggered, this, [this] {
        QMetaObject::invokeMethod(this, [this] { voiceBarsMoved(); }, Qt::QueuedConnection);
    });
    connect(voiceRateBar, &QSlider::actionTriggered, this, [this] {
        QMetaObject::invokeMethod(this, [this] { voiceBarsMoved(); }, Qt::QueuedConnection);
    });
}

void TJoukenSetForm::FormCreate() {
    CheckBox1->setChecked(st_.soundOn != 0);

    // The bar starts at 0 and reports only a real move, so opening rounds
    // a volume of 5 or more down to its step and leaves a smaller one alone.
    EffectBar->setValue(effectBarPosition(st_.effectVolume));

    // A hand-edited settings file may hold anything. The boxes keep to
    // their ranges, and what they show is what is in force.
    UpDown1->setValue(clampPasses(st_.repeatCount));
    UpDown2->setValue(clampPause(st_.answerDelay));
    st_.repeatCount = UpDown1->value();
    st_.answerDelay = UpDown2->value();
    showVoiceChoice();

    dialogReady = true;
}

void TJoukenSetForm::CheckBox1Click() {
    if (!dialogReady) {
        return;
    }
    // 1 − soundOn for 0 and 1; a stray value from the file still ends up
    // matching the box.
    st_.soundOn = st_.soundOn != 0 ? 0 : 1;
}

void TJoukenSetForm::EffectBarChange(int position) {
    st_.effectVolume = effectVolumeAt(position);
}

void TJoukenSetForm::UpDown1Click(int position) {
    st_.repeatCount = position;
}

void TJoukenSetForm::UpDown2Click(int position) {
    st_.answerDelay = position;
}

void TJoukenSetForm::Button2Click() {
    // Plays even with the sounds switched off: this is how one finds out
    // what they sound like before switching them on.
    sound_.playSound(SoundKind::Right);
    clock_.sleepMs(600);
    sound_.playSound(SoundKind::Wrong);
    clock_.sleepMs(600);
    sound_.playSound(SoundKind::Prompt);
}

void TJoukenSetForm::Button4Click() { navigator_.openHelp(this, kSettingsHelpFile); }

void TJoukenSetForm::Button1Click() {
    accept();
}

void TJoukenSetForm::FormClose() {
    dialogReady = false;
}

void TJoukenSetForm::done(int result) {
    // A number still being typed counts as typed; a half-typed one falls
    // back to the value in force, so the state and the box agree.
    settleNumberBox(UpDown1, clampPasses);
    settleNumberBox(UpDown2, clampPause);
    FormClose();
    QDialog::done(result);
}

