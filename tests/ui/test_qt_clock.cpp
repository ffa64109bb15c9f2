// The drills' waits: a sleep lasts its time whatever arrives, an idle wait
// ends at the first input, and both keep other events flowing meanwhile.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>

#include "support/KeyState.h"
#include "support/QtClock.h"

namespace {
// Two clocks each cut to whole milliseconds may read one apart over the same
// span: a wait of N ms reads N - 1 on a clock it did not measure itself.
constexpr qint64 kResolutionMs = 1;
}  // namespace

TEST(QtClockWaits, ASleepLastsItsTimeThroughInputAndLetsTimersRun) {
    KeyState keys;
    QtClock clock(&keys);
    bool timerRan = false;
    QTimer::singleShot(10, &keys, [&] { timerRan = true; });
    QTimer::singleShot(20, &keys, [&] { emit keys.inputArrived(); });
    QElapsedTimer took;
    took.start();
    const std::int64_t before = clock.nowMs();
    clock.sleepMs(80);
    EXPECT_GE(took.elapsed(), 80 - kResolutionMs);
    EXPECT_LT(took.elapsed(), 1000);
    EXPECT_GE(clock.nowMs() - before, 80);
    EXPECT_TRUE(timerRan);
}

TEST(QtClockWaits, AnIdleWaitEndsAtTheFirstInputOrAtItsTime) {
    KeyState keys;
    QtClock clock(&keys);
    QTimer::singleShot(30, &keys, [&] { emit keys.inputArrived(); });
    QElapsedTimer took;
    took.start();
    clock.idleMs(5000);
    EXPECT_GE(took.elapsed(), 25);
    EXPECT_LT(took.elapsed(), 1000);

    took.restart();
    clock.idleMs(60);
    EXPECT_GE(took.elapsed(), 60 - kResolutionMs);
    EXPECT_LT(took.elapsed(), 1000);

    // Without a key state to listen to, an idle wait is a plain sleep.
    QtClock deaf;
    QTimer::singleShot(10, &keys, [&] { emit keys.inputArrived(); });
    took.restart();
    deaf.idleMs(60);
    EXPECT_GE(took.elapsed(), 60 - kResolutionMs);
}
