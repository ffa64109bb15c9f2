#include "support/QtClock.h"

#include <QEventLoop>
#include <QTimer>

#include "support/KeyState.h"

QtClock::QtClock(KeyState* wakeOnInput) : keys_(wakeOnInput) {}

// The scale the key state gives press times in.
std::int64_t QtClock::nowMs() { return KeyState::monotonicMs(); }

void QtClock::sleepMs(int ms) { pumpUntil(nowMs() + ms, false); }

void QtClock::idleMs(int ms) { pumpUntil(nowMs() + ms, true); }

void QtClock::pumpUntil(std::int64_t deadline, bool wakeOnInput) {
    // A nested loop blocks in the event dispatcher until the deadline timer or
    // an event arrives, so waiting costs no CPU while windows stay painted.
    while (nowMs() < deadline) {
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        QMetaObject::Connection wake;
        if (wakeOnInput && keys_) wake = QObject::connect(keys_, &KeyState::inputArrived, &loop, &QEventLoop::quit);
        timer.start(int(deadline - nowMs()));
        loop.exec();
        if (wake) QObject::disconnect(wake);
        if (wakeOnInput) return;
    }
}
