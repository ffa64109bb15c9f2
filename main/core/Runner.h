// The drills. Each runs to its end inside the Start handler, in straight
// steps: pauses and waits go through the clock, keys through the input.
#pragma once

#include <vector>

#include "main/core/Board.h"
#include "main/core/RunnerPorts.h"
#include "main/core/StudyState.h"

struct RunnerPorts {
    Clock& clock;
    Input& input;
    Sound& sound;
    Confirm& confirm;
    RunNavigation& navigation;
};

class Runner {
public:
    Runner(StudyState& st, Board& board, const RunnerPorts& ports)
        : st_(st), board_(board), clock_(ports.clock), input_(ports.input), sound_(ports.sound),
          confirm_(ports.confirm), navigation_(ports.navigation) {}

    // The Start button: clears the record, locks the controls and runs the
    // chosen content to its end.
    void ExecButtonClick();

    void runPractice();
    // A practice of the given facts in the given order, with the chosen
    // speed, passes and pause: the start sequence, then the same passes.
    void runPracticeOf(const std::vector<int>& facts);
    void runTest(int orderMode);

    // Codes readKey returns besides the digits 0..9.
    static constexpr int kNoKey = -1;
    static constexpr int kPassKey = 10;
    static constexpr int kEnterKey = 11;
    static constexpr int kEscapeKey = 12;
    int readKey();

private:
    enum class WaitEnd { Done, Abort };
    WaitEnd practiceWait(int limitMs);
    bool mouseAbortConfirmed(const char* question);
    void abortRun(const char* text);
    void playIfOn(int kind);
    void beginRun();  // the start sequence shared by every content
    void startPass();
    void practisePasses(int count);
    int nextQuestion(int k);  // counts it, shows the progress, returns the fact

    enum class Answer { Decided, Abort };
    Answer answerLoop(int q);

    StudyState& st_;
    Board& board_;
    Clock& clock_;
    Input& input_;
    Sound& sound_;
    Confirm& confirm_;
    RunNavigation& navigation_;
    bool passedAnswer_ = false;  // the last answer was a pass or a timeout
    std::int64_t keyAtMs_ = 0;   // when the key readKey last found was pressed
};

inline constexpr int kStepRevealMs = 10000;
inline constexpr int kRevealPauseMs = 1000;
inline constexpr int kAbortPromptGapMs = 200;
inline constexpr int kKeyReadPauseMs = 300;
inline constexpr int kAfterAnswerPauseMs = 500;
// Longest single sleep of a polling wait; input ends it earlier.
inline constexpr int kPollSliceMs = 50;
