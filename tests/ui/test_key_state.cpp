// The key reader on its own: which keys a drill hears, how a quick press or
// click is kept until the drill looks, and what it keeps from every window
// while a run goes.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <utility>
#include <vector>

#include "support/KeyState.h"

namespace {

// Hands events to the reader as the application-wide filter would see them.
struct Reader {
    KeyState keys;
    QWidget target;

    bool key(int qtKey, bool down, Qt::KeyboardModifiers modifiers = Qt::NoModifier, quint64 stamp = 0) {
        QKeyEvent event(down ? QEvent::KeyPress : QEvent::KeyRelease, qtKey, modifiers);
        event.setTimestamp(stamp);
        return keys.eventFilter(&target, &event);
    }
    bool click(Qt::MouseButton button, bool down) {
        QMouseEvent event(down ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5),
                          button, down ? button : Qt::NoButton, Qt::NoModifier);
        return keys.eventFilter(&target, &event);
    }
};

bool heard(int qtKey, Qt::KeyboardModifiers modifiers, Key* key) {
    const QKeyEvent event(QEvent::KeyPress, qtKey, modifiers);
    return KeyState::keyOf(event, key);
}

}  // namespace

TEST(KeyReader, EveryDigitOfBothRowsAndBothEnterKeysAreHeard) {
    for (int d = 0; d <= 9; ++d) {
        Key key = Key::Count;
        EXPECT_TRUE(heard(Qt::Key_0 + d, Qt::NoModifier, &key)) << d;
        EXPECT_EQ(key, mainDigit(d)) << d;
        key = Key::Count;
        EXPECT_TRUE(heard(Qt::Key_0 + d, Qt::KeypadModifier, &key)) << d;
        EXPECT_EQ(key, padDigit(d)) << d;
    }
    for (const auto& [qtKey, modifiers, expected] :
         {std::tuple{Qt::Key_Return, Qt::NoModifier, Key::Enter}, {Qt::Key_Enter, Qt::KeypadModifier, Key::Enter},
          {Qt::Key_Escape, Qt::NoModifier, Key::Esc}, {Qt::Key_G, Qt::NoModifier, Key::G},
          {Qt::Key_G, Qt::ShiftModifier, Key::G}}) {
        Key key = Key::Count;
        EXPECT_TRUE(heard(qtKey, modifiers, &key)) << qtKey;
        EXPECT_EQ(key, expected) << qtKey;
    }
    Key key = Key::Count;
    for (int other : {int(Qt::Key_A), int(Qt::Key_Space), int(Qt::Key_Minus), int(Qt::Key_F1)})
        EXPECT_FALSE(heard(other, Qt::NoModifier, &key)) << other;
}

TEST(KeyReader, AQuickPressIsKeptUntilTheDrillLooksOnce) {
    Reader r;
    // typed before the run: not an answer in it
    r.key(Qt::Key_5, true);
    r.key(Qt::Key_5, false);
    r.keys.setRunActive(true);
    EXPECT_FALSE(r.keys.queryKey(Key::Main5).pressedSinceLastQuery);
    r.keys.setRunActive(true);  // saying so again forgets nothing new
    r.key(Qt::Key_5, true);
    r.key(Qt::Key_5, false);
    r.keys.setRunActive(true);
    EXPECT_TRUE(r.keys.queryKey(Key::Main5).pressedSinceLastQuery);
    r.key(Qt::Key_0, true);
    EXPECT_TRUE(r.keys.queryKey(Key::Main0).heldNow);
    r.key(Qt::Key_0, false);
    r.key(Qt::Key_7, true, Qt::KeypadModifier);
    r.key(Qt::Key_7, false, Qt::KeypadModifier);
    const KeyReading seven = r.keys.queryKey(Key::Pad7);
    EXPECT_FALSE(seven.heldNow);
    EXPECT_TRUE(seven.pressedSinceLastQuery);
    EXPECT_FALSE(r.keys.queryKey(Key::Pad7).pressedSinceLastQuery);
    EXPECT_FALSE(r.keys.queryKey(Key::Main7).pressedSinceLastQuery);  // the other row stays apart
}

// A busy computer may hand the window an event late; its stamp (the window
// system's own milliseconds) says when the key went down.
TEST(KeyReader, APressIsTimedByItsStampNotByWhenItIsHandled) {
    struct Case {
        const char* what;
        std::vector<std::pair<quint64, std::int64_t>> earlier;  // stamp, handled at
        quint64 stamp;
        std::int64_t handled;
        std::int64_t expected;
    };
    const std::vector<Case> cases = {
        {"handled at once", {}, 5000, 105000, 105000},
        {"handled late, the offset known", {{5000, 105000}}, 5200, 105260, 105200},
        {"a quicker event lowers the offset", {{5000, 105003}, {5100, 105100}}, 5200, 105250, 105200},
        {"the stamps' clock wrapped", {{4294967000, 105000}}, 300, 105600, 105600},
        {"no stamp", {{5000, 105000}}, 0, 105400, 105400},
    };
    for (const Case& c : cases) {
        KeyState keys;
        for (const auto& [stamp, handled] : c.earlier) keys.eventTimeMs(stamp, handled);
        EXPECT_EQ(keys.eventTimeMs(c.stamp, c.handled), c.expected) << c.what;
    }
    // The drill reads the time of the first press it has not seen, on the clock's scale.
    Reader r;
    r.keys.setRunActive(true);
    EXPECT_EQ(r.keys.queryKey(Key::Main3).pressedAtMs, -1);
    const std::int64_t before = KeyState::monotonicMs();
    r.key(Qt::Key_G, true, Qt::NoModifier, 1000);  // handled at once
    r.key(Qt::Key_3, true, Qt::NoModifier, 940);   // made 60 ms before it, handled only now
    r.key(Qt::Key_3, false, Qt::NoModifier, 1010);
    r.key(Qt::Key_3, true, Qt::NoModifier, 1020);
    const std::int64_t after = KeyState::monotonicMs();
    const std::int64_t pressed = r.keys.queryKey(Key::Main3).pressedAtMs;
    EXPECT_GE(pressed, before - 60);
    EXPECT_LE(pressed, after - 60);
    EXPECT_EQ(r.keys.queryKey(Key::Main3).pressedAtMs, -1);  // seen: held, not pressed anew
}

// Keys let go in another program never reach this one: leaving the program
// forgets what was held, so an old Esc cannot stop the next run.
TEST(KeyReader, LeavingTheProgramForgetsEveryKeyAndButtonHeld) {
    Reader r;
    r.key(Qt::Key_Escape, true);
    r.key(Qt::Key_G, true);
    r.click(Qt::RightButton, true);
    ASSERT_TRUE(r.keys.keyHeld(Key::Esc));
    ASSERT_TRUE(r.keys.mouseHeld(MouseButton::Right));
    QApplicationStateChangeEvent away(Qt::ApplicationInactive);
    r.keys.eventFilter(qApp, &away);
    EXPECT_FALSE(r.keys.keyHeld(Key::Esc));
    EXPECT_FALSE(r.keys.keyHeld(Key::G));
    EXPECT_FALSE(r.keys.mouseHeld(MouseButton::Right));
}

TEST(KeyReader, ClicksDuringARunCountOnceAndReachNoWindow) {
    for (const auto& [qtButton, button] :
         {std::pair{Qt::RightButton, MouseButton::Right}, {Qt::LeftButton, MouseButton::Left}}) {
        SCOPED_TRACE(int(qtButton));
        Reader r;
        // a click before the run is not one in it
        EXPECT_FALSE(r.click(qtButton, true));
        EXPECT_FALSE(r.click(qtButton, false));
        r.keys.setRunActive(true);
        EXPECT_FALSE(r.keys.mouseHeld(button));
        // a click quicker than one look still counts, once
        EXPECT_TRUE(r.click(qtButton, true));
        EXPECT_TRUE(r.click(qtButton, false));
        EXPECT_TRUE(r.keys.mouseHeld(button));
        EXPECT_FALSE(r.keys.mouseHeld(button));
        // held down, it is seen for as long as it is held
        r.click(qtButton, true);
        r.keys.mouseHeld(button);
        EXPECT_TRUE(r.keys.mouseHeld(button));
        r.click(qtButton, false);
        EXPECT_FALSE(r.keys.mouseHeld(button));
        // after the run, clicks reach the windows again
        r.keys.setRunActive(false);
        EXPECT_FALSE(r.click(qtButton, true));
    }
}

// With a confirmation box open during a run, keys typed into the box answer
// it; everywhere else the drill hears them and the windows do not.
TEST(KeyReader, OnlyTheAllowedBoxHearsKeysDuringARun) {
    Reader r;
    QWidget box;
    QWidget field(&box);
    r.keys.setRunActive(true);
    r.keys.setAllowedBox(&box);
    for (QWidget* inBox : {&box, &field}) {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        EXPECT_FALSE(r.keys.eventFilter(inBox, &enter));
        EXPECT_FALSE(r.keys.queryKey(Key::Enter).pressedSinceLastQuery);
    }
    EXPECT_TRUE(r.key(Qt::Key_Return, true));
    EXPECT_TRUE(r.keys.queryKey(Key::Enter).pressedSinceLastQuery);
    EXPECT_TRUE(r.key(Qt::Key_Return, false));
    // the box closed: nothing is let through any more
    r.keys.setAllowedBox(nullptr);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    EXPECT_TRUE(r.keys.eventFilter(&field, &enter));
}

// The button that opened a confirmation box is still held when the box
// closes only if it never came up; a press made inside the box and still
// down when it closes is the box's, not a new click for the drill.
TEST(KeyReader, ABoxClosingKeepsOnlyTheButtonThatWasHeldAllAlong) {
    Reader r;
    r.target.setGeometry(100, 100, 120, 80);
    r.target.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&r.target));
    QWidget box;
    r.keys.setRunActive(true);

    // held since before the box, still held as it closes
    r.click(Qt::RightButton, true);
    r.keys.setAllowedBox(&box);
    QTest::mousePress(r.target.windowHandle(), Qt::RightButton, {}, QPoint(10, 10));
    r.keys.setAllowedBox(nullptr);
    EXPECT_TRUE(r.keys.mouseHeld(MouseButton::Right));
    QTest::mouseRelease(r.target.windowHandle(), Qt::RightButton, {}, QPoint(10, 10));
    r.click(Qt::RightButton, false);

    // held since before the box, let go while it was open
    r.click(Qt::RightButton, true);
    r.keys.setAllowedBox(&box);
    r.keys.setAllowedBox(nullptr);
    EXPECT_FALSE(r.keys.mouseHeld(MouseButton::Right));

    // pressed inside the box only
    r.keys.setAllowedBox(&box);
    QTest::mousePress(r.target.windowHandle(), Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_TRUE(QGuiApplication::mouseButtons().testFlag(Qt::LeftButton));
    r.keys.setAllowedBox(nullptr);
    EXPECT_FALSE(r.keys.mouseHeld(MouseButton::Left));
    QTest::mouseRelease(r.target.windowHandle(), Qt::LeftButton, {}, QPoint(10, 10));
}
