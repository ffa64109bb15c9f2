// A classroom on one shared class folder: ten children's programs save their
// own files at once, over and over, with the real saves, while the teacher's
// side keeps reading the folder. The teacher never meets a cut file or an
// older save after a newer one, and each child's folder ends as that child
// last saved it, with nothing left beside the three files.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <vector>

#include "main/core/History.h"
#include "main/core/Settings.h"
#include "windows/core/ClassRecord.h"

namespace {
constexpr std::array<const char*, 10> kNames = {"あおい", "けんた", "さくら", "はると", "ゆい",
                                                 "そうた", "ひまり", "りく",   "めい",   "こうき"};
constexpr auto kWriting = std::chrono::seconds(3);
// A save's number is written in the 13 rows of a column that the teacher's
// grid shows as passes (the 14th holds its verdict).
constexpr int kSaveBits = 13;
constexpr int kMostSaves = 1 << kSaveBits;

// The pass table of save n of child c: each column holds n mixed with a
// mask of that child and column, so a flag left from another save, or a
// file of another child, no longer decodes.
int maskOf(int c, int column) { return ((c + 1) * 613 * (column + 1)) % kMostSaves; }
int flagOf(int c, int n, int column, int row) { return ((n ^ maskOf(c, column)) >> (row % kSaveBits)) & 1; }

// The number of the save that a child's grid, as the teacher sees it,
// shows; -1 when its two test columns do not tell the same save.
int saveShown(const ClassChild& child, int c) {
    int words[2] = {0, 0};
    for (int column = 0; column < 2; ++column)
        for (int row = 0; row < kSaveBits; ++row)
            words[column] |= int(child.grid.passed(column + 1, row + 1)) << row;
    const int n = words[0] ^ maskOf(c, 0);
    return (words[1] ^ maskOf(c, 1)) == n ? n : -1;
}

struct Child {
    int c;
    std::string folder;
    StudyState st;
    // Save n as the child's program makes it after a test: the passes, an
    // answer more in the record, and the history's line for it.
    HistoryEntry take(int n) {
        st.studentName = kNames[size_t(c)];
        for (int column = 0; column < kRecCols; ++column)
            for (int row = 0; row < kRecRows; ++row) st.recCheckArray[column][row] = flagOf(c, n, column, row);
        recordAnswer(st.factRecord, n % kFactsRecorded, n % 3 != 0, 400 + n % 2000);
        return {"2026-05-01 16:05:09", n % 13, 0, 1, n, 0, 0, c};
    }
    bool save(int n) {
        const HistoryEntry line = take(n);
        return saveSettings(st, folder + kSettingsFileName, nullptr) &&
               saveRecordFile(st.factRecord, folder + kFactRecordFileName) &&
               appendHistoryFile(folder + kHistoryFileName, line);
    }
};

Child childIn(const std::string& classFolder, int c) {
    Child child{c, classFolder + "/" + kNames[size_t(c)] + "/", {}};
    loadSettings(child.st, std::string());
    return child;
}

// One child's program: a byte on its pipe once its files are there, then
// saves for the writing time, then the number of saves. Never returns.
[[noreturn]] void writeAsChild(const std::string& classFolder, int c, int pipeOut) {
    Child child = childIn(classFolder, c);
    const auto end = std::chrono::steady_clock::now() + kWriting;
    int n = 0;
    bool ok = QDir().mkpath(QString::fromStdString(child.folder));
    for (; ok && n < kMostSaves && (n < 2 || std::chrono::steady_clock::now() < end); ++n) {
        ok = child.save(n);
        if (n == 0) ok = ok && write(pipeOut, "r", 1) == 1;
    }
    ok = ok && write(pipeOut, &n, sizeof n) == sizeof n;
    _exit(ok ? 0 : 1);
}

// The ten programs, each a process of its own; none outlives the test.
struct Classroom {
    struct Writer {
        pid_t pid = -1;
        int pipeIn = -1;
        bool ended = false;
        int status = 0;  // as waitpid gives it, once ended
    };
    std::array<Writer, kNames.size()> writers;
    ~Classroom() {
        for (Writer& w : writers) {
            if (!w.ended && w.pid > 0) kill(w.pid, SIGKILL), waitpid(w.pid, nullptr, 0);
            if (w.pipeIn >= 0) close(w.pipeIn);
        }
    }
    bool start(const std::string& classFolder) {
        for (int c = 0; c < int(writers.size()); ++c) {
            int fds[2];
            if (pipe(fds) != 0) return false;
            const pid_t pid = fork();
            if (pid == 0) {
                close(fds[0]);
                // Ten writers on a core or two would leave the reader few turns.
                [[maybe_unused]] const int niceness = nice(10);
                writeAsChild(classFolder, c, fds[1]);
            }
            close(fds[1]);
            writers[size_t(c)] = {pid, fds[0]};
            if (pid < 0) return false;
        }
        return true;
    }
    bool writing() {
        for (Writer& w : writers)
            if (!w.ended && waitpid(w.pid, &w.status, WNOHANG) == w.pid) w.ended = true;
        return std::any_of(writers.begin(), writers.end(), [](const Writer& w) { return !w.ended; });
    }
};

// What the teacher's side sees in one read, against what it saw before.
// The histories grow with every save: one child's is read each time.
void checkRead(const std::string& classFolder, std::array<int, kNames.size()>& lastSeen, int historyOf) {
    const ClassView view = readClassFolder(classFolder);
    ASSERT_EQ(view.children.size(), kNames.size());
    for (const ClassChild& child : view.children) {
        const int c = int(std::find(kNames.begin(), kNames.end(), child.name) - kNames.begin());
        ASSERT_LT(c, int(kNames.size())) << child.name;
        ASSERT_TRUE(child.state == ClassChild::State::Whole) << child.name << ": " << child.fault;
        const int n = saveShown(child, c);
        ASSERT_GE(n, 0) << child.name << ": the passes are of no one save";
        ASSERT_GE(n, lastSeen[size_t(c)]) << child.name << ": an older save after a newer one";
        lastSeen[size_t(c)] = n;
        // Save n was begun after save n - 1 had written all three files.
        int answers = 0;
        for (const FactHistory& fact : child.record.facts) answers += fact.asked;
        ASSERT_GE(answers, n) << child.name;
        if (c != historyOf) continue;
        const HistoryRead history = loadHistoryFile(classFolder + "/" + child.name + "/" + kHistoryFileName);
        ASSERT_EQ(history.skipped, 0) << child.name;
        ASSERT_GE(int(history.entries.size()), n) << child.name;
    }
}
}  // namespace

TEST(ClassFolderWriters, TenChildrenSavingAtOnceNeverShowTheTeacherACutFileAndEndAsLastSaved) {
    QTemporaryDir dir;
    const std::string classFolder = dir.path().toStdString() + "/class";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(classFolder)));
    Classroom room;
    ASSERT_TRUE(room.start(classFolder));
    // Every child's first save is there before the teacher looks.
    for (const Classroom::Writer& w : room.writers) {
        char ready = 0;
        ASSERT_EQ(read(w.pipeIn, &ready, 1), 1) << "a child's program stopped before its first save";
    }
    std::array<int, kNames.size()> lastSeen{};
    int reads = 0;
    for (; room.writing(); ++reads)
        ASSERT_NO_FATAL_FAILURE(checkRead(classFolder, lastSeen, reads % int(kNames.size())));
    // The teacher looked often enough to meet saves under way.
    EXPECT_GE(reads, 20);

    ASSERT_NO_FATAL_FAILURE(checkRead(classFolder, lastSeen, -1));

    const auto entries = [](const std::string& folder) {
        return QDir(QString::fromStdString(folder))
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    };
    EXPECT_EQ(entries(classFolder).size(), qsizetype(kNames.size()));
    int allSaves = 0;
    for (int c = 0; c < int(kNames.size()); ++c) {
        SCOPED_TRACE(kNames[size_t(c)]);
        const Classroom::Writer& w = room.writers[size_t(c)];
        ASSERT_TRUE(WIFEXITED(w.status) && WEXITSTATUS(w.status) == 0) << "a save failed";
        int saves = 0;
        ASSERT_EQ(read(w.pipeIn, &saves, sizeof saves), ssize_t(sizeof saves));
        allSaves += saves;
        EXPECT_EQ(lastSeen[size_t(c)], saves - 1);
        // The same saves once more, in memory: what the folder must hold.
        Child expected = childIn(classFolder, c);
        std::vector<HistoryEntry> lines;
        for (int n = 0; n < saves; ++n) lines.push_back(expected.take(n));
        StudyState saved;
        loadSettings(saved, expected.folder + kSettingsFileName);
        EXPECT_EQ(saved.studentName, kNames[size_t(c)]);
        EXPECT_TRUE(std::equal(&saved.recCheckArray[0][0], &saved.recCheckArray[0][0] + kRecCols * kRecRows,
                               &expected.st.recCheckArray[0][0]));
        FactRecord record;
        EXPECT_TRUE(loadRecordFile(record, expected.folder + kFactRecordFileName));
        EXPECT_EQ(recordToText(record), recordToText(expected.st.factRecord));
        const HistoryRead history = loadHistoryFile(expected.folder + kHistoryFileName);
        EXPECT_EQ(history.skipped, 0);
        EXPECT_EQ(history.entries, lines);
        EXPECT_EQ(entries(expected.folder), QStringList({kFactRecordFileName, kHistoryFileName, kSettingsFileName}));
    }
    std::printf("%d saves of 10 children, %d reads of the whole class folder meanwhile\n", allSaves, reads);
}
