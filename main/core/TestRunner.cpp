#include <algorithm>
#include <cstdlib>
#include <string>

#include "main/core/FactTables.h"
#include "main/core/QuestionOrder.h"
#include "main/core/Runner.h"
#include "main/core/TestRecord.h"

namespace {
const char* const kStopQuestion = "テストを中止しますか？";
const char* const kStopped = "テストを中止しました。";
const char* const kPassText = "ﾊﾟｽ";
}  // namespace

int Runner::readKey() {
    auto found = [this](Key key) {
        const KeyReading r = input_.queryKey(key);
        if (!r.heldNow && !r.pressedSinceLastQuery) return false;
        // Timed by the press itself, not by when a busy computer let us see it.
        keyAtMs_ = r.pressedAtMs >= 0 ? r.pressedAtMs : clock_.nowMs();
        return true;
    };
    int code = kNoKey;
    for (int d = 0; d <= 9 && code == kNoKey; ++d)
        if (found(padDigit(d))) code = d;
    for (int d = 0; d <= 9 && code == kNoKey; ++d)
        if (found(mainDigit(d))) code = d;
    if (code == kNoKey && found(Key::G)) code = kPassKey;
    if (code == kNoKey && found(Key::Enter)) code = kEnterKey;
    if (code == kNoKey && found(Key::Esc)) code = kEscapeKey;
    if (code != kNoKey) clock_.sleepMs(kKeyReadPauseMs);
    return code;
}

Runner::Answer Runner::answerLoop(int q, std::int64_t limitFrom) {
    const int product = productValue[q];
    int firstDigit = -1;
    int digitState = 1;
    passedAnswer_ = false;
    auto passed = [&] {
        board_.showAnswer(kPassText, 0);
        sound_.beep();
        st_.outcomeFlag = 0;
        passedAnswer_ = true;
    };
    // A question by ear is timed from when it has been spoken; digits typed
    // while it is still being spoken count.
    const std::int64_t start = std::max(clock_.nowMs(), limitFrom);
    st_.testActive = 1;
    for (;;) {
        if (input_.keyHeld(Key::Esc)) {
            // This press is answered by the box; the key reader must not see it again.
            input_.queryKey(Key::Esc);
            if (confirm_.confirm(kStopQuestion, "<かくにん>")) return Answer::Abort;
        }
        const KeyReading g = input_.queryKey(Key::G);
        if (g.heldNow || g.pressedSinceLastQuery) {
            passed();
            return Answer::Decided;
        }
        if (input_.mouseHeld(MouseButton::Left) && confirm_.confirm(kStopQuestion, "<かくにん>")) return Answer::Abort;
        if (input_.mouseHeld(MouseButton::Right) && confirm_.confirm(kStopQuestion, "<かくにん>")) return Answer::Abort;

        const int key = readKey();
        if (key == kEscapeKey) {
            board_.showAnswer(kPassText, st_.outcomeFlag);
            return Answer::Abort;
        }
        if (key == kPassKey) {
            passed();
            return Answer::Decided;
        }
        if (key == kEnterKey && firstDigit >= 0) {
            st_.outcomeFlag = firstDigit == product ? 1 : 0;
            board_.showAnswer(std::to_string(firstDigit), st_.outcomeFlag);
            return Answer::Decided;
        }
        if (key >= 0 && key <= 9) {
            answeredAt_ = keyAtMs_;
            if (digitState == 1) {
                st_.outcomeFlag = key == product ? 1 : 0;
                board_.showAnswer(std::to_string(key), st_.outcomeFlag);
                firstDigit = key;
                digitState = 2;
            } else {
                const int n = 10 * firstDigit + key;
                st_.outcomeFlag = n == product ? 1 : 0;
                board_.showAnswer(std::to_string(n), st_.outcomeFlag);
                return Answer::Decided;
            }
        }
        const std::int64_t now = clock_.nowMs();
        const std::int64_t elapsed = now < start && byEar_ ? 0 : std::llabs(now - start);
        if (elapsed > st_.waitLimit) {
            if (firstDigit == product) {
                st_.outcomeFlag = 1;
                board_.showAnswer(std::to_string(firstDigit), 1);
            } else {
                st_.outcomeFlag = 0;
                board_.showAnswer(kPassText, 0);
                passedAnswer_ = true;
            }
            return Answer::Decided;
        }
        if (key == kNoKey) clock_.idleMs(int(std::min<std::int64_t>(st_.waitLimit - elapsed + 1, kPollSliceMs)));
    }
}

bool Runner::askFact(int q, bool intoAnswerRecord) {
    board_.clearFields();
    board_.clearReading();
    board_.showMark({});
    if (st_.soundOn == 1) {
        clock_.sleepMs(kKeyReadPauseMs);
        sound_.playSound(SoundKind::Prompt);
    }
    board_.showReading(std::string(readingTable[q]), true);
    board_.showFormula("　" + std::string(formulaTable[q]) + "＝");
    std::int64_t shownAt = clock_.nowMs();
    int spokenMs = 0;
    if (byEar_) {
        // The question waits for the prompt to end: no syllable is lost under it.
        if (st_.soundOn == 1) clock_.sleepMs(kPromptSoundMs);
        shownAt = clock_.nowMs();
        spokenMs = sound_.speak(Spoken::Question, q);
    }
    const std::int64_t limitFrom = shownAt + spokenMs;
    clock_.sleepMs(st_.stepPause);
    const Answer answer = answerLoop(q, limitFrom);
    if (spokenMs > 0) {
        sound_.stopSpeaking();  // answered before the question was done
        // The answer is timed from the end of the question, a quick one as 0.
        shownAt = std::min(limitFrom, answeredAt_);
    }
    if (answer == Answer::Abort) return false;

    board_.showReading(std::string(readingTable[q]), false);
    board_.showMark(st_.outcomeFlag == 1 ? "◎" : "×");
    playIfOn(st_.outcomeFlag == 1 ? SoundKind::Right : SoundKind::Wrong);
    clock_.sleepMs(kAfterAnswerPauseMs);
    if (intoAnswerRecord) setKekka(st_, st_.passNo, q, st_.outcomeFlag);
    // A pass or a timeout was not answered; an answer took until its last digit.
    if (passedAnswer_) recordPass(st_.factRecord, q, st_.waitLimit);
    else recordAnswer(st_.factRecord, q, st_.outcomeFlag == 1, int(answeredAt_ - shownAt), st_.waitLimit);
    ++recorded_;
    return readKey() != kEscapeKey;
}

RunOutcome Runner::stopTest() {
    RunOutcome out = abortRun(kStopped);
    st_.testActive = 0;
    out.answersRecorded = recorded_ > 0;
    return out;
}

RunOutcome Runner::runTest(int orderMode) {
    st_.orderMode = orderMode;
    // By ear only where there is a voice to ask with: a test nobody spoke
    // is no test by ear.
    byEar_ = st_.testByEar == 1 && sound_.hasVoice();
    st_.lastTestByEar = byEar_ ? 1 : 0;
    board_.showMessage(rangeName(st_) + "のテストです。キーで答えてね。");
    clearKekka(st_);
    const RangeStretch stretch = rangeStretch(st_.rangeIndex);
    st_.firstPos = stretch.firstPos;
    st_.endPos = stretch.endPos;
    st_.passesLeft = isTableRange(st_.rangeIndex) ? 2 : 1;
    if (orderMode == 1) shuffle(st_, stretch.count);
    st_.passNo = 0;
    st_.askedCount = 0;
    st_.outcomeFlag = 0;
    recorded_ = 0;
    for (;;) {
        startPass();
        for (int k = 0; k < stretch.count; ++k)
            if (!askFact(nextQuestion(k), true)) return stopTest();
        if (st_.passesLeft <= 0) break;
        --st_.passesLeft;
    }
    board_.composAlive();
    board_.showProgress(st_.askedCount);
    st_.testActive = 0;
    return {RunOutcome::End::Completed,
            isTableRange(st_.rangeIndex) ? RunOutcome::Then::ResultsByTable : RunOutcome::Then::ResultsByLevel, true};
}

RunOutcome Runner::runTestOf(const std::vector<int>& facts) {
    const std::vector<int> chosen = validFacts(facts);
    if (chosen.empty()) return {};
    beginRun();
    byEar_ = st_.testByEar == 1 && sound_.hasVoice();
    board_.showMessage("にがてな九九のテストです。キーで答えてね。");
    for (size_t k = 0; k < chosen.size(); ++k) st_.questionOrder[k] = chosen[k];
    st_.orderMode = 0;
    st_.firstPos = 0;
    st_.endPos = int(chosen.size());
    st_.passNo = 0;
    st_.askedCount = 0;
    st_.outcomeFlag = 0;
    recorded_ = 0;
    startPass();
    int right = 0;
    for (int k = 0; k < int(chosen.size()); ++k) {
        if (!askFact(nextQuestion(k), false)) return stopTest();
        right += st_.outcomeFlag == 1;
    }
    board_.composAlive();
    board_.showProgress(st_.askedCount);
    st_.testActive = 0;
    board_.showMessage("にがてテストは " + std::to_string(chosen.size()) + "もん中 " + std::to_string(right) +
                       "もん せいかい！");
    return {RunOutcome::End::Completed, RunOutcome::Then::Nothing, true};
}
