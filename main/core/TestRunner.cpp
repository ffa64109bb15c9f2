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

Runner::Answer Runner::answerLoop(int q) {
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
    const std::int64_t start = clock_.nowMs();
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
        const std::int64_t elapsed = std::llabs(clock_.nowMs() - start);
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

void Runner::runTest(int orderMode) {
    st_.orderMode = orderMode;
    board_.showMessage(rangeName(st_) + "のテストです。キーで答えてね。");
    clearKekka(st_);
    const RangeStretch stretch = rangeStretch(st_.rangeIndex);
    st_.firstPos = stretch.firstPos;
    st_.endPos = stretch.endPos;
    st_.passesLeft = st_.rangeIndex <= 8 ? 2 : 1;
    if (orderMode == 1) shuffle(st_, stretch.count);
    st_.passNo = 0;
    st_.askedCount = 0;
    st_.outcomeFlag = 0;

    auto abort = [this] {
        abortRun(kStopped);
        st_.testActive = 0;
    };
    for (;;) {
        startPass();
        for (int k = 0; k < stretch.count; ++k) {
            const int q = nextQuestion(k);
            board_.clearFields();
            board_.clearReading();
            board_.showMark({});
            if (st_.soundOn == 1) {
                clock_.sleepMs(kKeyReadPauseMs);
                sound_.playSound(2);
            }
            board_.showReading(std::string(readingTable[q]), true);
            board_.showFormula("　" + std::string(formulaTable[q]) + "＝");
            const std::int64_t shownAt = clock_.nowMs();
            clock_.sleepMs(st_.stepPause);
            if (answerLoop(q) == Answer::Abort) return abort();
            // A pass or a timeout counts as wrong at the limit.
            const int answerMs = passedAnswer_ ? st_.waitLimit : int(keyAtMs_ - shownAt);

            board_.showReading(std::string(readingTable[q]), false);
            board_.showMark(st_.outcomeFlag == 1 ? "◎" : "×");
            playIfOn(st_.outcomeFlag == 1 ? 0 : 1);
            clock_.sleepMs(kAfterAnswerPauseMs);
            setKekka(st_, st_.passNo, q, st_.outcomeFlag);
            recordAnswer(st_.factRecord, q, st_.outcomeFlag == 1, answerMs);
            if (readKey() == kEscapeKey) return abort();
        }
        if (st_.passesLeft <= 0) break;
        --st_.passesLeft;
    }
    board_.composAlive();
    board_.showProgress(st_.askedCount);
    st_.testActive = 0;
    if (st_.rangeIndex > 8) navigation_.KekkaD_Dsp();
    else navigation_.Kekka_Dsp();
}
