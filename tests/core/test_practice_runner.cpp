#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <tuple>

#include "tests/core/FakeWorld.h"

namespace {

int q(int a, int b) { return (a - 1) * 9 + (b - 1); }

enum Content { InOrder = 0, Reverse = 1, Random = 2 };
enum Speed { Step = 0, Slow = 1, Normal = 2, Fast = 3 };

std::vector<int> expectedAllInOrder(bool reversed) {
    std::vector<int> out;
    for (int table : {1, 2, 5, 3, 4, 6, 8, 7, 9})
        for (int m = 1; m <= 9; ++m) out.push_back(q(table, reversed ? 10 - m : m));
    return out;
}

}  // namespace

TEST(PracticeOrder, AllTablesInOrderAndInReverse) {
    for (const bool reversed : {false, true}) {
        FakeWorld w;
        w.choose(12, reversed ? Reverse : InOrder, Fast);
        w.start();
        EXPECT_EQ(w.view.asked, expectedAllInOrder(reversed)) << (reversed ? "reverse" : "in order");
        EXPECT_EQ(w.st.orderMode, reversed ? 2 : 0);
    }
}

TEST(PracticeOrder, UpperLevelAtRandomKeepsItsPermutationAcrossPasses) {
    FakeWorld w;
    w.choose(11, Random, Fast);
    w.st.repeatCount = 3;
    w.start();
    ASSERT_EQ(w.view.asked.size(), 81u);
    const std::vector<int> first(w.view.asked.begin(), w.view.asked.begin() + 27);
    for (int pass = 1; pass < 3; ++pass)
        EXPECT_EQ(std::vector<int>(w.view.asked.begin() + 27 * pass, w.view.asked.begin() + 27 * (pass + 1)), first);
    std::set<int> facts(first.begin(), first.end());
    std::set<int> wanted;
    for (int table : {8, 7, 9})
        for (int m = 1; m <= 9; ++m) wanted.insert(q(table, m));
    EXPECT_EQ(facts, wanted);
    EXPECT_EQ(w.st.orderMode, 1);
}

TEST(PracticeOrder, ALevelRunsItsTablesInTheOrderOfItsName) {
    FakeWorld w;
    w.choose(11, InOrder, Fast);
    w.start();
    ASSERT_EQ(w.view.asked.size(), 27u);
    EXPECT_EQ(w.view.asked.front(), q(8, 1));
    EXPECT_EQ(w.view.asked[9], q(7, 1));
    EXPECT_EQ(w.view.asked.back(), q(9, 9));
}

TEST(PracticeTiming, StepSpeedRevealsAfterTenSecondsAndMovesOnASecondLater) {
    FakeWorld w;
    w.choose(2, InOrder, Step);  // 五の段
    w.start();
    ASSERT_EQ(w.view.askedAt.size(), 9u);
    const std::int64_t shown = w.view.askedAt[0];
    const std::int64_t revealed = w.view.firstTimeOf(Field::Answer, "５　");
    EXPECT_GE(revealed - shown, 10000);
    EXPECT_LE(revealed - shown, 10002);
    // a 1 s pause after the reveal, then the next fact's own short pause
    EXPECT_EQ(w.view.askedAt[1] - revealed, 1000 + 100);
}

TEST(PracticeTiming, StepSpeedShowsThePartialReadingUntilTheReveal) {
    FakeWorld w;
    w.choose(1, InOrder, Step);  // 二の段
    std::vector<std::string> readingsAtQuestion;
    w.view.onQuestion = [&](int, std::int64_t at) {
        readingsAtQuestion.push_back(w.view.last[Field::Reading]);
        w.clock.keyTap(at + 50, Key::G);
    };
    w.start();
    ASSERT_EQ(readingsAtQuestion.size(), 9u);
    EXPECT_EQ(readingsAtQuestion[4], "　に　・　ご　　・");  // 2 x 5, up to the product
    EXPECT_EQ(w.view.last[Field::Reading], "　に　・　く　　・じゅうはち　　");
}

TEST(PracticeTiming, GEndsAStepWaitAtOnce) {
    FakeWorld w;
    w.choose(0, InOrder, Step);
    w.view.onQuestion = [&](int, std::int64_t at) { w.clock.keyHold(at + 300, Key::G, 40); };
    w.start();
    ASSERT_EQ(w.view.askedAt.size(), 9u);
    // 300 ms to the key, the 1 s reveal pause, the 100 ms step pause
    EXPECT_EQ(w.view.askedAt[1] - w.view.askedAt[0], 300 + 1000 + 100);
}

TEST(PracticeTiming, FastSpeedTimeline) {
    FakeWorld w;
    w.choose(0, InOrder, Fast);
    w.st.answerDelay = 700;
    const std::int64_t start = w.clock.nowMs();
    w.start();
    ASSERT_EQ(w.view.askedAt.size(), 9u);
    EXPECT_EQ(w.view.askedAt[0] - start, 100);  // the step pause of はやく
    const std::int64_t answer = w.view.firstTimeOf(Field::Answer, "１　");
    EXPECT_EQ(answer - w.view.askedAt[0], 700);
    // the wait ends once more than 1800 ms have passed
    EXPECT_EQ(w.view.askedAt[1] - answer, 1801 + 100);
}

TEST(PracticeTiming, TimedSpeedShowsEverythingOfAFact) {
    FakeWorld w;
    w.choose(3, InOrder, Normal);  // 三の段
    w.st.mnemonicTable[q(3, 9) + 1] = "さんくにじゅうしち 27\n";
    w.start();
    EXPECT_EQ(w.view.last[Field::Formula], "３×９＝");
    EXPECT_EQ(w.view.last[Field::Answer], "２７");
    EXPECT_FALSE(w.view.answerRed);
    EXPECT_EQ(w.view.last[Field::Reading], "　さん・　く　　・にじゅうしち　");
    EXPECT_EQ(w.view.last[Field::Hint], "さんくにじゅうしち 27\n");
}

TEST(PracticeTiming, EachFormulaComesOnABoardClearedOfTheLastFact) {
    for (const int speed : {Slow, Fast}) {
        FakeWorld w;
        w.choose(0, InOrder, speed);
        // what a test before it left on the board
        w.board.showMark("×");
        w.board.showReading("　いち・　に　　・　　が　に　", false);
        std::vector<std::string> readings, marks;
        w.view.onQuestion = [&](int, std::int64_t) {
            readings.push_back(w.view.last[Field::Reading]);
            marks.push_back(w.view.last[Field::Mark]);
        };
        w.start();
        ASSERT_EQ(readings.size(), 9u);
        // the reading of a fact comes with its answer, never beside the next formula
        EXPECT_EQ(readings, std::vector<std::string>(9, "")) << "speed " << speed;
        EXPECT_EQ(marks, std::vector<std::string>(9, "")) << "speed " << speed;
        EXPECT_EQ(w.view.last[Field::Mark], "");
    }
}

TEST(PracticeTiming, EveryFactShowsItsOwnHintFromTheFirstOn) {
    FakeWorld w;
    w.choose(0, InOrder, Fast);  // 一の段: 1×1 is the very first fact
    std::vector<std::string> wanted;
    for (int m = 1; m <= 9; ++m) {
        w.st.mnemonicTable[q(1, m) + 1] = "hint of 1x" + std::to_string(m);
        wanted.push_back(w.st.mnemonicTable[q(1, m) + 1]);
    }
    w.start();
    std::vector<std::string> shown;
    for (const std::string& hint : w.view.textsOf(Field::Hint))
        if (!hint.empty()) shown.push_back(hint);
    EXPECT_EQ(shown, wanted);
}

TEST(PracticeTiming, AWaitLastsItsFullLimitWhateverTheTimeOfDay) {
    // the clock is monotonic: starting one second before midnight changes nothing
    FakeWorld w(86'399'000);
    w.choose(0, InOrder, Fast);
    w.start();
    const std::int64_t answer = w.view.firstTimeOf(Field::Answer, "１　");
    EXPECT_EQ(w.view.askedAt[1] - answer, 1801 + 100);
}

TEST(PracticePasses, PassesRepeatWithAMessageAndTheCounterWraps) {
    FakeWorld w;
    w.choose(12, InOrder, Fast);
    w.st.repeatCount = 2;
    w.start();
    ASSERT_EQ(w.view.asked.size(), 162u);
    const std::vector<std::string> counters = w.view.textsOf(Field::Counter);
    ASSERT_EQ(counters.size(), 163u);  // 162 questions and the final 0
    EXPECT_EQ(counters[80], "81");
    EXPECT_EQ(counters[81], "1");  // question 82 counts as 1
    EXPECT_EQ(counters[161], "81");
    EXPECT_EQ(counters.back(), "0");
    EXPECT_EQ(w.view.textsOf(Field::PassLabel), (std::vector<std::string>{"[１回目]", "[２回目]"}));
    const auto messages = w.view.textsOf(Field::Message);
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "◎初めからもう一度どうぞ。"), 1);
    EXPECT_EQ(messages.front(), "◎すべての段の練習をします。");
    EXPECT_EQ(messages.back(), "◎練習は終わりました。");
    EXPECT_TRUE(w.view.controlsEnabled);
    EXPECT_EQ(w.view.progress.back(), 0);
}

TEST(PracticePasses, OnePassHasNoRepeatMessageAndBelowOneStillRunsOnce) {
    for (const int repeat : {1, 0}) {
        FakeWorld w;
        w.choose(2, InOrder, Fast);
        w.st.repeatCount = repeat;
        w.start();
        EXPECT_EQ(w.view.asked.size(), 9u);
        const auto messages = w.view.textsOf(Field::Message);
        EXPECT_EQ(messages.front(), "◎五の段の練習をします。");
        EXPECT_EQ(std::count(messages.begin(), messages.end(), "◎初めからもう一度どうぞ。"), 0);
    }
}

TEST(PracticeStart, StartClearsTheRecordLocksControlsAndPlaysPrompts) {
    FakeWorld w;
    w.choose(0, InOrder, Fast);
    w.st.soundOn = 1;
    w.st.kekkaArray[0][0] = 1;
    bool lockedDuringRun = false;
    w.view.onQuestion = [&](int, std::int64_t) { lockedDuringRun = !w.view.controlsEnabled; };
    w.start();
    EXPECT_EQ(w.st.kekkaArray[0][0], 2);
    EXPECT_TRUE(lockedDuringRun);
    EXPECT_EQ(w.view.abortHints, 1);
    EXPECT_EQ(w.view.decorations, 1);
    EXPECT_EQ(w.sound.count(SoundKind::Prompt), 9);
    EXPECT_EQ(w.st.refFromContent, 0);
}

TEST(PracticeStart, TableContentAsksForTheTableOnceTheRunIsOver) {
    FakeWorld w;
    w.choose(4, 5, Fast);
    w.start();
    EXPECT_EQ(w.opened.tableWindows, 1);
    EXPECT_EQ(w.st.refFromContent, 1);
    // the controls come back when the table window closes
    EXPECT_FALSE(w.view.controlsEnabled);
    EXPECT_TRUE(w.view.asked.empty());
}

TEST(PracticeAbort, HeldEscStopsWithoutAQuestion) {
    FakeWorld w;
    w.choose(2, InOrder, Slow);
    w.st.soundOn = 1;
    std::int64_t escAt = -1;
    w.view.onQuestion = [&](int, std::int64_t at) {
        if (w.view.asked.size() == 3) w.clock.keyHold(escAt = at + 900, Key::Esc, 80);
    };
    w.start();
    EXPECT_EQ(w.view.asked.size(), 3u);
    EXPECT_TRUE(w.confirm.asked.empty());
    EXPECT_EQ(w.view.last[Field::Message], "◎練習を中止しました。");
    EXPECT_TRUE(w.view.controlsEnabled);
    EXPECT_EQ(w.view.last[Field::Counter], "3");  // progress keeps its value
    // a prompt for each fact shown, then three 200 ms apart for the stop, the first at once
    ASSERT_EQ(w.sound.count(SoundKind::Prompt), 3 + 3);
    const auto& c = w.sound.calls;
    EXPECT_LT(c[c.size() - 3].at - escAt, 100);
    EXPECT_EQ(c[c.size() - 1].at - c[c.size() - 2].at, 200);
    EXPECT_EQ(c[c.size() - 2].at - c[c.size() - 3].at, 200);
}

// A quick tap of Esc, pressed and released while the practice pauses or
// between two looks at the keys, stops it as a held one does: a child's
// tap must not be lost because it fell between two polls.
TEST(PracticeAbort, AnEscTapBetweenTwoLooksStopsAtTheNextWait) {
    for (const int speed : {Slow, Step}) {
        FakeWorld w;
        w.choose(2, InOrder, speed);
        w.view.onQuestion = [&](int, std::int64_t at) {
            if (w.view.asked.size() == 2) w.clock.keyTap(at + 10, Key::Esc);
        };
        w.start();
        EXPECT_EQ(w.view.asked.size(), 2u) << "speed " << speed;
        EXPECT_TRUE(w.confirm.asked.empty());
        EXPECT_EQ(w.view.last[Field::Message], "◎練習を中止しました。") << "speed " << speed;
    }
}

TEST(PracticeAbort, MouseAsksFirstOkStopsCancelGoesOn) {
    struct Case {
        MouseButton button;
        bool ok;
    };
    for (const Case c : {Case{MouseButton::Left, true}, Case{MouseButton::Left, false}, Case{MouseButton::Right, true},
                         Case{MouseButton::Right, false}}) {
        FakeWorld w;
        w.choose(0, InOrder, Fast);
        w.confirm.answers.push_back(c.ok);
        w.view.onQuestion = [&](int, std::int64_t at) {
            if (w.view.asked.size() == 2) w.clock.mouseHold(at + 1000, c.button, 100);
        };
        w.start();
        ASSERT_EQ(w.confirm.asked.size(), 1u);
        EXPECT_EQ(w.confirm.asked[0].second, "練習を中止しますか？|<かくにん>");
        EXPECT_EQ(w.view.asked.size(), c.ok ? 2u : 9u);
        EXPECT_EQ(w.view.last[Field::Message], c.ok ? "◎練習を中止しました。" : "◎練習は終わりました。");
        EXPECT_TRUE(w.view.controlsEnabled);
    }
}

// Practice is announced in blue, a test in maroon; looking up the table
// keeps whichever colour the message had.
TEST(DisplayRoutines, TheSelectionIsAnnouncedInItsColour) {
    FakeWorld w;
    w.st.rangeIndex = 12;
    const struct {
        int content;
        MessageColour colour;
        const char* message;
    } steps[] = {
        {3, MessageColour::Maroon, "◎「すべての段」(順)のテストをします。"},
        {0, MessageColour::Blue, "◎「すべての段」(順)の練習をします。"},
        {4, MessageColour::Maroon, "◎「すべての段」(乱)のテストをします。"},
        {1, MessageColour::Blue, "◎「すべての段」(逆)の練習をします。"},
        {5, MessageColour::Blue, "◎「すべての段」の九九表を参照します。"},
        {3, MessageColour::Maroon, "◎「すべての段」(順)のテストをします。"},
        {5, MessageColour::Maroon, "◎「すべての段」の九九表を参照します。"},
        {7, MessageColour::Maroon, "◎「すべての段」の九九表を参照します。"},
        {2, MessageColour::Blue, "◎「すべての段」(乱)の練習をします。"},
        // an unknown content, as a hand-edited file may hold: nothing changes
        {6, MessageColour::Blue, "◎「すべての段」(乱)の練習をします。"},
        {-1, MessageColour::Blue, "◎「すべての段」(乱)の練習をします。"},
    };
    for (const auto& step : steps) {
        w.st.contentIndex = step.content;
        w.board.showSelection();
        EXPECT_EQ(w.view.messageColour, step.colour) << step.content;
        EXPECT_EQ(w.view.last[Field::Message], step.message) << step.content;
    }
}

TEST(DisplayRoutines, FormatAsTheBoardShowsThem) {
    FakeWorld w;
    w.board.showAnswer("60", 0);
    EXPECT_EQ(w.view.last[Field::Answer], "６０");
    EXPECT_FALSE(w.view.answerRed);
    w.board.showAnswer("ﾊﾟｽ", 1);
    EXPECT_EQ(w.view.last[Field::Answer], "ﾊﾟｽ");
    EXPECT_TRUE(w.view.answerRed);
    w.board.showFormula("　３×４＝");
    EXPECT_EQ(w.view.last[Field::Formula], "３×４＝");
    w.board.showReading("　に　・　ご　　・じゅう　　　　", true);
    EXPECT_EQ(w.view.last[Field::Reading], "　に　・　ご　　・");
    w.board.showProgress(82);
    EXPECT_EQ(w.view.last[Field::Counter], "1");
    EXPECT_EQ(w.view.progress.back(), 1);
    w.board.showProgress(81);
    EXPECT_EQ(w.view.last[Field::Counter], "81");
    for (int n : {10, 0, 11, -3}) {
        w.board.showPassLabel(n);
        EXPECT_EQ(w.view.last[Field::PassLabel], "[回目]") << n;
    }
    w.board.showMessage("五の段の練習をします。");
    EXPECT_EQ(w.view.last[Field::Message], "◎五の段の練習をします。");
}

namespace {

// The first fact of a run as one line of what happened when, in ms from its
// formula: the board's formula and answer, the prompt, the voice.
std::string firstFactTimeline(FakeWorld& w) {
    // At one moment: silence first, then the prompt, the board, the voice.
    std::vector<std::tuple<std::int64_t, int, std::string>> events;
    const std::int64_t shown = w.view.askedAt.at(0);
    const std::int64_t next = w.view.askedAt.size() > 1 ? w.view.askedAt[1] : INT64_MAX;
    for (const FieldWrite& f : w.view.writes)
        if ((f.field == Field::Formula || f.field == Field::Answer) && !f.text.empty())
            events.emplace_back(f.at, 2, f.field == Field::Formula ? "formula" : "answer");
    for (const SoundCall& c : w.sound.calls)
        if (c.kind == 2) events.emplace_back(c.at, 1, "prompt");
    for (const SpeechCall& c : w.sound.speech)
        events.emplace_back(c.at, c.q < 0 ? 0 : 3,
                            (c.q < 0 ? "hush" : c.kind == Spoken::Chant ? "chant" : "ask") +
                                (c.withinMs > 0 ? "<" + std::to_string(c.withinMs) : std::string()));
    std::stable_sort(events.begin(), events.end());
    std::string line;
    for (const auto& [at, rank, what] : events)
        if (at >= shown - 1 && at < next) line += what + "@" + std::to_string(at - shown) + " ";
    return line;
}

}  // namespace

TEST(PracticeVoice, TheBoardThePromptAndTheChantInTheirOrder) {
    const struct Row {
        int speed;
        int voiceOn;
        int gAfterMs;  // a tap of G this long after the formula; -1 none
        const char* timeline;  // a chant "<N" must end within N ms
        int nextAtMs;          // the next fact's formula
    } rows[] = {
        // without a voice nothing is said, whatever a sound card could do
        {Fast, 0, -1, "prompt@0 formula@0 answer@500 ", 2401},
        {Step, 0, -1, "prompt@0 formula@0 answer@10001 ", 11101},
        // timed speeds: the chant from the moment the fact appears, ending
        // before the next one can; the drill keeps its pace
        {Slow, 1, -1, "prompt@0 formula@0 chant<4500@0 answer@500 ", 4501},
        {Normal, 1, -1, "prompt@0 formula@0 chant<3300@0 answer@500 ", 3301},
        {Fast, 1, -1, "prompt@0 formula@0 chant<2400@0 answer@500 ", 2401},
        // G moves on and silences the chant at once
        {Fast, 1, 800, "prompt@0 formula@0 chant<2400@0 answer@500 hush@800 ", 900},
        // step: the question with the partial reading, the chant with the
        // answer, heard to its end before the next fact
        {Step, 1, -1, "prompt@0 formula@0 ask@0 answer@10001 chant@10001 ", 11601},
        {Step, 1, 300, "prompt@0 formula@0 ask@0 hush@300 answer@300 chant@300 ", 1900},
    };
    for (const Row& r : rows) {
        FakeWorld w;
        w.choose(0, InOrder, r.speed);
        w.st.soundOn = 1;
        w.st.voiceOn = r.voiceOn;
        w.sound.phraseMs = 1500;
        bool first = true;
        w.view.onQuestion = [&](int, std::int64_t at) {
            if (first && r.gAfterMs >= 0) w.clock.keyTap(at + r.gAfterMs, Key::G);
            first = false;
        };
        w.start();
        EXPECT_EQ(firstFactTimeline(w), r.timeline) << "speed " << r.speed << ", voice " << r.voiceOn;
        ASSERT_GE(w.view.askedAt.size(), 2u);
        EXPECT_EQ(w.view.askedAt[1] - w.view.askedAt[0], r.nextAtMs) << "speed " << r.speed << ", voice " << r.voiceOn;
        if (r.voiceOn == 0) {
            EXPECT_TRUE(w.sound.speech.empty());
        }
    }
}

TEST(PracticeVoice, EveryFactIsChantedOnceInTheOrderShownAndEscSilencesTheLast) {
    FakeWorld w;
    w.choose(12, Random, Normal);
    w.st.voiceOn = 1;
    w.view.onQuestion = [&](int, std::int64_t at) {
        if (w.view.asked.size() == 81) w.clock.keyHold(at + 900, Key::Esc, 40);
    };
    w.start();
    std::vector<int> chanted;
    for (const SpeechCall& c : w.sound.speech)
        if (c.q >= 0 && c.kind == Spoken::Chant) chanted.push_back(c.q);
    EXPECT_EQ(chanted, w.view.asked);
    ASSERT_FALSE(w.sound.speech.empty());
    EXPECT_EQ(w.sound.speech.back().q, -1);
    EXPECT_EQ(w.sound.speech.back().at, w.view.askedAt.back() + 900);
}
