// A class folder as a teacher sees it: each child's passes as the
// qualification grid marks them, damaged or half-synced folders shown as
// such, one merged map of hard facts, and the CSV a spreadsheet opens.
#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>

#include "main/core/ChildFiles.h"
#include "main/core/Settings.h"
#include "tests/core/FileBytes.h"
#include "windows/core/ClassRecord.h"
#include "windows/core/PageSplit.h"

namespace {
struct ClassFolder {
    std::string child(const std::string& name) {
        const std::string at = dir.path().toStdString() + "/" + name + "/";
        QDir().mkpath(QString::fromStdString(at));
        return at;
    }
    // A child's files as their program saves them.
    void save(const std::string& name, const StudyState& st) {
        const std::string at = child(name);
        ASSERT_TRUE(saveSettings(st, at + kSettingsFileName, nullptr));
        ASSERT_TRUE(saveRecordFile(st.factRecord, at + kFactRecordFileName));
    }
    ClassView read() { return readClassFolder(dir.path().toStdString() + "/"); }
    QTemporaryDir dir;
};

// Every table and level passed in both orders: the master rank.
StudyState master() {
    StudyState st;
    for (int c = 0; c < 2; ++c)
        for (int r = 0; r < 12; ++r) st.recCheckArray[c][r] = 1;
    recordAnswer(st.factRecord, 55, false, 3000);
    return st;
}
}  // namespace

TEST(ClassRecord, EveryChildIsShownAndADamagedFolderStopsNothing) {
    ClassFolder cls;
    cls.save("あおい", master());
    StudyState five;
    five.recCheckArray[1][4] = 1;  // 五の段 at random
    recordAnswer(five.factRecord, 55, true, 800);
    recordAnswer(five.factRecord, 0, false, 2500);  // 1×1 and 9×9: the map's first and last facts
    recordAnswer(five.factRecord, 80, true, 1200);
    cls.save("けんた", five);
    // Cut by a sync in progress: the pass table stops short.
    const std::string cut = cls.child("さくら");
    spit(cut + kSettingsFileName, "[TESTDATA]\r\nRECCHECKARRAY=0101");
    // Only the record has arrived so far.
    const std::string half = cls.child("はると");
    ASSERT_TRUE(saveRecordFile(five.factRecord, half + kFactRecordFileName));
    // A record begun by a copy that is still under way: empty, not a child without answers.
    cls.save("ゆい", five);
    spit(cls.child("ゆい") + kFactRecordFileName, "");
    spit(cls.dir.path().toStdString() + "/stray.txt", "not a child");
    cls.child(".stfolder");

    const ClassView view = cls.read();
    ASSERT_EQ(view.children.size(), 5u);
    const ClassChild &aoi = view.children[0], &kenta = view.children[1], &sakura = view.children[2],
                     &haruto = view.children[3], &yui = view.children[4];
    EXPECT_EQ(aoi.name, "あおい");
    EXPECT_EQ(aoi.state, ClassChild::State::Whole);
    EXPECT_EQ(aoi.rank, Rank::Master);
    EXPECT_EQ(kenta.rank, Rank::None);
    EXPECT_TRUE(kenta.grid.passed(2, 5));   // 五の段 row, random column
    EXPECT_FALSE(kenta.grid.passed(1, 5));
    EXPECT_EQ(sakura.state, ClassChild::State::Damaged);
    EXPECT_EQ(haruto.state, ClassChild::State::Damaged);
    EXPECT_FALSE(haruto.fault.empty());
    EXPECT_EQ(yui.state, ClassChild::State::Damaged);
    EXPECT_TRUE(yui.grid.passed(2, 5));  // what could be read is still shown
    // The class's map counts every answer of every child, the half-synced one's too.
    EXPECT_EQ(view.merged.facts[55].asked, 3);
    EXPECT_EQ(view.merged.facts[55].right, 2);
    EXPECT_EQ(view.merged.facts[0].asked, 2);
    EXPECT_EQ(view.merged.facts[80].asked, 2);
    EXPECT_EQ(summarise(view.merged.facts[55]).outcomes, 3);
}

TEST(ClassRecord, TheCsvHasABomAHeadingAndOneQuotedRowPerChild) {
    ClassFolder cls;
    cls.save("あおい", master());
    cls.save("けん,\"た\"", StudyState{});
    StudyState fiveAtRandom;
    fiveAtRandom.recCheckArray[1][4] = 1;
    fiveAtRandom.recCheckArray[0][0] = 1;  // and 一の段 in order
    cls.save("ゆい", fiveAtRandom);
    const std::string csv = classCsv(cls.read());
    ASSERT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    std::vector<std::string> rows;
    for (size_t at = 3, end; (end = csv.find("\r\n", at)) != std::string::npos; at = end + 2)
        rows.push_back(csv.substr(at, end - at));
    ASSERT_EQ(rows.size(), 4u);
    auto fields = [](const std::string& row) { return size_t(std::count(row.begin(), row.end(), ',')) + 1; };
    EXPECT_EQ(fields(rows[0]), 3u + kClassRanges * kClassOrders);
    EXPECT_EQ(fields(rows[1]), fields(rows[0]));
    EXPECT_NE(rows[0].find("五の段"), std::string::npos) << rows[0];
    EXPECT_EQ(rows[1].substr(0, rows[1].find(',')), "あおい");
    EXPECT_NE(rows[1].find("九九術マスター"), std::string::npos);
    EXPECT_EQ(rows[2].rfind("\"けん,\"\"た\"\"\",", 0), 0u) << rows[2];
    // A child without passes is all ―, none ◎.
    EXPECT_EQ(rows[2].find("◎"), std::string::npos);
    // Each mark under its own heading.
    const auto split = [](const std::string& row) {
        std::vector<std::string> fields;
        size_t at = 0;
        for (size_t end; (end = row.find(',', at)) != std::string::npos; at = end + 1)
            fields.push_back(row.substr(at, end - at));
        fields.push_back(row.substr(at));
        return fields;
    };
    const std::vector<std::string> headings = split(rows[0]), marks = split(rows[3]);
    ASSERT_EQ(marks.size(), headings.size());
    for (size_t i = 3; i < headings.size(); ++i)
        EXPECT_EQ(marks[i], headings[i] == "五の段 答え(乱)" || headings[i] == "一の段 答え(順)" ? "◎" : "―")
            << headings[i];
}

// A long table goes onto as many pages as it needs, each ending at the
// bottom of the last row that fits, so that no child's row is cut in two.
TEST(ClassRecord, APrintedRowIsNeverSplitAcrossTwoPages) {
    // The class table: a frame of 1, rows of 30.
    std::vector<int> rows;
    for (int k = 1; k <= 50; ++k) rows.push_back(1 + 30 * k);
    using S = std::vector<PageSlice>;
    struct Case {
        const char* what;
        double height, perPage;
        std::vector<int> breaks;
        S pages;
    } cases[] = {
        {"shorter than a page", 500, 1000, {}, S{{0, 500}}},
        {"exactly a page", 1000, 1000, {}, S{{0, 1000}}},
        {"a pixel over a page", 1001, 1000, {}, S{{0, 1000}, {1000, 1}}},
        {"the class table", 1502, 1000, rows, S{{0, 991}, {991, 511}}},
        {"a row ending on the page's last pixel", 1500, 1000, {500, 1000, 1500}, S{{0, 1000}, {1000, 500}}},
        {"a row ending a pixel past the page", 1500, 1000, {500, 1001, 1500}, S{{0, 500}, {500, 1000}}},
        {"breaks in any order", 1500, 1000, {1200, 800, 400}, S{{0, 800}, {800, 700}}},
        {"a row taller than a page is cut", 2600, 1000, {100, 2600}, S{{0, 100}, {100, 1000}, {1100, 1000}, {2100, 500}}},
        {"the last page takes what is left", 1200, 1000, {300, 1100}, S{{0, 300}, {300, 900}}},
    };
    for (const Case& c : cases) {
        const S pages = pageSlices(c.height, c.perPage, c.breaks);
        ASSERT_EQ(pages.size(), c.pages.size()) << c.what;
        for (size_t i = 0; i < pages.size(); ++i) {
            EXPECT_EQ(pages[i].top, c.pages[i].top) << c.what << ", page " << i;
            EXPECT_EQ(pages[i].height, c.pages[i].height) << c.what << ", page " << i;
        }
    }
}

// One child on three computers, one of them still the program of before:
// the teacher sees every computer's passes and answers, once.
TEST(ClassRecord, AChildOnManyComputersIsShownAsTheirMerge) {
    ClassFolder cls;
    StudyState before = master();
    before.recCheckArray[0][0] = 0;  // 一の段 in order: not passed there
    cls.save("あおい", before);
    const std::string classDir = cls.dir.path().toStdString() + "/";
    StudyState a, b;
    ChildFiles onA = ChildFiles::inClass(classDir, "あおい", "pc-a");
    ChildFiles onB = ChildFiles::inClass(classDir, "あおい", "pc-b");
    onA.load(a);
    onB.load(b);
    a.recCheckArray[0][0] = 1;
    recordAnswer(a.factRecord, 1, true, 700);
    recordAnswer(b.factRecord, 2, true, 700);
    ASSERT_EQ(onA.saveSettings(a, 2'000'000'000'000), "");
    ASSERT_EQ(onA.saveRecord(a, 2'000'000'000'000), "");
    ASSERT_EQ(onB.saveRecord(b, 2'000'000'000'001), "");
    ASSERT_EQ(onB.saveSettings(b, 2'000'000'000'001), "");  // B never showed A's pass

    const ClassView view = cls.read();
    ASSERT_EQ(view.children.size(), 1u);
    const ClassChild& aoi = view.children[0];
    EXPECT_EQ(aoi.state, ClassChild::State::Whole) << aoi.fault;
    EXPECT_TRUE(aoi.grid.passed(1, 1));
    EXPECT_EQ(aoi.rank, Rank::Master);
    EXPECT_EQ(view.merged.facts[55].asked, 1) << "the answer of before, counted once";
    EXPECT_EQ(view.merged.facts[1].asked, 1);
    EXPECT_EQ(view.merged.facts[2].asked, 1);
}

// Names a spreadsheet would run, and names that test the quoting, read back
// by Python's csv module: each comes back whole, a formula as text.
TEST(ClassRecord, TheCsvReadsBackWholeAndRunsNoFormula) {
    const struct {
        std::string name, readBack;
    } cases[] = {
        {"=1+1", "'=1+1"},
        {"+SUM(1,1)", "'+SUM(1,1)"},
        {"-1+1", "'-1+1"},
        {"@cmd", "'@cmd"},
        {"\tx", "'\tx"},
        {"\r=x", "'\r=x"},
        {"=HYPERLINK(\"https:\\\\example.invalid\",\"click\")", "'=HYPERLINK(\"https:\\\\example.invalid\",\"click\")"},
        {"けん,\"た\"", "けん,\"た\""},
        {"two\r\nlines", "two\r\nlines"},
        {"a=b-c", "a=b-c"},
        {"たろう", "たろう"},
    };
    ClassView view;
    for (const auto& c : cases) {
        ClassChild child;
        child.name = c.name;
        view.children.push_back(child);
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("class.csv");
    spit(path.toStdString(), classCsv(view));
    QProcess python;
    python.start("python3", {"-c",
                             "import csv, json, sys\n"
                             "rows = list(csv.reader(open(sys.argv[1], newline='', encoding='utf-8-sig')))\n"
                             "print(json.dumps([[len(r), r[0]] for r in rows]))",
                             path});
    ASSERT_TRUE(python.waitForFinished(20000)) << "python3 is needed to read the CSV back";
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    const QJsonArray rows = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    ASSERT_EQ(rows.size(), qsizetype(std::size(cases)) + 1);
    for (size_t i = 0; i < std::size(cases); ++i) {
        const QJsonArray row = rows[qsizetype(i) + 1].toArray();
        EXPECT_EQ(row[0].toInt(), 3 + kClassRanges * kClassOrders) << cases[i].name;
        EXPECT_EQ(row[1].toString().toStdString(), cases[i].readBack);
    }
}
