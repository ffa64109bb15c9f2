// The real program on the private X display when its save goes wrong:
// killed while it quits, a folder it may not write, a full disk, and a file
// that a parent replaced while it ran. The settings file is always whole,
// and a save that fails says so in a box. Sound files that are gone are
// named in boxes too.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include "tests/ui/RealProgram.h"

#ifdef __unix__
#include <unistd.h>
#endif

namespace {

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

void put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// A file as a parent might leave it: a note, odd spacing, a foreign section.
const QByteArray kOldFile =
    "; written by hand\r\n[JOUKEN]\r\nkaimax = 5\r\nMOKUJIN=3\r\n[NOTES]\r\nwho=parent\r\n"
    "[TESTDATA]\r\nRECCHECKARRAY=11111\r\n";

// Installed with that settings file and started, its main window shown.
void startWith(Journey& copy, const QByteArray& ini) {
    ASSERT_TRUE(copy.install(ini)) << "TATEYOKO_X_DISPLAY or TATEYOKO_APP_DIR is not set: run the README's test command";
    ASSERT_TRUE(copy.start());
    ASSERT_FALSE(copy.mainWindow().isEmpty()) << "the main window did not appear: " << copy.errors().toStdString();
}

}  // namespace

// Killed at random moments of its quit, over and over: the file is the old
// one or the one a whole quit writes, never a part of either.
TEST(RealWindowFaults, KilledWhileQuittingLeavesAWholeFile) {
    Journey whole;
    startWith(whole, kOldFile);
    whole.quitFromMenu();
    ASSERT_TRUE(whole.finished());
    const QByteArray saved = bytesOf(whole.iniPath());
    ASSERT_NE(saved, kOldFile);
    ASSERT_TRUE(saved.startsWith("; written by hand\r\n[JOUKEN]\r\nkaimax = 5\r\n")) << saved.constData();

    int olds = 0, news = 0;
    for (int i = 0; i < 6; ++i) {
        Journey copy;
        startWith(copy, kOldFile);
        copy.quitFromMenu();
        // the save comes at the second click; kill somewhere around it
        QThread::msleep(QRandomGenerator::global()->bounded(120));
        copy.kill();
        const QByteArray after = bytesOf(copy.iniPath());
        EXPECT_TRUE(after == kOldFile || after == saved) << "kill " << i << " left:\n" << after.constData();
        (after == kOldFile ? olds : news) += 1;
    }
    std::printf("6 kills while quitting: %d old files, %d new ones, none partial\n", olds, news);
}

// A parent replaced the file while the program ran (an editor writes a new
// file). At quit the program writes what it shows, its own keys, into the
// file as it is then: the parent's notes, sections and other keys stay.
TEST(RealWindowFaults, AFileEditedWhileRunningKeepsTheParentsLines) {
    Journey copy;
    startWith(copy, kOldFile);
    const QByteArray edited = "; changed by a parent\r\n[JOUKEN]\r\nKAIMAX=8\r\nMYKEY=1\r\n[PARENT]\r\nA=b\r\n";
    put(copy.iniPath() + ".new", edited);
    ASSERT_TRUE(QFile::remove(copy.iniPath()));
    ASSERT_TRUE(QFile::rename(copy.iniPath() + ".new", copy.iniPath()));
    copy.quitFromMenu();
    ASSERT_TRUE(copy.finished());
    const QByteArray saved = bytesOf(copy.iniPath());
    EXPECT_TRUE(saved.startsWith("; changed by a parent\r\n[JOUKEN]\r\nKAIMAX=5\r\nMYKEY=1\r\n")) << saved.constData();
    EXPECT_TRUE(saved.contains("\r\n[PARENT]\r\nA=b\r\n"));
    EXPECT_TRUE(saved.contains("\r\nMOKUJIN=3\r\n"));
    EXPECT_TRUE(saved.contains("\r\nRECCHECKARRAY=11111000"));  // the passes the program held
}

// A disk with no room left: the save fails, the old file stays byte for byte
// and the box names the file. As root a small tmpfs is filled up; without
// the right to mount, a file size limit refuses the write the same way.
// The box is there and shows no more than once.
TEST(RealWindowFaults, AFullDiskKeepsTheOldFileAndSaysSo) {
    QTemporaryDir mountPoint;
    ASSERT_TRUE(mountPoint.isValid());
    const QString where = mountPoint.path();
    bool mounted = false;
#ifdef __unix__
    if (geteuid() == 0)
        mounted = QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=96m", "tmpfs", where}) == 0;
#endif
    struct Unmount {
        QString at;
        bool on;
        ~Unmount() {
            if (on) QProcess::execute("umount", {"-l", at});
        }
    } unmount{where, mounted};

    Journey copy(qEnvironmentVariable("TATEYOKO_X_DISPLAY"), where);
    ASSERT_TRUE(copy.install(kOldFile)) << "run the README's test command";
    QString prefix;
    if (mounted) {
        // Fill every last block: even a small new file finds no room.
        QProcess::execute("sh", {"-c", "dd if=/dev/zero of=\"$0/filler\" bs=4096 2>/dev/null; sync", where});
        QFile filler(where + "/filler");
        ASSERT_GT(filler.size(), 0);
    } else {
        prefix = "trap '' XFSZ; ulimit -f 0;";  // writes past 0 bytes fail with EFBIG
    }
    ASSERT_TRUE(copy.start(prefix));
    ASSERT_FALSE(copy.mainWindow().isEmpty()) << "the main window did not appear";
    copy.quitFromMenu();
    EXPECT_TRUE(copy.errorBoxShown());
    ASSERT_TRUE(copy.finished());
    EXPECT_EQ(bytesOf(copy.iniPath()), kOldFile);
    std::printf("full disk by %s\n", mounted ? "a filled tmpfs" : "a file size limit");
}

// Sound files a parent deleted: a box names each one before the window
// comes, and the program goes on silent, which its settings then keep.
TEST(RealWindowFaults, MissingSoundFilesAreNamedAndTheProgramGoesOnSilent) {
    Journey copy;
    ASSERT_TRUE(copy.install("[SPEAK]\r\nPINPONFLAG=1\r\n")) << "run the README's test command";
    ASSERT_TRUE(QFile::remove(copy.folder() + "/Huseikai.wav"));
    ASSERT_TRUE(QFile::remove(copy.folder() + "/promptA.wav"));
    ASSERT_TRUE(copy.start());
    EXPECT_TRUE(copy.boxShown(QString::fromUtf8("^ご確認$")));
    EXPECT_TRUE(copy.boxShown(QString::fromUtf8("^ご確認$")));
    ASSERT_FALSE(copy.mainWindow().isEmpty());
    copy.quitFromMenu();
    ASSERT_TRUE(copy.finished());
    EXPECT_TRUE(bytesOf(copy.iniPath()).contains("\r\nPINPONFLAG=0\r\n")) << bytesOf(copy.iniPath()).constData();
}

// Run as an ordinary user (tools/as_test_user.sh): a folder the user may
// not write, with a file the user may not write, as an administrator
// installs it. The old file stays byte for byte and an error box comes up.
// A program folder the user cannot write, as an administrator installs it:
// the file there stays as it was and the settings go to the user's own
// configuration folder, starting from the file that was read.
struct LockedProgram {
    LockedProgram() {
        installed = copy.install(kOldFile);
        QFile::setPermissions(copy.iniPath(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        QFile::setPermissions(copy.folder(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        copy.setEnv("XDG_CONFIG_HOME", config.path());
    }
    ~LockedProgram() {
        QFile::setPermissions(copy.folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::setPermissions(config.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool permissionsBind() const {
#ifdef __unix__
        return access(copy.folder().toLocal8Bit().constData(), W_OK) != 0;
#else
        return true;
#endif
    }
    QString userFile() const { return config.path() + "/mizunara/tateyokom/tateyokoM15.ini"; }
    Journey copy;
    QTemporaryDir config;
    bool installed = false;
};

TEST(OrdinaryUserRealWindow, ALockedFolderKeepsItsFileAndSavesForTheUser) {
    LockedProgram locked;
    ASSERT_TRUE(locked.installed && locked.permissionsBind())
        << "permission bits do not bind this user: run through tools/as_test_user.sh";
    ASSERT_TRUE(locked.copy.start());
    ASSERT_FALSE(locked.copy.mainWindow().isEmpty());
    locked.copy.quitFromMenu();
    ASSERT_TRUE(locked.copy.finished());
    EXPECT_EQ(bytesOf(locked.copy.iniPath()), kOldFile);
    const QByteArray saved = bytesOf(locked.userFile());
    EXPECT_TRUE(saved.contains("[NOTES]\r\nwho=parent\r\n")) << saved.constData();
    EXPECT_TRUE(saved.contains("RECCHECKARRAY=11111000")) << saved.constData();
    EXPECT_TRUE(saved.contains("MOKUJIN=3\r\n")) << saved.constData();
}

TEST(OrdinaryUserRealWindow, ALockedFolderAndNoConfigurationFolderKeepTheOldFileAndSaySo) {
    LockedProgram locked;
    QFile::setPermissions(locked.config.path(), QFile::ReadOwner | QFile::ExeOwner);
    ASSERT_TRUE(locked.installed && locked.permissionsBind())
        << "permission bits do not bind this user: run through tools/as_test_user.sh";
    ASSERT_TRUE(locked.copy.start());
    ASSERT_FALSE(locked.copy.mainWindow().isEmpty());
    locked.copy.quitFromMenu();
    EXPECT_TRUE(locked.copy.errorBoxShown());
    ASSERT_TRUE(locked.copy.finished());
    EXPECT_EQ(bytesOf(locked.copy.iniPath()), kOldFile);
    EXPECT_EQ(bytesOf(locked.userFile()), QByteArray("(missing)"));
}

// An installed program (its folder not writable) for a user whose home is
// not writable either, so there is no configuration folder to save to.
// The program starts; the answers of a test it cannot keep get one box, and
// a second test no other box for the same file; the program goes on, and
// its quit, which cannot save the settings, gets one box and ends. Both
// files stay byte for byte and nothing is left in the home.
TEST(OrdinaryUserRealWindow, AReadOnlyHomeKeepsEveryFileAndSaysSoOncePerFile) {
    const QByteArray iniBytes =
        "; written by hand\r\n[JOUKEN]\r\nMENUN=3\r\nMOKUJIN=1\r\n[TESTDATA]\r\nRECCHECKARRAY=11111\r\n";
    const QByteArray recordBytes = "tateyokom fact record 2\n10 3 2 R1200/6000 W3000/6000 R900/6000\n";
    Journey copy;
    ASSERT_TRUE(copy.install(iniBytes)) << "run the README's test command";
    const QString record = copy.folder() + "/kuku_nigate.txt";
    put(record, recordBytes);
    const auto readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    QFile::setPermissions(copy.iniPath(), readOnly);
    QFile::setPermissions(record, readOnly);
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    QFile::setPermissions(copy.folder(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::ExeOwner);
    struct Unlock {
        QString a, b;
        ~Unlock() {
            QFile::setPermissions(a, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QFile::setPermissions(b, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    } unlock{copy.folder(), home.path()};
#ifdef __unix__
    ASSERT_NE(access(copy.folder().toLocal8Bit().constData(), W_OK), 0)
        << "permission bits do not bind this user: run through tools/as_test_user.sh";
    ASSERT_NE(access(home.path().toLocal8Bit().constData(), W_OK), 0);
#endif
    copy.setEnv("HOME", home.path());
    copy.unsetEnv("XDG_CONFIG_HOME");

    ASSERT_TRUE(copy.start());
    const QString main = copy.mainWindow();
    ASSERT_FALSE(main.isEmpty()) << "the main window did not appear: " << copy.errors().toStdString();
    const auto stoppedTest = [&] {
        copy.keys(main, {"alt+e"});
        QThread::msleep(2500);
        copy.keys(main, {"2", "Return"});
        QThread::msleep(1500);
        copy.keys(main, {"4", "Return"});
        QThread::msleep(1000);
        copy.keys(main, {"Escape"});
        return copy.boxShown(QString::fromUtf8("^<かくにん>$"));
    };
    ASSERT_TRUE(stoppedTest()) << "the test did not run";
    EXPECT_TRUE(copy.errorBoxShown()) << "the answers could not be kept, and nothing said so";
    ASSERT_TRUE(stoppedTest()) << "the program did not go on after its box";
    EXPECT_FALSE(copy.errorBoxShown()) << "the same file was named again";
    copy.quitFromMenu();
    EXPECT_TRUE(copy.errorBoxShown()) << "the settings could not be saved, and nothing said so";
    EXPECT_TRUE(copy.finished()) << "a second box, or the program hung";
    EXPECT_EQ(bytesOf(copy.iniPath()), iniBytes);
    EXPECT_EQ(bytesOf(record), recordBytes);
    EXPECT_TRUE(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}
