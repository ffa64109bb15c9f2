// Sound and a clock that do nothing, and saves that are only counted, for
// windows tested without a drill.
#pragma once

#include "main/core/RunnerPorts.h"
#include "windows/Keeper.h"

struct QuietPorts : Sound, Clock, Keeper {
    void playSound(SoundKind) override {}
    void beep() override {}
    std::int64_t nowMs() override { return 0; }
    void sleepMs(int) override {}
    void idleMs(int) override {}
    bool savePasses(QWidget*) override { return ++passSaves, true; }
    bool saveFactRecord(QWidget*) override { return ++recordSaves, true; }
    int passSaves = 0, recordSaves = 0;
};
