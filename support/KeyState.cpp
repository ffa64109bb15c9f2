#include "support/KeyState.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QDialog>
#include <QWidget>
#include <QWindow>

#include <chrono>

namespace {
int idx(Key key) { return static_cast<int>(key); }
}

KeyState::KeyState(QObject* parent) : QObject(parent) {}

bool KeyState::keyOf(const QKeyEvent& event, Key* key) {
    const int k = event.key();
    if (k >= Qt::Key_0 && k <= Qt::Key_9) {
        const int digit = k - Qt::Key_0;
        *key = event.modifiers().testFlag(Qt::KeypadModifier) ? padDigit(digit) : mainDigit(digit);
        return true;
    }
    switch (k) {
    case Qt::Key_G: *key = Key::G; return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: *key = Key::Enter; return true;
    case Qt::Key_Escape: *key = Key::Esc; return true;
    default: return false;
    }
}

std::int64_t KeyState::monotonicMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::int64_t KeyState::eventTimeMs(quint64 timestamp, std::int64_t handledMs) {
    if (timestamp == 0) return handledMs;  // not stamped
    const std::int64_t gap = handledMs - std::int64_t(timestamp);
    // A minute off: the window system's clock wrapped (X counts 32 bits of
    // milliseconds) or restarted; learn the offset anew.
    constexpr std::int64_t kNewClockMs = 60000;
    if (!offsetKnown_ || gap < offset_ || gap - offset_ > kNewClockMs) offset_ = gap;
    offsetKnown_ = true;
    return std::int64_t(timestamp) + offset_;
}

KeyReading KeyState::queryKey(Key key) {
    KeyReading r{held_[idx(key)], pressed_[idx(key)], pressed_[idx(key)] ? pressedAt_[idx(key)] : -1};
    pressed_[idx(key)] = false;
    return r;
}

bool KeyState::keyHeld(Key key) {
    pressed_[idx(key)] = false;
    return held_[idx(key)];
}

void KeyState::setRunActive(bool active) {
    // A press made before the run must not answer, pass or stop anything in it.
    if (active && !runActive_) {
        pressed_.fill(false);
        leftClicked_ = rightClicked_ = false;
    }
    runActive_ = active;
}

bool KeyState::mouseHeld(MouseButton button) {
    bool& clicked = button == MouseButton::Left ? leftClicked_ : rightClicked_;
    const bool seen = (button == MouseButton::Left ? leftHeld_ : rightHeld_) || clicked;
    clicked = false;
    return seen;
}

void KeyState::setAllowedBox(QWidget* box) {
    allowedBox_ = box;
    if (!box) {
        // A press that opened the box may have been released inside it.
        const Qt::MouseButtons now = QGuiApplication::mouseButtons();
        leftHeld_ = leftHeld_ && now.testFlag(Qt::LeftButton);
        rightHeld_ = rightHeld_ && now.testFlag(Qt::RightButton);
        leftClicked_ = rightClicked_ = false;
    }
}

void KeyState::releaseAll() {
    held_.fill(false);
    // What was pressed before the box stays so: the window manager may take
    // the keyboard away for a moment as it gives the box the focus.
    down_.clear();
    leftHeld_ = rightHeld_ = false;
    leftClicked_ = rightClicked_ = false;
}

bool KeyState::belongsToAllowedBox(QObject* watched) const {
    if (!allowedBox_) return false;
    // Input reaches a window object before the widgets inside it.
    if (auto* window = qobject_cast<QWindow*>(watched)) return allowedBox_->windowHandle() == window;
    for (QObject* o = watched; o; o = o->parent())
        if (o == allowedBox_) return true;
    if (auto* w = qobject_cast<QWidget*>(watched)) return w->window() == allowedBox_;
    return false;
}

void KeyState::recordKey(Key key, bool down, std::int64_t atMs) {
    // The first press the drill has not yet seen keeps its time.
    if (down && !pressed_[idx(key)]) pressedAt_[idx(key)] = atMs;
    held_[idx(key)] = down;
    if (down) pressed_[idx(key)] = true;
    emit inputArrived();
}

bool KeyState::continuesHold(const QKeyEvent& event) const {
    if (event.isAutoRepeat()) return true;
    const quint64 at = event.timestamp();
    if (at == 0) return false;  // not stamped: nothing to tell by
    const int key = event.key();
    if (const auto released = lastRelease_.find(key); released != lastRelease_.end() && released->second == at)
        return true;
    // Repeats come within a second of each other; a later press after a
    // release that went to another program is a new one.
    constexpr quint64 kRepeatGapMs = 1000;
    const auto pressed = lastPress_.find(key);
    return down_.count(key) && pressed != lastPress_.end() && at > pressed->second && at - pressed->second < kRepeatGapMs;
}

bool KeyState::pressFromBefore(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Show:
        // A dialog or box appearing: every key pressed until now was meant
        // for before; only a new press of it acts here. A key let go just
        // now counts too, for its release may be the first half of a repeat.
        if (qobject_cast<QDialog*>(watched) && static_cast<QWidget*>(watched)->isWindow()) {
            stale_ = down_;
            for (const auto& [key, at] : lastPress_) stale_.insert(key);
        }
        return false;
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride: {
        const auto* ke = static_cast<QKeyEvent*>(event);
        const bool continued = continuesHold(*ke);
        if (event->type() == QEvent::KeyPress) {
            down_.insert(ke->key());
            if (ke->timestamp() != 0) lastPress_[ke->key()] = ke->timestamp();
        }
        if (!stale_.count(ke->key())) return false;
        if (continued) return true;
        // A new press: meant for the window that has it now.
        stale_.erase(ke->key());
        return false;
    }
    case QEvent::KeyRelease: {
        const auto* ke = static_cast<QKeyEvent*>(event);
        if (!ke->isAutoRepeat()) {
            down_.erase(ke->key());
            if (ke->timestamp() != 0) lastRelease_[ke->key()] = ke->timestamp();
        }
        return false;
    }
    default: return false;
    }
}

bool KeyState::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (pressFromBefore(watched, event)) return true;
    const bool inBox = belongsToAllowedBox(watched);
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* ke = static_cast<QKeyEvent*>(event);
        Key key;
        const bool press = type == QEvent::KeyPress;
        // Keys typed into the confirmation box answer the box, not the drill;
        // a release always counts so that nothing stays held.
        if (keyOf(*ke, &key) && !(press && inBox) && !(ke->isAutoRepeat() && !press))
            recordKey(key, press, eventTimeMs(ke->timestamp(), monotonicMs()));
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        auto* me = static_cast<QMouseEvent*>(event);
        const bool down = type != QEvent::MouseButtonRelease;
        if (!(down && inBox)) {
            if (me->button() == Qt::LeftButton) leftHeld_ = down;
            if (me->button() == Qt::RightButton) rightHeld_ = down;
            if (down && runActive_ && me->button() == Qt::LeftButton) leftClicked_ = true;
            if (down && runActive_ && me->button() == Qt::RightButton) rightClicked_ = true;
            emit inputArrived();
        }
        break;
    }
    case QEvent::ApplicationStateChange:
        if (static_cast<QApplicationStateChangeEvent*>(event)->applicationState() != Qt::ApplicationActive)
            releaseAll();
        break;
    default: break;
    }

    if (!runActive_ || inBox) return false;
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
        return true;
    case QEvent::Close:
        if (watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) {
            // The close box during a run asks, as a click does; the window stays.
            leftClicked_ = true;
            emit inputArrived();
            event->ignore();
            return true;
        }
        return false;
    default: return false;
    }
}
