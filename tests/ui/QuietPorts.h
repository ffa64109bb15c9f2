// Sound and a clock that do nothing, for windows tested without a drill.
#pragma once

#include "main/core/RunnerPorts.h"

struct QuietPorts : Sound, Clock {
    void playSound(int) override {}
    void beep() override {}
    std::int64_t nowMs() override { return 0; }
    void sleepMs(int) override {}
    void idleMs(int) override {}
};
