// A class folder filled by a mischievous classmate, through the child's files
// and the teacher's reader: nothing outside it is touched, nothing blocks,
// memory stays small, and each child is told what is wrong.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <functional>
#include <map>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "main/core/ChildFiles.h"
#include "main/core/Classroom.h"
#include "main/core/Settings.h"
#include "tests/core/FileBytes.h"
#include "windows/core/ClassRecord.h"

namespace {
long peakKb() {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return use.ru_maxrss;
}

// Every entry under a folder: a file's bytes, a link's target.
std::map<QString, std::string> snapshot(const std::string& root) {
    std::map<QString, std::string> all;
    QDirIterator it(QString::fromStdString(root), QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        all[info.filePath()] = info.isSymLink() ? info.symLinkTarget().toStdString()
                               : info.isFile()  ? slurp(info.filePath().toStdString())
                                                : "dir";
    }
    return all;
}

StudyState firstPass() {
    StudyState st;
    st.recCheckArray[0][0] = 1;
    return st;
}


struct Hostile {
    QTemporaryDir dir;
    std::string cls = dir.path().toStdString() + "/class/", outside = dir.path().toStdString() + "/outside/";
    std::string jiro = cls + "jiro/";
    Hostile() {
        QDir().mkpath(QString::fromStdString(cls + "hanako"));
        QDir().mkpath(QString::fromStdString(outside + "elsewhere"));
        EXPECT_TRUE(saveSettings(firstPass(), outside + "elsewhere/tateyokoM15.ini", nullptr));
        spit(outside + "secret.txt", "the teacher's own notes\n");
        EXPECT_TRUE(saveSettings(firstPass(), cls + "hanako/tateyokoM15.ini", nullptr));
    }
};
using Plant = std::function<void(Hostile&)>;
Plant linkAt(std::string target, std::string name) {
    return [=](Hostile& h) {
        if (!name.empty()) QDir().mkpath(QString::fromStdString(h.jiro));
        const std::string to = target.front() == '/' || target == "hanako" ? target : h.outside + target;
        ASSERT_EQ(symlink(to.c_str(), (name.empty() ? h.cls + "jiro" : h.jiro + name).c_str()), 0);
    };
}
Plant made(std::string name, std::function<void(const std::string&)> make) {
    return [=](Hostile& h) {
        QDir().mkpath(QString::fromStdString(h.jiro));
        make(h.jiro + name);
    };
}
void fifo(const std::string& at) { ASSERT_EQ(mkfifo(at.c_str(), 0644), 0); }
void sparseGigabyte(const std::string& at) {
    const int fd = ::open(at.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(ftruncate(fd, off_t(1) << 30), 0);
    ::close(fd);
}
// A real device where one may be made (root), else a link to one.
void zeroDevice(const std::string& at) {
    if (::mknod(at.c_str(), S_IFCHR | 0644, makedev(1, 5)) != 0) {
        ASSERT_EQ(symlink("/dev/zero", at.c_str()), 0);
    }
}
// A file whose last line is still being copied in.
void cutAfter(const std::string& at, bool saved, const char* tail) {
    if (saved) {
        StudyState st = firstPass();
        recordAnswer(st.factRecord, 3, true, 900);
        ASSERT_TRUE(saveRecordFile(st.factRecord, at));
    } else {
        ASSERT_TRUE(appendHistoryFile(at, HistoryEntry{"2026-12-08 09:00:00", 1, 1, 1, 1, 0, 0, 700}));
    }
    spit(at, slurp(at) + tail);
}
}  // namespace

TEST(HostileClassFolder, NothingOutsideIsTouchedNothingBlocksAndEachChildIsToldWhatIsWrong) {
    const auto settings = [](const std::string& at) { ASSERT_TRUE(saveSettings(firstPass(), at, nullptr)); };
    const struct {
        const char* what;
        Plant plant;
        const char* problem;  // the reason given; nullptr: the child is whole
        bool arriving, passShown;
    } cases[] = {
        {"the child's folder links outside", linkAt("elsewhere", ""), "リンク", false, false},
        {"the child's folder links to a classmate", linkAt("hanako", ""), "リンク", false, false},
        {"the settings link outside", linkAt("elsewhere/tateyokoM15.ini", "tateyokoM15.ini"), "リンク", false, false},
        {"the record links outside", linkAt("secret.txt", "kuku_nigate.txt"), "リンク", false, false},
        {"this computer's history links outside", linkAt("secret.txt", "kuku_rireki.pc-a.txt"), "リンク", false, false},
        {"an endless history", linkAt("/dev/zero", "kuku_rireki.txt"), "リンク", false, false},
        {"a FIFO for the settings", made("tateyokoM15.ini", fifo), "FIFO", false, false},
        {"a FIFO for this computer's record", made("kuku_nigate.pc-a.txt", fifo), "FIFO", false, false},
        {"a FIFO for the lease", made(kLeaseFileName, fifo), nullptr, false, false},
        {"a FIFO for this computer's voice choice", made("kukukoe.pc-a.ini", fifo), "FIFO", false, false},
        {"the voice choice links outside", linkAt("secret.txt", "kukukoe.ini"), "リンク", false, false},
        {"1 GB sparse voice choice", made("kukukoe.pc-b.ini", sparseGigabyte), "大きすぎ", false, false},
        {"a device for the settings", made("tateyokoM15.ini", zeroDevice), "", false, false},
        {"a folder for the record", made("kuku_nigate.txt", [](const std::string& at) { QDir().mkpath(QString::fromStdString(at)); }),
         "フォルダ", false, false},
        {"1 GB sparse settings", made("tateyokoM15.ini", sparseGigabyte), "大きすぎ", false, false},
        {"1 GB sparse record of this computer", made("kuku_nigate.pc-a.txt", sparseGigabyte), "大きすぎ", false, false},
        {"a record still arriving",
         made("kuku_nigate.txt", [&](const std::string& at) { settings(at.substr(0, at.rfind('/') + 1) + "tateyokoM15.ini"); cutAfter(at, true, "4\t1"); }),
         nullptr, true, true},
        {"a history cut mid-line is no fault", made("kuku_rireki.txt", [](const std::string& at) { cutAfter(at, false, "2026-12-08 09:0"); }),
         nullptr, false, false},
        {"a pass only in a conflict copy", made("tateyokoM15.sync-conflict-20261209-101010-ABCDEFG.ini", settings), nullptr,
         false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Hostile h;
        c.plant(h);
        const auto outsideBefore = snapshot(h.outside);
        const std::string hanakoBefore = slurp(h.cls + "hanako/tateyokoM15.ini");
        const long peakBefore = peakKb();
        // A read that blocks ends the run here (SIGALRM), not at the suite's time limit.
        alarm(20);

        ChildFiles files = ChildFiles::inClass(h.cls, "jiro", "pc-a");
        StudyState st;
        files.load(st);
        EXPECT_EQ(files.problem().empty(), c.problem == nullptr) << files.problem();
        if (c.problem) {
            EXPECT_NE(files.problem().find(c.problem), std::string::npos) << files.problem();
        }
        EXPECT_EQ(st.recCheckArray[0][0] != 0, c.passShown);
        // The child goes on: a pass, an answer, a history line and the lease, written only where they may be.
        st.recCheckArray[1][1] = 1;
        recordAnswer(st.factRecord, 10, true, 700);
        EXPECT_EQ(files.saveSettings(st, 1'765'000'000'000), "");
        EXPECT_EQ(files.saveRecord(st, 1'765'000'000'000), "");
        files.appendHistory(HistoryEntry{"2026-12-09 10:10:10", 1, 1, 1, 1, 0, 0, 700});
        takeLease(h.cls, "jiro", "pc-a", Lease{"pc-a", 1, 1'765'000'000});
        EXPECT_EQ(leasesOn(h.cls, "jiro").size(), 1u);

        const ClassView view = readClassFolder(h.cls);
        const auto jiro = std::find_if(view.children.begin(), view.children.end(), [](const ClassChild& k) { return k.name == "jiro"; });
        ASSERT_NE(jiro, view.children.end());
        if (c.problem) {
            EXPECT_NE(jiro->fault.find(files.problem()), std::string::npos) << jiro->fault;
        }
        EXPECT_EQ(jiro->arriving, c.arriving);
        EXPECT_EQ(readChildFolder(h.jiro, "pc-a").passes.passed(0), c.passShown);

        EXPECT_EQ(snapshot(h.outside), outsideBefore) << "something outside was written";
        EXPECT_EQ(slurp(h.cls + "hanako/tateyokoM15.ini"), hanakoBefore) << "a classmate was written";
        EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(h.jiro + "kuku_nigate.pc-a.txt.bak")));
        EXPECT_LT(peakKb() - peakBefore, 64 * 1024) << "memory grew past 64 MB";
        alarm(0);
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
    EXPECT_EQ(shown.size(), 7u) << "sync leftovers are no children";
    for (const std::string& n : shown)
        EXPECT_EQ(n.rfind("⚠", 0) == 0, n != "taro" && n != "さとう けん") << n << ": only look-alikes are marked";
    EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [](const std::string& n) { return n.find("〈U+200B〉") != std::string::npos; }))
        << "a hidden character is spelt out";
}

// Root reads any file: this runs as an ordinary user.
TEST(HostileClassFolder, ALockedFileIsToldWithItsTrueReason) {
    QTemporaryDir dir;
    const std::string cls = dir.path().toStdString() + "/", file = cls + "jiro/tateyokoM15.ini";
    QDir().mkpath(QString::fromStdString(cls + "jiro"));
    ASSERT_TRUE(saveSettings(firstPass(), file, nullptr));
    ::chmod(file.c_str(), 0);
    if (::access(file.c_str(), R_OK) == 0) GTEST_SKIP() << "permissions are bypassed";
    ChildFiles files = ChildFiles::inClass(cls, "jiro", "pc-a");
    StudyState st;
    files.load(st);
    EXPECT_NE(files.problem().find("Permission denied"), std::string::npos) << files.problem();
    EXPECT_EQ(files.saveSettings(st, 1'765'000'000'000), "");
    const ClassView view = readClassFolder(cls);
    ASSERT_EQ(view.children.size(), 1u);
    EXPECT_NE(view.children[0].fault.find("Permission denied"), std::string::npos) << view.children[0].fault;
    ::chmod(file.c_str(), 0644);
    EXPECT_NE(slurp(file).find("RECCHECKARRAY=1"), std::string::npos) << "never written over";
}
