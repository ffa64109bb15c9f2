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

TEST(FactSummaryRules, ShareTypicalTimeAndHardness) {
    struct Case {
        std::vector<std::pair<bool, int>> answers;
        int share, typical;
        bool hard;
    } cases[] = {
        {{}, 0, 0, false},
        {{{true, 900}, {true, 1100}, {true, 1400}}, 100, 1100, false},      // sure and quick
        {{{true, 3000}, {true, 3500}}, 100, 3250, true},                     // right but slow
        {{{false, 1000}, {true, 1000}, {true, 1000}, {false, 1200}}, 50, 1000, true},
        {{{false, 5500}}, 0, 5500, true},
        // an odd number of answers: the middle time once they are sorted
        {{{true, 2600}, {true, 900}, {false, 4100}, {true, 1500}, {true, 3300}}, 80, 2600, true},
    };
    for (const Case& c : cases) {
        FactHistory h;
        FactRecord r;
        for (const auto& [right, ms] : c.answers) recordAnswer(r, 0, right, ms);
        const FactSummary s = summarise(r.facts[0]);
        EXPECT_EQ(s.asked, !c.answers.empty());
        EXPECT_EQ(s.sharePercent, c.share);
        EXPECT_EQ(s.typicalMs, c.typical);
        EXPECT_EQ(s.hardness > 0, c.hard);
    }
    // always wrong at the limit is as hard as it gets; wrong weighs more than slow, and slow counts
    EXPECT_DOUBLE_EQ(summarise(recordOf({{0, false, 5500}}).facts[0]).hardness, 1.0);
    const double slowButRight = summarise(recordOf({{0, true, 5500}}).facts[0]).hardness;
    EXPECT_GT(summarise(recordOf({{0, false, 1000}}).facts[0]).hardness, slowButRight);
    EXPECT_GT(slowButRight, 0.0);
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
    EXPECT_EQ(hardFactsLine(FactRecord{}), "テストをすると，にがてな九九がわかるよ。");
}

TEST(FactRecordFile, RoundTripKeepsEverything) {
    FactRecord r;
    for (int i = 0; i < 14; ++i) recordAnswer(r, q(8, 7), i % 3 == 0, 1000 + 37 * i);
    recordAnswer(r, 0, true, 0);
    recordAnswer(r, 80, false, 5500);
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

TEST(FactRecordFile, DamagedTextGivesAnEmptyRecord) {
    const std::string good = recordToText(recordOf({{3, true, 1200}}));
    for (const std::string& bad : {std::string(), std::string("garbage"), good + "81 1 1 R5\n", good + "4 1 2 R5\n",
                                   good + "4 1 1 X5\n", good + "4 1 1 R-5\n", good + "4 1 -1\n",
                                   good + "4 2 1 R1 R1 R1\n", good + "4 99 1 R1 R1 R1 R1 R1 R1 R1 R1 R1 R1 R1\n",
                                   std::string("\0\xff\n", 3), good.substr(0, 10)}) {
        FactRecord r = recordOf({{7, true, 1}});
        EXPECT_FALSE(recordFromText(r, bad)) << bad;
        EXPECT_TRUE(recordIsEmpty(r)) << bad;
    }
    FactRecord crlf;
    std::string withCrLf = good;
    for (size_t at = withCrLf.find('\n'); at != std::string::npos; at = withCrLf.find('\n', at + 2)) withCrLf.insert(at, "\r");
    EXPECT_TRUE(recordFromText(crlf, withCrLf.substr(withCrLf.find('\n') + 1).insert(0, "tateyokom fact record 1\n")));
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
        }
    };
    w.runner.ExecButtonClick();
    const FactHistory& six = w.st.factRecord.facts[size_t(q(2, 3))];
    EXPECT_EQ(six.asked, 3);
    EXPECT_EQ(six.right, 3);
    // 6, then Enter pressed 800 ms after the formula: the answer's time is the deciding press's
    EXPECT_EQ(six.recent.front(), std::make_pair(true, 800));
    EXPECT_EQ(w.st.factRecord.facts[size_t(q(2, 4))].recent.front(), std::make_pair(false, 800));
    // a pass and a timeout count as wrong at the limit
    EXPECT_EQ(w.st.factRecord.facts[size_t(q(2, 5))].recent.front(), std::make_pair(false, 2600));
    EXPECT_EQ(w.st.factRecord.facts[size_t(q(2, 1))].recent.front(), std::make_pair(false, 2600));
    EXPECT_EQ(w.st.factRecord.facts[size_t(q(3, 1))].asked, 0);
}

TEST(FactRecordRuns, APracticeOrAStoppedQuestionRecordsNothing) {
    FakeWorld practice;
    practice.choose(0, 0, 3);
    practice.runner.ExecButtonClick();
    EXPECT_TRUE(recordIsEmpty(practice.st.factRecord));
    FakeWorld stopped;
    stopped.choose(0, 3, 3);
    stopped.view.onQuestion = [&](int, std::int64_t at) { stopped.clock.keyHold(at + 150, Key::Esc, 50); };
    stopped.confirm.answers = {true};
    stopped.runner.ExecButtonClick();
    EXPECT_TRUE(recordIsEmpty(stopped.st.factRecord));
}

TEST(HardFactsPractice, AsksTheChosenFactsInTheirOrderForEveryPass) {
    FakeWorld w;
    w.choose(0, 3, 3);  // whatever the lists show, the list given is practised
    w.st.repeatCount = 2;
    const std::vector<int> facts = {q(7, 8), q(6, 7), q(9, 6)};
    w.runner.runPracticeOf(facts);
    EXPECT_EQ(w.view.asked, (std::vector<int>{q(7, 8), q(6, 7), q(9, 6), q(7, 8), q(6, 7), q(9, 6)}));
    EXPECT_EQ(w.view.textsOf(Field::Message).front(), "◎にがてな九九の練習をします。");
    EXPECT_EQ(w.view.last[Field::Message], "◎練習は終わりました。");
    EXPECT_TRUE(w.view.controlsEnabled);
    EXPECT_EQ(w.navigation.resultsByTable + w.navigation.resultsByLevel, 0);
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

TEST(FactRecordFile, SavedAndLoadedThroughItsFileAndMissingOrHugeFilesGiveNothing) {
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
    QFile huge(dir.filePath("huge.txt"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    huge.write(QByteArray::fromStdString(recordToText(r)) + QByteArray(200000, '\n'));
    huge.close();
    loadRecordFile(back, huge.fileName().toStdString());
    EXPECT_TRUE(recordIsEmpty(back));
    EXPECT_FALSE(saveRecordFile(r, dir.filePath("no/such/folder/x.txt").toStdString()));
}

TEST(FactRecordFile, ALockedFolderWithAWritableRecordIsSavedInPlace) {
    LockedFolder folder(kFactRecordFileName, "", true);
    if (folder.bypassed) GTEST_SKIP() << "permission bits do not bind this user";
    const FactRecord r = recordOf({{q(7, 8), true, 1800}});
    ASSERT_TRUE(saveRecordFile(r, folder.path));
    FactRecord back;
    loadRecordFile(back, folder.path);
    EXPECT_EQ(back.facts[size_t(q(7, 8))].recent, r.facts[size_t(q(7, 8))].recent);
}

TEST(FactSummaryRules, ShareIsRoundedToTheNearestPercentAndTimesNeverNegative) {
    FactRecord r;
    for (int i = 0; i < 8; ++i) recordAnswer(r, 0, i < 5, 1000);
    EXPECT_EQ(summarise(r.facts[0]).sharePercent, 63);  // 62.5
    recordAnswer(r, 1, true, -40);
    EXPECT_EQ(r.facts[1].recent.front().second, 0);
    // a right answer takes half the slow range's weight at its middle
    EXPECT_DOUBLE_EQ(summarise(recordOf({{2, true, 3500}}).facts[2]).hardness, 0.125);
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
