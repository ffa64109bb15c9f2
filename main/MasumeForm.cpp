#include "main/MasumeForm.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QValidator>

#include "main/MasumeCanvas.h"
#include "windows/Household.h"
#include "windows/Navigator.h"
#include "main/core/FactTables.h"
#include "main/core/QuestionOrder.h"
#include "main/core/Settings.h"
#include "support/KeyState.h"
#include "support/FormKit.h"
#include "windows/AdultGate.h"
#include "support/Picture.h"
#include "support/core/Codec.h"

namespace {

using kit::u;

// Only names that the settings file can hold exactly may be typed.
class Cp932Validator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return codec::fitsCp932(input.toStdString()) ? Acceptable : Invalid;
    }
};

QLabel* text(QWidget* parent, const QRect& r, const char* caption, int px, const QColor& colour = Qt::black,
             bool bold = false) {
    return kit::label(parent, r, caption, {px, colour, bold});
}

QLabel* panel(QWidget* parent, const QRect& r, const char* caption, int px, bool bold = false) {
    return kit::panel(parent, r, caption, {px, kit::kNavy.darker(133), bold});
}

constexpr int kClientWidth = 622;
constexpr int kClientHeight = 542;
constexpr int kNameLength = 40;

}  // namespace

TMasumeForm::TMasumeForm(StudyState& st, KeyState& keys, Clock& clock, MasumeServices services, QWidget* parent)
    : QMainWindow(parent), st_(st), keys_(keys), clock_(clock), services_(std::move(services)), board_(st, *this) {
    setObjectName("MasumeForm");
    if (!services_.sound) services_.sound = &silentSound_;
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    buildControls();
    buildMenus();
    // The client area is fixed; the menu bar sits above it.
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    FormCreate();
}

TMasumeForm::~TMasumeForm() = default;

void TMasumeForm::setSound(Sound* sound) { services_.sound = sound ? sound : &silentSound_; }

void TMasumeForm::buildControls() {
    canvas = new MasumeCanvas(this);
    canvas->setFixedSize(kClientWidth, kClientHeight);
    canvas->setFocusPolicy(Qt::ClickFocus);
    setCentralWidget(canvas);
    connect(canvas, &MasumeCanvas::clicked, this, [this] { drawDecorations(); });
    buildSelectionLists();
    buildBoard();
    buildButtons();
    buildTutor();
    buildNamePanel();
    buildShortcuts();
}

void TMasumeForm::buildSelectionLists() {
    QWidget* c = canvas;
    Panel1 = panel(c, {16, 10, 256, 73}, "『タテヨコ塾』", 30, true);
    Panel4 = panel(c, {288, 14, 58, 22}, "もくじ", 13);
    Panel5 = panel(c, {288, 52, 58, 22}, "段or級", 13);
    // The lists take their font from a holder made with it: a font set on a
    // list itself builds its drop-down at once, which the start cannot spare.
    auto* lists = new QWidget(c);
    lists->setGeometry(350, 8, 258, 70);
    kit::setPixelFont(lists, 15);
    ComboBox2 = new QComboBox(lists);
    ComboBox2->setGeometry(0, 0, 258, 30);
    for (auto name : contentNames) ComboBox2->addItem(u(name));
    ComboBox2->setToolTip(u("学習の内容を選ぼう。"));
    ComboBox1 = new QComboBox(lists);
    ComboBox1->setGeometry(0, 40, 258, 30);
    for (auto name : rangeNames) ComboBox1->addItem(u(name));
    ComboBox1->setMaxVisibleItems(13);
    ComboBox1->setToolTip(u("学習のはんいを選ぼう。"));
    connect(ComboBox1, qOverload<int>(&QComboBox::activated), this, &TMasumeForm::ComboBox1Change);
    connect(ComboBox2, qOverload<int>(&QComboBox::activated), this, &TMasumeForm::ComboBox2Change);
}

void TMasumeForm::buildBoard() {
    QWidget* c = canvas;
    Label5 = new BoardLabel(c);
    Label5->setGeometry(16, 100, 475, 285);
    connect(Label5, &BoardLabel::clicked, this, [this] { drawDecorations(); });
    StaticText3 = text(c, {30, 116, 450, 24}, "メッセージらん", 16, Qt::blue, true);
    kit::fillBackground(StaticText3, kit::kLime);
    StaticText3->setIndent(4);
    StaticText4 = text(c, {40, 162, 78, 24}, "[読み方]", 16);
    StaticText14 = text(c, {120, 160, 345, 25}, "  く　・　く　・　はちじゅういち", 21, Qt::red);
    StaticText7 = text(c, {48, 228, 84, 24}, "[　式　]", 16);
    StaticText11 = text(c, {136, 212, 160, 49}, "９×９＝", 36, Qt::black, true);
    StaticText12 = text(c, {292, 206, 94, 68}, "８１", 42, Qt::black, true);
    StaticText13 = text(c, {386, 206, 58, 57}, "◎", 42, Qt::red, true);
    StaticText8 = text(c, {48, 290, 84, 22}, "《ヒント》", 15);
    StaticText9 = text(c, {136, 288, 265, 23}, "ヒントらん", 12, Qt::red, true);
    for (QLabel* field : {StaticText12, StaticText13}) field->setAlignment(Qt::AlignCenter);
    ProgressBar3 = new ProgressStrip(c);
    ProgressBar3->setGeometry(40, 328, 401, 15);
    ProgressBar3->setRange(0, kFactCount);
    ProgressBar3->setValue(0);
    ProgressBar3->setTextVisible(false);
    StaticText2 = text(c, {446, 322, 30, 24}, "00", 16, Qt::black, true);
    kit::fillBackground(StaticText2, kit::kLime);
    StaticText2->setAlignment(Qt::AlignCenter);
    StaticText10 = text(c, {32, 356, 86, 25}, "[＊回目]", 16, kit::kNavy, true);
}

void TMasumeForm::buildButtons() {
    QWidget* c = canvas;
    Button1 = new QPushButton(u("始める(&E)"), c);
    Button1->setGeometry(504, 104, 100, 28);
    Button1->setToolTip(u("練習・テストを始めます。"));
    Button2 = new QPushButton(u("クリア(&L)"), c);
    Button2->setGeometry(504, 136, 100, 28);
    Button2->setToolTip(u("板面を消します。"));
    for (QPushButton* b : {Button1, Button2}) kit::setPixelFont(b, 14, true);
    connect(Button1, &QPushButton::clicked, this, &TMasumeForm::ExecButtonClick);
    connect(Button2, &QPushButton::clicked, this, &TMasumeForm::Button2Click);

    RadioGroup1 = kit::group(c, {500, 178, 106, 95}, "進め方",
                             {kit::kYellow, QColor(0xb0, 0xa0, 0x00), true, 3, {8, 4}, kit::kNavy}, 13);
    radioButtons = new QButtonGroup(this);
    for (int i = 0; i < kSpeedCount; ++i) {
        auto* rb = new QRadioButton(u(speedNames[i]), RadioGroup1);
        kit::setPixelFont(rb, 13);
        rb->setGeometry(10, 20 + 18 * i, 90, 18);
        radioButtons->addButton(rb, i);
    }
    connect(radioButtons, &QButtonGroup::idClicked, this, &TMasumeForm::RadioGroup1Click);

    Label1 = text(c, {512, 282, 92, 38}, " Esc/右clickで 中止!!", 13, Qt::white, true);
    kit::fillBackground(Label1, Qt::red);
    SpeedButton3 = new QToolButton(c);
    SpeedButton3->setText(u("お助け(F1)"));
    SpeedButton3->setGeometry(504, 326, 100, 28);
    SpeedButton3->setToolTip(u("ヘルプを表示します。"));
    SpeedButton1 = new QToolButton(c);
    SpeedButton1->setText(u("設定(&J)"));
    SpeedButton1->setGeometry(528, 364, 76, 28);
    SpeedButton1->setToolTip(u("タイムや音量の設定をします。"));
    for (QToolButton* b : {SpeedButton1, SpeedButton3}) {
        b->setAutoRaise(true);
        kit::setPixelFont(b, 13, true);
        kit::fillBackground(b, kit::kButtonFace);
    }
    connect(SpeedButton3, &QToolButton::clicked, this, &TMasumeForm::H2Click);
    connect(SpeedButton1, &QToolButton::clicked, this, &TMasumeForm::C1Click);
}

void TMasumeForm::buildTutor() {
    QWidget* c = canvas;
    Image3 = new QLabel(c);
    Image3->setGeometry(16, 400, 128, 128);
    Image3->setPixmap(loadPicture(QStringLiteral(":/resources/tutor.png")));
    StaticText15 = text(c, {207, 424, 110, 22}, "九九をものに", 16, kit::kMaroon, true);
    StaticText16 = text(c, {207, 456, 110, 22}, "しちゃおうね！", 16, kit::kMaroon, true);
    Panel8 = panel(c, {144, 480, 52, 22}, "しはん", 12);
    Panel6 = panel(c, {144, 504, 52, 22}, "九九zed", 12);
    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TMasumeForm::Timer1Timer);
}

void TMasumeForm::buildNamePanel() {
    auto* Panel2 = new QFrame(canvas);
    Panel2->setGeometry(344, 418, 265, 92);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel2->setLineWidth(2);
    kit::fillBackground(Panel2, kit::kButtonFace);
    StaticText5 = text(Panel2, {10, 10, 60, 26}, "なまえ", 16, kit::kNavy, true);
    Edit2 = new QLineEdit(u("くく はじめ"), Panel2);
    Edit2->setGeometry(72, 8, 180, 30);
    kit::setPixelFont(Edit2, 17);
    Edit2->setToolTip(u("あなたの名前を書いてね。"));
    Edit2->setValidator(new Cp932Validator(Edit2));
    Edit2->setMaxLength(kNameLength);
    auto* Panel7 = new QFrame(Panel2);
    Panel7->setGeometry(72, 48, 180, 32);
    Panel7->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StaticText1 = text(Panel7, {8, 4, 36, 24}, "No.", 15, kit::kNavy, true);
    StaticText6 = text(Panel7, {48, 4, 124, 24}, "1234567", 16, Qt::black, true);
    connect(Edit2, &QLineEdit::textChanged, this, &TMasumeForm::Edit2Change);
    connect(Edit2, &QLineEdit::editingFinished, this, [this] { confirmName(); });
}

void TMasumeForm::buildShortcuts() {
    // Window shortcuts; a text field that wants the key keeps it.
    auto* del = new QShortcut(QKeySequence(Qt::Key_Delete), this);
    connect(del, &QShortcut::activated, this, [this] {
        if (st_.testActive != 1) Button2Click();
    });
    auto* j = new QShortcut(QKeySequence(Qt::Key_J), this);
    connect(j, &QShortcut::activated, this, [this] {
        if (st_.testActive != 1) C1Click();
    });
    // The application coming to the front redraws the balloon as well; a
    // message box of the start-up must not show the window half-built.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive || !created_) return;
        if (!isVisible()) show();
        if (!st_.firstPaintPending) drawDecorations();
    });
}

void TMasumeForm::buildMenus() {
    QMenu* file = menuBar()->addMenu(u("ファイル(&F)"));
    R1 = file->addAction(u("背景色(&I)"), this, &TMasumeForm::iroChange);
    K2 = file->addAction(u("終了確認(&Q)"));
    K2->setCheckable(true);
    connect(K2, &QAction::triggered, this, &TMasumeForm::K2Click);
    file->addSeparator();
    X1 = file->addAction(u("終わり(&X)"), this, &TMasumeForm::X1Click);
    // Our own entry goes below the ones the menu has always had, which keep their places.
    file->addSeparator();
    childrenAction = file->addAction(u("子どもを かえる(&W)"), this, &TMasumeForm::ChildrenClick);

    QMenu* view = menuBar()->addMenu(u("表示(&V)"));
    L1 = view->addAction(u("成績表Ⅰ(段別)を見る(&L)"), this, &TMasumeForm::Kekka_Dsp);
    KekkaDDsp = view->addAction(u("成績表Ⅱ(級別)を見る(&S)"), this, &TMasumeForm::KekkaD_Dsp);
    K1 = view->addAction(u("資格チェック(&K)"), this, &TMasumeForm::K1Click);
    Cert = view->addAction(u("証明書発行(&C)"));
    Cert->setEnabled(false);
    view->addSeparator();
    A1 = view->addAction(u("九九一覧(&A)"), this, &TMasumeForm::A1Click);
    hardFactsAction = view->addAction(u("にがて九九(&N)"), this, &TMasumeForm::HardFactsClick);
    progressAction = view->addAction(u("がんばりグラフ(&G)"), this, [this] {
        if (!running_ && services_.navigator) services_.navigator->openProgress(this);
    });
    // Only on a computer of a class.
    classRecordAction = view->addAction(u("クラスのきろく(&R)"), this, [this] {
        if (!running_ && services_.navigator &&
            adultAllows(this, u("クラスの みんなの ごうかくと 記録を ひらきます。\n（先生の ための 画面です）")))
            services_.navigator->openClassRecord(this);
    });
    classRecordAction->setVisible(false);
    view->addSeparator();
    J1 = view->addAction(u("条件設定(&J)"), this, &TMasumeForm::C1Click);
    view->addSeparator();

    QMenu* help = menuBar()->addMenu(u("ヘルプ(&H)"));
    H2 = help->addAction(u("ヘルプ表示"), this, &TMasumeForm::H2Click);
    H2->setShortcut(QKeySequence(Qt::Key_F1));
    V1 = help->addAction(u("バージョン情報(&A)"), this, &TMasumeForm::V1Click);
    TestT1 = help->addAction(u("Test(&T)"), this, &TMasumeForm::TestT1Click);
    TestT1->setVisible(false);
}

void TMasumeForm::FormCreate() {
    if (services_.loadSettings) services_.loadSettings(st_);
    classRecordAction->setVisible(inClass());
    move(st_.winLeft, st_.winTop);
    setWindowTitle(u("『タテヨコ塾(Ｍ)』v1.52 --- みずなら舎"));
    seedRandom(st_);
    showChild();
    if (services_.checkAndLoadSounds) services_.checkAndLoadSounds(st_);
    if (services_.loadHints) services_.loadHints(st_);
    syncSelections();
    Label1->hide();
    sankakuPt();
    st_.firstPaintPending = 1;
    Timer1->start();
    // Start with the Start button, so that Enter starts and J and Delete work at once.
    Button1->setFocus();
    created_ = true;
}

void TMasumeForm::showChild() {
    st_.rangeIndex = startRangeIndex(st_.rangeIndex);
    applyBackground();
    K2->setChecked(st_.closeConfirm != 0);
    if (QAbstractButton* rb = radioButtons->button(st_.speedIndex)) rb->setChecked(true);
    RadioGroup1Click(st_.speedIndex);
    // A stored name comes back whole, however long.
    const QString name = QString::fromStdString(st_.studentName);
    Edit2->setMaxLength(std::max<int>(kNameLength, int(name.size())));
    if (Edit2->text() != name) Edit2->setText(name);
    clearKekka(st_);
    st_.orderMode = 0;
    buildQuestionOrder(st_);
    StaticText6->setText(QString::number(st_.studentNo));
}

void TMasumeForm::sankakuPt() { board_.sankakuPt(); }

void TMasumeForm::applyBackground() {
    const int c = st_.bgColor;
    canvas->setBackground(QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
}

void TMasumeForm::syncSelections() {
    ComboBox1->setCurrentIndex(st_.rangeIndex >= 0 && st_.rangeIndex < kRangeCount ? st_.rangeIndex : -1);
    ComboBox2->setCurrentIndex(st_.contentIndex >= 0 && st_.contentIndex < kContentCount ? st_.contentIndex : -1);
    if (st_.rangeIndex >= 0 && st_.rangeIndex < kRangeCount) st_.currentDan = danOfRange[st_.rangeIndex];
    refreshResultsEntries();
    showSelection();
}

void TMasumeForm::refreshResultsEntries() {
    L1->setEnabled(isTableRange(st_.rangeIndex));
    KekkaDDsp->setEnabled(!isTableRange(st_.rangeIndex));
}

bool TMasumeForm::decorationsDrawn() const { return canvas->balloonShown(); }

// --- display routines -------------------------------------------------------

void TMasumeForm::setFieldText(Field field, const std::string& value) {
    QLabel* label = nullptr;
    switch (field) {
    case Field::Message: label = StaticText3; break;
    case Field::Counter: label = StaticText2; break;
    case Field::PassLabel: label = StaticText10; break;
    case Field::Formula: label = StaticText11; break;
    case Field::Answer: label = StaticText12; break;
    case Field::Mark: label = StaticText13; break;
    case Field::Reading: label = StaticText14; break;
    case Field::Hint: label = StaticText9; break;
    }
    QString shown = QString::fromStdString(value);
    if (field == Field::Hint) {
        // hints keep the line break they were read with; one line shows here
        while (shown.endsWith('\n') || shown.endsWith('\r')) shown.chop(1);
    }
    label->setText(shown);
    label->repaint();
}

void TMasumeForm::setAnswerColour(bool red) {
    QPalette pal = StaticText12->palette();
    pal.setColor(QPalette::WindowText, red ? QColor(255, 0, 0) : QColor(0, 0, 255));
    StaticText12->setPalette(pal);
}

void TMasumeForm::setMessageColour(MessageColour colour) {
    kit::setTextColour(StaticText3, colour == MessageColour::Blue ? QColor(0, 0, 255) : kit::kMaroon);
}

void TMasumeForm::setProgressBar(int value) {
    ProgressBar3->setValue(value);
    ProgressBar3->repaint();
}

void TMasumeForm::setControlsEnabled(bool enabled) {
    if (!enabled) {
        // Disabling the focused Start button would hand the focus on to the
        // name field, text selected, where the next key would replace the
        // name. The board holds it during the run instead.
        QWidget* focused = QApplication::focusWidget();
        if (focused && focused->window() == this) focusBeforeRun_ = focused;
        canvas->setFocus(Qt::OtherFocusReason);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{RadioGroup1, SpeedButton1, SpeedButton3, Button1, Button2,
                                                      ComboBox1, ComboBox2})
        w->setEnabled(enabled);
    if (enabled && canvas->hasFocus()) {
        QWidget* back = focusBeforeRun_;
        if (!back || back == Edit2 || !back->isEnabled() || !back->isVisible()) back = Button1;
        back->setFocus(Qt::OtherFocusReason);
    }
}

void TMasumeForm::showAbortHint() {
    Label1->setText(u(" Esc/ｸﾘｯｸ\n で 中止!!"));
    Label1->show();
    canvas->showPointer();
}

void TMasumeForm::drawDecorations() {
    canvas->showBalloon();
    Label5->update();
}
