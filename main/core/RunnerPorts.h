// What a runner needs from the world: a board to show facts on, a clock,
// the keyboard and mouse, sound and confirmation boxes. The program gives it
// Qt implementations; tests give it a virtual clock and scripted input.
#pragma once

#include <cstdint>
#include <string>

#include "main/core/SpokenReadings.h"

enum class Key {
    Pad0, Pad1, Pad2, Pad3, Pad4, Pad5, Pad6, Pad7, Pad8, Pad9,
    Main0, Main1, Main2, Main3, Main4, Main5, Main6, Main7, Main8, Main9,
    G, Enter, Esc,
    Count
};

inline Key padDigit(int d) { return static_cast<Key>(static_cast<int>(Key::Pad0) + d); }
inline Key mainDigit(int d) { return static_cast<Key>(static_cast<int>(Key::Main0) + d); }

enum class MouseButton { Left, Right };

struct KeyReading {
    bool heldNow = false;
    bool pressedSinceLastQuery = false;
    // When that press was made, on the clock's scale; -1 when unknown (then
    // the time of the query stands for it).
    std::int64_t pressedAtMs = -1;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds on a monotonic clock.
    virtual std::int64_t nowMs() = 0;
    // Blocks for ms while the user interface stays alive.
    virtual void sleepMs(int ms) = 0;
    // Waits at most ms for the next input or event; returns early when one
    // arrives. Lets a polling loop sleep instead of spinning.
    virtual void idleMs(int ms) = 0;
};

class Input {
public:
    virtual ~Input() = default;
    // Held now and pressed since the last query. Like the platform's
    // asynchronous key state, any query clears the pressed-since flag.
    virtual KeyReading queryKey(Key key) = 0;
    // Held now; clears the pressed-since flag as well.
    virtual bool keyHeld(Key key) = 0;
    virtual bool mouseHeld(MouseButton button) = 0;
};

// In the order of the sound files.
enum class SoundKind { Right, Wrong, Prompt };

class Sound {
public:
    virtual ~Sound() = default;
    // Asynchronous: returns at once.
    virtual void playSound(SoundKind kind) = 0;
    virtual void beep() = 0;
    // The voice, heard beside the effect sounds: starts phrase kind of fact q,
    // cutting off what the voice still says, and returns how long the phrase
    // lasts in ms; 0 without a voice. Given withinMs, a phrase that would
    // last longer at the chosen speed is spoken faster, to end in time.
    virtual int speak(Spoken kind, int q, int withinMs = 0) {
        (void)kind;
        (void)q;
        (void)withinMs;
        return 0;
    }
    // Silences the voice at once.
    virtual void stopSpeaking() {}
    // Whether every phrase is there to be spoken.
    virtual bool hasVoice() const { return false; }
    // The voice's volume (0..100) and speed in tenths, as the settings carry them.
    virtual void setVoice(int volume, int rateTenths) {
        (void)volume;
        (void)rateTenths;
    }
};

class Confirm {
public:
    virtual ~Confirm() = default;
    // OK/Cancel box; true for OK.
    virtual bool confirm(const std::string& text, const std::string& caption) = 0;
};

// Fields of the main window that a run writes to.
enum class Field { Message, Counter, PassLabel, Formula, Answer, Mark, Reading, Hint };
enum class MessageColour { Blue, Maroon };

class BoardView {
public:
    virtual ~BoardView() = default;
    virtual void setFieldText(Field field, const std::string& text) = 0;
    virtual void setAnswerColour(bool red) = 0;
    virtual void setMessageColour(MessageColour colour) = 0;
    virtual void setProgressBar(int value) = 0;
    virtual void setControlsEnabled(bool enabled) = 0;  // the seven selection controls
    virtual void showAbortHint() = 0;                   // triangle and "Esc/ｸﾘｯｸ で 中止!!"
    virtual void drawDecorations() = 0;
};
