// A class folder from the child's side: the folder a typed name is kept in,
// the lease that tells a second computer the child is open, and the options
// a classroom's desktop entry starts the program with.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <map>
#include <ranges>
#include <set>

#include <sys/wait.h>
#include <unistd.h>

#include "main/core/ChildFiles.h"
#include "main/core/Classroom.h"
#include "main/core/ProgramSlot.h"
#include "main/core/Settings.h"
#include "main/core/TestRecord.h"
#include "tests/core/FileBytes.h"

TEST(ClassFolderNames, ATypedNameIsAFolderNameOfTheSameChild) {
    const struct {
        const char* typed;
        const char* folder;
    } cases[] = {
        {"はなこ", "はなこ"},
        {"　はなこ ", "はなこ"},  // spaces around, full-width too, are not part of the name
        // what an input method types full-width is one child with what is typed plain
        {"やまだ　はなこ", "やまだ はなこ"},
        {"さとう 　 けん", "さとう けん"},
        {"ｔａｒｏ　１２", "taro 12"},
        {"ﾀﾛｳ", "タロウ"},
        {"Taro", "Taro"},  // the case as first typed, for the teacher's list
        {"a/b\\c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j"},
        {"..", "_."},
        {".はなこ", "_はなこ"},
        {"tab\there", "tab_here"},
        {"   ", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(classFolderNameOf(c.typed), c.folder) << c.typed;
    // However long the name, the folder name stays one a share can hold.
    EXPECT_EQ(QString::fromStdString(classFolderNameOf(std::string(300, 'x'))).size(), 64);
    EXPECT_EQ(QString::fromStdString(classFolderNameOf(std::string(63, 'x') + "😀")).size(), 63);
}

TEST(ClassFolderNames, NamesThatFoldAlikeAreOneChildWhateverFolderHoldsThem) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Written before names were folded, and a sync engine's own folder.
    for (const char* old : {"Taro", "さとう　けん", ".stfolder", "Ｈｉｒｏ"}) QDir(dir.path()).mkdir(QString::fromUtf8(old));
    const std::string classDir = dir.path().toStdString() + "/";
    const struct {
        const char* typed;
        const char* folder;
    } cases[] = {
        {"Taro", "Taro"},
        {"taro", "Taro"},
        {"ＴＡＲＯ", "Taro"},
        {" taro ", "Taro"},
        {"さとう けん", "さとう　けん"},
        {"さとう　　けん", "さとう　けん"},
        {"hiro", "Ｈｉｒｏ"},
        {"さとうけん", "さとうけん"},  // a space between names tells two children apart
        {"jiro", "jiro"},
        {"STFOLDER", "STFOLDER"},
        {".stfolder", "_stfolder"},
        {"  ", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(classChildFolderOf(classDir, c.typed), c.folder) << c.typed;
    // A folder of exactly the name typed wins over one that folds alike.
    QDir(dir.path()).mkdir("taro");
    EXPECT_EQ(classChildFolderOf(classDir, "taro"), "taro");
}

TEST(ClassLease, AChildOpenElsewhereIsToldUntilTheLeaseIsLeftBehind) {
    const Lease ours{"pc-1", 100, 10'000};
    const struct {
        const char* what;
        Lease held;
        LeaseState expected;
    } cases[] = {
        {"ours", {"pc-1", 100, 9'990}, LeaseState::Ours},
        {"another computer, fresh", {"pc-2", 100, 9'990}, LeaseState::HeldElsewhere},
        {"another program here", {"pc-1", 101, 9'990}, LeaseState::HeldElsewhere},
        {"just within the limit", {"pc-2", 7, 10'000 - kLeaseStaleSeconds}, LeaseState::HeldElsewhere},
        {"left behind", {"pc-2", 7, 10'000 - kLeaseStaleSeconds - 1}, LeaseState::Free},
        {"a clock a little ahead", {"pc-2", 7, 10'060}, LeaseState::HeldElsewhere},
        {"a clock far ahead", {"pc-2", 7, 10'000 + kLeaseStaleSeconds + 1}, LeaseState::Free},
    };
    for (const auto& c : cases) EXPECT_EQ(leaseState(&c.held, ours, 10'000), c.expected) << c.what;
    EXPECT_EQ(leaseState(nullptr, ours, 10'000), LeaseState::Free);
}

TEST(ClassLease, IsWrittenReadAndReleasedOnlyByItsHolder) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/";
    const Lease ours{"kyoshitsu-PC 2", 4242, 1'765'000'000};
    Lease read;
    EXPECT_FALSE(readLease(folder, read));
    ASSERT_TRUE(writeLease(folder, ours));
    ASSERT_TRUE(readLease(folder, read));
    EXPECT_EQ(read.computer, ours.computer);
    EXPECT_EQ(read.process, ours.process);
    EXPECT_EQ(read.atSeconds, ours.atSeconds);

    releaseLease(folder, Lease{"other", 1, ours.atSeconds});
    EXPECT_TRUE(readLease(folder, read)) << "somebody else's release leaves the lease";
    releaseLease(folder, ours);
    EXPECT_FALSE(readLease(folder, read));

    for (const char* damaged : {"", "pc\n", "pc\nx\n5\n", "\n1\n2\n"}) {
        spit(folder + kLeaseFileName, damaged);
        EXPECT_FALSE(readLease(folder, read)) << damaged;
    }
    // Of a lease another wrote, only a computer's name is shown to a child: cleaned and cut.
    const struct {
        const char* text;
        const char* computer;  // nullptr: nothing usable
    } planted[] = {
        {"あなたの ごうかくは すべて とりけされました\n1\n5\n", nullptr},
        {"PC-1 <b>\u202E</b>\n1\n5\n", "PC-1 bb"},
        {"room-2.local_A0123456789012345678901234567890\n1\n5\n", "room-2.local_A012345678901234567"},
    };
    for (const auto& c : planted) {
        spit(folder + kLeaseFileName, c.text);
        EXPECT_EQ(readLease(folder, read), c.computer != nullptr) << c.text;
        if (c.computer) {
            EXPECT_EQ(read.computer, c.computer);
        }
    }
}

TEST(ClassOptions, TheFolderIsGivenEitherWayAndMadeAbsolute) {
    const QString here = QDir::currentPath();
    const struct {
        std::vector<const char*> args;
        std::string folder;
        bool teacher;
        bool error;
    } cases[] = {
        {{"tateyokom"}, "", false, false},
        {{"tateyokom", "--class-folder", "/srv/class 2"}, "/srv/class 2/", false, false},
        {{"tateyokom", "--class-folder=/srv/c"}, "/srv/c/", false, false},
        {{"tateyokom", "--teacher", "--class-folder", "c"}, (here + "/c/").toStdString(), true, false},
        {{"tateyokom", "--class-folder"}, "", false, true},
    };
    for (const auto& c : cases) {
        const ClassOptions options = classOptionsFrom(int(c.args.size()), c.args.data());
        EXPECT_EQ(options.classFolder, c.folder);
        EXPECT_EQ(options.teacher, c.teacher);
        EXPECT_EQ(!options.error.empty(), c.error);
    }
}

TEST(ClassFolderNote, IsKeptBesideTheSettingsAndRemovedWhenTheClassIsLeft) {
    QTemporaryDir dir;
    const std::string family = dir.path().toStdString() + "/";
    EXPECT_EQ(readClassFolderNote(family), "");
    ASSERT_TRUE(writeClassFolderNote(family, "/mnt/クラス/"));
    EXPECT_EQ(readClassFolderNote(family), "/mnt/クラス/");
    ASSERT_TRUE(writeClassFolderNote(family, ""));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(family + kClassFolderNoteFile)));
}

namespace {
// One program with a child of the class open, driven as its windows would.
struct Computer {
    std::string id;
    std::int64_t skewMs = 0;  // its clock against the others'
    ChildFiles files;
    StudyState st;
    bool open = false;
};

// Steps, one per word: the computer's letter, then o opens the child, + and
// a digit registers that pass, c is 成績クリア, t a test answering fact 0,
// r clears the record, s saves (the quit), k is killed (nothing more saved).
// Computer Z's clock is an hour behind; L puts files of today's program there.
struct MergeCase {
    const char* what;
    const char* steps;
    std::set<int> passes;  // of the merged child, by cell
    int asked;             // answers to fact 0 in the merged record
};

void run(const MergeCase& c, const std::string& classDir) {
    std::map<char, Computer> computers;
    std::int64_t clock = 1'765'000'000'000;
    const std::string folder = classDir + "たろう/";
    for (const std::string& step : QString(c.steps).split(' ').toVector() | std::views::transform(&QString::toStdString)) {
        clock += 1000;
        if (step == "L") {
            // Today's program: one file of each, passes in the first column.
            QDir().mkpath(QString::fromStdString(folder));
            StudyState old;
            old.studentName = "たろう";
            old.recCheckArray[0][5] = 1;
            ASSERT_TRUE(saveSettings(old, folder + kSettingsFileName, nullptr));
            recordAnswer(old.factRecord, 0, true, 900);
            ASSERT_TRUE(saveRecordFile(old.factRecord, folder + kFactRecordFileName));
            continue;
        }
        Computer& pc = computers[step[0]];
        if (pc.id.empty()) pc.id = std::string("pc-") + char(std::tolower(step[0])), pc.skewMs = step[0] == 'Z' ? -3'600'000 : 0;
        const std::int64_t now = clock + pc.skewMs;
        switch (step[1]) {
        case 'o':
        case 'k':
            pc.files = ChildFiles::inClass(classDir, "たろう", pc.id);
            pc.st = StudyState{};
            pc.st.studentName = "たろう";
            pc.files.load(pc.st);
            break;
        case '+':
            registerPass(pc.st, 1, step[2] - '0' + 1);
            ASSERT_EQ(pc.files.saveSettings(pc.st, now), "");
            break;
        case 'c':
            for (auto& column : pc.st.recCheckArray) std::fill(std::begin(column), std::end(column), 0);
            pc.files.notePassesCleared(now);
            ASSERT_EQ(pc.files.saveSettings(pc.st, now), "");
            break;
        case 't':
            recordAnswer(pc.st.factRecord, 0, true, 700);
            ASSERT_EQ(pc.files.saveRecord(pc.st, now), "");
            ASSERT_EQ(pc.files.saveSettings(pc.st, now), "");
            break;
        case 'r':
            clearRecord(pc.st.factRecord);
            pc.files.noteRecordCleared(now);
            ASSERT_EQ(pc.files.saveRecord(pc.st, now), "");
            break;
        case 's':
            ASSERT_EQ(pc.files.saveRecord(pc.st, now), "");
            ASSERT_EQ(pc.files.saveSettings(pc.st, now), "");
            break;
        default: FAIL() << step;
        }
    }
    const ChildMerge merged = readChildFolder(folder);
    std::set<int> passes;
    for (int cell = 0; cell < kPassCells; ++cell)
        if (merged.passes.passed(cell)) passes.insert(cell);
    EXPECT_EQ(passes, c.passes) << c.what << ": " << c.steps;
    EXPECT_EQ(merged.record.facts[0].asked, c.asked) << c.what << ": " << c.steps;
    EXPECT_EQ(int(merged.record.facts[0].recent.size()), std::min(c.asked, kRecentOutcomes)) << c.what;
    // Whoever opens the child next sees the same.
    ChildFiles next = ChildFiles::inClass(classDir, "たろう", "pc-next");
    StudyState st;
    next.load(st);
    for (int cell = 0; cell < kPassCells; ++cell)
        EXPECT_EQ(st.recCheckArray[cell / kRecRows][cell % kRecRows] != 0, c.passes.count(cell) == 1) << c.what << cell;
    // Each computer wrote only its own files.
    for (const QString& name : QDir(QString::fromStdString(folder)).entryList(QDir::Files)) {
        const ChildFileName which = childFileName(name.toStdString());
        EXPECT_NE(which.kind, ChildFileName::Kind::None) << name.toStdString();
        EXPECT_NE(which.kind, ChildFileName::Kind::Voice) << name.toStdString() << ": the voice was never switched on";
    }
}
}  // namespace

TEST(ClassChildMerge, NoOrderOfSavesClearsAndKillsLosesAPass) {
    const MergeCase cases[] = {
        {"a pass on each, A quits last", "Ao Bo A+0 B+1 Bs As", {0, 1}, 0},
        {"a pass on each, B quits last", "Ao Bo A+0 B+1 As Bs", {0, 1}, 0},
        {"tests on A after B's pass", "Ao Bo B+1 At At As Bs", {1}, 2},
        {"answers on both, either order", "Ao Bo At Bt Bt Bs As", {}, 3},
        {"more answers on the two than a fact keeps", "Ao Bo At At At At At At Bt Bt Bt Bt Bt Bt As Bs", {}, 12},
        {"killed after registering", "Ao Bo A+0 Ak B+1 Bs", {0, 1}, 0},
        {"killed before the quit, after a test", "Ao At Ak Bo Bt Bs", {}, 2},
        {"a clear on B takes A's pass B never showed", "Ao Bo A+0 Bc As Bs", {}, 0},
        {"a pass after the clear stays", "Ao Bo Bc A+0 Bs As", {0}, 0},
        {"A quits still showing a pass cleared on B", "Ao A+0 Bo Bc As", {}, 0},
        {"registered again after seeing the clear", "Ao A+0 Ac Bo B+0 Bs", {0}, 0},
        {"earned again on A, still on screen, after B's clear", "Ao A+0 As Bo Bc Bs A+0 As", {0}, 0},
        {"B's clear after A earned it again still takes it", "Ao A+0 A+0 As Bo Bc Bs As", {}, 0},
        {"a clock an hour behind registers after the clear", "Ao A+0 Ac Zo Z+0 Zs As", {0}, 0},
        {"three computers, a pass each", "Ao Bo Co A+0 B+1 C+2 Cs Bs As", {0, 1, 2}, 0},
        {"three: A's pass cleared on B, C's after it", "Co Ao A+0 Bo Bc C+3 Cs As Bs", {3}, 0},
        {"three: answers, a record clear on B, answers on C", "Ao Bo Co At Ct Br Ct Ck As Bs", {}, 1},
        {"the record cleared where the answers were not shown", "Ao Bo Bt Ar As Bs", {}, 0},
        {"today's files are one computer's", "L Ao A+0 As", {0, 5}, 1},
        {"today's passes go with a clear", "L Ao Ac At", {}, 2},
        {"today's answers go with a record clear", "L Ao Bo Bt Ar", {5}, 0},
    };
    for (const MergeCase& c : cases) {
        QTemporaryDir dir;
        run(c, dir.path().toStdString() + "/");
    }
}

TEST(ClassChildMerge, ConflictCopiesAndHistoriesAreReadOnce) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/";
    StudyState a, b;
    a.recCheckArray[0][0] = 1;
    b.recCheckArray[1][0] = 1;
    ASSERT_TRUE(saveSettings(a, folder + kSettingsFileName, nullptr));
    ASSERT_TRUE(saveSettings(b, folder + "tateyokoM15.sync-conflict-20261209-101010-ABCDEFG.ini", nullptr));
    // Two versions of one record: the fuller of each fact, never both.
    recordAnswer(a.factRecord, 3, true, 800);
    b.factRecord = a.factRecord;
    recordAnswer(b.factRecord, 3, false, 900);
    recordAnswer(a.factRecord, 4, true, 800);
    ASSERT_TRUE(saveRecordFile(a.factRecord, folder + kFactRecordFileName));
    ASSERT_TRUE(saveRecordFile(b.factRecord, folder + "kuku_nigate.sync-conflict-20261209-101010-ABCDEFG.txt"));
    const HistoryEntry first{"2026-05-01 16:05:09", 1, 0, 1, 9, 0, 0, 700};
    const HistoryEntry second{"2026-05-02 16:05:09", 2, 0, 1, 9, 0, 0, 700};
    const HistoryEntry third{"2026-05-03 16:05:09", 3, 0, 1, 9, 0, 0, 700};
    ASSERT_TRUE(appendHistoryFile(folder + kHistoryFileName, first));
    ASSERT_TRUE(appendHistoryFile(folder + kHistoryFileName, third));
    ASSERT_TRUE(appendHistoryFile(folder + "kuku_rireki.sync-conflict-20261209-101010-ABCDEFG.txt", first));
    ASSERT_TRUE(appendHistoryFile(folder + "kuku_rireki.pc-2.txt", second));

    const ChildMerge m = readChildFolder(folder, "pc-1", true);
    EXPECT_TRUE(m.passes.passed(0));
    EXPECT_TRUE(m.passes.passed(kRecRows));
    EXPECT_EQ(m.record.facts[3].asked, 2);
    EXPECT_EQ(m.record.facts[4].asked, 1);
    EXPECT_EQ(m.history, (std::vector<HistoryEntry>{first, second, third}));
}

// Damaged twice: each time the damaged file is kept aside, over the last
// one kept, and the child's answers go on being saved.
TEST(ClassChildMerge, ADamagedRecordIsKeptAsideEachTimeAndAnswersGoOn) {
    QTemporaryDir dir;
    const std::string cls = dir.path().toStdString() + "/", record = cls + "jiro/kuku_nigate.pc-a.txt";
    QDir().mkpath(QString::fromStdString(cls + "jiro"));
    spit(record + ".bak", "kept the first time\n");
    const std::int64_t never = 0;
    const std::string damaged = recordToText(FactRecord{}, &never) + "4 1 1 X1\n";
    spit(record, damaged);
    ChildFiles files = ChildFiles::inClass(cls, "jiro", "pc-a");
    StudyState st;
    files.load(st);
    EXPECT_EQ(slurp(record + ".bak"), damaged);
    recordAnswer(st.factRecord, 10, true, 700);
    ASSERT_EQ(files.saveRecord(st, 1'765'000'000'000), "");
    EXPECT_EQ(readChildFolder(cls + "jiro/").record.facts[10].asked, 1);
}

TEST(ClassChildMerge, FileNamesTellTheKindAndTheComputer) {
    using K = ChildFileName::Kind;
    const struct {
        const char* name;
        K kind;
        const char* computer;
    } cases[] = {
        {"tateyokoM15.ini", K::Settings, ""},
        {"tateyokoM15.pc-1.ini", K::Settings, "pc-1"},
        {"tateyokoM15.sync-conflict-20261209-101010-ABCDEFG.ini", K::Settings, ""},
        {"tateyokoM15.pc-1.sync-conflict-20261209-101010-ABCDEFG.ini", K::Settings, "pc-1"},
        {"kuku_nigate.pc-2.txt", K::Record, "pc-2"},
        {"kuku_rireki.txt", K::History, ""},
        {"kuku_nigate.txt.bak", K::None, ""},
        {"kuku_nigate.a.b.txt", K::None, ""},
        {"kuku_nigate..txt", K::None, ""},
        {"kuku_lease.txt", K::None, ""},
        {"tateyokoM15xini", K::None, ""},
        {"tateyokoM15.pc-1sync-conflict-x.ini", K::None, ""},
        {"kukukoe.ini", K::Voice, ""},
        {"kukukoe.pc-1.ini", K::Voice, "pc-1"},
        {"kukukoe.pc-1.sync-conflict-20261209-101010-ABCDEFG.ini", K::Voice, "pc-1"},
        {"kukukoe.pc-1.txt", K::None, ""},
        {"kukukoe.ini.tmp", K::None, ""},
    };
    for (const auto& c : cases) {
        const ChildFileName which = childFileName(c.name);
        EXPECT_EQ(which.kind, c.kind) << c.name;
        EXPECT_EQ(which.computer, c.computer) << c.name;
    }
    EXPECT_EQ(computerFileName(K::Record, "pc-1"), "kuku_nigate.pc-1.txt");
    EXPECT_EQ(computerFileName(K::Voice, "pc-1"), "kukukoe.pc-1.ini");
}

TEST(ClassLease, BothProgramsOnOneChildSeeEachOtherAndOnlyTheirOwnGoes) {
    QTemporaryDir dir;
    const std::string classDir = dir.path().toStdString() + "/";
    const Lease a{"pc-a", 10, 1'000'000}, b{"pc-b", 20, 1'000'010};
    EXPECT_TRUE(othersOpen(leasesOn(classDir, "はな.こ"), a, a.atSeconds).empty());
    ASSERT_TRUE(takeLease(classDir, "はな.こ", "id-a", a));
    ASSERT_TRUE(takeLease(classDir, "はな.こ", "id-b", b));
    ASSERT_TRUE(takeLease(classDir, "はな", "id-b", {"pc-c", 30, 1'000'010}));  // another child
    EXPECT_FALSE(QDir(QString::fromStdString(classDir + "はな.こ")).exists()) << "a name typed leaves no child's folder";
    const auto seenByA = othersOpen(leasesOn(classDir, "はな.こ"), a, b.atSeconds);
    ASSERT_EQ(seenByA.size(), 1u);
    EXPECT_EQ(seenByA[0].computer, "pc-b");
    const auto seenByB = othersOpen(leasesOn(classDir, "はな.こ"), b, b.atSeconds);
    ASSERT_EQ(seenByB.size(), 1u);
    EXPECT_EQ(seenByB[0].computer, "pc-a");
    EXPECT_TRUE(othersOpen(leasesOn(classDir, "はな.こ"), a, b.atSeconds + kLeaseStaleSeconds + 20).empty())
        << "a lease left behind tells nobody";
    dropLease(classDir, "はな.こ", "id-b", b);
    EXPECT_TRUE(othersOpen(leasesOn(classDir, "はな.こ"), a, b.atSeconds).empty());

    // What a killed program of this computer left behind goes when the child opens again here;
    // another program open here now, or another computer's lease, stays.
    const std::int64_t later = a.atSeconds + kLeaseStaleSeconds + 60;
    ASSERT_TRUE(takeLease(classDir, "はな.こ", "id-b", {"pc-b", 21, later - 5}));
    ASSERT_TRUE(takeLease(classDir, "はな.こ", "id-a", {"pc-a", 11, later}));
    EXPECT_EQ(leasesOn(classDir, "はな.こ").size(), 2u) << "id-a's old lease of process 10 is gone";
    EXPECT_EQ(othersOpen(leasesOn(classDir, "はな.こ"), {"pc-a", 11, later}, later).size(), 1u);
    // Programs of two other computers that share a process number are two.
    ASSERT_TRUE(takeLease(classDir, "はな.こ", "id-c", {"pc-c", 21, later}));
    EXPECT_EQ(othersOpen(leasesOn(classDir, "はな.こ"), {"pc-a", 11, later}, later).size(), 2u);
}

TEST(ClassChildMerge, OptionsFollowTheNewestSaveWhateverTheFileName) {
    QTemporaryDir dir;
    const std::string classDir = dir.path().toStdString() + "/";
    const struct {
        const char* computer;
        int volume, voice, byEar;  // as the child leaves them
        std::int64_t at;
        int expected, heard, asked;  // the volume and voice choices the next program opens with
        int voiceFiles;              // the choice files in the child's folder
    } saves[] = {
        {"pc-b", 70, 0, 0, 2'000'000'000'000, 70, 0, 0, 0},  // the voice never on: no choice file
        {"pc-a", 30, 1, 0, 2'000'000'000'100, 30, 1, 0, 1},  // a name before pc-b's, a save after it
        {"pc-b", 55, 1, 1, 2'000'000'000'050, 30, 1, 0, 2},  // a clock behind: older than pc-a's
        {"pc-c", 10, 0, 0, 2'000'000'000'200, 10, 0, 0, 3},  // switched off: said, not left out
    };
    for (const auto& s : saves) {
        ChildFiles files = ChildFiles::inClass(classDir, "たろう", s.computer);
        StudyState st;
        files.load(st);
        st.effectVolume = s.volume;
        st.voiceOn = s.voice;
        st.testByEar = s.byEar;
        st.recCheckArray[0][0] = 1;  // a pass, so that the folder is made
        ASSERT_EQ(files.saveSettings(st, s.at), "");
        StudyState next;
        next.studentName = "たろう";
        next.voiceOn = next.testByEar = 1;  // the last child's choice is not this one's
        ChildFiles::inClass(classDir, "たろう", "pc-next").load(next);
        EXPECT_EQ(next.effectVolume, s.expected) << s.computer << " at " << s.at;
        EXPECT_EQ(next.voiceOn, s.heard) << s.computer << " at " << s.at;
        EXPECT_EQ(next.testByEar, s.asked) << s.computer << " at " << s.at;
        EXPECT_EQ(next.studentName, "たろう") << "the name is the one typed";
        const QStringList voiceFiles = QDir(QString::fromStdString(classDir + "たろう")).entryList({"kukukoe*"});
        EXPECT_EQ(voiceFiles.size(), s.voiceFiles) << voiceFiles.join(' ').toStdString();
    }
    EXPECT_EQ(slurp(classDir + "たろう/kukukoe.pc-c.ini"), "VOICE=0\r\nBYEAR=0\r\nSAVEDAT=2000000000200\r\n");
    // A save date that is no number is no date: that file is the oldest.
    QString damaged = QString::fromStdString(slurp(classDir + "たろう/tateyokoM15.pc-c.ini"));
    damaged.replace("SAVEDAT=2000000000200", "SAVEDAT=2000000009999x").replace("EFFECTVOLUME=10", "EFFECTVOLUME=99");
    ASSERT_TRUE(damaged.contains("SAVEDAT=2000000009999x") && damaged.contains("EFFECTVOLUME=99"));
    spit(classDir + "たろう/tateyokoM15.pc-d.ini", damaged.toStdString());
    StudyState after;
    ChildFiles::inClass(classDir, "たろう", "pc-next").load(after);
    EXPECT_EQ(after.effectVolume, 10);
    // A child with nothing to keep leaves nothing, though the voice is on.
    ChildFiles passing = ChildFiles::inClass(classDir, "じろう", "pc-a");
    StudyState st;
    passing.load(st);
    st.voiceOn = 1;
    EXPECT_EQ(passing.saveSettings(st, 2'000'000'000'300), "");
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(classDir + "じろう"))) << "no folder for a name typed in passing";
}

TEST(ClassComputerId, IsMadeOnceAndNeverTakenFromAnotherComputer) {
    QTemporaryDir dir;
    const std::string family = dir.path().toStdString() + "/";
    const std::string id = computerIdIn(family);
    EXPECT_EQ(computerIdIn(family), id) << "the same at every start";
    EXPECT_EQ(childFileName(computerFileName(ChildFileName::Kind::Settings, id)).computer, id);
    // A program folder shared by several computers holds the first one's id.
    spit(family + kComputerIdFile, "another-host-1234abcd\n");
    const std::string here = computerIdIn(family);
    EXPECT_NE(here, "another-host-1234abcd");
    EXPECT_EQ(computerIdIn(family), here);
    EXPECT_EQ(slurp(family + kComputerIdFile), "another-host-1234abcd\n") << "not written over";

    // An id names files: tateyokoM15.<id>.ini must read back as that computer's.
    for (const char* host : {"PC-01", "pc.school.local", "教室_3", "", "a-very-long-host-name-of-a-school"}) {
        const std::string id = idOfHost(host) + "-0a1b2c3d";
        EXPECT_EQ(childFileName(computerFileName(ChildFileName::Kind::Record, id)).computer, id) << host;
        EXPECT_LE(id.size(), 25u) << host;
    }
    EXPECT_EQ(idOfHost("PC.School"), "pcschool");
    EXPECT_EQ(idOfHost("Room9-PC09"), "room9-pc09");
}

TEST(ClassComputerId, TwoProgramsOfOneAccountNeverWriteOneFile) {
    QTemporaryDir dir;
    const std::string family = dir.path().toStdString() + "/";
    auto first = std::make_unique<ProgramSlot>(), second = std::make_unique<ProgramSlot>();
    EXPECT_EQ(first->take(family, "pc-1"), "pc-1");
    EXPECT_EQ(second->take(family, "pc-1"), "pc-1-2");
    EXPECT_EQ(childFileName(computerFileName(ChildFileName::Kind::History, "pc-1-2")).computer, "pc-1-2");
    // Started again, a program takes the first slot free, not new files.
    first.reset();
    EXPECT_EQ(ProgramSlot().take(family, "pc-1"), "pc-1");
    second.reset();
    // A program killed while it ran leaves its slot to the next.
    if (const pid_t child = fork(); child == 0) {
        ProgramSlot held;
        _exit(held.take(family, "pc-1") == "pc-1" ? 0 : 1);
    } else {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_EQ(WEXITSTATUS(status), 0);
    }
    ASSERT_TRUE(QFile::exists(QString::fromStdString(family + "kuku_computer.lock")));
    EXPECT_EQ(ProgramSlot().take(family, "pc-1"), "pc-1");
    // Nowhere to keep a lock: the id as it is.
    EXPECT_EQ(ProgramSlot().take(family + "missing/", "pc-1"), "pc-1");
}
