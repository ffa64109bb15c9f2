// Several children on one computer, and each child's history of tests.
#include <gtest/gtest.h>

#include <QDir>
#include <algorithm>
#include <cstdlib>
#include <QTemporaryDir>

#include "main/core/Family.h"
#include "main/core/History.h"
#include "main/core/Settings.h"
#include "support/core/IniFile.h"
#include "windows/core/Progress.h"
#include "tests/core/FileBytes.h"

namespace {
std::string folderOf(const QTemporaryDir& dir) { return dir.path().toStdString() + "/"; }
void mkdir(const std::string& path) { QDir().mkpath(QString::fromStdString(path)); }

HistoryEntry entry(const char* when, int right, int wrong = 0, int passed = 0) {
    return {when, 3, 1, 2, right, wrong, passed, 1234};
}
}  // namespace

TEST(FamilyFolders, OnlyThisProgramsNumberedFoldersAreChildrenInNumberOrder) {
    QTemporaryDir dir;
    const std::string base = folderOf(dir);
    EXPECT_EQ(childNumbers(base), std::vector<int>{0});
    for (const char* name : {"10", "2", "9", "07", "+3", "x", "-1", "0"}) mkdir(base + "children/" + name);
    spit(base + "children/4", "a file, not a folder");
    EXPECT_EQ(childNumbers(base), (std::vector<int>{0, 2, 9, 10}));
    EXPECT_EQ(addChild(base), 11);
    EXPECT_EQ(childFolder(base, 11), base + "children/11/");
    // A new child starts from the usual options, only the name told apart.
    StudyState usual;
    readSettings(usual, IniFile());
    usual.studentName = kNewChildName;
    ASSERT_TRUE(saveSettings(usual, base + "usual.ini", nullptr));
    EXPECT_EQ(slurp(childFolder(base, 11) + kSettingsFileName), slurp(base + "usual.ini"));
    EXPECT_TRUE(QDir(QString::fromStdString(childFolder(base, 11))).exists());
    EXPECT_EQ(childFolder(base, 0), base);
}

TEST(FamilyFolders, TheChildChosenLastOpensNextTimeWhileItsFolderIsThere) {
    QTemporaryDir dir;
    const std::string base = folderOf(dir);
    // One child: no note is kept, nothing is made.
    EXPECT_TRUE(rememberChild(base, 0));
    EXPECT_FALSE(QDir(QString::fromStdString(base + kChildrenFolder)).exists());
    EXPECT_EQ(rememberedChild(base), 0);

    const int second = addChild(base);
    ASSERT_EQ(second, 1);
    ASSERT_TRUE(rememberChild(base, second));
    EXPECT_EQ(rememberedChild(base), 1);
    QDir(QString::fromStdString(childFolder(base, 1))).removeRecursively();
    EXPECT_EQ(rememberedChild(base), 0);
    spit(base + "children/current.txt", "garbage\n");
    EXPECT_EQ(rememberedChild(base), 0);
}

TEST(FamilyFolders, EachChildIsNamedFromTheirOwnSettingsFile) {
    QTemporaryDir dir;
    const std::string base = folderOf(dir);
    const int n = addChild(base);
    StudyState st;
    st.studentName = "じろう";
    ASSERT_TRUE(saveSettings(st, childFolder(base, n) + kSettingsFileName, nullptr));
    EXPECT_EQ(childName(childFolder(base, n), kSettingsFileName), "じろう");
    // A child without a file yet has the name a new window shows.
    StudyState fresh;
    loadSettings(fresh, base + "none.ini");
    EXPECT_EQ(childName(base, kSettingsFileName), fresh.studentName);
}

// A new child is called so until named, and only one waits for a name.
TEST(FamilyFolders, ANewChildIsCalledNewUntilNamedAndOnlyOneWaitsForAName) {
    QTemporaryDir dir;
    const std::string base = folderOf(dir);
    const int first = addChild(base);
    ASSERT_EQ(first, 1);
    EXPECT_EQ(childName(childFolder(base, first), kSettingsFileName), kNewChildName);
    EXPECT_EQ(addChild(base), first) << "a second unnamed child";
    const std::string ini = childFolder(base, first) + kSettingsFileName;
    ASSERT_EQ(renameChild(ini, ini, "じろう"), "");
    EXPECT_EQ(addChild(base), 2);
    EXPECT_EQ(childName(childFolder(base, first), kSettingsFileName), "じろう");
}

TEST(FamilyFolders, OnlyANameTheFileHoldsWholeIsAcceptedTrimmed) {
    struct Row {
        std::string typed, accepted;
    };
    std::string longest, tooLong;
    for (int i = 0; i < 40; ++i) longest += "あ";
    tooLong = longest + "あ";
    const Row rows[] = {
        {"  はなこ  ", "はなこ"},
        {"やまだ　はなこ", "やまだ　はなこ"},
        {"　 ", ""},
        {"", ""},
        {longest, longest},
        {tooLong, ""},
        {"はな😀", ""},
        {"髙橋", "髙橋"},
    };
    for (const Row& row : rows) EXPECT_EQ(acceptableChildName(row.typed), row.accepted) << row.typed;
}

TEST(FamilyFolders, ARenameKeepsEverythingElseTheChildEarned) {
    QTemporaryDir dir;
    const std::string ini = folderOf(dir) + kSettingsFileName;
    spit(ini, "; kept\r\n[TESTDATA]\r\nRECCHECKARRAY=0101\r\nSTUDENTNAME=hanako\r\n");
    StudyState before;
    loadSettings(before, ini);
    ASSERT_EQ(renameChild(ini, ini, "はな"), "");
    StudyState after;
    loadSettings(after, ini);
    EXPECT_EQ(after.studentName, "はな");
    EXPECT_EQ(std::count(&before.recCheckArray[0][0], &before.recCheckArray[0][0] + kRecCols * kRecRows, 1), 2);
    EXPECT_TRUE(std::equal(&after.recCheckArray[0][0], &after.recCheckArray[0][0] + kRecCols * kRecRows,
                           &before.recCheckArray[0][0]));
    EXPECT_NE(slurp(ini).find("; kept"), std::string::npos);
    // Read from one place, saved to another (a program folder that cannot be written).
    const std::string elsewhere = folderOf(dir) + "other.ini";
    ASSERT_EQ(renameChild(ini, elsewhere, "はなこ"), "");
    EXPECT_EQ(childName(folderOf(dir), "other.ini"), "はなこ");
    EXPECT_EQ(childName(folderOf(dir), kSettingsFileName), "はな");
    // A folder that cannot hold the file: told, naming it.
    EXPECT_NE(renameChild(ini, folderOf(dir) + "no/such/folder/x.ini", "はな"), "");
}

// Removing moves the folder aside whole; the first child and a child that is
// not there are never touched; a second removal of the same number keeps both.
TEST(FamilyFolders, ARemovedChildsFilesAreMovedAsideAndNeverDeleted) {
    QTemporaryDir dir;
    const std::string base = folderOf(dir);
    spit(base + kSettingsFileName, "[TESTDATA]\r\nSTUDENTNAME=first\r\n");
    ASSERT_EQ(addChild(base), 1);
    ASSERT_EQ(renameChild(childFolder(base, 1) + kSettingsFileName, childFolder(base, 1) + kSettingsFileName, "a"), "");
    ASSERT_EQ(addChild(base), 2);
    spit(childFolder(base, 1) + "kuku_history.txt", "one line\n");
    ASSERT_TRUE(rememberChild(base, 1));

    struct Row {
        int number;
        bool moved;
        const char* keptAs;  // inside children/removed/
    };
    const Row rows[] = {{0, false, nullptr}, {7, false, nullptr}, {1, true, "1"}, {1, false, nullptr}};
    for (const Row& row : rows) {
        const std::vector<int> before = childNumbers(base);
        const std::string error = removeChild(base, row.number);
        EXPECT_EQ(error.empty(), row.moved) << row.number << ": " << error;
        if (!row.moved) {
            EXPECT_EQ(childNumbers(base), before) << row.number;
            continue;
        }
        const std::string kept = base + "children/removed/" + row.keptAs + "/";
        EXPECT_EQ(slurp(kept + "kuku_history.txt"), "one line\n");
        EXPECT_EQ(childName(kept, kSettingsFileName), "a");
    }
    EXPECT_EQ(childNumbers(base), (std::vector<int>{0, 2}));
    EXPECT_EQ(rememberedChild(base), 0) << "the removed child was chosen last";
    EXPECT_EQ(childName(base, kSettingsFileName), "first");

    // A child added in the freed number and removed again: both are kept.
    ASSERT_EQ(renameChild(childFolder(base, 2) + kSettingsFileName, childFolder(base, 2) + kSettingsFileName, "b"), "");
    mkdir(childFolder(base, 1));
    spit(childFolder(base, 1) + kSettingsFileName, "[TESTDATA]\r\nSTUDENTNAME=c\r\n");
    ASSERT_EQ(removeChild(base, 1), "");
    EXPECT_EQ(childName(base + "children/removed/1-2/", kSettingsFileName), "c");
    EXPECT_EQ(childName(base + "children/removed/1/", kSettingsFileName), "a");
}

TEST(HistoryOfTests, ATestIsCountedFromTheAnswersItAddedToTheRecord) {
    FactRecord before;
    recordAnswer(before, 4, true, 900);  // an earlier test: not this one's
    FactRecord after = before;
    recordAnswer(after, 4, true, 1500);
    recordAnswer(after, 5, true, 700);
    recordAnswer(after, 6, false, 2000);
    recordPass(after, 7);
    recordAnswer(after, 8, true, 1100);
    const HistoryEntry e = entryOfTest(before, after, "2026-05-01 16:05:09", 0, 2, 3);
    EXPECT_EQ(e.right, 3);
    EXPECT_EQ(e.wrong, 1);
    EXPECT_EQ(e.passed, 1);
    EXPECT_EQ(e.typicalMs, 1100);  // the median of this test's right answers
    EXPECT_FALSE(e.faultless());
    EXPECT_EQ(e.day(), "2026-05-01");

    // No right answer: the typical time is that of the answers given, the
    // same median as the map's: halfway between the middle two.
    // The first fact and the last count too.
    FactRecord wrongOnly;
    recordAnswer(wrongOnly, 0, false, 3000);
    recordAnswer(wrongOnly, kFactsRecorded - 1, false, 2000);
    EXPECT_EQ(entryOfTest({}, wrongOnly, "2026-05-01 16:05:09", 0, 0, 1).typicalMs, 2500);
}

TEST(HistoryOfTests, AppendedLinesReadBackAndDamageIsPassedOver) {
    QTemporaryDir dir;
    const std::string path = folderOf(dir) + kHistoryFileName;
    const std::vector<HistoryEntry> written{entry("2026-05-01 16:05:09", 27), entry("2026-05-02 07:00:00", 20, 5, 2)};
    for (const HistoryEntry& e : written) ASSERT_TRUE(appendHistoryFile(path, e));
    EXPECT_EQ(loadHistoryFile(path).entries, written);
    const std::string whole = slurp(path);
    // An empty file left behind starts with its heading, as a new one does.
    const std::string empty = folderOf(dir) + "empty.txt";
    spit(empty, "");
    for (const HistoryEntry& e : written) ASSERT_TRUE(appendHistoryFile(empty, e));
    EXPECT_EQ(slurp(empty), whole);

    struct Case {
        const char* what;
        std::string text;
        size_t entries;
        int skipped;
    };
    const std::string good = historyLine(written[0]);
    const std::vector<Case> cases{
        {"a cut last line is the one being written", whole + good.substr(0, good.size() - 3), 2, 0},
        {"CRLF and a BOM", "\xEF\xBB\xBF" + good.substr(0, good.size() - 1) + "\r\n", 1, 0},
        {"a line of another kind", whole + "hello\n" + good, 3, 1},
        {"a field out of range", "2026-05-01 16:05:09\t13\t0\t1\t1\t0\t0\t100\n" + good, 1, 1},
        {"99 passes and 100", "2026-05-01 16:05:09\t3\t0\t99\t1\t0\t0\t100\n2026-05-01 16:05:09\t3\t0\t100\t1\t0\t0\t100\n",
         1, 1},
        {"the test of hard facts and the last range",
         "2026-05-01 16:05:09\t-1\t0\t1\t1\t0\t0\t100\n2026-05-01 16:05:09\t12\t0\t1\t1\t0\t0\t100\n", 2, 0},
        {"the most answers and the longest typical time",
         "2026-05-01 16:05:09\t3\t0\t1\t100000\t100000\t100000\t86400000\n", 1, 0},
        {"one answer more, a millisecond longer",
         "2026-05-01 16:05:09\t3\t0\t1\t100001\t0\t0\t100\n2026-05-01 16:05:09\t3\t0\t1\t1\t0\t0\t86400001\n", 0, 2},
        {"a range below the test of hard facts", "2026-05-01 16:05:09\t-2\t0\t1\t1\t0\t0\t100\n", 0, 1},
        {"a missing field", "2026-05-01 16:05:09\t3\t0\t1\t1\t0\t0\n", 0, 1},
        {"a date that is not one", "2026/05/01 16:05:09\t3\t0\t1\t1\t0\t0\t100\n", 0, 1},
        {"a number with a sign or blank", "2026-05-01 16:05:09\t3\t0\t+1\t1\t0\t0\t100\n2026-05-01 16:05:09\t3\t0\t1\t1 \t0\t0\t100\n", 0, 2},
        {"bytes that are no text", std::string("\0\xff\n", 3) + good, 1, 1},
    };
    for (const Case& c : cases) {
        const HistoryRead read = historyFromText(c.text);
        EXPECT_EQ(read.entries.size(), c.entries) << c.what;
        EXPECT_EQ(read.skipped, c.skipped) << c.what;
    }
}

TEST(HistoryOfTests, AppendingAfterACutLineKeepsTheNewLineAndNeverReadsTheCutOne) {
    QTemporaryDir dir;
    const std::string path = folderOf(dir) + kHistoryFileName;
    ASSERT_TRUE(appendHistoryFile(path, entry("2026-05-01 16:05:09", 27)));
    // Power went while a line was written: its time is cut after "12".
    std::string cut = historyLine(entry("2026-05-02 16:05:09", 27));
    cut = cut.substr(0, cut.size() - 3);
    spit(path, slurp(path) + cut);
    const std::string before = slurp(path);
    ASSERT_TRUE(appendHistoryFile(path, entry("2026-05-03 08:00:00", 9)));
    // What was there stays as it was: appended to, never rewritten.
    EXPECT_EQ(slurp(path).substr(0, before.size()), before);
    const HistoryRead read = loadHistoryFile(path);
    ASSERT_EQ(read.entries.size(), 2u);
    EXPECT_EQ(read.entries[1], entry("2026-05-03 08:00:00", 9));
    EXPECT_EQ(read.skipped, 1);
}

TEST(HistoryOfTests, ProgressIsSummedPerDayOldestFirst) {
    // Lines out of order, as when a clock was set back.
    const std::vector<HistoryEntry> lines{
        {"2026-05-02 09:00:00", 0, 0, 3, 27, 0, 0, 900},   // full marks
        {"2026-05-01 18:00:00", 0, 0, 3, 20, 5, 2, 1500},
        {"2026-05-02 19:00:00", 1, 1, 3, 25, 2, 0, 1300},
        {"2026-05-01 07:30:00", 0, 0, 3, 0, 0, 27, 0},     // nothing answered: no time to count
        {"2026-05-01 12:00:00", 0, 0, 3, 25, 0, 2, 1100},  // two skipped: no full marks
    };
    const std::vector<DayProgress> days = progressByDay(lines);
    ASSERT_EQ(days.size(), 2u);
    EXPECT_EQ(days[0].day, "2026-05-01");
    EXPECT_EQ(days[0].tests, 3);
    EXPECT_EQ(days[0].asked, 27 * 3);
    EXPECT_EQ(days[0].sharePercent(), 56);  // 45 of 81: 55.6 rounded
    EXPECT_EQ(days[0].typicalMs, 1300);     // halfway between 1100 and 1500
    EXPECT_EQ(days[0].fullMarks, 0);
    EXPECT_EQ(days[1].fullMarks, 1);
    EXPECT_EQ(days[1].typicalMs, 1100);  // halfway between 900 and 1300
    EXPECT_EQ(days[1].sharePercent(), 96);  // 52 of 54
    EXPECT_EQ(shortDay(days[1].day), "5/2");
    EXPECT_EQ(shortDay("2026-12-25"), "12/25");
}

// A history larger than 16 MiB is read from its end, where the newest tests
// are: the line cut where reading starts is passed over, every later one read.
TEST(HistoryOfTests, AHugeFileIsReadFromItsLastSixteenMebibytes) {
    QTemporaryDir dir;
    const std::string path = folderOf(dir) + kHistoryFileName;
    const std::string oldest = historyLine(entry("2026-05-01 16:05:09", 27));
    const HistoryEntry newest = entry("2026-05-02 16:05:09", 20);
    const std::string kib = std::string(1023, 'x') + '\n';  // a line of another kind
    const size_t mib16 = 16 * 1024 * 1024, kibs = 16 * 1024 - 4;
    const struct {
        const char* what;
        size_t over;  // bytes beyond 16 MiB
        size_t entries;
    } cases[] = {{"16 MiB: read whole", 0, 2}, {"ten bytes more: the oldest line cut", 10, 1}};
    for (const auto& c : cases) {
        const size_t filler = mib16 + c.over - oldest.size() - kibs * kib.size() - historyLine(newest).size();
        std::string text = oldest + std::string(filler - 1, 'y') + '\n';
        for (size_t i = 0; i < kibs; ++i) text += kib;
        spit(path, text + historyLine(newest));
        const HistoryRead read = loadHistoryFile(path);
        ASSERT_EQ(read.entries.size(), c.entries) << c.what;
        EXPECT_EQ(read.entries.back(), newest) << c.what;
        EXPECT_EQ(read.skipped, int(kibs) + 1) << c.what;
    }
}

// The chart's time axis: the shortest step of a day, two days, a week, two,
// four, eight, 91 or 182 days that spans the tests, with a day of room on
// each side, in at most seven intervals; beyond that a tick each new year,
// or every few years.
TEST(HistoryOfTests, TheTimeAxisTakesTheShortestStepOfAtMostSevenIntervals) {
    const struct {
        const char* what;
        const char *first, *last;  // the days with tests; none when empty
        const char *from, *to;
        int ticks;
        const char* format;
    } cases[] = {
        {"no test yet: today, a day either side", "", "", "2026-12-08", "2026-12-10", 3, "M/d"},
        {"fifteen days: each week", "2026-05-03", "2026-05-16", "2026-05-02", "2026-05-23", 4, "M/d"},
        {"seven days: a tick each day", "2026-05-03", "2026-05-08", "2026-05-02", "2026-05-09", 8, "M/d"},
        {"eight days: every second day", "2026-05-03", "2026-05-09", "2026-05-02", "2026-05-10", 5, "M/d"},
        {"seven times 28 days", "2026-03-02", "2026-09-12", "2026-03-01", "2026-09-13", 8, "M/d"},
        {"seven times 91 days", "2025-03-02", "2026-11-27", "2025-03-01", "2026-11-28", 8, "yyyy/M/d"},
        {"a day more: 182 days", "2025-03-02", "2026-11-28", "2025-03-01", "2027-02-27", 5, "yyyy/M/d"},
        {"seven times 182 days", "2023-03-02", "2026-08-25", "2023-03-01", "2026-08-26", 8, "yyyy/M/d"},
        {"a day more: each new year", "2023-03-02", "2026-08-26", "2023-01-01", "2027-01-01", 5, "yyyy"},
        {"eight years: every second", "2019-06-01", "2026-05-01", "2019-01-01", "2027-01-01", 5, "yyyy"},
    };
    for (const auto& c : cases) {
        std::vector<HistoryEntry> lines;
        for (const char* day : {c.first, c.last})
            if (*day) lines.push_back({std::string(day) + " 17:00:00", 0, 0, 3, 27, 0, 0, 900});
        const TimeAxis axis = timeAxisFor(progressByDay(lines), "2026-12-09");
        EXPECT_EQ(axis.fromMs, dayOnAxis(c.from)) << c.what;
        // Years are the calendar's mean year long: within a day of a new year.
        EXPECT_LE(std::abs(axis.toMs - dayOnAxis(c.to)), axis.format == "yyyy" ? 86'400'000 : 0) << c.what;
        EXPECT_EQ(axis.tickCount, c.ticks) << c.what;
        EXPECT_EQ(axis.format, c.format) << c.what;
    }
}
