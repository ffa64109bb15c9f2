// A class folder filled by a mischievous classmate: links, special files,
// huge and endless files, cut lines, conflict copies and look-alike names,
// through the child's files and the teacher's reader. Nothing outside the
// class folder is touched, nothing blocks, and memory stays small.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/sysmacros.h>
#include <sys/stat.h>
#include <unistd.h>

#include "main/core/ChildFiles.h"
#include "main/core/Classroom.h"
#include "main/core/Settings.h"
#include "main/core/UntrustedFiles.h"
#include "tests/core/FileBytes.h"
#include "windows/core/ClassRecord.h"

namespace {
// A read that blocks fails the test at once rather than the suite's time limit.
struct Watchdog {
    explicit Watchdog(int seconds) : thread([this, seconds] {
        std::unique_lock lock(m);
        if (!cv.wait_for(lock, std::chrono::seconds(seconds), [this] { return done; })) {
            std::fprintf(stderr, "a read of the class folder blocked\n");
            std::_Exit(1);
        }
    }) {}
    ~Watchdog() {
        { std::lock_guard lock(m); done = true; }
        cv.notify_one();
        thread.join();
    }
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    std::thread thread;
};

long peakKb() {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return use.ru_maxrss;
}

// Every file under a folder and its bytes (a link as its target's name).
std::map<QString, QByteArray> snapshot(const QString& root) {
    std::map<QString, QByteArray> all;
    QDirIterator it(root, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        all[info.filePath()] = info.isSymLink() ? info.symLinkTarget().toUtf8()
                               : info.isFile()  ? [&] { QFile f(info.filePath()); f.open(QIODevice::ReadOnly); return f.read(1 << 20); }()
                                                : QByteArray("dir");
    }
    return all;
}

struct Hostile {
    QTemporaryDir dir;
    std::string cls = dir.path().toStdString() + "/class/";
    std::string outside = dir.path().toStdString() + "/outside/";
    Hostile() {
        QDir().mkpath(QString::fromStdString(cls + "hanako"));
        QDir().mkpath(QString::fromStdString(outside + "elsewhere"));
        StudyState st;
        st.recCheckArray[0][0] = 1;
        EXPECT_TRUE(saveSettings(st, outside + "elsewhere/tateyokoM15.ini", nullptr));
        spit(outside + "secret.txt", "the teacher's own notes\n");
        EXPECT_TRUE(saveSettings(st, cls + "hanako/tateyokoM15.ini", nullptr));
    }
    std::string jiro() const { return cls + "jiro/"; }
    void link(const std::string& target, const std::string& at) { ASSERT_EQ(symlink(target.c_str(), at.c_str()), 0); }
    void folder() { QDir().mkpath(QString::fromStdString(jiro())); }
    void sparse(const std::string& path) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, off_t(1) << 30), 0);
        ::close(fd);
    }
    const ClassChild* teacherSees(const ClassView& view, const std::string& name) const {
        for (const ClassChild& c : view.children)
            if (c.name == name) return &c;
        return nullptr;
    }
};

void zeroDevice(Hostile& h, const std::string& at) {
    // A real device where we may make one (root); else a link to one.
    if (::mknod(at.c_str(), S_IFCHR | 0644, makedev(1, 5)) != 0) h.link("/dev/zero", at);
}
}  // namespace

TEST(HostileClassFolder, NothingOutsideIsTouchedNothingBlocksAndEachChildIsToldWhatIsWrong) {
    struct Case {
        const char* what;
        std::function<void(Hostile&)> plant;
        const char* problem;  // in the child's words for the adult; "" for none
        bool teacherDamaged;
        bool arriving;
        bool passShown;  // the child's first pass, as the child and the teacher see it
    };
    const std::vector<Case> cases = {
        {"the child's folder links outside", [](Hostile& h) { h.link(h.outside + "elsewhere", h.cls + "jiro"); },
         "リンク", true, false, false},
        {"the child's folder links to a classmate", [](Hostile& h) { h.link("hanako", h.cls + "jiro"); }, "リンク", true,
         false, false},
        {"the settings file links outside",
         [](Hostile& h) { h.folder(); h.link(h.outside + "elsewhere/tateyokoM15.ini", h.jiro() + "tateyokoM15.ini"); },
         "リンク", true, false, false},
        {"the record links outside",
         [](Hostile& h) { h.folder(); h.link(h.outside + "secret.txt", h.jiro() + "kuku_nigate.txt"); }, "リンク",
         true, false, false},
        {"the history of this computer links outside",
         [](Hostile& h) { h.folder(); h.link(h.outside + "secret.txt", h.jiro() + "kuku_rireki.pc-a.txt"); }, "リンク",
         true, false, false},
        {"a FIFO for the settings and the lease",
         [](Hostile& h) {
             h.folder();
             ASSERT_EQ(mkfifo((h.jiro() + "tateyokoM15.ini").c_str(), 0644), 0);
             ASSERT_EQ(mkfifo((h.jiro() + kLeaseFileName).c_str(), 0644), 0);
         },
         "FIFO", true, false, false},
        {"a FIFO for the record", [](Hostile& h) { h.folder(); ASSERT_EQ(mkfifo((h.jiro() + "kuku_nigate.pc-a.txt").c_str(), 0644), 0); },
         "FIFO", true, false, false},
        {"a device for the settings", [](Hostile& h) { h.folder(); zeroDevice(h, h.jiro() + "tateyokoM15.ini"); }, "",
         true, false, false},
        {"a folder where the record belongs",
         [](Hostile& h) { h.folder(); QDir().mkpath(QString::fromStdString(h.jiro() + "kuku_nigate.txt")); },
         "フォルダ", true, false, false},
        {"a 1 GB sparse settings file", [](Hostile& h) { h.folder(); h.sparse(h.jiro() + "tateyokoM15.ini"); },
         "大きすぎ", true, false, false},
        {"a 1 GB sparse record of this computer", [](Hostile& h) { h.folder(); h.sparse(h.jiro() + "kuku_nigate.pc-a.txt"); },
         "大きすぎ", true, false, false},
        {"an endless history", [](Hostile& h) { h.folder(); h.link("/dev/zero", h.jiro() + "kuku_rireki.txt"); },
         "リンク", true, false, false},
        {"a record whose last line is still arriving",
         [](Hostile& h) {
             StudyState st;
             st.recCheckArray[0][0] = 1;
             h.folder();
             ASSERT_TRUE(saveSettings(st, h.jiro() + "tateyokoM15.ini", nullptr));
             recordAnswer(st.factRecord, 3, true, 900);
             ASSERT_TRUE(saveRecordFile(st.factRecord, h.jiro() + "kuku_nigate.txt"));
             spit(h.jiro() + "kuku_nigate.txt", slurp(h.jiro() + "kuku_nigate.txt") + "4\t1");
         },
         "", false, true, true},
        {"a history whose last line is still arriving",
         [](Hostile& h) {
             StudyState st;
             h.folder();
             ASSERT_TRUE(saveSettings(st, h.jiro() + "tateyokoM15.ini", nullptr));
             ASSERT_TRUE(appendHistoryFile(h.jiro() + "kuku_rireki.txt", HistoryEntry{"2026-12-08 09:00:00", 1, 1, 1, 1, 0, 0, 700}));
             spit(h.jiro() + "kuku_rireki.txt", slurp(h.jiro() + "kuku_rireki.txt") + "2026-12-08 09:0");
         },
         "", false, true, false},
        {"a pass only in a conflict copy",
         [](Hostile& h) {
             StudyState st;
             st.recCheckArray[0][0] = 1;
             h.folder();
             ASSERT_TRUE(saveSettings(st, h.jiro() + "tateyokoM15.sync-conflict-20261209-101010-ABCDEFG.ini", nullptr));
         },
         "", false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Hostile h;
        c.plant(h);
        const auto outsideBefore = snapshot(QString::fromStdString(h.outside));
        const std::string hanakoBefore = slurp(h.cls + "hanako/tateyokoM15.ini");
        const long peakBefore = peakKb();
        Watchdog watchdog(20);

        ChildFiles files = ChildFiles::inClass(h.cls, "jiro", "pc-a");
        StudyState st;
        st.studentName = "jiro";
        files.load(st);
        if (*c.problem) EXPECT_NE(files.problem().find(c.problem), std::string::npos) << files.problem();
        EXPECT_EQ(files.problem().empty(), !c.teacherDamaged) << files.problem();
        EXPECT_EQ(st.recCheckArray[0][0] != 0, c.passShown);
        // The child goes on: a pass, a test and a history line, written only where they may be.
        st.recCheckArray[1][1] = 1;
        recordAnswer(st.factRecord, 10, true, 700);
        EXPECT_EQ(files.saveSettings(st, 1'765'000'000'000), "");
        EXPECT_EQ(files.saveRecord(st, 1'765'000'000'000), "");
        files.appendHistory(HistoryEntry{"2026-12-09 10:10:10", 1, 1, 1, 1, 0, 0, 700});
        takeLease(h.cls, "jiro", "pc-a", Lease{"pc-a", 1, 1'765'000'000});
        leasesOn(h.cls, "jiro");

        const ClassView view = readClassFolder(h.cls);
        const ClassChild* jiro = h.teacherSees(view, "jiro");
        ASSERT_NE(jiro, nullptr);
        EXPECT_EQ(jiro->state == ClassChild::State::Damaged, c.teacherDamaged) << jiro->fault;
        if (c.teacherDamaged) EXPECT_NE(jiro->fault.find(files.problem()), std::string::npos) << jiro->fault;
        EXPECT_EQ(jiro->arriving, c.arriving);
        EXPECT_EQ(readChildFolder(h.jiro(), "pc-a").passes.passed(0), c.passShown);

        EXPECT_EQ(snapshot(QString::fromStdString(h.outside)), outsideBefore) << "something outside was written";
        EXPECT_EQ(slurp(h.cls + "hanako/tateyokoM15.ini"), hanakoBefore) << "a classmate was written";
        EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(h.jiro() + "kuku_nigate.pc-a.txt.bak")));
        EXPECT_LT(peakKb() - peakBefore, 64 * 1024) << "memory grew past 64 MB";
    }
}

TEST(HostileClassFolder, LookAlikeNamesAndSyncLeftoversAreNeverASecondChild) {
    QTemporaryDir dir;
    const std::string cls = dir.path().toStdString() + "/";
    for (const char* name : {"hanako", "hana\u200Bko", "\u202Eokanah", "hanako\u00A0", "ＨＡＮＡＫＯ", "taro",
                             "taro.sync-conflict-20261209-101010-ABCDEFG", ".stversions", ".stfolder",
                             "~syncthing~jiro.tmp", "さとう けん"})
        QDir().mkpath(QString::fromStdString(cls + name));
    std::vector<std::string> shown;
    for (const ClassChild& c : readClassFolder(cls).children) shown.push_back(c.name);
    const auto count = [&](const std::string& n) { return std::count(shown.begin(), shown.end(), n); };
    EXPECT_EQ(count("taro"), 1);
    EXPECT_EQ(count("さとう けん"), 1) << "a name alone is shown as it is";
    EXPECT_EQ(shown.size(), 7u) << "sync leftovers are no children";
    for (const std::string& n : shown) {
        if (n == "taro" || n == "さとう けん") continue;
        EXPECT_EQ(n.rfind("⚠", 0), 0u) << n << " is not marked";
    }
    EXPECT_EQ(count("hanako"), 0) << "every hanako that looks alike is marked";
    const bool spelt = std::any_of(shown.begin(), shown.end(),
                                   [](const std::string& n) { return n.find("⟨U+200B⟩") != std::string::npos; });
    EXPECT_TRUE(spelt) << "the hidden character is spelt out";
}

// Root reads any file: run as an ordinary user.
TEST(HostileClassFolder, ALockedFileIsToldWithItsTrueReason) {
    QTemporaryDir dir;
    const std::string cls = dir.path().toStdString() + "/";
    QDir().mkpath(QString::fromStdString(cls + "jiro"));
    StudyState passed;
    passed.recCheckArray[0][0] = 1;
    ASSERT_TRUE(saveSettings(passed, cls + "jiro/tateyokoM15.ini", nullptr));
    ::chmod((cls + "jiro/tateyokoM15.ini").c_str(), 0);
    if (::access((cls + "jiro/tateyokoM15.ini").c_str(), R_OK) == 0) GTEST_SKIP() << "permissions are bypassed";
    ChildFiles files = ChildFiles::inClass(cls, "jiro", "pc-a");
    StudyState st;
    files.load(st);
    EXPECT_NE(files.problem().find("Permission denied"), std::string::npos) << files.problem();
    st.recCheckArray[1][1] = 1;
    EXPECT_EQ(files.saveSettings(st, 1'765'000'000'000), "");
    const ClassView view = readClassFolder(cls);
    ASSERT_EQ(view.children.size(), 1u);
    EXPECT_EQ(view.children[0].state, ClassChild::State::Damaged);
    EXPECT_NE(view.children[0].fault.find("Permission denied"), std::string::npos) << view.children[0].fault;
    ::chmod((cls + "jiro/tateyokoM15.ini").c_str(), 0644);
    EXPECT_NE(slurp(cls + "jiro/tateyokoM15.ini").find("RECCHECKARRAY=1"), std::string::npos) << "never written over";
}
