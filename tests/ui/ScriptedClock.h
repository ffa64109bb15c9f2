// A clock for driving the real windows through drills without waiting:
// time moves only when a drill sleeps or waits, and actions (key presses,
// clicks, screenshots) run at chosen moments of that time.
#pragma once

#include <QCoreApplication>
#include <algorithm>
#include <functional>
#include <map>

#include "main/core/RunnerPorts.h"

class ScriptedClock : public Clock {
public:
    std::int64_t nowMs() override { return now_; }
    void sleepMs(int ms) override { advance(now_ + ms); }
    void idleMs(int ms) override {
        std::int64_t target = now_ + ms;
        if (!actions_.empty()) target = std::min(target, std::max(now_, actions_.begin()->first));
        advance(target);
    }
    // Runs the action when the drill's time reaches `at` (ms from now).
    void after(std::int64_t ms, std::function<void()> action) { actions_.emplace(now_ + ms, std::move(action)); }
    void clear() { actions_.clear(); }

private:
    void advance(std::int64_t target) {
        while (!actions_.empty() && actions_.begin()->first <= target) {
            auto action = std::move(actions_.begin()->second);
            now_ = std::max(now_, actions_.begin()->first);
            actions_.erase(actions_.begin());
            action();
        }
        now_ = std::max(now_, target);
        QCoreApplication::processEvents();
    }
    std::int64_t now_ = 100000;
    std::multimap<std::int64_t, std::function<void()>> actions_;
};

struct SilentSound : Sound {
    void playSound(SoundKind) override {}
    void beep() override {}
};
