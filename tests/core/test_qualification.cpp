#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "windows/core/Qualification.h"

namespace {

constexpr int kOrder = 1, kRandom = 2;

// Passes registered in the given columns for the given rows.
StudyState passedIn(std::initializer_list<int> columns, std::initializer_list<int> rows) {
    StudyState st;
    for (int c : columns)
        for (int r : rows) st.recCheckArray[c - 1][r - 1] = 1;
    return st;
}

int flagCount(const StudyState& st) {
    int n = 0;
    for (auto& column : st.recCheckArray)
        for (int flag : column) n += flag != 0;
    return n;
}

}  // namespace

TEST(QualificationGrid, MarksHeadersAndRowNames) {
    StudyState st = passedIn({kOrder}, {5});
    st.recCheckArray[kRandom - 1][13] = 7;  // any non-zero flag is a pass
    st.recCheckArray[2][4] = 1;             // reserved columns show "--" whatever they hold
    const CheckGrid g = gridFromPasses(st);
    EXPECT_EQ(g.at(0, 0), "▼達成段階▼");
    EXPECT_EQ(g.at(1, 0), "答え(順)");
    EXPECT_EQ(g.at(2, 0), "答え(乱)");
    EXPECT_EQ(g.at(3, 0), " (予備) ");
    EXPECT_EQ(g.at(4, 0), " (予備) ");
    const std::pair<int, const char*> names[] = {{1, "一の段"},       {3, "三の段"},         {5, "五の段"},
                                                 {8, "八の段"},       {10, "一・二・五の段"}, {12, "八・七・九の段"},
                                                 {13, "すべての段"}, {14, "合否"}};
    for (auto [row, name] : names) EXPECT_EQ(g.at(0, row), name) << row;
    EXPECT_EQ(g.at(kOrder, 5), "◎");
    EXPECT_EQ(g.at(kOrder, 3), "―");  // row 3 is the table of 3, not range 3
    EXPECT_EQ(g.at(kRandom, 14), "◎");
    EXPECT_EQ(g.at(kRandom, 5), "―");
    for (int r = 1; r <= 14; ++r) EXPECT_EQ(g.at(3, r), "--") << r;
    for (int r = 1; r <= 14; ++r) EXPECT_EQ(g.at(4, r), "--") << r;
}

TEST(QualificationCheck, MasterRankNeedsEveryTableInBothOrders) {
    struct Case {
        const char* what;
        StudyState st;
        bool order, random;
        Rank rank;
    };
    const Case cases[] = {
        {"no passes", StudyState{}, false, false, Rank::None},
        {"全段 in both orders", passedIn({kOrder, kRandom}, {13}), true, true, Rank::Master},
        {"全段 in order only", passedIn({kOrder}, {13}), true, false, Rank::None},
        {"全段 at random only", passedIn({kRandom}, {13}), false, true, Rank::None},
        {"初級 as a level, six tables singly", passedIn({kOrder, kRandom}, {10, 3, 4, 6, 8, 7, 9}), true, true,
         Rank::Master},
        {"all nine tables singly", passedIn({kOrder, kRandom}, {1, 2, 3, 4, 5, 6, 7, 8, 9}), true, true,
         Rank::Master},
        {"three levels", passedIn({kOrder, kRandom}, {10, 11, 12}), true, true, Rank::Master},
        {"tables 1 2 3 without 5", passedIn({kOrder, kRandom}, {1, 2, 3, 4, 6, 8, 7, 9}), false, false,
         Rank::None},
        {"中級 missing table 6", passedIn({kOrder, kRandom}, {10, 3, 4, 12}), false, false, Rank::None},
        {"上級 missing table 9", passedIn({kOrder, kRandom}, {10, 11, 8, 7}), false, false, Rank::None},
        {"verdict row alone", passedIn({kOrder, kRandom}, {14}), false, false, Rank::None},
        {"everything in reserved columns", passedIn({3, 4}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}), false,
         false, Rank::None},
    };
    for (const Case& c : cases) {
        CheckGrid g = gridFromPasses(c.st);
        EXPECT_EQ(runCheck(g), c.rank) << c.what;
        EXPECT_EQ(g.at(kOrder, 14), c.order ? "◎" : "×") << c.what;
        EXPECT_EQ(g.at(kRandom, 14), c.random ? "◎" : "×") << c.what;
        EXPECT_EQ(g.at(3, 14), "×") << c.what;
        EXPECT_EQ(g.at(4, 14), "×") << c.what;
        EXPECT_EQ(masterCertificateAllowed(c.rank), c.rank != Rank::None) << c.what;
    }
}

TEST(QualificationCheck, EveryTableCountsWhenItsLevelWasNotPassed) {
    for (int missing = 1; missing <= 9; ++missing) {
        StudyState st;
        for (int table = 1; table <= 9; ++table)
            if (table != missing) st.recCheckArray[kOrder - 1][table - 1] = st.recCheckArray[kRandom - 1][table - 1] = 1;
        CheckGrid g = gridFromPasses(st);
        EXPECT_EQ(runCheck(g), Rank::None) << "without table " << missing;
        const int level = missing == 1 || missing == 2 || missing == 5 ? 10 : missing == 3 || missing == 4 || missing == 6 ? 11 : 12;
        g.at(kOrder, level) = g.at(kRandom, level) = "◎";
        EXPECT_EQ(runCheck(g), Rank::Master) << "table " << missing << " replaced by its level";
    }
}

TEST(QualificationCheck, RanksAndMessages) {
    // Only a future test could fill the reserved columns.
    for (bool third : {false, true})
        for (bool fourth : {false, true}) {
            CheckGrid g = gridFromPasses(passedIn({kOrder, kRandom}, {13}));
            if (third) g.at(3, 13) = "◎";
            if (fourth) g.at(4, 13) = "◎";
            EXPECT_EQ(runCheck(g), third && fourth ? Rank::Kaiden : Rank::Master) << third << fourth;
            g.at(kRandom, 13) = "―";
            EXPECT_EQ(runCheck(g), Rank::None) << third << fourth;
        }
    EXPECT_EQ(rankMessage(Rank::None), "<九九術マスター>をめざしてがんぼ。");
    EXPECT_EQ(rankMessage(Rank::Master), "おめでとう。<九九術マスター> の資格をゲットできるぞ。");
    EXPECT_EQ(rankMessage(Rank::Kaiden), "でかした。<九九術免許皆伝> をゲットできるぞ。");
    EXPECT_FALSE(masterCertificateAllowed(Rank::None));
    EXPECT_TRUE(masterCertificateAllowed(Rank::Kaiden));
}

TEST(QualificationCheck, OnlyTheDoubleCircleCountsAsPassed) {
    CheckGrid g = gridFromPasses(StudyState{});
    for (const char* mark : {"―", "－", "--", "×", "", "○"}) {
        g.at(kOrder, 13) = mark;
        EXPECT_FALSE(columnQualifies(g, kOrder)) << mark;
    }
    g.at(kOrder, 13) = "◎";
    EXPECT_TRUE(columnQualifies(g, kOrder));
}

TEST(RangeCertificateRequest, IgnoredRefusedOrOpened) {
    const StudyState passes = [] {
        StudyState st = passedIn({kOrder, kRandom}, {5, 13, 3});
        st.recCheckArray[kOrder - 1][8] = 1;  // 九の段 in order only
        return st;
    }();
    struct Case {
        int column, row;
        RangeCertificate result;
        int contentIndex, rangeIndex, certKind;  // after the request
    };
    const int keep = -5;  // the study state's values before the request
    const Case cases[] = {
        {3, 5, RangeCertificate::Ignored, keep, keep, keep},
        {4, 13, RangeCertificate::Ignored, keep, keep, keep},
        {kOrder, 14, RangeCertificate::Ignored, keep, keep, keep},
        {kRandom, 14, RangeCertificate::Ignored, keep, keep, keep},
        {0, 5, RangeCertificate::Ignored, keep, keep, keep},
        {kOrder, 0, RangeCertificate::Ignored, keep, keep, keep},
        {kOrder, 9, RangeCertificate::NotBothOrders, keep, keep, keep},
        {kRandom, 9, RangeCertificate::NotBothOrders, keep, keep, keep},
        {kRandom, 1, RangeCertificate::NotBothOrders, keep, keep, keep},
        {kOrder, 5, RangeCertificate::Open, 3, 2, -1},
        {kRandom, 5, RangeCertificate::Open, 4, 2, -1},
        {kRandom, 3, RangeCertificate::Open, 4, 3, -1},
        {kOrder, 13, RangeCertificate::Open, 3, 12, 1},
    };
    for (const Case& c : cases) {
        StudyState st = passes;
        st.contentIndex = st.rangeIndex = st.certKind = keep;
        CheckGrid g = gridFromPasses(st);
        runCheck(g);
        EXPECT_EQ(requestRangeCertificate(g, c.column, c.row, st), c.result) << c.column << "," << c.row;
        EXPECT_EQ(st.contentIndex, c.contentIndex) << c.column << "," << c.row;
        EXPECT_EQ(st.rangeIndex, c.rangeIndex) << c.column << "," << c.row;
        EXPECT_EQ(st.certKind, c.certKind) << c.column << "," << c.row;
    }
}

TEST(RangeCertificateRequest, EveryRowLeadsBackToTheRangeThatPassesIt) {
    const int expected[] = {0, 1, 3, 4, 2, 5, 7, 6, 8, 9, 10, 11, 12};
    for (int row = 1; row <= 13; ++row) EXPECT_EQ(rangeIndexOfRow(row), expected[row - 1]) << row;
    EXPECT_EQ(rangeIndexOfRow(0), -1);
    EXPECT_EQ(rangeIndexOfRow(14), -1);
}

TEST(RangeCertificateRequest, MasterButtonAsksForTheMasterCertificate) {
    StudyState st;
    st.certKind = -1;
    st.rangeIndex = 4;
    requestMasterCertificate(st);
    EXPECT_EQ(st.certKind, 1);
    EXPECT_EQ(st.rangeIndex, 4);
}

TEST(QualificationRecords, ClearingThenClosingLeavesAllZeros) {
    StudyState st = passedIn({1, 2, 3, 4}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14});
    st.certKind = -1;
    CheckGrid g = gridFromPasses(st);
    runCheck(g);
    EXPECT_EQ(clearRecords(g, st), Rank::None);
    EXPECT_EQ(flagCount(st), 0);
    EXPECT_EQ(st.certKind, -1);
    const CheckGrid fresh = gridFromPasses(StudyState{});
    for (int r = 0; r <= 14; ++r) EXPECT_EQ(g.at(0, r), fresh.at(0, r)) << "row name " << r;
    for (int c = 0; c <= 4; ++c) EXPECT_EQ(g.at(c, 0), fresh.at(c, 0)) << "header " << c;
    for (int c = 1; c <= 4; ++c) {
        for (int r = 1; r <= 13; ++r) EXPECT_EQ(g.at(c, r), "－") << c << "," << r;
        EXPECT_EQ(g.at(c, 14), "×") << c;
    }
    st.recCheckArray[0][0] = 1;  // whatever happened meanwhile, the grid decides
    writeBack(g, st);
    EXPECT_EQ(flagCount(st), 0);
}

TEST(QualificationRecords, WriteBackKeepsPassesAndVerdictsAndZeroesReservedColumns) {
    StudyState st = passedIn({kOrder, kRandom}, {13});
    st.recCheckArray[kOrder - 1][2] = 1;
    for (int r = 0; r < 14; ++r) st.recCheckArray[2][r] = st.recCheckArray[3][r] = 1;
    st.certKind = -1;
    st.rangeIndex = 7;
    CheckGrid g = gridFromPasses(st);
    runCheck(g);
    writeBack(g, st);
    EXPECT_EQ(st.certKind, -1);  // nothing beyond the table is written
    EXPECT_EQ(st.rangeIndex, 7);
    for (int c = 1; c <= 4; ++c)
        for (int r = 1; r <= 14; ++r) {
            const bool passed = c <= 2 && (r == 13 || r == 14 || (c == kOrder && r == 3));
            EXPECT_EQ(st.recCheckArray[c - 1][r - 1], passed ? 1 : 0) << c << "," << r;
        }
}

TEST(SelectionAfterQualification, TellsWhichListMustFollow) {
    StudyState st;
    st.contentIndex = 3;
    st.rangeIndex = 2;
    struct Case {
        ListSelection shown;
        bool content, range;
    };
    const Case cases[] = {{{3, 2}, false, false}, {{0, 2}, true, false}, {{3, 12}, false, true}, {{4, 0}, true, true}};
    for (const Case& c : cases) {
        const SelectionChange change = selectionChange(c.shown, st);
        EXPECT_EQ(change.content, c.content);
        EXPECT_EQ(change.range, c.range);
        EXPECT_EQ(change.any(), c.content || c.range);
    }
}
