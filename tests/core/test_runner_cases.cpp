// Cases of the runners that a slip in one branch would break: every range,
// the key reader's pause, quick taps, what each step shows and leaves.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/core/Codec.h"
#include "tests/core/FakeWorld.h"

namespace {

int q(int a, int b) { return (a - 1) * 9 + (b - 1); }
enum Content { PracticeInOrder = 0, TestInOrder = 3, TestRandom = 4 };
enum Speed { Step = 0, Normal = 2, Fast = 3 };

// The answers shown for one fact of a range, asked in order, up to its
// mark, and its outcome in the first pass; the script runs when the fact
// appears (its answer loop starts 200 ms later, after the step pause).
struct FirstAnswer {
    std::vector<std::string> answers;
    int kekka;
};

FirstAnswer answerFact(int range, int fact, const std::function<void(FakeWorld&, std::int64_t at)>& script) {
    FakeWorld w;
    w.choose(range, TestInOrder, Normal);
    std::int64_t askedAt = -1, nextAt = -1;
    w.view.onQuestion = [&](int shown, std::int64_t at) {
        if (shown == fact && askedAt < 0) {
            askedAt = at;
            script(w, at);
        } else if (askedAt >= 0 && nextAt < 0) {
            nextAt = at;
            w.clock.keyHold(at + 10, Key::Esc, 50);
        } else {
            w.clock.keyTap(at + 10, Key::G);
        }
    };
    w.confirm.answers = {true};
    w.start();
    std::vector<std::string> shown;
    for (const FieldWrite& f : w.view.writes)
        if (f.field == Field::Answer && !f.text.empty() && f.at >= askedAt && (nextAt < 0 || f.at < nextAt))
            shown.push_back(f.text);
    return {shown, w.st.kekkaArray[0][fact % 9]};
}

}  // namespace

TEST(RunnerRanges, EveryRangeAsksItsPassesAndOpensItsResultsWindow) {
    for (int range = 0; range < kRangeCount; ++range) {
        FakeWorld w;
        w.choose(range, TestInOrder, Fast);
        w.start();
        // the same range at random: its own order, the same in every pass
        FakeWorld random;
        random.choose(range, TestRandom, Fast);
        random.start();
        EXPECT_EQ(random.st.orderMode, 1) << range;
        ASSERT_EQ(random.view.asked.size(), w.view.asked.size()) << range;
        EXPECT_NE(random.view.asked, w.view.asked) << range;
        EXPECT_TRUE(std::is_permutation(random.view.asked.begin(), random.view.asked.end(), w.view.asked.begin()))
            << range;
        const bool table = range < 9;
        const size_t perPass = table ? 9 : range == 12 ? 81 : 27;
        const size_t passes = table ? 3 : 2;
        EXPECT_EQ(w.view.asked.size(), perPass * passes) << range;
        EXPECT_EQ(w.view.textsOf(Field::PassLabel).size(), passes) << range;
        EXPECT_EQ(w.opened.resultsByTable, table ? 1 : 0) << range;
        EXPECT_EQ(w.opened.resultsByLevel, table ? 0 : 1) << range;
        // every pass asks exactly the facts of the range
        std::vector<int> first(w.view.asked.begin(), w.view.asked.begin() + std::ptrdiff_t(perPass));
        std::vector<int> last(w.view.asked.end() - std::ptrdiff_t(perPass), w.view.asked.end());
        EXPECT_EQ(first, last) << range;
        const RangeStretch s = rangeStretch(range);
        for (int k = 0; k < s.count; ++k) EXPECT_EQ(first[size_t(k)], w.st.questionOrder[size_t(s.firstPos + k)]);
    }
}

TEST(RunnerKeys, ADigitHeldShorterThanThePauseCountsOnce) {
    // 3 x 4: 1 held 250 ms, then 2: twelve, right
    const FirstAnswer once = answerFact(3, q(3, 4), [](FakeWorld& w, std::int64_t at) {
        w.clock.keyHold(at + 250, Key::Main1, 250);
        w.clock.keyHold(at + 650, Key::Main2, 30);
    });
    EXPECT_EQ(once.answers, (std::vector<std::string>{"１", "１２"}));
    EXPECT_EQ(once.kekka, 1);
    // held across the pause it is read again: eleven, wrong, decided at once
    const FirstAnswer twice = answerFact(3, q(3, 4), [](FakeWorld& w, std::int64_t at) {
        w.clock.keyHold(at + 250, Key::Pad1, 400);
    });
    EXPECT_EQ(twice.answers, (std::vector<std::string>{"１", "１１"}));
    EXPECT_EQ(twice.kekka, 0);
}

TEST(RunnerKeys, EnterBeforeAnyDigitIsIgnored) {
    // 2 x 1 = 2: Enter first does nothing, then 2 and Enter answer it
    const FirstAnswer a = answerFact(1, q(2, 1), [](FakeWorld& w, std::int64_t at) {
        w.clock.keyHold(at + 250, Key::Enter, 30);
        w.clock.keyHold(at + 700, Key::Main2, 30);
        w.clock.keyHold(at + 1100, Key::Enter, 30);
    });
    EXPECT_EQ(a.answers, (std::vector<std::string>{"２", "２"}));
    EXPECT_EQ(a.kekka, 1);
}

TEST(RunnerKeys, AQuickGTapPassesAQuestionAndStepsAPractice) {
    const FirstAnswer passed = answerFact(1, q(2, 3), [](FakeWorld& w, std::int64_t at) { w.clock.keyTap(at + 240, Key::G); });
    EXPECT_EQ(passed.answers, (std::vector<std::string>{"ﾊﾟｽ"}));
    EXPECT_EQ(passed.kekka, 0);

    FakeWorld w;
    w.choose(0, PracticeInOrder, Step);
    w.view.onQuestion = [&](int, std::int64_t at) { w.clock.keyTap(at + 40, Key::G); };
    w.start();
    ASSERT_EQ(w.view.askedAt.size(), 9u);
    // G at 40 ms, the reveal's 1000 ms, the step pause of 100 ms
    EXPECT_EQ(w.view.askedAt[1] - w.view.askedAt[0], 40 + 1000 + 100);
}

TEST(RunnerShows, AStepPracticePromptsAndHintsEveryFact) {
    FakeWorld w;
    w.choose(1, PracticeInOrder, Step);  // 二の段
    w.st.soundOn = 1;
    for (int i = 0; i < kMnemonicSlots; ++i) w.st.mnemonicTable[size_t(i)] = "hint" + std::to_string(i);
    std::vector<std::string> hints;
    w.view.onQuestion = [&](int fact, std::int64_t at) {
        w.clock.keyTap(at + 40, Key::G);
        (void)fact;
    };
    w.start();
    EXPECT_EQ(w.sound.count(SoundKind::Prompt), 9);
    const auto shown = w.view.textsOf(Field::Hint);
    std::vector<std::string> nonEmpty;
    for (const auto& h : shown)
        if (!h.empty()) nonEmpty.push_back(h);
    ASSERT_EQ(nonEmpty.size(), 9u);
    for (int b = 1; b <= 9; ++b) EXPECT_EQ(nonEmpty[size_t(b - 1)], "hint" + std::to_string(q(2, b) + 1));
}

TEST(RunnerShows, EveryReadingIsClearedThenShownInPartThenWholeAfterItsAnswerOrReveal) {
    FakeWorld test;
    test.choose(7, TestInOrder, Fast);  // 七の段: readings longer than their part
    test.start();
    FakeWorld practice;
    practice.choose(7, PracticeInOrder, Step);
    practice.view.onQuestion = [&](int, std::int64_t at) { practice.clock.keyTap(at + 40, Key::G); };
    practice.start();
    for (FakeWorld* w : {&test, &practice}) {
        std::vector<std::string> expected;
        for (int fact : w->view.asked) {
            const std::string whole(readingTable[size_t(fact)]);
            ASSERT_NE(codec::leadingBytes(whole, kPartialReadingBytes), whole);
            expected.insert(expected.end(), {"", codec::leadingBytes(whole, kPartialReadingBytes), whole});
        }
        EXPECT_EQ(w->view.textsOf(Field::Reading), expected);
    }
}

TEST(RunnerShows, StartEmptiesTheHintOfThePreviousRun) {
    for (int content : {0, 3, 5}) {
        FakeWorld w;
        w.choose(0, content, Fast);
        w.view.setFieldText(Field::Hint, "old hint");
        w.view.writes.clear();
        w.start();
        ASSERT_FALSE(w.view.writes.empty());
        const auto hints = w.view.textsOf(Field::Hint);
        ASSERT_FALSE(hints.empty()) << content;
        EXPECT_EQ(hints.front(), "") << content;
    }
}

TEST(RunnerShows, AFinishedPracticeSaysSoAndGivesBackTheControls) {
    FakeWorld w;
    w.choose(2, PracticeInOrder, Fast);
    w.st.repeatCount = 2;
    w.start();
    EXPECT_EQ(w.view.asked.size(), 18u);
    EXPECT_EQ(w.view.last[Field::Message], "◎練習は終わりました。");
    EXPECT_EQ(w.view.last[Field::Counter], "0");
    EXPECT_TRUE(w.view.controlsEnabled);
}

TEST(Shuffle, DrawsCoverTheWholeRangeZeroTo98) {
    std::mt19937 random(12345);
    const std::vector<int> draws = drawValues(random, 20000);
    ASSERT_EQ(draws.size(), 20000u);
    EXPECT_EQ(*std::min_element(draws.begin(), draws.end()), 0);
    EXPECT_EQ(*std::max_element(draws.begin(), draws.end()), 98);
}

TEST(RunnerShows, AFirstDigitIsRedOnlyWhenItAloneIsTheProduct) {
    FakeWorld w;
    w.choose(1, TestInOrder, Normal);  // 二の段
    w.view.onQuestion = [&](int fact, std::int64_t at) {
        if (fact == q(2, 3)) w.clock.keyHold(at + 250, Key::Main6, 30);        // 6 alone: red
        else if (fact == q(2, 6)) w.clock.keyHold(at + 250, Key::Main1, 30);   // 1 of 12: blue
        else if (fact == q(2, 7)) w.clock.keyHold(at + 10, Key::Esc, 50);
        else w.clock.keyTap(at + 10, Key::G);
    };
    w.confirm.answers = {true};
    w.start();
    const auto shown = w.view.answersWithColour();
    EXPECT_NE(std::find(shown.begin(), shown.end(), std::make_pair(std::string("６"), true)), shown.end());
    EXPECT_NE(std::find(shown.begin(), shown.end(), std::make_pair(std::string("１"), false)), shown.end());
    EXPECT_EQ(std::find(shown.begin(), shown.end(), std::make_pair(std::string("１"), true)), shown.end());
    EXPECT_EQ(w.st.kekkaArray[0][2], 1);  // 6 stood alone until the time ran out: right
    EXPECT_EQ(w.st.kekkaArray[0][5], 0);
}

TEST(RunnerState, ATestIsActiveFromItsFirstQuestionUntilItEnds) {
    for (const bool stopped : {false, true}) {
        FakeWorld w;
        w.choose(0, TestInOrder, Fast);
        std::vector<int> activeAtQuestion;
        w.view.onQuestion = [&](int, std::int64_t at) {
            activeAtQuestion.push_back(w.st.testActive);
            if (stopped && w.view.asked.size() == 5) w.clock.keyHold(at + 150, Key::Esc, 50);
        };
        w.confirm.answers = {true};
        w.start();
        ASSERT_GE(activeAtQuestion.size(), 5u);
        EXPECT_EQ(activeAtQuestion.front(), 0);  // set when the first answer is awaited
        for (size_t i = 1; i < activeAtQuestion.size(); ++i) EXPECT_EQ(activeAtQuestion[i], 1) << i;
        EXPECT_EQ(w.st.testActive, 0);
    }
}

TEST(RangeName, AStateWhoseTableDoesNotMatchItsRangeNamesNothing) {
    StudyState st;
    st.rangeIndex = 3;
    for (int dan : {0, 10, 12, -1}) {
        st.currentDan = dan;
        EXPECT_EQ(rangeName(st), "") << dan;
    }
}

TEST(RunnerKeys, KeypadDigitsZeroToNineAnswerLikeTheMainRow) {
    // 2 x 5 = 10 on the keypad; 2 x 1 = 2 typed as 0 then 2
    const FirstAnswer ten = answerFact(1, q(2, 5), [](FakeWorld& w, std::int64_t at) {
        w.clock.keyHold(at + 250, Key::Pad1, 30);
        w.clock.keyHold(at + 650, Key::Pad0, 30);
    });
    EXPECT_EQ(ten.answers, (std::vector<std::string>{"１", "１０"}));
    EXPECT_EQ(ten.kekka, 1);
    const FirstAnswer two = answerFact(1, q(2, 1), [](FakeWorld& w, std::int64_t at) {
        w.clock.keyHold(at + 250, Key::Pad0, 30);
        w.clock.keyHold(at + 650, Key::Pad2, 30);
    });
    EXPECT_EQ(two.answers, (std::vector<std::string>{"０", "２"}));
    EXPECT_EQ(two.kekka, 1);
}

TEST(RunnerShows, PracticeAnswersAreAlwaysBlue) {
    for (int speed : {Step, Fast}) {
        FakeWorld w;
        w.choose(4, PracticeInOrder, speed);
        w.view.onQuestion = [&](int, std::int64_t at) { w.clock.keyTap(at + 40, Key::G); };
        w.start();
        const auto shown = w.view.answersWithColour();
        ASSERT_EQ(shown.size(), 9u) << speed;
        for (const auto& [text, red] : shown) EXPECT_FALSE(red) << text;
    }
}

TEST(RunnerState, ATestClearsTheRecordOfThePreviousOneItself) {
    FakeWorld w;
    w.choose(12, TestInOrder, Fast);
    w.st.kekkaArray[17][8] = 1;  // a cell this test stops before reaching
    w.view.onQuestion = [&](int, std::int64_t at) {
        if (w.view.asked.size() == 1) w.clock.keyHold(at + 150, Key::Esc, 50);
    };
    w.confirm.answers = {true};
    w.runner.runTest(0);
    EXPECT_EQ(w.st.kekkaArray[17][8], 2);
}

TEST(Shuffle, EveryRunDrawsAnewFromTheClock) {
    // Two fresh states must not share their permutation of 81: a generator
    // left unseeded would give both the same.
    StudyState a, b;
    shuffle(a, 81);
    shuffle(b, 81);
    EXPECT_NE(std::vector<int>(a.shuffleRanks.begin(), a.shuffleRanks.end()),
              std::vector<int>(b.shuffleRanks.begin(), b.shuffleRanks.end()));
}

TEST(RunnerState, APracticeRecordsItsLevel) {
    for (const auto& [range, level] : {std::pair{9, 0}, {11, 2}, {12, 3}, {0, -9}}) {
        FakeWorld w;
        w.choose(range, PracticeInOrder, Fast);
        w.st.levelIndex = 77;
        w.view.onQuestion = [&](int, std::int64_t at) { w.clock.keyHold(at + 10, Key::Esc, 50); };
        w.start();
        EXPECT_EQ(w.st.levelIndex, level) << range;
    }
}

TEST(RunnerKeys, ZeroThenEnterIsAWrongAnswerAtOnce) {
    const FirstAnswer zero = answerFact(1, q(2, 1), [](FakeWorld& w, std::int64_t at) {
        w.clock.keyHold(at + 250, Key::Main0, 30);
        w.clock.keyHold(at + 650, Key::Enter, 30);
    });
    EXPECT_EQ(zero.answers, (std::vector<std::string>{"０", "０"}));
    EXPECT_EQ(zero.kekka, 0);
}

TEST(RunnerKeys, EveryKeypadDigitIsRead) {
    for (int d = 1; d <= 9; ++d) {
        // d x 1 = d, typed on the keypad and left to the time limit
        const int range = std::array{0, 1, 3, 4, 2, 5, 7, 6, 8}[size_t(d - 1)];
        const FirstAnswer a = answerFact(range, q(d, 1), [d](FakeWorld& w, std::int64_t at) {
            w.clock.keyHold(at + 250, padDigit(d), 30);
        });
        EXPECT_EQ(a.kekka, 1) << d;
    }
}

TEST(RunnerShows, ATimedPracticeEmptiesTheAnswerBeforeTheNextFormula) {
    FakeWorld w;
    w.choose(0, PracticeInOrder, Fast);
    w.start();
    std::string answerShown;
    int formulas = 0;
    for (const FieldWrite& f : w.view.writes) {
        if (f.field == Field::Answer) answerShown = f.text;
        if (f.field == Field::Formula && !f.text.empty()) {
            EXPECT_EQ(answerShown, "") << "formula " << formulas;
            ++formulas;
        }
    }
    EXPECT_EQ(formulas, 9);
}

TEST(RangeName, EveryTableAndLevelIsNamed) {
    StudyState st;
    const char* names[] = {"一の段", "二の段", "五の段", "三の段", "四の段", "六の段", "八の段", "七の段",
                           "九の段", "一・二・五の段", "三・四・六の段", "八・七・九の段", "すべての段"};
    for (int range = 0; range < kRangeCount; ++range) {
        st.rangeIndex = range;
        st.currentDan = danOfRange[size_t(range)];
        EXPECT_EQ(rangeName(st), names[range]) << range;
    }
}

TEST(RunnerByEar, AQuestionByEarIsTimedFromWhenItHasBeenSpoken) {
    const struct Row {
        int byEar;
        int digitAtMs;  // 2 typed this long after the formula, then Enter 400 ms later; -1 none
        const char* timeline;  // 2 x 1 at はやく, each phrase 1500 ms long
        int phraseMs = 1500;   // 0: the program has no voice
        int soundOn = 0;
    } rows[] = {
        // a test read from the board: the limit from the step pause on
        {0, -1, "ﾊﾟｽ@1901 "},
        // by ear chosen, but no voice to ask with: a test from the board
        {1, -1, "ﾊﾟｽ@1901 ", 0},
        // by ear: asked with the formula, the limit starts once it is said
        {1, -1, "ask@0 ﾊﾟｽ@3301 hush@3301 "},
        // with the effect sounds on, the question waits for the prompt to end
        {1, -1, "ask@250 ﾊﾟｽ@3551 hush@3551 ", 1500, 1},
        {1, 100, "ask@250 ２@650 ２@950 hush@950 ", 1500, 1},
        // an answer typed while the question is still heard counts, and
        // silences the rest of it
        {1, 600, "ask@0 ２@900 ２@1300 hush@1300 "},
        {1, 2500, "ask@0 ２@2800 ２@3200 hush@3200 "},
    };
    for (const Row& r : rows) {
        FakeWorld w;
        w.choose(1, TestInOrder, Fast);
        w.st.testByEar = r.byEar;
        w.st.soundOn = r.soundOn;
        w.sound.phraseMs = r.phraseMs;
        std::int64_t shown = -1;
        w.view.onQuestion = [&](int, std::int64_t at) {
            if (shown >= 0) {
                w.clock.keyHold(at + 10, Key::Esc, 50);
                return;
            }
            shown = at;
            if (r.digitAtMs >= 0) {
                w.clock.keyTap(at + r.digitAtMs, mainDigit(2));
                w.clock.keyTap(at + r.digitAtMs + 400, Key::Enter);
            }
        };
        w.confirm.answers = {true};
        w.start();
        std::vector<std::pair<std::int64_t, std::string>> events;
        for (const FieldWrite& f : w.view.writes)
            if (f.field == Field::Answer && !f.text.empty()) events.emplace_back(f.at - shown, f.text);
        for (const SpeechCall& c : w.sound.speech)
            events.emplace_back(c.at - shown, c.q < 0 ? "hush" : "ask");
        std::stable_sort(events.begin(), events.end(), [](auto& a, auto& b) { return a.first < b.first; });
        // The first question only: up to the next one's formula.
        ASSERT_GE(w.view.askedAt.size(), 2u);
        std::string line;
        for (const auto& [at, what] : events)
            if (at < w.view.askedAt[1] - shown) line += what + "@" + std::to_string(at) + " ";
        EXPECT_EQ(line, r.timeline) << "by ear " << r.byEar << ", digit at " << r.digitAtMs;
        EXPECT_EQ(w.st.lastTestByEar, r.phraseMs > 0 ? r.byEar : 0);
        EXPECT_EQ(w.st.kekkaArray[0][0], r.digitAtMs >= 0 ? 1 : 0);
    }
}
