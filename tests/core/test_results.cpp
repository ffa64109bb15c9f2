#include <gtest/gtest.h>

#include "main/core/QuestionOrder.h"
#include "main/core/TestRecord.h"
#include "tests/core/FakeWorld.h"
#include "windows/core/ResultByLevel.h"
#include "windows/core/ResultByTable.h"

namespace {

enum Content { TestInOrder = 3, TestRandom = 4 };
enum Range { Dan1 = 0, Dan2 = 1, Dan5 = 2, Dan3 = 3, Dan8 = 6, Shokyu = 9, Chukyu = 10, Jokyu = 11, Zendan = 12 };
enum class Answer { Right, Wrong, Stop };

int q(int a, int b) { return (a - 1) * 9 + (b - 1); }

std::vector<Key> keysOf(int n) {
    if (n < 10) return {mainDigit(n), Key::Enter};
    return {mainDigit(n / 10), mainDigit(n % 10)};
}

// A child who answers every question of a test as the script says: right,
// wrong (the next number up), or holds Esc and confirms the stop.
StudyState takeTest(int range, int content, std::function<Answer(int pass, int fact)> script) {
    FakeWorld w;
    w.choose(range, content, 3);
    w.confirm.answers = {true};
    w.view.onQuestion = [&](int fact, std::int64_t at) {
        const Answer a = script(w.st.passNo, fact);
        if (a == Answer::Stop) {
            w.clock.keyHold(at + 20, Key::Esc, 200);
            return;
        }
        std::int64_t t = at + 50;
        for (Key k : keysOf(productValue[fact] + (a == Answer::Wrong ? 1 : 0))) {
            w.clock.keyHold(t, k, 30);
            t += 320;
        }
    };
    w.start();
    return w.st;
}

Answer allRight(int, int) { return Answer::Right; }

// The marks expected in rows 1-9 of a column, from one pattern per pass
// ('o' ◎, 'x' ×, '-' －); a level's cells hold both passes.
std::vector<std::string> marks(const std::string& first, const std::string& second = "") {
    auto mark = [](char c) -> std::string { return c == 'o' ? "◎" : c == 'x' ? "×" : "－"; };
    std::vector<std::string> out;
    for (size_t i = 0; i < first.size(); ++i) out.push_back(mark(first[i]) + (second.empty() ? "" : mark(second[i])));
    return out;
}

std::vector<std::string> column(const auto& result, int c) {
    std::vector<std::string> out;
    for (int row = 1; row <= 9; ++row) out.push_back(result.cell(c, row));
    return out;
}

struct TableCase {
    const char* what;
    int range;
    std::function<Answer(int, int)> script;  // none: nothing was asked
    std::vector<std::string> passes;         // columns 1-3
    const char* verdict;
    bool registrable;
};

}  // namespace

TEST(ResultByTable, MarksVerdictAndRegistrationFollowTheAnswers) {
    const char* none = "まだ１つもやってないよ。テストしよう!!";
    const char* faults = "★できなかったところがあるよ。さいチャ!!";
    const char* perfect = "☆パーペキだね。いうことなし!!";
    const std::vector<TableCase> cases = {
        {"nothing answered", Dan5, nullptr, {"---------", "---------", "---------"}, none, false},
        {"all right", Dan5, allRight, {"ooooooooo", "ooooooooo", "ooooooooo"}, perfect, true},
        {"one wrong in pass 3", Dan3,
         [](int pass, int f) { return pass == 3 && f == q(3, 7) ? Answer::Wrong : Answer::Right; },
         {"ooooooooo", "ooooooooo", "ooooooxoo"}, faults, false},
        {"stopped at the first question of pass 2", Dan2,
         [](int pass, int) { return pass == 2 ? Answer::Stop : Answer::Right; },
         {"ooooooooo", "---------", "---------"}, perfect, true},
        {"one right answer, then stopped", Dan1,
         [](int pass, int f) { return pass == 1 && f == q(1, 1) ? Answer::Right : Answer::Stop; },
         {"o--------", "---------", "---------"}, perfect, true},
        {"wrong in pass 1, stopped in pass 2", Dan2,
         [](int pass, int f) { return pass == 2 ? Answer::Stop : f == q(2, 9) ? Answer::Wrong : Answer::Right; },
         {"oooooooox", "---------", "---------"}, faults, false},
    };
    for (const TableCase& c : cases) {
        SCOPED_TRACE(c.what);
        StudyState st;
        st.rangeIndex = c.range;
        st.currentDan = danOfRange[c.range];
        st.contentIndex = TestInOrder;
        clearKekka(st);
        if (c.script) st = takeTest(c.range, TestInOrder, c.script);
        const TableResult r = readTableResult(st);
        for (int p = 1; p <= 3; ++p) EXPECT_EQ(column(r, p), marks(c.passes[p - 1])) << "pass " << p;
        EXPECT_EQ(r.verdict, c.verdict);
        EXPECT_EQ(r.registrable, c.registrable);
    }
}

TEST(ResultByTable, HeadingsNameTheTableAndItsFormulas) {
    StudyState st;
    st.rangeIndex = Dan2;
    st.currentDan = 2;
    st.contentIndex = TestInOrder;
    clearKekka(st);
    TableResult r = readTableResult(st);
    EXPECT_EQ(r.title, "「二の段」（順）のテスト結果");
    EXPECT_EQ(r.cell(0, 0), "【九・九】");
    EXPECT_EQ(r.cell(1, 0), "１回目");
    EXPECT_EQ(r.cell(3, 0), "３回目");
    EXPECT_EQ(r.cell(0, 1), "２×１　");
    EXPECT_EQ(r.cell(0, 3), "２×３　");
    EXPECT_EQ(r.cell(0, 9), "２×９　");

    struct Case {
        int dan, content;
        const char* title;
        const char* row7;
    };
    // a table number that no table range gives falls back to the first table
    for (const Case& c : {Case{8, TestRandom, "「八の段」（乱）のテスト結果", "８×７　"},
                          Case{9, TestInOrder, "「九の段」（順）のテスト結果", "９×７　"},
                          Case{0, TestInOrder, "「一の段」（順）のテスト結果", "１×７　"},
                          Case{10, TestRandom, "「一の段」（乱）のテスト結果", "１×７　"}}) {
        st.currentDan = c.dan;
        st.contentIndex = c.content;
        r = readTableResult(st);
        EXPECT_EQ(r.title, c.title);
        EXPECT_EQ(r.cell(0, 7), c.row7);
    }
}

TEST(ResultByTable, AFaultlessTestRegistersItsOrderAndTable) {
    struct Case {
        int range, content, column, row;
    };
    // 五の段 is third in the range list but row 5 of the pass table
    for (const Case& c : {Case{Dan5, TestInOrder, 1, 5}, Case{Dan8, TestRandom, 2, 8}, Case{Dan3, TestRandom, 2, 3}}) {
        SCOPED_TRACE(c.range);
        StudyState st = takeTest(c.range, c.content, allRight);
        int opened = 0;
        const TableResult r = readTableResult(st);
        EXPECT_EQ(registerTableResult(st, r, RegisterFrom::Button, [&] { ++opened; }), "");
        EXPECT_EQ(opened, 1);
        EXPECT_EQ(st.certKind, -1);
        for (int col = 1; col <= kRecCols; ++col)
            for (int row = 1; row <= kRecRows; ++row)
                EXPECT_EQ(st.recCheckArray[col - 1][row - 1], col == c.column && row == c.row ? 1 : 0) << col << "," << row;
    }
}

TEST(ResultByTable, AResultWithAWrongAnswerIsRefusedWithTheTextOfItsControl) {
    StudyState st = takeTest(Dan5, TestInOrder, [](int pass, int f) {
        return pass == 1 && f == q(5, 1) ? Answer::Wrong : Answer::Right;
    });
    st.certKind = 0;
    const TableResult r = readTableResult(st);
    int opened = 0;
    EXPECT_EQ(registerTableResult(st, r, RegisterFrom::Button, [&] { ++opened; }),
              "全問正解でないと，証明書の発行はできません。");
    EXPECT_EQ(registerTableResult(st, r, RegisterFrom::Menu, [&] { ++opened; }), "全問正解でないと，登録はできません。");
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(st.certKind, 0);
    EXPECT_EQ(recCheckToText(st), std::string(56, '0'));
}

TEST(ResultByTable, RegistrationRepeatsTheSamePassWhateverTheQualificationWindowChanged) {
    StudyState st = takeTest(Dan5, TestInOrder, allRight);
    const TableResult r = readTableResult(st);
    int opened = 0;
    // the qualification window may move the selections to another range
    auto qualification = [&] {
        ++opened;
        st.rangeIndex = Dan8;
        st.contentIndex = TestRandom;
    };
    EXPECT_EQ(registerTableResult(st, r, RegisterFrom::Menu, qualification), "");
    EXPECT_EQ(registerTableResult(st, r, RegisterFrom::Button, qualification), "");
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(recCheckToText(st), "00001" + std::string(51, '0'));
}

namespace {

struct LevelCase {
    const char* what;
    int range;
    std::function<Answer(int, int)> script;
    const char* passRow;  // row 10, tables 1-9: 'o' ◎, 'x' ×, ' ' empty
    const char* verdict;
    bool registrable;
};

}  // namespace

TEST(ResultByLevel, VerdictAndTheSecondChanceOfThreeTableLevels) {
    const char* none = "まだ１つもできてないよ。チャレンジ。がんぼ！";
    const char* faults = "できなかったところがあるよ。覚えちゃおう!!";
    const char* perfect = "★パーペキです。おみごと！ ワンダフル！";
    auto wrongAt = [](int fact) {
        return [fact](int pass, int f) { return pass == 2 && f == fact ? Answer::Wrong : Answer::Right; };
    };
    const std::vector<LevelCase> cases = {
        {"初級 nothing answered", Shokyu, nullptr, "xx  x    ", none, false},
        {"全段 nothing answered", Zendan, nullptr, "xxxxxxxxx", none, false},
        {"初級 all right", Shokyu, allRight, "oo  o    ", perfect, true},
        {"初級 one wrong in table 2", Shokyu, wrongAt(q(2, 4)), "ox  o    ", faults, true},
        {"中級 one wrong in each table", Chukyu,
         [](int pass, int f) { return pass == 1 && f % 9 == 0 ? Answer::Wrong : Answer::Right; }, "  xx x   ", faults, false},
        {"上級 only table 9 faultless", Jokyu,
         [](int, int f) { return f / 9 + 1 != 9 && f % 9 == 8 ? Answer::Wrong : Answer::Right; }, "      xxo", faults, true},
        {"上級 only table 8 faultless", Jokyu,
         [](int, int f) { return f / 9 + 1 != 8 && f % 9 == 8 ? Answer::Wrong : Answer::Right; }, "      xox", faults, true},
        {"中級 stopped in table 4 of pass 2", Chukyu,
         [](int pass, int f) { return pass == 2 && f == q(4, 2) ? Answer::Stop : Answer::Right; }, "  ox x   ", faults, true},
        {"中級 stopped at the start of pass 2", Chukyu,
         [](int pass, int) { return pass == 2 ? Answer::Stop : Answer::Right; }, "  xx x   ", faults, false},
        {"全段 all right", Zendan, allRight, "ooooooooo", perfect, true},
        {"全段 one wrong", Zendan, wrongAt(q(7, 8)), "ooooooxoo", faults, false},
    };
    for (const LevelCase& c : cases) {
        SCOPED_TRACE(c.what);
        StudyState st;
        st.rangeIndex = c.range;
        st.contentIndex = TestInOrder;
        clearKekka(st);
        if (c.script) st = takeTest(c.range, TestInOrder, c.script);
        const LevelResult r = readLevelResult(st);
        for (int d = 1; d <= 9; ++d) {
            const char code = c.passRow[d - 1];
            EXPECT_EQ(r.cell(d, 10), code == 'o' ? "◎" : code == 'x' ? "×" : "") << d;
        }
        EXPECT_EQ(r.verdict, c.verdict);
        EXPECT_EQ(r.registrable, c.registrable);
    }
}

TEST(ResultByLevel, EachCellShowsBothPassesAndOtherTablesStayEmpty) {
    StudyState st = takeTest(Shokyu, TestInOrder, [](int pass, int f) {
        if (pass == 1) return f == q(2, 4) ? Answer::Wrong : Answer::Right;
        if (f == q(2, 6)) return Answer::Stop;
        return f == q(1, 2) ? Answer::Wrong : Answer::Right;
    });
    const LevelResult r = readLevelResult(st);
    EXPECT_EQ(column(r, 1), marks("ooooooooo", "oxooooooo"));
    EXPECT_EQ(column(r, 2), marks("oooxooooo", "ooooo----"));
    EXPECT_EQ(column(r, 5), marks("ooooooooo", "---------"));
    for (int d : {3, 4, 6, 7, 8, 9})
        for (int row = 1; row <= 10; ++row) EXPECT_EQ(r.cell(d, row), "") << d << "," << row;

    StudyState cleared;
    cleared.rangeIndex = Chukyu;
    clearKekka(cleared);
    const LevelResult empty = readLevelResult(cleared);
    for (int d : {3, 4, 6}) EXPECT_EQ(column(empty, d), marks("---------", "---------"));
    for (int d : {1, 2, 5, 7, 8, 9}) EXPECT_EQ(empty.cell(d, 5), "");
}

TEST(ResultByLevel, HeadingsAndTitles) {
    StudyState st;
    clearKekka(st);
    struct Case {
        int range, content;
        const char* title;
    };
    for (const Case& c : {Case{Shokyu, TestInOrder, "初級(１･２･５段)（順）のテスト結果"},
                          Case{Chukyu, TestRandom, "中級(３･４･６段)（乱）のテスト結果"},
                          Case{Jokyu, TestInOrder, "上級(８･７･９段)（順）のテスト結果"},
                          Case{Zendan, TestRandom, "全級(１～９段)（乱）のテスト結果"},
                          Case{Zendan, 1, "全級(１～９段)（乱）のテスト結果"}}) {
        st.rangeIndex = c.range;
        st.contentIndex = c.content;
        EXPECT_EQ(readLevelResult(st).title, c.title);
    }
    const LevelResult r = readLevelResult(st);
    EXPECT_EQ(r.cell(0, 0), "[段]→");
    EXPECT_EQ(r.cell(0, 10), "合・否");
    const char* kanji[] = {"一", "二", "三", "四", "五", "六", "七", "八", "九"};
    const char* times[] = {"×１", "×２", "×３", "×４", "×５", "×６", "×７", "×８", "×９"};
    for (int i = 1; i <= 9; ++i) {
        EXPECT_EQ(r.cell(i, 0), kanji[i - 1]);
        EXPECT_EQ(r.cell(0, i), times[i - 1]);
    }
}

TEST(ResultByLevel, RegistrationMarksTheLevelsRowInItsOrder) {
    struct Case {
        int range, content;
        std::function<Answer(int, int)> script;
        int column, row;
    };
    const std::vector<Case> cases = {
        {Shokyu, TestInOrder, [](int, int f) { return f == q(2, 4) ? Answer::Wrong : Answer::Right; }, 1, 10},
        {Jokyu, TestRandom, allRight, 2, 12},
        {Zendan, TestRandom, allRight, 2, 13},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        StudyState st = takeTest(c.range, c.content, c.script);
        const LevelResult r = readLevelResult(st);
        ASSERT_TRUE(r.registrable);
        int opened = 0;
        registerLevelResult(st, r, [&] {
            ++opened;
            st.rangeIndex = Dan1;
        });
        registerLevelResult(st, r, [&] { ++opened; });
        EXPECT_EQ(opened, 2);
        EXPECT_EQ(st.certKind, -1);
        for (int col = 1; col <= kRecCols; ++col)
            for (int row = 1; row <= kRecRows; ++row)
                EXPECT_EQ(st.recCheckArray[col - 1][row - 1], col == c.column && row == c.row ? 1 : 0) << col << "," << row;
    }
}
