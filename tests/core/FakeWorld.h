// A virtual world for the runners: time passes only when they sleep, keys
// and mouse buttons move when a script says so, and every field they write
// is recorded with the time it was written.
#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "main/core/Board.h"
#include "main/core/FactTables.h"
#include "main/core/QuestionOrder.h"
#include "main/core/Runner.h"
#include "main/core/StudyState.h"

struct ScriptEvent {
    std::int64_t at;
    enum Kind { KeyDown, KeyUp, KeyTap, MouseDown, MouseUp } kind;
    Key key = Key::G;
    MouseButton button = MouseButton::Left;
};

class FakeInput : public Input {
public:
    KeyReading queryKey(Key key) override {
        KeyReading r{held[i(key)], pressed[i(key)]};
        pressed[i(key)] = false;
        return r;
    }
    bool keyHeld(Key key) override {
        pressed[i(key)] = false;
        const bool down = held[i(key)];
        // A key may come in between this look and the next, as on a real keyboard.
        if (afterHeldQuery) afterHeldQuery(key);
        return down;
    }
    bool mouseHeld(MouseButton b) override { return b == MouseButton::Left ? left : right; }

    void apply(const ScriptEvent& e) {
        switch (e.kind) {
        case ScriptEvent::KeyDown: held[i(e.key)] = pressed[i(e.key)] = true; break;
        case ScriptEvent::KeyUp: held[i(e.key)] = false; break;
        case ScriptEvent::KeyTap: pressed[i(e.key)] = true; break;
        case ScriptEvent::MouseDown: (e.button == MouseButton::Left ? left : right) = true; break;
        case ScriptEvent::MouseUp: (e.button == MouseButton::Left ? left : right) = false; break;
        }
    }
    static int i(Key k) { return static_cast<int>(k); }
    bool held[static_cast<int>(Key::Count)] = {};
    bool pressed[static_cast<int>(Key::Count)] = {};
    bool left = false;
    bool right = false;
    std::function<void(Key)> afterHeldQuery;
};

class VirtualClock : public Clock {
public:
    explicit VirtualClock(FakeInput& input, std::int64_t start = 0) : input_(input), now_(start), start_(start) {}
    std::int64_t nowMs() override {
        // A runner that polls without ever sleeping would spin for ever on
        // a clock that only moves when it sleeps: stop it as a failure.
        if (++readsWithoutSleep_ > kMaxReadsWithoutSleep) throw std::runtime_error("the runner polls without waiting");
        return now_;
    }
    void sleepMs(int ms) override { advanceTo(now_ + ms); }
    void idleMs(int ms) override {
        std::int64_t target = now_ + ms;
        if (!script_.empty()) target = std::min(target, std::max(now_, script_.front().at));
        advanceTo(target);
        ++idleCalls;
    }
    void schedule(ScriptEvent e) {
        if (e.at < now_) e.at = now_;
        auto pos = std::upper_bound(script_.begin(), script_.end(), e.at,
                                    [](std::int64_t t, const ScriptEvent& x) { return t < x.at; });
        script_.insert(pos, e);
    }
    void keyTap(std::int64_t at, Key k) { schedule({at, ScriptEvent::KeyTap, k}); }
    void keyHold(std::int64_t at, Key k, int ms) {
        schedule({at, ScriptEvent::KeyDown, k});
        schedule({at + ms, ScriptEvent::KeyUp, k});
    }
    void mouseHold(std::int64_t at, MouseButton b, int ms) {
        schedule({at, ScriptEvent::MouseDown, Key::G, b});
        schedule({at + ms, ScriptEvent::MouseUp, Key::G, b});
    }
    int idleCalls = 0;

private:
    void advanceTo(std::int64_t t) {
        // Only a wait that lets time pass or lets something happen counts as
        // waiting: a loop of zero-length waits spins as surely as none.
        if (t > now_ || (!script_.empty() && script_.front().at <= t)) readsWithoutSleep_ = 0;
        if (t - start_ > kVirtualDayMs) throw std::runtime_error("the run goes on past a virtual day");
        while (!script_.empty() && script_.front().at <= t) {
            now_ = std::max(now_, script_.front().at);
            input_.apply(script_.front());
            script_.pop_front();
        }
        now_ = std::max(now_, t);
    }
    static constexpr int kMaxReadsWithoutSleep = 100000;
    static constexpr std::int64_t kVirtualDayMs = 24LL * 3600 * 1000;
    int readsWithoutSleep_ = 0;
    FakeInput& input_;
    std::int64_t now_;
    std::int64_t start_;
    std::deque<ScriptEvent> script_;
};

struct SoundCall {
    std::int64_t at;
    int kind;  // -1 for a beep
};

// What the voice was asked to do: a phrase of a fact, or silence (q = -1).
struct SpeechCall {
    std::int64_t at;
    int q;
    Spoken kind = Spoken::Chant;
    int withinMs = 0;
};

class FakeSound : public Sound {
public:
    explicit FakeSound(Clock& clock) : clock_(clock) {}
    void playSound(SoundKind kind) override { calls.push_back({clock_.nowMs(), int(kind)}); }
    void beep() override { calls.push_back({clock_.nowMs(), -1}); }
    int speak(Spoken kind, int q, int withinMs) override {
        speech.push_back({clock_.nowMs(), q, kind, withinMs});
        return phraseMs;
    }
    void stopSpeaking() override { speech.push_back({clock_.nowMs(), -1}); }
    bool hasVoice() const override { return phraseMs > 0; }
    std::vector<SpeechCall> speech;
    int phraseMs = 0;  // how long each phrase lasts; 0 is a program without a voice
    int count(int kind) const {
        return int(std::count_if(calls.begin(), calls.end(), [kind](const SoundCall& c) { return c.kind == kind; }));
    }
    int count(SoundKind kind) const { return count(int(kind)); }
    int beeps() const { return count(-1); }
    std::vector<SoundCall> calls;

private:
    Clock& clock_;
};

class FakeConfirm : public Confirm {
public:
    FakeConfirm(Clock& clock, FakeInput& input) : clock_(clock), input_(input) {}
    bool confirm(const std::string& text, const std::string& caption) override {
        asked.push_back({clock_.nowMs(), text + "|" + caption});
        // the user lets go of the key or button while the box is open
        input_.left = input_.right = false;
        input_.held[FakeInput::i(Key::Esc)] = false;
        const bool ok = answers.empty() ? false : answers.front();
        if (!answers.empty()) answers.pop_front();
        return ok;
    }
    std::deque<bool> answers;
    std::vector<std::pair<std::int64_t, std::string>> asked;

private:
    Clock& clock_;
    FakeInput& input_;
};

struct FieldWrite {
    std::int64_t at;
    Field field;
    std::string text;
    bool red = false;  // the answer field's colour when it was written
};

class RecordingView : public BoardView {
public:
    RecordingView(Clock& clock, StudyState& st) : clock_(clock), st_(st) {}
    void setFieldText(Field f, const std::string& text) override {
        writes.push_back({clock_.nowMs(), f, text, answerRed});
        last[f] = text;
        if (f == Field::Formula && !text.empty()) {
            asked.push_back(st_.currentQuestion);
            askedAt.push_back(clock_.nowMs());
            if (onQuestion) onQuestion(st_.currentQuestion, clock_.nowMs());
        }
    }
    void setAnswerColour(bool red) override { answerRed = red; }
    // Each answer written, with the colour it was shown in.
    std::vector<std::pair<std::string, bool>> answersWithColour() const {
        std::vector<std::pair<std::string, bool>> out;
        for (const FieldWrite& w : writes)
            if (w.field == Field::Answer && !w.text.empty()) out.emplace_back(w.text, w.red);
        return out;
    }
    void setMessageColour(MessageColour colour) override { messageColour = colour; }
    void setProgressBar(int value) override { progress.push_back(value); }
    void setControlsEnabled(bool enabled) override { controlsEnabled = enabled; }
    void showAbortHint() override { ++abortHints; }
    void drawDecorations() override { ++decorations; }

    std::vector<std::string> textsOf(Field f) const {
        std::vector<std::string> out;
        for (const FieldWrite& w : writes)
            if (w.field == f) out.push_back(w.text);
        return out;
    }
    std::int64_t firstTimeOf(Field f, const std::string& text, std::int64_t after = -1) const {
        for (const FieldWrite& w : writes)
            if (w.field == f && w.text == text && w.at > after) return w.at;
        return -1;
    }

    std::vector<FieldWrite> writes;
    std::map<Field, std::string> last;
    std::vector<int> asked;
    std::vector<std::int64_t> askedAt;
    std::vector<int> progress;
    std::function<void(int q, std::int64_t at)> onQuestion;
    bool answerRed = false;
    std::optional<MessageColour> messageColour;
    bool controlsEnabled = true;
    int abortHints = 0, decorations = 0;

private:
    Clock& clock_;
    StudyState& st_;
};

// The windows that runs asked the main window to open once they were over.
struct OpenedAfterRuns {
    void count(const RunOutcome& outcome) {
        tableWindows += outcome.then == RunOutcome::Then::TableWindow;
        resultsByTable += outcome.then == RunOutcome::Then::ResultsByTable;
        resultsByLevel += outcome.then == RunOutcome::Then::ResultsByLevel;
    }
    int tableWindows = 0, resultsByTable = 0, resultsByLevel = 0;
};

// Everything a runner needs, wired together.
struct FakeWorld {
    explicit FakeWorld(std::int64_t start = 1000)
        : clock(input, start), sound(clock), confirm(clock, input), view(clock, st), board(st, view),
          runner(st, board, RunnerPorts{clock, input, sound, confirm}) {
        st.repeatCount = 1;
        st.answerDelay = 500;
        st.studentName = "abc";
    }
    // Start, as the button runs it; what the run asks to open is counted.
    RunOutcome start() {
        const RunOutcome outcome = runner.ExecButtonClick();
        opened.count(outcome);
        return outcome;
    }
    void choose(int range, int content, int speed) {
        st.rangeIndex = range;
        st.currentDan = danOfRange[range];
        st.contentIndex = content;
        selectSpeed(st, speed);
    }
    StudyState st;
    FakeInput input;
    VirtualClock clock;
    FakeSound sound;
    FakeConfirm confirm;
    RecordingView view;
    OpenedAfterRuns opened;
    Board board;
    Runner runner;
};
