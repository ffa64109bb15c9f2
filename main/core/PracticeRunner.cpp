#include <algorithm>
#include <cstdlib>

#include "main/core/FactTables.h"
#include "main/core/QuestionOrder.h"
#include "main/core/Runner.h"

namespace {
const char* const kConfirmCaption = "<かくにん>";
}

void Runner::beginRun() {
    clearKekka(st_);
    board_.clearHint();
    board_.composDead();
    board_.sankakuPt();
    board_.drawDecorations();
    buildQuestionOrder(st_);
}

RunOutcome Runner::ExecButtonClick() {
    beginRun();
    switch (st_.contentIndex) {
    case 0:
    case 1:
    case 2:
        st_.refFromContent = 0;
        board_.showMessage(rangeName(st_) + "の練習をします。");
        return runPractice();
    case 3:
    case 4:
        return runTest(st_.contentIndex == 3 ? 0 : 1);
    case 5:
        // The table window opens once the run is over; the controls come
        // back when it closes.
        st_.refFromContent = 1;
        return {RunOutcome::End::Completed, RunOutcome::Then::TableWindow};
    default:
        return {};
    }
}

void Runner::startPass() {
    ++st_.passNo;
    board_.showPassLabel(st_.passNo);
}

int Runner::nextQuestion(int k) {
    ++st_.askedCount;
    board_.showProgress(st_.askedCount);
    return st_.currentQuestion = questionAt(st_, k);
}

void Runner::playIfOn(SoundKind kind) {
    if (st_.soundOn == 1) sound_.playSound(kind);
}

int Runner::speakIfOn(Spoken kind, int q, int withinMs) {
    return st_.voiceOn == 1 ? sound_.speak(kind, q, withinMs) : 0;
}

void Runner::silenceVoice() {
    if (st_.voiceOn == 1 || byEar_) sound_.stopSpeaking();
}

RunOutcome Runner::abortRun(const char* text) {
    silenceVoice();
    st_.msgText = text;
    if (st_.soundOn == 1) {
        for (int i = 0; i < 3; ++i) {
            if (i > 0) clock_.sleepMs(kAbortPromptGapMs);
            sound_.playSound(SoundKind::Prompt);
        }
    }
    board_.showMessage(text);
    board_.composAlive();
    return {RunOutcome::End::Aborted};
}

bool Runner::mouseAbortConfirmed(const char* question) { return confirm_.confirm(question, kConfirmCaption); }

Runner::WaitEnd Runner::practiceWait(int limitMs) {
    const std::int64_t start = clock_.nowMs();
    for (;;) {
        // A tap of Esc made during a pause, or released between two looks,
        // counts as well as a held one, as a tap of G does.
        const KeyReading esc = input_.queryKey(Key::Esc);
        if (esc.heldNow || esc.pressedSinceLastQuery) return WaitEnd::Abort;
        const KeyReading g = input_.queryKey(Key::G);
        if (g.heldNow || g.pressedSinceLastQuery) {
            // The child moves on: what the voice still says belongs to the last fact.
            silenceVoice();
            return WaitEnd::Done;
        }
        if (input_.mouseHeld(MouseButton::Left) && mouseAbortConfirmed("練習を中止しますか？")) return WaitEnd::Abort;
        if (input_.mouseHeld(MouseButton::Right) && mouseAbortConfirmed("練習を中止しますか？")) return WaitEnd::Abort;
        const std::int64_t elapsed = std::llabs(clock_.nowMs() - start);
        if (elapsed > limitMs) return WaitEnd::Done;
        clock_.idleMs(int(std::min<std::int64_t>(limitMs - elapsed + 1, kPollSliceMs)));
    }
}

RunOutcome Runner::runPractice() {
    st_.orderMode = st_.contentIndex == 0 ? 0 : st_.contentIndex == 1 ? 2 : 1;
    st_.levelIndex = st_.rangeIndex - 9;
    st_.passesLeft = st_.repeatCount - 1;
    const RangeStretch stretch = rangeStretch(st_.rangeIndex);
    st_.firstPos = stretch.firstPos;
    st_.endPos = stretch.endPos;
    if (st_.orderMode == 1) shuffle(st_, stretch.count);
    if (st_.orderMode == 2) reverseBlocks(st_);
    return practisePasses(stretch.count);
}

std::vector<int> Runner::validFacts(const std::vector<int>& facts) {
    std::vector<int> chosen;
    for (int q : facts)
        if (q >= 0 && q < kFactCount && int(chosen.size()) < kFactCount) chosen.push_back(q);
    return chosen;
}

RunOutcome Runner::runPracticeOf(const std::vector<int>& facts) {
    const std::vector<int> chosen = validFacts(facts);
    if (chosen.empty()) return {};
    beginRun();
    st_.refFromContent = 0;
    board_.showMessage("にがてな九九の練習をします。");
    // The order of this run is the list itself, asked as it stands.
    for (size_t k = 0; k < chosen.size(); ++k) st_.questionOrder[k] = chosen[k];
    st_.orderMode = 0;
    st_.firstPos = 0;
    st_.endPos = int(chosen.size());
    st_.passesLeft = st_.repeatCount - 1;
    const RunOutcome outcome = practisePasses(int(chosen.size()));
    if (outcome.end == RunOutcome::End::Completed) board_.showMessage(kAfterHardPractice);
    return outcome;
}

RunOutcome Runner::practisePasses(int count) {
    st_.passNo = 0;
    st_.askedCount = 0;
    board_.showMark({});

    for (;;) {
        startPass();
        for (int k = 0; k < count; ++k) {
            const int q = nextQuestion(k);
            clock_.sleepMs(st_.stepPause);
            board_.clearReading();
            board_.clearFields();
            const std::string formula = std::string(formulaTable[q]) + "＝";
            if (st_.speedIndex != 0) {
                playIfOn(SoundKind::Prompt);
                board_.showFormula(formula);
                // The whole chant from the moment the fact appears: its answer
                // is heard about when it shows, and it ends before the next fact
                // can appear, however fast the drill goes.
                speakIfOn(Spoken::Chant, q, st_.answerDelay + st_.waitLimit + st_.stepPause);
                clock_.sleepMs(st_.answerDelay);
                board_.showAnswer(std::string(productTable[q]), 0);
                board_.showReading(std::string(readingTable[q]), false);
                board_.showHint(q);
                if (practiceWait(st_.waitLimit) == WaitEnd::Abort) return abortRun("練習を中止しました。");
            } else {
                playIfOn(SoundKind::Prompt);
                board_.showReading(std::string(readingTable[q]), true);
                board_.showFormula(formula);
                board_.showHint(q);
                // The reading up to the product, asked; the whole chant with the answer.
                speakIfOn(Spoken::Question, q);
                if (practiceWait(kStepRevealMs) == WaitEnd::Abort) return abortRun("練習を中止しました。");
                board_.showReading(std::string(readingTable[q]), false);
                board_.showAnswer(std::string(productTable[q]), 0);
                // The child sets the pace here: the chant is heard to its end.
                const int chantMs = speakIfOn(Spoken::Chant, q);
                clock_.sleepMs(std::max(kRevealPauseMs, chantMs));
            }
        }
        if (st_.passesLeft <= 0) break;
        board_.showMessage("初めからもう一度どうぞ。");
        --st_.passesLeft;
    }
    board_.showMessage("練習は終わりました。");
    board_.composAlive();
    board_.showProgress(0);
    return {};
}
