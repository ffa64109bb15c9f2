// Monotonic time for the drills, and sleeps that keep the window painting
// and the key state fed without burning a core.
#pragma once

#include "main/core/RunnerPorts.h"

class KeyState;

class QtClock : public Clock {
public:
    explicit QtClock(KeyState* wakeOnInput = nullptr);
    std::int64_t nowMs() override;
    void sleepMs(int ms) override;
    void idleMs(int ms) override;

private:
    void pumpUntil(std::int64_t deadline, bool wakeOnInput);
    KeyState* keys_;
};
