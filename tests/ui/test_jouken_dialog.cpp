// The settings dialog and the help launcher it uses.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "main/AppNavigator.h"
#include "tests/ui/QuietPorts.h"
#include "main/core/RunnerPorts.h"
#include "main/core/StudyState.h"
#include "support/Fonts.h"
#include "support/HelpLauncher.h"
#include "tests/ui/PrivateDesktop.h"
#include "windows/Kukujouken.h"

namespace {

// Sound and clock write into one log so their order can be checked.
struct Log {
    std::vector<std::string> events;
};

class FakeSound : public Sound {
public:
    explicit FakeSound(Log& log) : log_(log) {}
    void playSound(SoundKind kind) override { log_.events.push_back("play " + std::to_string(int(kind))); }
    void beep() override { log_.events.push_back("beep"); }
    int speak(Spoken, int q, int) override {
        log_.events.push_back("speak " + std::to_string(q));
        return 1000;
    }
    bool hasVoice() const override { return voice; }
    void setVoice(int volume, int rate) override {
        log_.events.push_back("voice " + std::to_string(volume) + " " + std::to_string(rate));
    }
    bool voice = false;

private:
    Log& log_;
};

class FakeClock : public Clock {
public:
    explicit FakeClock(Log& log) : log_(log) {}
    std::int64_t nowMs() override { return now_; }
    void sleepMs(int ms) override {
        log_.events.push_back("sleep " + std::to_string(ms));
        now_ += ms;
    }
    void idleMs(int ms) override { now_ += ms; }

private:
    Log& log_;
    std::int64_t now_ = 0;
};

struct Opened {
    Log log;
    FakeSound sound{log};
    FakeClock clock{log};
    QuietPorts keeper;
    AppNavigator navigator;
    std::unique_ptr<TJoukenSetForm> form;

    explicit Opened(StudyState& st, bool voice = false) : navigator(st, sound, clock, keeper) {
        sound.voice = voice;
        form = std::make_unique<TJoukenSetForm>(st, navigator, sound, clock);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
};

StudyState defaultState() {
    StudyState st;
    st.soundOn = 1;
    st.effectVolume = 50;
    st.repeatCount = 2;
    st.answerDelay = 500;
    return st;
}

QPoint arrowPoint(QSpinBox* box, bool up) {
    QStyleOptionSpinBox option;
    option.initFrom(box);
    option.rect = box->rect();
    option.frame = box->hasFrame();
    option.buttonSymbols = box->buttonSymbols();
    option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown | QStyle::SC_SpinBoxFrame |
                         QStyle::SC_SpinBoxEditField;
    option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
    const QRect arrow = box->style()->subControlRect(
        QStyle::CC_SpinBox, &option, up ? QStyle::SC_SpinBoxUp : QStyle::SC_SpinBoxDown, box);
    return arrow.center();
}

void clickArrow(QSpinBox* box, bool up) {
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, arrowPoint(box, up));
}

void typeInto(QSpinBox* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
}

// What a message box showed before the test closed it.
struct SeenBox {
    bool seen = false;
    QString text;
    QString title;
    QMessageBox::StandardButtons buttons;
};

// Watches for a message box over the dialog, notes it and presses its OK,
// while `alive` (dying with `seen`) lives.
void closeNextMessageBox(SeenBox& seen, QObject* alive, int triesLeft = 100) {
    QTimer::singleShot(10, alive, [&seen, alive, triesLeft] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen.seen = true;
            seen.text = box->text();
            seen.title = box->windowTitle();
            seen.buttons = box->standardButtons();
            box->done(QMessageBox::Ok);
        } else if (triesLeft > 0) {
            closeNextMessageBox(seen, alive, triesLeft - 1);
        }
    });
}

}  // namespace

// ---------------------------------------------------------------- opening

TEST(JoukenDialogOpening, VolumeIsRoundedToTheBarOnlyWhenTheBarMoves) {
    struct Case {
        int stored, position, after;
    };
    const Case cases[] = {
        {52, 10, 50}, {3, 0, 3}, {250, 20, 100}, {0, 0, 0},
        {4, 0, 4},    {5, 1, 5}, {99, 19, 95},   {100, 20, 100},
    };
    for (const Case& c : cases) {
        StudyState st = defaultState();
        st.effectVolume = c.stored;
        Opened d(st);
        EXPECT_EQ(d.form->EffectBar->value(), c.position) << "volume " << c.stored;
        d.form->Button1->click();
        EXPECT_EQ(st.effectVolume, c.after) << "volume " << c.stored;
    }
}

TEST(JoukenDialogOpening, CheckBoxFollowsSoundOnWithoutTogglingIt) {
    for (int soundOn : {0, 1}) {
        StudyState st = defaultState();
        st.soundOn = soundOn;
        Opened d(st);
        EXPECT_EQ(d.form->CheckBox1->isChecked(), soundOn != 0);
        EXPECT_TRUE(d.form->dialogReady);
        d.form->Button1->click();
        EXPECT_EQ(st.soundOn, soundOn) << "opening and closing must leave the switch alone";
        EXPECT_FALSE(d.form->dialogReady);
        d.form->CheckBox1Click();
        EXPECT_EQ(st.soundOn, soundOn) << "a closed dialog toggled the switch";
    }
}

TEST(JoukenDialogOpening, BoxesShowTheStateAndKeepOutOfRangeValuesInRange) {
    struct Case {
        int repeat, delay, boxRepeat, boxDelay;
    };
    const Case cases[] = {
        {2, 500, 2, 500}, {9, 3000, 9, 3000}, {0, 50, 1, 100}, {12, 5000, 9, 3000}, {-3, -1, 1, 100},
    };
    for (const Case& c : cases) {
        StudyState st = defaultState();
        st.repeatCount = c.repeat;
        st.answerDelay = c.delay;
        Opened d(st);
        EXPECT_EQ(d.form->UpDown1->value(), c.boxRepeat);
        EXPECT_EQ(d.form->UpDown2->value(), c.boxDelay);
        // What the boxes show is what is in force.
        EXPECT_EQ(st.repeatCount, c.boxRepeat);
        EXPECT_EQ(st.answerDelay, c.boxDelay);
    }
}

TEST(JoukenDialogOpening, PauseIsShownWithAThousandsSeparator) {
    const std::pair<int, const char*> cases[] = {
        {100, "100"}, {900, "900"}, {1000, "1,000"}, {2500, "2,500"}, {3000, "3,000"}};
    for (const auto& [delay, shown] : cases) {
        StudyState st = defaultState();
        st.answerDelay = delay;
        Opened d(st);
        EXPECT_EQ(d.form->Edit2->text(), QString::fromUtf8(shown));
    }
}

// ---------------------------------------------------------------- sound

TEST(JoukenDialogSound, TwoClicksOnTheCheckBoxReturnTheSwitch) {
    StudyState st = defaultState();
    st.soundOn = 0;
    Opened d(st);
    const QPoint box(8, d.form->CheckBox1->height() / 2);
    QTest::mouseClick(d.form->CheckBox1, Qt::LeftButton, Qt::NoModifier, box);
    EXPECT_EQ(st.soundOn, 1);
    EXPECT_TRUE(d.form->CheckBox1->isChecked());
    QTest::mouseClick(d.form->CheckBox1, Qt::LeftButton, Qt::NoModifier, box);
    EXPECT_EQ(st.soundOn, 0);
    EXPECT_FALSE(d.form->CheckBox1->isChecked());
}

TEST(JoukenDialogSound, BarStoresFiveTimesItsPosition) {
    StudyState st = defaultState();
    Opened d(st);
    d.form->EffectBar->setFocus();
    QTest::keyClick(d.form->EffectBar, Qt::Key_Right);
    EXPECT_EQ(st.effectVolume, 55);
    QTest::keyClick(d.form->EffectBar, Qt::Key_End);
    EXPECT_EQ(st.effectVolume, 100);
    QTest::keyClick(d.form->EffectBar, Qt::Key_Home);
    EXPECT_EQ(st.effectVolume, 0);
    // a page, as a click beside the handle, is two positions
    QTest::keyClick(d.form->EffectBar, Qt::Key_PageUp);
    EXPECT_EQ(st.effectVolume, 10);
    // full volume shows with the handle at the bar's far end, silence at its start
    for (const int volume : {100, 0}) {
        StudyState stored = defaultState();
        stored.effectVolume = volume;
        Opened full(stored);
        EXPECT_EQ(full.form->EffectBar->value(),
                  volume ? full.form->EffectBar->maximum() : full.form->EffectBar->minimum()) << volume;
    }
}

TEST(JoukenDialogSound, TestButtonPlaysAllThreeEvenWithSoundsOff) {
    StudyState st = defaultState();
    st.soundOn = 0;
    Opened d(st);
    QTest::mouseClick(d.form->Button2, Qt::LeftButton);
    const std::vector<std::string> expected{"play 0", "sleep 600", "play 1", "sleep 600", "play 2"};
    EXPECT_EQ(d.log.events, expected);
    EXPECT_EQ(st.soundOn, 0);
}

// ---------------------------------------------------------------- numbers

TEST(JoukenDialogNumbers, ArrowsStepWithinTheRangeWithoutWrapping) {
    StudyState st = defaultState();
    st.repeatCount = 9;
    st.answerDelay = 100;
    Opened d(st);

    clickArrow(d.form->UpDown1, true);
    EXPECT_EQ(d.form->UpDown1->value(), 9);
    EXPECT_EQ(st.repeatCount, 9);
    clickArrow(d.form->UpDown1, false);
    EXPECT_EQ(st.repeatCount, 8);

    clickArrow(d.form->UpDown2, false);
    EXPECT_EQ(d.form->UpDown2->value(), 100);
    EXPECT_EQ(st.answerDelay, 100);
    clickArrow(d.form->UpDown2, true);
    EXPECT_EQ(st.answerDelay, 200);
    for (int page = 0; page < 3; ++page) {
        QTest::keyClick(d.form->UpDown2, Qt::Key_PageUp);  // ten steps, stops at the top
    }
    EXPECT_EQ(st.answerDelay, 3000);
    clickArrow(d.form->UpDown2, true);
    EXPECT_EQ(st.answerDelay, 3000);
    clickArrow(d.form->UpDown2, false);
    EXPECT_EQ(st.answerDelay, 2900);
    EXPECT_EQ(d.form->Edit2->text(), QStringLiteral("2,900"));
}

TEST(JoukenDialogNumbers, TypedPassesTakeEffect) {
    StudyState st = defaultState();
    Opened d(st);
    typeInto(d.form->UpDown1, QStringLiteral("7"));
    QTest::mouseClick(d.form->Button1, Qt::LeftButton);
    EXPECT_FALSE(d.form->isVisible());
    EXPECT_EQ(st.repeatCount, 7);
}

TEST(JoukenDialogNumbers, TypedNumbersOutOfRangeNeverDisagreeWithTheBox) {
    StudyState st = defaultState();
    Opened d(st);
    typeInto(d.form->UpDown1, QStringLiteral("12"));
    typeInto(d.form->UpDown2, QStringLiteral("5000"));
    d.form->Button1->click();
    EXPECT_GE(st.repeatCount, 1);
    EXPECT_LE(st.repeatCount, 9);
    EXPECT_GE(st.answerDelay, 100);
    EXPECT_LE(st.answerDelay, 3000);
    EXPECT_EQ(d.form->UpDown1->value(), st.repeatCount);
    EXPECT_EQ(d.form->UpDown2->value(), st.answerDelay);
    EXPECT_EQ(d.form->Edit1->text(), QString::number(st.repeatCount));
}

TEST(JoukenDialogNumbers, OkWithAnEmptiedBoxKeepsAndShowsTheValueInForce) {
    StudyState st = defaultState();
    st.repeatCount = 4;
    st.answerDelay = 1500;
    Opened d(st);
    for (QSpinBox* box : {d.form->UpDown2, d.form->UpDown1}) {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        ASSERT_TRUE(box->text().isEmpty());
    }
    d.form->Button1->click();  // the passes box still has the focus
    EXPECT_EQ(st.repeatCount, 4);
    EXPECT_EQ(st.answerDelay, 1500);
    EXPECT_EQ(d.form->UpDown1->text(), QStringLiteral("4"));
    EXPECT_EQ(d.form->UpDown2->text(), QStringLiteral("1,500"));
}

// The scale over the volume bar shows all its words: 0 at the left end,
// Max at the right and the name between them.
TEST(JoukenDialogLayout, TheVolumeScaleShowsItsWordsAtBothEnds) {
    StudyState st = defaultState();
    Opened d(st);
    const QImage scale = d.form->Label1->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QColor ground = scale.pixelColor(scale.width() / 2, 0);
    auto inkIn = [&](int from, int to) {
        int ink = 0;
        for (int x = from; x < to; ++x)
            for (int y = 0; y < scale.height(); ++y) ink += scale.pixelColor(x, y) != ground;
        return ink;
    };
    const int w = scale.width();
    EXPECT_GT(inkIn(0, w / 8), 5);
    EXPECT_GT(inkIn(w / 3, 2 * w / 3), 20);
    EXPECT_GT(inkIn(w - w / 8, w), 5);
    EXPECT_EQ(d.form->Label1->text().simplified(), QString::fromUtf8("0 効果音の音量 Max"));
}

// The number fields stand out white inside their coloured groups.
TEST(JoukenDialogLayout, TheNumberFieldsAreWhiteInsideTheirColouredGroups) {
    StudyState st = defaultState();
    Opened d(st);
    for (QSpinBox* box : {d.form->UpDown1, d.form->UpDown2}) {
        const QImage field = box->grab().toImage();
        // Left of the right-aligned number, clear of the frame.
        EXPECT_EQ(field.pixelColor(5, field.height() / 2), QColor(Qt::white)) << box->objectName().toStdString();
    }
}

TEST(JoukenDialogNumbers, TypedPauseTakesEffectAndIsShownGrouped) {
    StudyState st = defaultState();
    Opened d(st);
    typeInto(d.form->UpDown2, QStringLiteral("2500"));
    EXPECT_EQ(st.answerDelay, 2500);
    d.form->Button1->click();
    EXPECT_EQ(d.form->Edit2->text(), QStringLiteral("2,500"));
}

TEST(JoukenDialogNumbers, APauseTypedOutsideItsRangeTakesEffectAtTheNearestEnd) {
    StudyState st = defaultState();
    st.answerDelay = 1200;
    Opened d(st);
    typeInto(d.form->UpDown2, QStringLiteral("4"));  // below 100
    d.form->Button1->click();
    EXPECT_EQ(st.answerDelay, 100);
    EXPECT_EQ(d.form->Edit2->text(), QStringLiteral("100"));
}

TEST(JoukenDialogNumbers, LeavingTheBoxSettlesWhatWasTyped) {
    StudyState st = defaultState();
    st.answerDelay = 1200;
    st.repeatCount = 4;
    Opened d(st);
    typeInto(d.form->UpDown2, QStringLiteral("70"));
    d.form->UpDown1->setFocus();
    EXPECT_EQ(st.answerDelay, 100);
    EXPECT_EQ(d.form->Edit2->text(), QStringLiteral("100"));
    typeInto(d.form->UpDown2, QStringLiteral("2500"));
    d.form->UpDown1->setFocus();
    EXPECT_EQ(st.answerDelay, 2500);
    EXPECT_EQ(st.repeatCount, 4);
}

// ---------------------------------------------------------------- closing

TEST(JoukenDialogClosing, EnterPressesOkEvenFromANumberBox) {
    StudyState st = defaultState();
    Opened d(st);
    typeInto(d.form->UpDown1, QStringLiteral("5"));
    QTest::keyClick(d.form->UpDown1, Qt::Key_Return);
    EXPECT_FALSE(d.form->isVisible());
    EXPECT_FALSE(d.form->dialogReady);
    EXPECT_EQ(st.repeatCount, 5);
}

TEST(JoukenDialogClosing, EnterOnTheSoundTestButtonStillMeansOk) {
    StudyState st = defaultState();
    Opened d(st);
    d.form->Button2->setFocus();
    QTest::keyClick(d.form->Button2, Qt::Key_Return);
    EXPECT_FALSE(d.form->isVisible());
    EXPECT_TRUE(d.log.events.empty()) << "Enter played the sound test";
}

TEST(JoukenDialogClosing, FrameCloseEndsTheDialogAndEscDoesNot) {
    StudyState st = defaultState();
    Opened d(st);
    QTest::keyClick(d.form.get(), Qt::Key_Escape);
    EXPECT_TRUE(d.form->isVisible());
    EXPECT_TRUE(d.form->dialogReady);
    d.form->close();
    EXPECT_FALSE(d.form->isVisible());
    EXPECT_FALSE(d.form->dialogReady);
}

// ---------------------------------------------------------------- help

TEST(JoukenDialogHelp, MissingHelpFileIsReported) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    StudyState st = defaultState();
    st.exeDir = dir.path().toStdString() + "/";
    PrivateDesktop desktop;
    Opened d(st);

    SeenBox seen;
    QObject alive;
    closeNextMessageBox(seen, &alive);
    QTest::mouseClick(d.form->Button4, Qt::LeftButton);

    ASSERT_TRUE(seen.seen);
    EXPECT_EQ(seen.text, QStringLiteral("Jouken_setM15.chm が見あたりません。"));
    EXPECT_EQ(seen.title, QStringLiteral("お知らせ"));
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_FALSE(desktop.received(300).has_value());
    EXPECT_TRUE(d.form->isVisible());
}

TEST(JoukenDialogHelp, PresentHelpFileOpensSilently) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + QStringLiteral("/My Programs; rm -rf $(x) & 'q'");
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile help(folder + QStringLiteral("/Jouken_setM15.chm"));
    ASSERT_TRUE(writeHelpFile(help.fileName()));

    StudyState st = defaultState();
    st.exeDir = folder.toStdString() + "/";
    PrivateDesktop desktop;
    Opened d(st);

    SeenBox seen;
    QObject alive;
    closeNextMessageBox(seen, &alive, 5);
    QTest::mouseClick(d.form->Button4, Qt::LeftButton);
    QTest::qWait(100);

    EXPECT_FALSE(seen.seen);
    EXPECT_EQ(desktop.received().value_or("<never opened>"), help.fileName());
}

TEST(HelpLauncher, OpensOnlyFilesThatExist) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    PrivateDesktop desktop;

    EXPECT_FALSE(openHelpFile(""));
    EXPECT_FALSE(openHelpFile(dir.path().toStdString() + "/none.chm"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.chm")));
    EXPECT_FALSE(openHelpFile(dir.path().toStdString() + "/folder.chm"));
    EXPECT_FALSE(desktop.received(300).has_value());

    const QString name = dir.path() + QStringLiteral("/a b \"c\" `d`|e.chm");
    ASSERT_TRUE(writeHelpFile(name));
    EXPECT_TRUE(openHelpFile(name.toStdString()));
    EXPECT_EQ(desktop.received().value_or("<never opened>"), name);
}

// ---------------------------------------------------------------- layout

TEST(JoukenDialogLayout, SmallFixedModalToolWindow) {
    StudyState st = defaultState();
    Opened d(st);
    TJoukenSetForm& f = *d.form;
    // The spoken 九九's band of our own lies below the rest.
    EXPECT_EQ(f.size(), QSize(259, 230 + 92));
    EXPECT_EQ(f.minimumSize(), f.maximumSize());
    EXPECT_TRUE(f.isModal());
    EXPECT_EQ(f.windowType(), Qt::Tool);
    EXPECT_TRUE(f.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_EQ(f.windowTitle(), QStringLiteral("□「タテヨコ塾」の設定□"));
    EXPECT_EQ(f.palette().color(QPalette::Window), QColor(192, 220, 192));
    const QPixmap picture = f.Image1->pixmap();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(36, 36));
}

TEST(JoukenDialogLayout, Texts) {
    StudyState st = defaultState();
    Opened d(st);
    TJoukenSetForm& f = *d.form;
    const std::pair<QString, const char*> shown[] = {
        {f.GroupBox1->title(), "◎音声設定"},      {f.GroupBox2->title(), "◎練習の回数"},
        {f.GroupBox3->title(), "◎答の間(練習)"},  {f.CheckBox1->text(), "効果音を使う"},
        {f.Button2->text(), "効果音テスト"},       {f.Label1->text(), "0       効果音の音量     Max"},
        {f.Label2->text(), "◆"},                  {f.Label3->text(), "回"},
        {f.Label4->text(), "(1～９回)"},           {f.Label5->text(), "◆"},
        {f.Label6->text(), "m秒"},                 {f.Label7->text(), "(100～3000ﾐﾘ秒)"},
        {f.Button4->text(), "ヘルプ（&H）"},        {f.Button4->toolTip(), "ヘルプを開きます。"},
        {f.Button1->text(), "OK(&Y)"},             {f.Button1->toolTip(), "設定をきめて閉じます。"},
    };
    for (const auto& [text, expected] : shown) {
        EXPECT_EQ(text, QString::fromUtf8(expected));
    }
    EXPECT_TRUE(f.Button1->isDefault());
    EXPECT_EQ(f.Label2->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_EQ(f.Label5->palette().color(QPalette::WindowText), QColor(Qt::blue));
}

// The program's own font for the length of one test.
class ProgramFont {
public:
    ProgramFont() : saved_(QApplication::font()) { QApplication::setFont(japaneseFont(13)); }
    ~ProgramFont() { QApplication::setFont(saved_); }

private:
    QFont saved_;
};

TEST(JoukenDialogLayout, NothingIsCutOff) {
    ProgramFont font;
    StudyState st = defaultState();
    st.answerDelay = 3000;
    Opened d(st);
    TJoukenSetForm& f = *d.form;

    // Every control lies inside its parent, and no two of one parent overlap.
    const QList<QWidget*> placed = {f.GroupBox1, f.GroupBox2, f.GroupBox3, f.CheckBox1, f.Button2,
                                    f.Label1,    f.EffectBar, f.Label2,    f.UpDown1,   f.Label3,
                                    f.Label4,    f.Label5,    f.UpDown2,   f.Label6,    f.Label7,
                                    f.Image1,    f.Button4,   f.Button1,   f.voiceGroup, f.voiceBox,
                                    f.byEarBox,  f.voiceVolumeBar, f.voiceRateBar};
    for (QWidget* w : placed) {
        EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry()))
            << w->objectName().toStdString() << " sticks out of its parent";
        for (QWidget* other : placed) {
            if (other != w && other->parentWidget() == w->parentWidget()) {
                EXPECT_FALSE(w->geometry().intersects(other->geometry()))
                    << w->objectName().toStdString() << " overlaps "
                    << other->objectName().toStdString();
            }
        }
    }

    // Texts fit the controls that show them.
    for (QWidget* w : {static_cast<QWidget*>(f.CheckBox1), static_cast<QWidget*>(f.Label1),
                       static_cast<QWidget*>(f.Label2), static_cast<QWidget*>(f.Label3),
                       static_cast<QWidget*>(f.Label4), static_cast<QWidget*>(f.Label5),
                       static_cast<QWidget*>(f.Label6), static_cast<QWidget*>(f.Label7)}) {
        EXPECT_LE(w->sizeHint().width(), w->width()) << w->objectName().toStdString();
        EXPECT_LE(w->sizeHint().height(), w->height()) << w->objectName().toStdString();
    }
    for (QPushButton* b : {f.Button2, f.Button4, f.Button1}) {
        const QString shown = QString(b->text()).remove(QLatin1Char('&'));
        EXPECT_LE(b->fontMetrics().horizontalAdvance(shown) + 12, b->width())
            << b->objectName().toStdString();
        EXPECT_LE(b->fontMetrics().height() + 6, b->height()) << b->objectName().toStdString();
    }
    for (QGroupBox* g : {f.GroupBox1, f.GroupBox2, f.GroupBox3}) {
        EXPECT_LE(g->fontMetrics().horizontalAdvance(g->title()) + 10, g->width())
            << g->objectName().toStdString();
    }
    EXPECT_LE(f.Edit2->fontMetrics().horizontalAdvance(QStringLiteral("3,000")) + 4,
              f.Edit2->width());
    EXPECT_LE(f.Edit1->fontMetrics().horizontalAdvance(QStringLiteral("9")) + 4, f.Edit1->width());
}


// ---------------------------------------------------------------- the voice

TEST(JoukenDialogVoice, TheChoicesAndTheCarriedValuesChangeOnlyWhenTheParentActs) {
    enum Act { Nothing, ClickVoice, ClickByEar, VolumeUp, RateDown };
    const struct Row {
        bool hasVoice;
        int voiceOn, byEar, volume, rate;  // as loaded: another program may have left any value
        Act act;
        int wantVoiceOn, wantByEar, wantVolume, wantRate;
        bool barsEnabled;
    } rows[] = {
        // opening and closing writes nothing back, whatever the file held
        {true, 0, 0, 55, 3, Nothing, 0, 0, 55, 3, false},
        {true, 1, 0, 55, 3, Nothing, 1, 0, 55, 3, true},
        {true, 0, 0, 50, 10, ClickVoice, 1, 0, 50, 10, true},
        {true, 1, 1, 50, 10, ClickVoice, 0, 1, 50, 10, true},
        {true, 0, 0, 50, 10, ClickByEar, 0, 1, 50, 10, true},
        // a move of a bar sets its own value only
        {true, 1, 0, 55, 3, VolumeUp, 1, 0, 80, 3, true},  // 55 shows as 60
        {true, 1, 0, 55, 12, RateDown, 1, 0, 55, 11, true},
        // without a voice nothing can be switched on
        {false, 0, 0, 50, 10, ClickVoice, 0, 0, 50, 10, false},
        {false, 1, 1, 50, 10, ClickByEar, 1, 1, 50, 10, false},
    };
    for (const Row& r : rows) {
        StudyState st = defaultState();
        st.voiceOn = r.voiceOn;
        st.testByEar = r.byEar;
        st.sikiSpVolume = r.volume;
        st.sikiSpRate = r.rate;
        Opened d(st, r.hasVoice);
        TJoukenSetForm& f = *d.form;
        const std::string row = "row with voice " + std::to_string(r.hasVoice) + ", act " + std::to_string(r.act);
        EXPECT_EQ(f.noVoiceLabel->isVisible(), !r.hasVoice) << row;
        switch (r.act) {
        case Nothing: break;
        case ClickVoice: QTest::mouseClick(f.voiceBox, Qt::LeftButton, {}, QPoint(8, f.voiceBox->height() / 2)); break;
        case ClickByEar: QTest::mouseClick(f.byEarBox, Qt::LeftButton, {}, QPoint(8, f.byEarBox->height() / 2)); break;
        case VolumeUp:
            f.voiceVolumeBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            f.voiceVolumeBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            break;
        case RateDown: f.voiceRateBar->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
        }
        QCoreApplication::processEvents();
        EXPECT_EQ(f.voiceVolumeBar->isEnabled(), r.barsEnabled) << row;
        f.Button1->click();
        EXPECT_EQ(st.voiceOn, r.wantVoiceOn) << row;
        EXPECT_EQ(st.testByEar, r.wantByEar) << row;
        EXPECT_EQ(st.sikiSpVolume, r.wantVolume) << row;
        EXPECT_EQ(st.sikiSpRate, r.wantRate) << row;
    }
}
