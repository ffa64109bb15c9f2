#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "main/core/FactRecord.h"
#include "main/core/Settings.h"
#include "tests/core/FakeWorld.h"
#include "tests/core/LockedFolder.h"

namespace {

int q(int a, int b) { return (a - 1) * 9 + (b - 1); }

FactRecord recordOf(std::initializer_list<std::tuple<int, bool, int>> answers) {
    FactRecord r;
    for (const auto& [fact, right, ms] : answers) recordAnswer(r, fact, right, ms);
    return r;
}

}  // namespace

// The map's three colours against its legend: あか when most answers are not
// right, at every speed; みどり only when right nearly every time and quick
// for the limit; きいろ between. The speed word compares the typical right
// answer with the limit it was given.
TEST(FactSummaryRules, BandsAndSpeedsFollowTheLegendAtEverySpeed) {
    using K = Outcome::Kind;
    const auto many = [](int n, Outcome o) { return std::vector<Outcome>(size_t(n), o); };
    const auto join = [](std::vector<Outcome> a, const std::vector<Outcome>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    struct Case {
        const char* what;
        std::vector<Outcome> outcomes;
        Band band;
        Speed speed;
        int share, typical;
    } cases[] = {
        {"never asked", {}, Band::NotAsked, Speed::None, 0, 0},
        {"wrong every time at ふつう", many(3, {K::Wrong, 900, 2600}), Band::Hard, Speed::None, 0, 900},
        {"wrong every time at はやく", many(3, {K::Wrong, 700, 1800}), Band::Hard, Speed::None, 0, 700},
        {"wrong every time at ステップ", many(3, {K::Wrong, 4000, 5500}), Band::Hard, Speed::None, 0, 4000},
        {"passed every time", many(2, {K::Passed, 0, 3800}), Band::Hard, Speed::None, 0, 0},
        {"right 2 in 5", join(many(2, {K::Right, 800, 2600}), many(3, {K::Wrong, 800, 2600})), Band::Hard,
         Speed::Quick, 40, 800},
        {"right 1 in 2", join(many(1, {K::Right, 800, 2600}), many(1, {K::Passed, 0, 2600})), Band::Unsure,
         Speed::Quick, 50, 800},
        {"right 4 in 5 and quick", join(many(4, {K::Right, 700, 2600}), many(1, {K::Wrong, 700, 2600})),
         Band::Unsure, Speed::Quick, 80, 700},
        // Only the last five count, the five the map shows.
        {"right the last 5 after 5 wrong", join(many(5, {K::Wrong, 3000, 2600}), many(5, {K::Right, 700, 2600})),
         Band::Sure, Speed::Quick, 100, 700},
        {"wrong the last 5 after 5 right", join(many(5, {K::Right, 700, 2600}), many(5, {K::Wrong, 900, 2600})),
         Band::Hard, Speed::None, 0, 900},
        {"a wrong one 5 back", join(many(6, {K::Wrong, 700, 2600}), many(4, {K::Right, 700, 2600})),
         Band::Unsure, Speed::Quick, 80, 700},
        {"always right but slow", many(4, {K::Right, 2400, 2600}), Band::Unsure, Speed::Slow, 100, 2400},
        {"always right, in the middle", many(4, {K::Right, 1800, 2600}), Band::Unsure, Speed::Usual, 100, 1800},
        {"right at half the limit", many(4, {K::Right, 1300, 2600}), Band::Sure, Speed::Quick, 100, 1300},
        {"right at four fifths of the limit", many(4, {K::Right, 2080, 2600}), Band::Unsure, Speed::Usual, 100, 2080},
        {"right just within four fifths", many(4, {K::Right, 1960, 2600}), Band::Unsure, Speed::Usual, 100, 1960},
        {"right a little over four fifths", many(4, {K::Right, 2100, 2600}), Band::Unsure, Speed::Slow, 100, 2100},
        {"quick at ふつう, then slow at はやく", join(many(2, {K::Right, 1200, 2600}), many(1, {K::Right, 1200, 1800})),
         Band::Sure, Speed::Quick, 100, 1200},
        {"mostly at はやく now, judged by its limit", join(many(1, {K::Right, 1500, 2600}), many(2, {K::Right, 1500, 1800})),
         Band::Unsure, Speed::Slow, 100, 1500},
        {"always right and quick at ステップ", many(2, {K::Right, 2500, 5500}), Band::Sure, Speed::Quick, 100, 2500},
        {"always right but slow at はやく", many(2, {K::Right, 1500, 1800}), Band::Unsure, Speed::Slow, 100, 1500},
        {"an older record, judged at ふつう", many(2, {K::Right, 1200, 0}), Band::Sure, Speed::Quick, 100, 1200},
        {"the middle right time", {{K::Right, 2600, 5500}, {K::Right, 900, 5500}, {K::Wrong, 100, 5500}}, Band::Unsure,
         Speed::Quick, 67, 1750},
        {"the middle of five in any order",
         {{K::Right, 3000, 5500}, {K::Right, 500, 5500}, {K::Right, 1200, 5500}, {K::Right, 2000, 5500}, {K::Right, 700, 5500}},
         Band::Sure, Speed::Quick, 100, 1200},
        {"between the middle two of four in any order",
         {{K::Right, 2000, 5500}, {K::Right, 600, 5500}, {K::Right, 1400, 5500}, {K::Right, 800, 5500}}, Band::Sure,
         Speed::Quick, 100, 1100},
        {"the middle of three right times", {{K::Right, 2600, 5500}, {K::Right, 900, 5500}, {K::Right, 1200, 5500}},
         Band::Sure, Speed::Quick, 100, 1200},
    };
    for (const Case& c : cases) {
        FactHistory h{int(c.outcomes.size()), 0, c.outcomes};
        const FactSummary s = summarise(h);
        EXPECT_EQ(s.band, c.band) << c.what;
        EXPECT_EQ(s.speed, c.speed) << c.what;
        EXPECT_EQ(s.sharePercent, c.share) << c.what;
        EXPECT_EQ(s.typicalMs, c.typical) << c.what;
    }
}

TEST(FactSummaryRules, OnlyTheLastTenOutcomesCountButEveryAnswerIsCounted) {
    FactRecord r;
    for (int i = 0; i < 15; ++i) recordAnswer(r, 5, false, 2000);
    for (int i = 0; i < 10; ++i) recordAnswer(r, 5, true, 1000);
    EXPECT_EQ(r.facts[5].asked, 25);
    EXPECT_EQ(r.facts[5].right, 10);
    ASSERT_EQ(r.facts[5].recent.size(), 10u);
    EXPECT_EQ(summarise(r.facts[5]).sharePercent, 100);
    recordAnswer(r, -1, true, 1);
    recordAnswer(r, 81, true, 1);
    EXPECT_EQ(r.facts[80].asked, 0);
    // Answers of a test taken before the name join the child's: the newest ten stay.
    addAnswers(r, recordOf({{5, false, 3000}, {6, true, 900}}));
    EXPECT_EQ(r.facts[5].asked, 26);
    ASSERT_EQ(r.facts[5].recent.size(), 10u);
    EXPECT_EQ(summarise(r.facts[5]).sharePercent, 80);
    EXPECT_EQ(r.facts[6].recent.size(), 1u);
}

TEST(FactSummaryRules, HardestFirstTiesInFactOrder) {
    const FactRecord r = recordOf({{q(7, 8), false, 3000},
                                   {q(2, 3), true, 900},
                                   {q(6, 7), false, 3000},
                                   {q(9, 9), true, 4000},
                                   {q(3, 4), false, 5500}});
    EXPECT_EQ(hardestFacts(r, 9), (std::vector<int>{q(3, 4), q(6, 7), q(7, 8), q(9, 9)}));
    EXPECT_EQ(hardestFacts(r, 2), (std::vector<int>{q(3, 4), q(6, 7)}));
    EXPECT_EQ(hardFactsLine(r), "３×４・６×７・７×８ が にがてだよ。れんしゅうしよう！");
    EXPECT_EQ(hardFactsLine(recordOf({{q(7, 8), false, 2000}})), "７×８ が にがてだよ。れんしゅうしよう！");
    EXPECT_EQ(hardFactsLine(recordOf({{q(7, 8), true, 800}})), "にがてな九九はないよ。すごいね！");
    // Only red facts are named, as the legend says; yellow ones alone are told kindly.
    EXPECT_EQ(hardFactsLine(recordOf({{q(9, 9), true, 4000}, {q(7, 8), false, 2000}})), "７×８ が にがてだよ。れんしゅうしよう！");
    EXPECT_EQ(hardFactsLine(recordOf({{q(9, 9), true, 4000}})), "にがては ないよ。きいろを れんしゅうしよう！");
    EXPECT_EQ(hardFactsLine(FactRecord{}), "テストをすると，にがてな九九がわかるよ。");
}

TEST(FactRecordFile, RoundTripKeepsEverything) {
    FactRecord r;
    for (int i = 0; i < 14; ++i) recordAnswer(r, q(8, 7), i % 3 == 0, 1000 + 37 * i);
    recordAnswer(r, 0, true, 0);
    recordAnswer(r, 80, false, 5500);
    recordPass(r, q(4, 5), 1800);
    FactRecord back;
    ASSERT_TRUE(recordFromText(back, recordToText(r)));
    for (int fact = 0; fact < kFactsRecorded; ++fact) {
        EXPECT_EQ(back.facts[size_t(fact)].asked, r.facts[size_t(fact)].asked);
        EXPECT_EQ(back.facts[size_t(fact)].right, r.facts[size_t(fact)].right);
        EXPECT_EQ(back.facts[size_t(fact)].recent, r.facts[size_t(fact)].recent);
    }
    FactRecord empty;
    ASSERT_TRUE(recordFromText(empty, recordToText(FactRecord{})));
    EXPECT_TRUE(recordIsEmpty(empty));
}

// A damaged record keeps every good line, and says it was not read whole.
TEST(FactRecordFile, ADamagedTextKeepsEveryGoodLine) {
    const std::string heading = "tateyokom fact record 2\n";
    const std::string good = "3 1 1 R1200/2600\n";
    struct Case {
        const char* what;
        std::string text;
        bool whole;
        bool factThreeKept;
    } cases[] = {
        {"as written", heading + good, true, true},
        {"an older record", "tateyokom fact record 1\n3 1 1 R1200\n", true, true},
        {"an older record, two answers on a line", "tateyokom fact record 1\n3 1 1 R1200\n5 2 1 R1200 W900\n", true, true},
        {"a class folder's record, cleared", "tateyokom fact record 3\ncleared 1765000000000\n3 1 1 R1200/2600@1765000000001\n",
         true, true},
        {"a clear that is no date", "tateyokom fact record 3\ncleared 17650000x\n" + good, false, true},
        {"CRLF line ends", "tateyokom fact record 2\r\n3 1 1 R1200/2600\r\n", true, true},
        {"a UTF-8 BOM", "\xEF\xBB\xBF" + heading + good, true, true},
        {"eleven outcomes on one line", heading + good + "4 99 1 R1 R1 R1 R1 R1 R1 R1 R1 R1 R1 R1\n", false, true},
        {"a negative time", heading + "4 1 1 R-5\n" + good, false, true},
        {"a cut last line", heading + good + "4 1 1 R12/", false, true},
        {"numbers near the integer limit", heading + "4 2147483647 2147483647 R2147483647/2147483647\n" + good, false,
         true},
        {"a fact beyond the table", heading + "81 1 1 R5\n" + good, false, true},
        {"the most answers a fact may count", heading + good + "5 10000000 0\n", true, true},
        {"one answer more", heading + good + "5 10000001 0\n", false, true},
        {"more right than asked", heading + good + "4 1 2 R5\n", false, true},
        {"an unknown mark", heading + good + "4 1 1 X5\n", false, true},
        {"no heading", good, false, true},
        {"nothing of ours", "garbage", false, false},
        {"binary", std::string("\0\xff\n", 3), false, false},
    };
    for (const Case& c : cases) {
        FactRecord r = recordOf({{7, true, 1}});
        EXPECT_EQ(recordFromText(r, c.text), c.whole) << c.what;
        EXPECT_EQ(r.facts[3].asked, c.factThreeKept ? 1 : 0) << c.what;
        if (c.factThreeKept) {
            EXPECT_EQ(r.facts[3].recent.front().ms, 1200) << c.what;
            // An older outcome carries no limit: the usual one is taken for it.
            EXPECT_EQ(r.facts[3].recent.front().limitMs, c.text.find("R1200/2600") == std::string::npos ? 0 : 2600) << c.what;
        }
        EXPECT_EQ(r.facts[4].asked, 0) << c.what;
        EXPECT_EQ(r.facts[7].asked, 0) << c.what;  // what the record held before is gone
    }
}

TEST(FactRecordRuns, EveryJudgedAnswerIsRecordedWithItsTime) {
    FakeWorld w;
    w.choose(1, 3, 2);  // 二の段, test in order, ふつう (limit 2600 ms)
    w.view.onQuestion = [&](int fact, std::int64_t at) {
        if (fact == q(2, 3)) {
            w.clock.keyHold(at + 400, Key::Main6, 30);
            w.clock.keyHold(at + 800, Key::Enter, 30);
        } else if (fact == q(2, 4)) {
            w.clock.keyHold(at + 400, Key::Main9, 30);
            w.clock.keyHold(at + 800, Key::Enter, 30);
        } else if (fact == q(2, 5)) {
            w.clock.keyTap(at + 300, Key::G);
        } else if (fact == q(2, 2)) {
            w.clock.keyHold(at + 400, Key::Main4, 30);  // judged when the time runs out
        }
    };
    w.start();
    const FactHistory& six = w.st.factRecord.facts[size_t(q(2, 3))];
    EXPECT_EQ(six.asked, 3);
    EXPECT_EQ(six.right, 3);
    // the answer's time is when its digit was pressed, not when Enter or the limit judged it
    EXPECT_EQ(six.recent.front(), (Outcome{Outcome::Kind::Right, 400, 2600}));
    EXPECT_EQ(w.st.factRecord.facts[size_t(q(2, 4))].recent.front(), (Outcome{Outcome::Kind::Wrong, 400, 2600}));
    EXPECT_EQ(w.st.factRecord.facts[size_t(q(2, 2))].recent.front(), (Outcome{Outcome::Kind::Right, 400, 2600}));
    // a pass and a timeout were not answered
    EXPECT_EQ(w.st.factRecord.facts[size_t(q(2, 5))].recent.front(), (Outcome{Outcome::Kind::Passed, 0, 2600}));
    EXPECT_EQ(w.st.factRecord.facts[size_t(q(2, 1))].recent.front(), (Outcome{Outcome::Kind::Passed, 0, 2600}));
    EXPECT_EQ(w.st.factRecord.facts[size_t(q(3, 1))].asked, 0);
}

TEST(FactRecordRuns, APracticeOrAStoppedQuestionRecordsNothing) {
    FakeWorld practice;
    practice.choose(0, 0, 3);
    practice.start();
    EXPECT_TRUE(recordIsEmpty(practice.st.factRecord));
    FakeWorld stopped;
    stopped.choose(0, 3, 3);
    stopped.view.onQuestion = [&](int, std::int64_t at) { stopped.clock.keyHold(at + 150, Key::Esc, 50); };
    stopped.confirm.answers = {true};
    stopped.start();
    EXPECT_TRUE(recordIsEmpty(stopped.st.factRecord));
}

TEST(HardFactsPractice, AsksTheChosenFactsInTheirOrderForEveryPass) {
    FakeWorld w;
    w.choose(0, 3, 3);  // whatever the lists show, the list given is practised
    w.st.repeatCount = 2;
    const std::vector<int> facts = {q(7, 8), q(6, 7), q(9, 6)};
    const RunOutcome outcome = w.runner.runPracticeOf(facts);
    EXPECT_EQ(w.view.asked, (std::vector<int>{q(7, 8), q(6, 7), q(9, 6), q(7, 8), q(6, 7), q(9, 6)}));
    EXPECT_EQ(w.view.textsOf(Field::Message).front(), "◎にがてな九九の練習をします。");
    EXPECT_EQ(w.view.last[Field::Message], std::string("◎") + kAfterHardPractice);  // and the test is offered
    EXPECT_TRUE(w.view.controlsEnabled);
    EXPECT_EQ(outcome.then, RunOutcome::Then::Nothing);
    EXPECT_FALSE(outcome.answersRecorded);
    EXPECT_TRUE(recordIsEmpty(w.st.factRecord));
    // nothing valid to practise: nothing happens
    FakeWorld none;
    none.runner.runPracticeOf({-1, 81});
    EXPECT_TRUE(none.view.writes.empty());
}

TEST(HardFactsPractice, TheFirstAndLastFactsAreAskedToo) {
    FakeWorld w;
    w.choose(0, 3, 3);
    w.st.repeatCount = 1;
    w.runner.runPracticeOf({q(1, 1), -1, q(9, 9), 81, q(1, 1)});
    EXPECT_EQ(w.view.asked, (std::vector<int>{q(1, 1), q(9, 9), q(1, 1)}));
    // A list longer than the table is cut at one fact per cell of it.
    FakeWorld many;
    many.choose(0, 3, 3);
    many.st.repeatCount = 1;
    many.runner.runPracticeOf(std::vector<int>(kFactCount + 5, q(3, 3)));
    EXPECT_EQ(many.view.asked, std::vector<int>(kFactCount, q(3, 3)));
}

TEST(HardFactsPractice, StopsLikeAnyPractice) {
    FakeWorld w;
    w.choose(0, 0, 0);
    w.view.onQuestion = [&](int, std::int64_t at) {
        if (w.view.asked.size() == 2) w.clock.keyHold(at + 100, Key::Esc, 50);
        else w.clock.keyTap(at + 50, Key::G);
    };
    w.runner.runPracticeOf({q(8, 8), q(4, 7), q(3, 9)});
    EXPECT_EQ(w.view.asked, (std::vector<int>{q(8, 8), q(4, 7)}));
    EXPECT_EQ(w.view.last[Field::Message], "◎練習を中止しました。");
}

TEST(FactRecordFile, TheSettingsFileIsTheSameWhateverTheRecordHolds) {
    QTemporaryDir dir;
    const std::string a = dir.filePath("a.ini").toStdString(), b = dir.filePath("b.ini").toStdString();
    StudyState plain, recorded;
    loadSettings(plain, a);
    loadSettings(recorded, b);
    for (int i = 0; i < 30; ++i) recordAnswer(recorded.factRecord, i, i % 2 == 0, 1000 + i);
    ASSERT_TRUE(saveSettings(plain, a, nullptr));
    ASSERT_TRUE(saveSettings(recorded, b, nullptr));
    QFile fa(QString::fromStdString(a)), fb(QString::fromStdString(b));
    ASSERT_TRUE(fa.open(QIODevice::ReadOnly));
    ASSERT_TRUE(fb.open(QIODevice::ReadOnly));
    EXPECT_EQ(fa.readAll(), fb.readAll());
}

TEST(FactRecordFile, SavedAndLoadedThroughItsFileAndADamagedOneIsKeptAside) {
    QTemporaryDir dir;
    const std::string path = dir.filePath(kFactRecordFileName).toStdString();
    FactRecord r = recordOf({{q(4, 6), false, 2000}, {q(4, 6), true, 1500}});
    ASSERT_TRUE(saveRecordFile(r, path));
    FactRecord back = recordOf({{1, true, 1}});
    loadRecordFile(back, path);
    EXPECT_EQ(back.facts[size_t(q(4, 6))].recent, r.facts[size_t(q(4, 6))].recent);
    EXPECT_EQ(back.facts[1].asked, 0);
    loadRecordFile(back, dir.filePath("none.txt").toStdString());
    EXPECT_TRUE(recordIsEmpty(back));
    // Too large to be a record, and damaged: what it holds is read and the
    // file itself kept aside, the newest one replacing an older one.
    for (const QByteArray& tail : {QByteArray("4 1 1 X1\n"), QByteArray(200000, '\n')}) {
        const QString damaged = dir.filePath("damaged.txt");
        QFile file(damaged);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const QByteArray bytes = QByteArray::fromStdString(recordToText(r)) + tail;
        file.write(bytes);
        file.close();
        EXPECT_TRUE(loadRecordFile(back, damaged.toStdString()));
        EXPECT_EQ(back.facts[size_t(q(4, 6))].recent, r.facts[size_t(q(4, 6))].recent);
        QFile aside(damaged + ".bak");
        ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
        EXPECT_EQ(aside.readAll(), bytes);
    }
    EXPECT_FALSE(saveRecordFile(r, dir.filePath("no/such/folder/x.txt").toStdString()));
}

// Never written over in place, where a full disk would cut it.
TEST(FactRecordFile, ALockedFolderWithAWritableRecordKeepsIt) {
    LockedFolder folder(kFactRecordFileName, "", true);
    if (folder.bypassed) GTEST_SKIP() << "permission bits do not bind this user";
    const FactRecord r = recordOf({{q(7, 8), true, 1800}});
    EXPECT_FALSE(saveRecordFile(r, folder.path));
    EXPECT_EQ(slurp(folder.path), folder.old);
}

TEST(FactSummaryRules, ShareIsRoundedToTheNearestPercentAndTimesNeverNegative) {
    FactRecord r;
    for (int i = 0; i < 8; ++i) recordAnswer(r, 0, i > 5, 1000);
    EXPECT_EQ(summarise(r.facts[0]).sharePercent, 40);  // of the last five
    recordAnswer(r, 2, true, 1000);
    recordAnswer(r, 2, true, 1000);
    recordAnswer(r, 2, false, 1000);
    EXPECT_EQ(summarise(r.facts[2]).sharePercent, 67);  // 66.7
    recordAnswer(r, 1, true, -40);
    EXPECT_EQ(r.facts[1].recent.front().ms, 0);
}

TEST(FactSummaryRules, TheFirstFactCanBeHardToo) {
    const FactRecord r = recordOf({{0, false, 2000}, {80, false, 2000}});
    EXPECT_EQ(hardestFacts(r, 9), (std::vector<int>{0, 80}));
}

TEST(HardFactsPractice, StartsLikeAnyRunLockedAndWithTheOldTestForgotten) {
    FakeWorld w;
    w.choose(0, 0, 3);
    w.st.kekkaArray[0][0] = 1;
    w.view.setFieldText(Field::Hint, "old hint");
    w.view.writes.clear();
    std::vector<bool> enabledAtQuestion;
    w.view.onQuestion = [&](int, std::int64_t) { enabledAtQuestion.push_back(w.view.controlsEnabled); };
    w.runner.runPracticeOf({q(9, 9)});
    EXPECT_EQ(w.view.textsOf(Field::Hint).front(), "");
    EXPECT_EQ(enabledAtQuestion, std::vector<bool>{false});
    EXPECT_EQ(w.st.kekkaArray[0][0], 2);
    EXPECT_EQ(w.view.abortHints, 1);
}

TEST(HardFactsTest, AsksEachChosenFactOnceRecordsItAndSaysHowManyWereRight) {
    FakeWorld w;
    w.choose(0, 3, 2);  // whatever the lists show, the list given is asked
    w.view.onQuestion = [&](int fact, std::int64_t at) {
        if (fact == q(7, 8)) {  // 56
            w.clock.keyHold(at + 400, Key::Main5, 30);
            w.clock.keyHold(at + 800, Key::Main6, 30);
        } else {
            w.clock.keyTap(at + 300, Key::G);
        }
    };
    const RunOutcome outcome = w.runner.runTestOf({q(7, 8), q(6, 7), 81});
    EXPECT_EQ(w.view.asked, (std::vector<int>{q(7, 8), q(6, 7)}));
    EXPECT_EQ(w.view.last[Field::Message], "◎にがてテストは 2もん中 1もん せいかい！");
    EXPECT_EQ(outcome.end, RunOutcome::End::Completed);
    EXPECT_EQ(outcome.then, RunOutcome::Then::Nothing);  // no results window, no pass
    EXPECT_TRUE(outcome.answersRecorded);
    EXPECT_EQ(w.st.factRecord.facts[size_t(q(7, 8))].right, 1);
    EXPECT_EQ(w.st.factRecord.facts[size_t(q(6, 7))].recent.front().kind, Outcome::Kind::Passed);
    for (const auto& row : w.st.kekkaArray)
        for (int cell : row) EXPECT_EQ(cell, 2);
    EXPECT_TRUE(w.view.controlsEnabled);
    // stopped at its first question: nothing was recorded
    FakeWorld stopped;
    stopped.choose(0, 3, 3);
    stopped.view.onQuestion = [&](int, std::int64_t at) { stopped.clock.keyHold(at + 150, Key::Esc, 50); };
    stopped.confirm.answers = {true};
    EXPECT_FALSE(stopped.runner.runTestOf({q(3, 3)}).answersRecorded);
    EXPECT_EQ(stopped.view.last[Field::Message], "◎テストを中止しました。");
    // stopped at its second: the first answer is saved now, not at the next test
    FakeWorld later;
    later.choose(0, 3, 3);
    later.view.onQuestion = [&](int fact, std::int64_t at) {
        if (fact == q(3, 3)) later.clock.keyTap(at + 300, Key::G);
        else later.clock.keyHold(at + 150, Key::Esc, 50);
    };
    later.confirm.answers = {true};
    EXPECT_TRUE(later.runner.runTestOf({q(3, 3), q(4, 4)}).answersRecorded);
}
