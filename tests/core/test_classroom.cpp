// A class folder from the child's side: the folder a typed name is kept in,
// the lease that tells a second computer the child is open, and the options
// a classroom's desktop entry starts the program with.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "main/core/Classroom.h"
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
    const Lease ours{"教室のPC", 4242, 1'765'000'000};
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
