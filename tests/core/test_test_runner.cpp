#include <gtest/gtest.h>

#include "tests/core/FakeWorld.h"

namespace {

int q(int a, int b) { return (a - 1) * 9 + (b - 1); }

enum Content { TestInOrder = 3, TestRandom = 4 };
enum Speed { Step = 0, Slow = 1, Normal = 2, Fast = 3 };

// Types digits (main keyboard) a little after each question appears.
struct Typist {
    FakeWorld& w;
    std::function<std::vector<Key>(int q)> keysFor;
    int gapMs = 20;
    void attach() {
        w.view.onQuestion = [this](int fact, std::int64_t at) {
            std::int64_t t = at + 50;
            for (Key k : keysFor(fact)) {
                w.clock.keyHold(t, k, 30);
                t += 300 + gapMs;  // the key reader pauses 300 ms after each key
            }
        };
    }
};

std::vector<Key> digitsOf(int n) {
    if (n < 10) return {mainDigit(n), Key::Enter};
    return {mainDigit(n / 10), mainDigit(n % 10)};
}

// Runs one question of 二の段 or 三の段 (the first asked in order is x1) and
// returns the answer texts and the outcome of the first question.
struct OneAnswer {
    std::string answer;
    bool red;
    std::string mark;
    int kekka;
};

OneAnswer answerFirst(int range, std::vector<Key> keys, int holdMs = 30) {
    FakeWorld w;
    w.choose(range, TestInOrder, Normal);
    w.view.onQuestion = [&](int, std::int64_t at) {
        if (w.view.asked.size() > 1) return;
        std::int64_t t = at + 50;
        for (Key k : keys) {
            w.clock.keyHold(t, k, holdMs);
            t += 300 + 20;
        }
        // stop after the first question
        w.clock.keyTap(at + 2600 + 600, Key::Esc);
    };
    w.start();
    std::string mark;
    for (const FieldWrite& f : w.view.writes)
        if (f.field == Field::Mark && !f.text.empty()) {
            mark = f.text;
            break;
        }
    std::string answer;
    bool red = false;
    for (const FieldWrite& f : w.view.writes)
        if (f.field == Field::Answer && !f.text.empty() && f.at <= w.view.firstTimeOf(Field::Mark, mark)) {
            answer = f.text;
            red = f.red;
        }
    return {answer, red, mark, w.st.kekkaArray[0][0]};
}

}  // namespace

TEST(TestJudging, OneDigitProductByDigitAndEnterOrByTime) {
    // 二の段: the first question is 2 x 1 = 2
    const OneAnswer enter = answerFirst(1, {Key::Main2, Key::Enter});
    EXPECT_EQ(enter.answer, "２");
    EXPECT_EQ(enter.mark, "◎");
    EXPECT_EQ(enter.kekka, 1);
    EXPECT_TRUE(enter.red);
    const OneAnswer timeUp = answerFirst(1, {Key::Pad2});
    EXPECT_EQ(timeUp.answer, "２");
    EXPECT_TRUE(timeUp.red);
    EXPECT_EQ(timeUp.mark, "◎");
    EXPECT_EQ(timeUp.kekka, 1);
    const OneAnswer twenty = answerFirst(1, {Key::Main2, Key::Main0});
    EXPECT_EQ(twenty.answer, "２０");
    EXPECT_FALSE(twenty.red);
    EXPECT_EQ(twenty.mark, "×");
    EXPECT_EQ(twenty.kekka, 0);
    const OneAnswer leadingZero = answerFirst(1, {Key::Main0, Key::Main2});
    EXPECT_EQ(leadingZero.answer, "２");
    EXPECT_EQ(leadingZero.kekka, 1);
}

TEST(TestJudging, TwoDigitProductJudgedAtTheSecondDigit) {
    FakeWorld w;
    w.choose(3, TestInOrder, Normal);  // 三の段
    w.view.onQuestion = [&](int fact, std::int64_t at) {
        if (fact == q(3, 4)) {
            w.clock.keyHold(at + 50, Key::Main1, 30);
            w.clock.keyHold(at + 400, Key::Main2, 30);
        } else if (fact == q(3, 5)) {
            w.clock.keyHold(at + 50, Key::Main1, 30);
            w.clock.keyHold(at + 400, Key::Enter, 30);
        } else {
            w.clock.keyTap(at + 10, Key::G);
        }
    };
    w.start();
    // 3 x 4: "1" in blue first, then "12" in red, decided at once
    const auto answersShown = w.view.answersWithColour();
    const auto twelve = std::find(answersShown.begin(), answersShown.end(), std::pair(std::string("１２"), true));
    ASSERT_NE(twelve, answersShown.end());
    ASSERT_NE(twelve, answersShown.begin());
    EXPECT_EQ(*(twelve - 1), std::pair(std::string("１"), false));
    EXPECT_EQ(w.st.kekkaArray[0][3], 1);
    EXPECT_EQ(w.st.kekkaArray[0][4], 0);  // 3 x 5 answered 1 + Enter
    EXPECT_EQ(w.st.kekkaArray[0][0], 0);  // passed with G
    EXPECT_EQ(w.sound.beeps(), 3 * 9 - 3 * 2);  // a beep for every pass
}

TEST(TestJudging, NoAnswerIsAPassShownAfterTheLimit) {
    FakeWorld w;
    w.choose(0, TestInOrder, Fast);
    w.start();
    const auto answers = w.view.textsOf(Field::Answer);
    EXPECT_EQ(std::count(answers.begin(), answers.end(), "ﾊﾟｽ"), 27);
    ASSERT_GE(w.view.askedAt.size(), 2u);
    // formula, 1801 ms of waiting, 500 ms after the mark, the 100 ms step pause
    EXPECT_EQ(w.view.askedAt[1] - w.view.askedAt[0], 1801 + 500 + 100);
    for (int pass = 0; pass < 3; ++pass)
        for (int m = 0; m < 9; ++m) EXPECT_EQ(w.st.kekkaArray[pass][m], 0);
    EXPECT_EQ(w.sound.beeps(), 0);  // only G beeps
}

TEST(TestJudging, AHeldDigitCountsTwice) {
    // 1 still held when the key reader looks again 300 ms later reads as 11
    const OneAnswer held = answerFirst(1, {Key::Main1}, 700);
    EXPECT_EQ(held.answer, "１１");
    EXPECT_EQ(held.kekka, 0);
}

TEST(TestRun, TableTestAsksThreePassesAndOpensItsResults) {
    FakeWorld w;
    w.choose(2, TestInOrder, Normal);  // 五の段
    Typist typist{w, [](int fact) { return digitsOf(productValue[fact]); }};
    typist.attach();
    w.start();
    EXPECT_EQ(w.view.asked.size(), 27u);
    for (int pass = 0; pass < 3; ++pass)
        for (int m = 0; m < 9; ++m) EXPECT_EQ(w.st.kekkaArray[pass][m], 1) << pass << "," << m;
    for (int row = 3; row < 18; ++row)
        for (int m = 0; m < 9; ++m) EXPECT_EQ(w.st.kekkaArray[row][m], 2);
    EXPECT_EQ(w.view.last[Field::Counter], "27");
    EXPECT_EQ(w.opened.resultsByTable, 1);
    EXPECT_EQ(w.opened.resultsByLevel, 0);
    EXPECT_EQ(w.st.testActive, 0);
    EXPECT_TRUE(w.view.controlsEnabled);
    EXPECT_EQ(w.view.last[Field::Message], "◎五の段のテストです。キーで答えてね。");
    EXPECT_EQ(w.view.textsOf(Field::PassLabel), (std::vector<std::string>{"[１回目]", "[２回目]", "[３回目]"}));
}

TEST(TestRun, SoundsPromptAfterAPauseAndRightOrWrong) {
    FakeWorld w;
    w.choose(0, TestInOrder, Normal);  // 一の段
    w.st.soundOn = 1;
    Typist typist{w, [](int fact) { return fact % 2 ? digitsOf(productValue[fact]) : std::vector<Key>{Key::G}; }};
    typist.attach();
    const std::int64_t start = w.clock.nowMs();
    w.start();
    ASSERT_FALSE(w.sound.calls.empty());
    EXPECT_EQ(w.sound.calls[0].kind, int(SoundKind::Prompt));
    EXPECT_EQ(w.sound.calls[0].at - start, 300);
    EXPECT_EQ(w.sound.count(SoundKind::Prompt), 27);
    EXPECT_EQ(w.sound.count(SoundKind::Right), 3 * 4);  // x2, x4, x6, x8 right
    EXPECT_EQ(w.sound.count(SoundKind::Wrong), 3 * 5);
}

TEST(TestRun, LevelTestWritesOnlyItsTablesRows) {
    FakeWorld w;
    w.choose(9, TestInOrder, Fast);  // 初級: tables 1, 2, 5
    Typist typist{w, [](int fact) { return digitsOf(productValue[fact]); }};
    typist.attach();
    w.start();
    EXPECT_EQ(w.view.asked.size(), 54u);
    for (int pass = 0; pass < 2; ++pass)
        for (int table = 1; table <= 9; ++table)
            for (int m = 0; m < 9; ++m) {
                const bool inLevel = table == 1 || table == 2 || table == 5;
                EXPECT_EQ(w.st.kekkaArray[pass * 9 + table - 1][m], inLevel ? 1 : 2) << pass << "," << table;
            }
    EXPECT_EQ(w.view.last[Field::Counter], "54");
    EXPECT_EQ(w.opened.resultsByLevel, 1);
}

TEST(TestRun, RandomAndInOrderFillTheSameCells) {
    auto run = [](int content) {
        FakeWorld w;
        w.choose(6, content, Fast);  // 八の段
        // wrong only for 8 x 3, wherever it comes
        Typist typist{w, [](int fact) { return fact == q(8, 3) ? std::vector<Key>{Key::G} : digitsOf(productValue[fact]); }};
        typist.attach();
        w.start();
        std::vector<int> cells(&w.st.kekkaArray[0][0], &w.st.kekkaArray[0][0] + 18 * 9);
        return std::make_pair(cells, w.view.asked);
    };
    const auto [ordered, orderedAsked] = run(TestInOrder);
    const auto [random, randomAsked] = run(TestRandom);
    EXPECT_EQ(ordered, random);
    EXPECT_EQ(ordered[2], 0);
    EXPECT_EQ(ordered[9 + 2], 0);
    EXPECT_EQ(ordered[0], 1);
    // every pass of the random test asks the same permutation
    ASSERT_EQ(randomAsked.size(), 27u);
    for (int k = 0; k < 9; ++k) {
        EXPECT_EQ(randomAsked[k], randomAsked[9 + k]);
        EXPECT_EQ(randomAsked[k], randomAsked[18 + k]);
    }
}

TEST(TestRun, AllTablesAsk162WithTheCounterAt81Twice) {
    FakeWorld w;
    w.choose(12, TestInOrder, Fast);
    w.view.onQuestion = [&](int, std::int64_t at) { w.clock.keyTap(at + 5, Key::G); };
    w.start();
    EXPECT_EQ(w.view.asked.size(), 162u);
    const auto counters = w.view.textsOf(Field::Counter);
    EXPECT_EQ(std::count(counters.begin(), counters.end(), "81"), 3);  // twice while asking, once at the end
    EXPECT_EQ(counters.back(), "81");
    EXPECT_EQ(w.view.last[Field::Message], "◎すべての段のテストです。キーで答えてね。");
    EXPECT_EQ(w.opened.resultsByLevel, 1);
}

TEST(TestAbort, AbandonedInPassTwoKeepsWhatWasWritten) {
    FakeWorld w;
    w.choose(1, TestInOrder, Fast);  // 二の段
    w.confirm.answers = {true};
    w.st.soundOn = 1;
    Typist typist{w, [](int fact) { return digitsOf(productValue[fact]); }};
    typist.attach();
    auto inner = w.view.onQuestion;
    w.view.onQuestion = [&](int fact, std::int64_t at) {
        if (w.view.asked.size() == 13) {  // pass 2, fourth question
            w.clock.keyHold(at + 20, Key::Esc, 200);
            return;
        }
        inner(fact, at);
    };
    w.start();
    ASSERT_EQ(w.confirm.asked.size(), 1u);
    EXPECT_EQ(w.confirm.asked[0].second, "テストを中止しますか？|<かくにん>");
    for (int m = 0; m < 9; ++m) {
        EXPECT_EQ(w.st.kekkaArray[0][m], 1);
        EXPECT_EQ(w.st.kekkaArray[1][m], m < 3 ? 1 : 2);
        EXPECT_EQ(w.st.kekkaArray[2][m], 2);
    }
    EXPECT_EQ(w.view.last[Field::Message], "◎テストを中止しました。");
    EXPECT_EQ(w.opened.resultsByTable, 0);
    EXPECT_EQ(w.st.testActive, 0);
    EXPECT_TRUE(w.view.controlsEnabled);
    EXPECT_EQ(w.view.last[Field::Counter], "13");
    const auto& c = w.sound.calls;
    ASSERT_GE(c.size(), 3u);
    EXPECT_EQ(c[c.size() - 1].kind, int(SoundKind::Prompt));
    EXPECT_EQ(c[c.size() - 1].at - c[c.size() - 3].at, 400);
}

TEST(TestAbort, CancelGoesOnAndTheTestCompletes) {
    FakeWorld w;
    w.choose(0, TestInOrder, Fast);
    w.confirm.answers = {false, false};
    w.view.onQuestion = [&](int, std::int64_t at) {
        if (w.view.asked.size() == 2) w.clock.keyHold(at + 20, Key::Esc, 100);
        if (w.view.asked.size() == 5) w.clock.mouseHold(at + 20, MouseButton::Right, 100);
    };
    w.start();
    EXPECT_EQ(w.confirm.asked.size(), 2u);
    EXPECT_EQ(w.view.asked.size(), 27u);
    EXPECT_EQ(w.opened.resultsByTable, 1);
}

TEST(TestAbort, AnEscTapSeenOnlyByTheKeyReaderStopsAtOnce) {
    FakeWorld w;
    w.choose(0, TestInOrder, Normal);
    w.view.onQuestion = [&](int, std::int64_t at) {
        // during the 500 ms after the mark, where only the key reader looks
        if (w.view.asked.size() == 2) w.clock.keyTap(at + 200 + 2601 + 200, Key::Esc);
    };
    w.start();
    EXPECT_TRUE(w.confirm.asked.empty());
    EXPECT_EQ(w.view.asked.size(), 2u);
    EXPECT_EQ(w.view.last[Field::Message], "◎テストを中止しました。");
    EXPECT_EQ(w.st.kekkaArray[0][0], 0);
    EXPECT_EQ(w.st.kekkaArray[0][1], 0);  // the outcome written before the stop stays
    EXPECT_EQ(w.opened.resultsByTable, 0);
}

TEST(TestAbort, AnEscTapBetweenTheTwoLooksStopsAtTheQuestionWithAPlainPass) {
    FakeWorld w;
    w.choose(0, TestInOrder, Normal);
    w.st.outcomeFlag = 1;  // the last answer of the test before was right
    w.input.afterHeldQuery = [&](Key key) {
        // on the first question the tap lands just after the held-key look
        if (key == Key::Esc && w.view.asked.size() == 1) w.input.pressed[FakeInput::i(Key::Esc)] = true;
    };
    w.start();
    EXPECT_TRUE(w.confirm.asked.empty());
    EXPECT_EQ(w.view.asked.size(), 1u);
    EXPECT_EQ(w.view.last[Field::Message], "◎テストを中止しました。");
    // a new test starts with no right answer behind it: a plain pass
    EXPECT_EQ(w.view.answersWithColour().back(), std::pair(std::string("ﾊﾟｽ"), false));
    EXPECT_EQ(w.st.testActive, 0);
}

TEST(TestAbort, AHeldNowQueryForgetsAPressMadeBetweenPolls) {
    // As the platform's key state: looking at whether Esc is held also
    // clears its "pressed since" mark, so a tap released before the answer
    // loop looked is gone and the key reader does not stop the test for it.
    FakeWorld w;
    w.choose(0, TestInOrder, Normal);
    w.view.onQuestion = [&](int, std::int64_t at) {
        if (w.view.asked.size() == 2) w.clock.keyTap(at + 300, Key::Esc);
    };
    w.start();
    EXPECT_TRUE(w.confirm.asked.empty());
    EXPECT_EQ(w.view.asked.size(), 27u);
    EXPECT_EQ(w.opened.resultsByTable, 1);
}

TEST(TestAbort, MouseWithOkStops) {
    FakeWorld w;
    w.choose(9, TestRandom, Fast);
    w.confirm.answers = {true};
    w.view.onQuestion = [&](int, std::int64_t at) {
        if (w.view.asked.size() == 1) w.clock.mouseHold(at + 20, MouseButton::Left, 100);
    };
    w.start();
    EXPECT_EQ(w.confirm.asked.size(), 1u);
    EXPECT_EQ(w.view.asked.size(), 1u);
    for (const auto& row : w.st.kekkaArray)
        for (int cell : row) EXPECT_EQ(cell, 2);
}
