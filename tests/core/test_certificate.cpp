#include <gtest/gtest.h>

#include <string>

#include "main/core/StudyState.h"
#include "windows/core/Certificate.h"

namespace {

StudyState holder(int certKind, int rangeIndex) {
    StudyState st;
    st.certKind = certKind;
    st.rangeIndex = rangeIndex;
    st.studentName = "やまだ はなこ";
    st.studentNo = 654438;
    return st;
}

}  // namespace

TEST(CertificateText, EachKindHasItsTitleBandsAndLines) {
    struct Case {
        int certKind;
        CertKind kind;
        const char *title, *line1, *line2;
        bool tulips, olives;
    };
    const Case cases[] = {
        {-1, CertKind::Range, "九九術 段級位認定書", "九九術 五の段 を", "　達成したことを", true, false},
        {1, CertKind::Master, "九九術 マスター認定書", "九九術 マスター位を", "　習得したことを", false, true},
        {0, CertKind::Kaiden, "九九術 免許皆伝書", "九九術 免許皆伝を", "　取得したことを", true, true},
    };
    for (const Case& c : cases) {
        const CertificateText t = certificateText(holder(c.certKind, 2));
        EXPECT_EQ(t.kind, c.kind) << c.title;
        EXPECT_EQ(t.title, c.title);
        EXPECT_EQ(t.line1, c.line1);
        EXPECT_EQ(t.line2, c.line2);
        EXPECT_EQ(t.line3, "　ここに証する。");
        EXPECT_EQ(t.tulipBands, c.tulips) << c.title;
        EXPECT_EQ(t.oliveBands, c.olives) << c.title;
        EXPECT_EQ(t.holder, "やまだ はなこ");
        EXPECT_EQ(t.number, "654438");
    }
}

TEST(CertificateText, RangeCertificateNamesTheRangeOfTheList) {
    // The range list runs 1, 2, 5, 3, 4, 6, 8, 7, 9, then the levels.
    const char* names[] = {"一の段", "二の段", "五の段", "三の段", "四の段", "六の段", "八の段",
                           "七の段", "九の段", "一・二・五の段", "三・四・六の段", "八・七・九の段",
                           "すべての段"};
    for (int range = 0; range < 13; ++range)
        EXPECT_EQ(certificateText(holder(-1, range)).line1, std::string("九九術 ") + names[range] + " を") << range;
}

TEST(CertificateText, OddValuesStillGiveACertificate) {
    EXPECT_EQ(certificateText(holder(-1, 99)).line1, "九九術  を");
    EXPECT_EQ(certificateText(holder(7, 0)).kind, CertKind::Kaiden);
    StudyState st = holder(1, 0);
    st.studentNo = -42;
    EXPECT_EQ(certificateText(st).number, "-42");
}

TEST(CertificateDate, EraInForceOnTheDay) {
    struct Case {
        int y, m, d;
        const char* line;
    };
    const Case cases[] = {
        {2026, 12, 6, "令和8(2026)年12月6日"},   {2026, 12, 7, "令和8(2026)年12月7日"},
        {2019, 4, 30, "平成31(2019)年04月30日"}, {2019, 5, 1, "令和1(2019)年05月1日"},
        {2014, 3, 5, "平成26(2014)年03月5日"},   {2020, 1, 1, "令和2(2020)年01月1日"},
        {1989, 1, 8, "平成1(1989)年01月8日"},    {1989, 1, 7, "昭和64(1989)年01月7日"},
        {2018, 12, 31, "平成30(2018)年12月31日"}, {2019, 6, 1, "令和1(2019)年06月1日"},
        {1926, 12, 25, "昭和1(1926)年12月25日"}, {1926, 12, 31, "昭和1(1926)年12月31日"},
    };
    for (const Case& c : cases) EXPECT_EQ(dateLine(c.y, c.m, c.d), c.line);
}

TEST(CertificatePrint, PixelsBecomePrinterDotsRounded) {
    struct Case {
        int pixels, dpi, dots;
    };
    const Case cases[] = {{96, 600, 600},  {410, 600, 2563}, {401, 600, 2506},
                          {393, 300, 1228}, {1, 72, 1},       {5, 72, 4}, {0, 600, 0}, {531, 96, 531}};
    for (const Case& c : cases) EXPECT_EQ(printedLength(c.pixels, c.dpi), c.dots) << c.pixels << "@" << c.dpi;
    EXPECT_EQ(printedLength(100, 300, 0), 0);
}
