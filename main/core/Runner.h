// The drills. Each runs to its end inside the Start handler, in straight
// steps: pauses and waits go through the clock, keys through the input.
#pragma once

#include <cstdint>
#include <vector>

#include "main/core/Board.h"
#include "main/core/RunnerPorts.h"
#include "main/core/StudyState.h"

struct RunnerPorts {
    Clock& clock;
    Input& input;
    Sound& sound;
    Confirm& confirm;
};

// How a run ended and what the main window opens once it is over: no window
// opens while a run still owns the keyboard.
struct RunOutcome {
    enum class End { Completed, Aborted };
    enum class Then { Nothing, ResultsByTable, ResultsByLevel, TableWindow };
    End end = End::Completed;
    Then then = Then::Nothing;
    bool answersRecorded = false;  // a test asked at least one question
};

class Runner {
public:
    Runner(StudyState& st, Board& board, const RunnerPorts& ports)
        : st_(st), board_(board), clock_(ports.clock), input_(ports.input), sound_(ports.sound),
          confirm_(ports.confirm) {}

    // The Start button: clears the record, locks the controls and runs the
    // chosen content to its end.
    RunOutcome ExecButtonClick();

    RunOutcome runPractice();
    // A practice of the given facts in the given order, with the chosen
    // speed, passes and pause: the start sequence, then the same passes.
    RunOutcome runPracticeOf(const std::vector<int>& facts);
    RunOutcome runTest(int orderMode);
    // A key-answer test of the given facts, once each, as a check after their
    // practice: recorded like any test, but into no pass or results window.
    RunOutcome runTestOf(const std::vector<int>& facts);

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
    RunOutcome abortRun(const char* text);
    void playIfOn(SoundKind kind);
    // The chant or question of fact q when the practice speaks; its length in ms.
    int speakIfOn(Spoken kind, int q, int withinMs = 0);
    void silenceVoice();
    void beginRun();  // the start sequence shared by every content
    void startPass();
    RunOutcome practisePasses(int count);
    int nextQuestion(int k);  // counts it, shows the progress, returns the fact

    enum class Answer { Decided, Abort };
    // limitFrom: when the time limit starts (a question by ear once it has been spoken).
    Answer answerLoop(int q, std::int64_t limitFrom);
    // Shows fact q, judges the answer and records it; false when the test is stopped.
    bool askFact(int q, bool intoAnswerRecord);
    RunOutcome stopTest();
    static std::vector<int> validFacts(const std::vector<int>& facts);

    StudyState& st_;
    Board& board_;
    Clock& clock_;
    Input& input_;
    Sound& sound_;
    Confirm& confirm_;
    bool passedAnswer_ = false;  // the last answer was a pass or a timeout
    std::int64_t keyAtMs_ = 0;     // when the key readKey last found was pressed
    std::int64_t answeredAt_ = 0;  // when the last answer's last digit was pressed
    int recorded_ = 0;             // answers recorded in this test
    bool byEar_ = false;           // this test's questions are spoken
};

inline constexpr const char* kAfterHardPractice = "おわり！ つぎは 表示→にがて九九→にがてテスト";
inline constexpr int kStepRevealMs = 10000;
inline constexpr int kRevealPauseMs = 1000;
inline constexpr int kAbortPromptGapMs = 200;
inline constexpr int kKeyReadPauseMs = 300;
// How long the shipped prompt sound lasts.
inline constexpr int kPromptSoundMs = 250;
inline constexpr int kAfterAnswerPauseMs = 500;
// Longest single sleep of a polling wait; input ends it earlier.
inline constexpr int kPollSliceMs = 50;
