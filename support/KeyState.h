// Keyboard and mouse as a drill sees them: per key, held now and pressed
// since the last query. Fed by an application-wide event filter, which also
// keeps every window deaf to the user while a drill runs, and keeps a key
// that was already down when a window or box appeared (an Enter held from
// the last answer, its autorepeat) from acting in it.
#pragma once

#include <QObject>
#include <QPointer>
#include <array>
#include <map>
#include <set>

#include "main/core/RunnerPorts.h"

class QKeyEvent;
class QWidget;

class KeyState : public QObject, public Input {
    Q_OBJECT
public:
    explicit KeyState(QObject* parent = nullptr);

    KeyReading queryKey(Key key) override;
    bool keyHeld(Key key) override;
    // Held now, or clicked during the run since the last look.
    bool mouseHeld(MouseButton button) override;

    // While a run is active, user input reaches no window but the one allowed
    // box. Starting a run forgets every earlier press.
    void setRunActive(bool active);
    bool runActive() const { return runActive_; }
    void setAllowedBox(QWidget* box);

    // Forget everything held, e.g. when the program loses the keyboard.
    void releaseAll();

    bool eventFilter(QObject* watched, QEvent* event) override;

    static bool keyOf(const QKeyEvent& event, Key* key);

    // The monotonic milliseconds that press times are given in (QtClock's).
    static std::int64_t monotonicMs();
    // When an event stamped `timestamp` (the window system's milliseconds)
    // and handled at `handledMs` was made. The window's thread may handle
    // an event late on a busy computer; the stamp says when the key went
    // down. The two clocks' offset is the smallest gap seen between them.
    std::int64_t eventTimeMs(quint64 timestamp, std::int64_t handledMs);

signals:
    void inputArrived();

private:
    bool belongsToAllowedBox(QObject* watched) const;
    void recordKey(Key key, bool down, std::int64_t atMs);
    // True when the event is a press of a key that was down before the
    // window it goes to appeared; such presses reach no window.
    bool pressFromBefore(QObject* watched, QEvent* event);

    std::array<bool, static_cast<int>(Key::Count)> held_{};
    std::array<bool, static_cast<int>(Key::Count)> pressed_{};
    std::array<std::int64_t, static_cast<int>(Key::Count)> pressedAt_{};
    bool offsetKnown_ = false;
    std::int64_t offset_ = 0;  // our time minus the window system's
    bool leftHeld_ = false;
    bool rightHeld_ = false;
    // A click quicker than one poll still counts once during a run.
    bool leftClicked_ = false;
    bool rightClicked_ = false;
    bool runActive_ = false;
    QPointer<QWidget> allowedBox_;
    // A press that only continues a key held before: flagged so, or made at
    // the very moment of that key's release (an X server's repeat is a
    // release and a press at one time, and Qt flags only some of them: under
    // a window manager, every other one came as a real release and press),
    // or following a press of it with no release between, within a repeat's gap.
    bool continuesHold(const QKeyEvent& event) const;

    std::set<int> down_;   // every key down now, by Qt key code
    std::set<int> stale_;  // keys pressed before the last dialog appeared, not pressed anew since
    std::map<int, quint64> lastPress_;    // the window system's time of each key's last press
    std::map<int, quint64> lastRelease_;  // ... and of its last release
};
