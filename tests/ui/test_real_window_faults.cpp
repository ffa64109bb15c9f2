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

#include "tests/ui/OnDisplay.h"

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

// The program copied into a folder of the test's own, with a settings file.
class ProgramCopy {
public:
    explicit ProgramCopy(const QString& where = QString()) : dir_(where) {
        display_ = qEnvironmentVariable("TATEYOKO_X_DISPLAY");
        appDir_ = qEnvironmentVariable("TATEYOKO_APP_DIR");
    }
    bool ready() const { return !display_.isEmpty() && !appDir_.isEmpty(); }
    QString folder() const { return dir_.isEmpty() ? temp_.path() : dir_; }
    QString ini() const { return folder() + "/tateyokoM15.ini"; }
    const QString& display() const { return display_; }

    void install(const QByteArray& iniBytes) {
        ASSERT_TRUE(ready()) << "TATEYOKO_X_DISPLAY or TATEYOKO_APP_DIR is not set: run the README's test command";
        for (const QString& name : QDir(appDir_).entryList(QDir::Files)) {
            if (name.endsWith(".ini") || name.endsWith(".chm")) continue;
            QFile::remove(folder() + "/" + name);
            ASSERT_TRUE(QFile::copy(appDir_ + "/" + name, folder() + "/" + name)) << name.toStdString();
        }
        QFile::setPermissions(folder() + "/tateyokom", QFile::permissions(appDir_ + "/tateyokom"));
        put(ini(), iniBytes);
    }

    // Starts the program (through sh -c prefix when given) and waits for its window.
    void setEnv(const QString& name, const QString& value) { extraEnv_.insert(name, value); }
    void unsetEnv(const QString& name) { unset_ << name; }

    // Keys typed into the main window, one after another.
    void type(const QStringList& keys) {
        run("xdotool", {"windowfocus", "--sync", window_}, display_);
        QThread::msleep(150);
        for (const QString& key : keys) {
            run("xdotool", {"key", key}, display_);
            QThread::msleep(400);
        }
    }

    void start(const QString& shellPrefix = QString()) {
        launch(shellPrefix);
        waitForMainWindow();
    }
    void launch(const QString& shellPrefix = QString()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(extraEnv_);
        for (const QString& name : unset_) env.remove(name);
        env.insert("DISPLAY", display_);
        env.remove("QT_QPA_PLATFORM");
        app_.setProcessEnvironment(env);
        app_.setWorkingDirectory(folder());
        if (shellPrefix.isEmpty())
            app_.start(folder() + "/tateyokom", {});
        else
            app_.start("sh", {"-c", shellPrefix + " exec \"$0\"", folder() + "/tateyokom"});
        ASSERT_TRUE(app_.waitForStarted(5000));
    }
    void waitForMainWindow() {
        for (int i = 0; i < 300 && window_.isEmpty(); ++i) {
            QThread::msleep(100);
            window_ = windowNamed(QString::fromUtf8("タテヨコ塾"));
        }
        ASSERT_FALSE(window_.isEmpty()) << "the main window did not appear";
        QThread::msleep(1200);  // the first timer tick
    }

    // ファイル → 終わり, as the child would.
    void quitFromMenu() {
        const QString info = run("xwininfo", {"-id", window_}, display_);
        const int left = field(info, "Absolute upper-left X");
        const int top = field(info, "Absolute upper-left Y");
        const int menu = field(info, "Height") - 542;
        run("xdotool", {"mousemove", QString::number(left + 40), QString::number(top + menu / 2), "click", "1"},
            display_);
        QThread::msleep(500);
        run("xdotool", {"mousemove", QString::number(left + 50), QString::number(top + menu + 72), "click", "1"},
            display_);
    }

    // Whether an error box (captioned with the program's name) came up; it
    // is then closed with Enter. What it says is checked offscreen, where the
    // text can be read (test_save_failure_box.cpp).
    bool errorBoxShown() { return boxShown("^tateyokom$"); }
    // Whether a box of that caption came up; it is then closed with Enter,
    // and gone before the next one is looked for.
    bool boxShown(const QString& caption) {
        QString box;
        for (int i = 0; i < 50 && box.isEmpty(); ++i) {
            QThread::msleep(100);
            box = windowNamed(caption);
        }
        if (box.isEmpty()) return false;
        run("xdotool", {"windowfocus", "--sync", box}, display_);
        QThread::msleep(200);
        run("xdotool", {"key", "Return"}, display_);
        for (int i = 0; i < 50 && windowNamed(caption) == box; ++i) QThread::msleep(100);
        return true;
    }

    bool finished(int ms = 10000) { return app_.waitForFinished(ms); }
    void kill() {
        app_.kill();  // SIGKILL
        app_.waitForFinished(5000);
    }

private:
    QTemporaryDir temp_;
    QString dir_;
    QString display_, appDir_, window_;
    QProcessEnvironment extraEnv_;
    QStringList unset_;
    QProcess app_;

    // A shown window of this program's whose caption matches.
    QString windowNamed(const QString& caption) {
        return run("xdotool",
                   {"search", "--all", "--onlyvisible", "--pid", QString::number(app_.processId()), "--name", caption},
                   display_)
            .split('\n', Qt::SkipEmptyParts)
            .value(0);
    }
};

}  // namespace

// Killed at random moments of its quit, over and over: the file is the old
// one or the one a whole quit writes, never a part of either.
TEST(RealWindowFaults, KilledWhileQuittingLeavesAWholeFile) {
    ProgramCopy whole;
    whole.install(kOldFile);
    whole.start();
    whole.quitFromMenu();
    ASSERT_TRUE(whole.finished());
    const QByteArray saved = bytesOf(whole.ini());
    ASSERT_NE(saved, kOldFile);
    ASSERT_TRUE(saved.startsWith("; written by hand\r\n[JOUKEN]\r\nkaimax = 5\r\n")) << saved.constData();

    int olds = 0, news = 0;
    for (int i = 0; i < 6; ++i) {
        ProgramCopy copy;
        copy.install(kOldFile);
        copy.start();
        copy.quitFromMenu();
        // the save comes at the second click; kill somewhere around it
        QThread::msleep(QRandomGenerator::global()->bounded(120));
        copy.kill();
        const QByteArray after = bytesOf(copy.ini());
        EXPECT_TRUE(after == kOldFile || after == saved) << "kill " << i << " left:\n" << after.constData();
        (after == kOldFile ? olds : news) += 1;
    }
    std::printf("6 kills while quitting: %d old files, %d new ones, none partial\n", olds, news);
}

// A parent replaced the file while the program ran (an editor writes a new
// file). At quit the program writes what it shows, its own keys, into the
// file as it is then: the parent's notes, sections and other keys stay.
TEST(RealWindowFaults, AFileEditedWhileRunningKeepsTheParentsLines) {
    ProgramCopy copy;
    copy.install(kOldFile);
    copy.start();
    const QByteArray edited = "; changed by a parent\r\n[JOUKEN]\r\nKAIMAX=8\r\nMYKEY=1\r\n[PARENT]\r\nA=b\r\n";
    put(copy.ini() + ".new", edited);
    ASSERT_TRUE(QFile::remove(copy.ini()));
    ASSERT_TRUE(QFile::rename(copy.ini() + ".new", copy.ini()));
    copy.quitFromMenu();
    ASSERT_TRUE(copy.finished());
    const QByteArray saved = bytesOf(copy.ini());
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

    ProgramCopy copy(where);
    copy.install(kOldFile);
    QString prefix;
    if (mounted) {
        // Fill every last block: even a small new file finds no room.
        QProcess::execute("sh", {"-c", "dd if=/dev/zero of=\"$0/filler\" bs=4096 2>/dev/null; sync", where});
        QFile filler(where + "/filler");
        ASSERT_GT(filler.size(), 0);
    } else {
        prefix = "trap '' XFSZ; ulimit -f 0;";  // writes past 0 bytes fail with EFBIG
    }
    copy.start(prefix);
    copy.quitFromMenu();
    EXPECT_TRUE(copy.errorBoxShown());
    ASSERT_TRUE(copy.finished());
    EXPECT_EQ(bytesOf(copy.ini()), kOldFile);
    std::printf("full disk by %s\n", mounted ? "a filled tmpfs" : "a file size limit");
}

// Sound files a parent deleted: a box names each one before the window
// comes, and the program goes on silent, which its settings then keep.
TEST(RealWindowFaults, MissingSoundFilesAreNamedAndTheProgramGoesOnSilent) {
    ProgramCopy copy;
    copy.install("[SPEAK]\r\nPINPONFLAG=1\r\n");
    ASSERT_TRUE(QFile::remove(copy.folder() + "/Huseikai.wav"));
    ASSERT_TRUE(QFile::remove(copy.folder() + "/promptA.wav"));
    copy.launch();
    EXPECT_TRUE(copy.boxShown(QString::fromUtf8("^ご確認$")));
    EXPECT_TRUE(copy.boxShown(QString::fromUtf8("^ご確認$")));
    copy.waitForMainWindow();
    copy.quitFromMenu();
    ASSERT_TRUE(copy.finished());
    EXPECT_TRUE(bytesOf(copy.ini()).contains("\r\nPINPONFLAG=0\r\n")) << bytesOf(copy.ini()).constData();
}

// Run as an ordinary user (tools/as_test_user.sh): a folder the user may
// not write, with a file the user may not write, as an administrator
// installs it. The old file stays byte for byte and an error box comes up.
// A program folder the user cannot write, as an administrator installs it:
// the file there stays as it was and the settings go to the user's own
// configuration folder, starting from the file that was read.
struct LockedProgram {
    LockedProgram() {
        copy.install(kOldFile);
        QFile::setPermissions(copy.ini(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
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
    ProgramCopy copy;
    QTemporaryDir config;
};

TEST(OrdinaryUserRealWindow, ALockedFolderKeepsItsFileAndSavesForTheUser) {
    LockedProgram locked;
    ASSERT_TRUE(locked.permissionsBind()) << "permission bits do not bind this user: run through tools/as_test_user.sh";
    locked.copy.start();
    locked.copy.quitFromMenu();
    ASSERT_TRUE(locked.copy.finished());
    EXPECT_EQ(bytesOf(locked.copy.ini()), kOldFile);
    const QByteArray saved = bytesOf(locked.userFile());
    EXPECT_TRUE(saved.contains("[NOTES]\r\nwho=parent\r\n")) << saved.constData();
    EXPECT_TRUE(saved.contains("RECCHECKARRAY=11111000")) << saved.constData();
    EXPECT_TRUE(saved.contains("MOKUJIN=3\r\n")) << saved.constData();
}

TEST(OrdinaryUserRealWindow, ALockedFolderAndNoConfigurationFolderKeepTheOldFileAndSaySo) {
    LockedProgram locked;
    QFile::setPermissions(locked.config.path(), QFile::ReadOwner | QFile::ExeOwner);
    ASSERT_TRUE(locked.permissionsBind()) << "permission bits do not bind this user: run through tools/as_test_user.sh";
    locked.copy.start();
    locked.copy.quitFromMenu();
    EXPECT_TRUE(locked.copy.errorBoxShown());
    ASSERT_TRUE(locked.copy.finished());
    EXPECT_EQ(bytesOf(locked.copy.ini()), kOldFile);
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
    ProgramCopy copy;
    copy.install(iniBytes);
    const QString record = copy.folder() + "/kuku_nigate.txt";
    put(record, recordBytes);
    const auto readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    QFile::setPermissions(copy.ini(), readOnly);
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

    copy.start();
    const auto stoppedTest = [&] {
        copy.type({"alt+e"});
        QThread::msleep(2500);
        copy.type({"2", "Return"});
        QThread::msleep(1500);
        copy.type({"4", "Return"});
        QThread::msleep(1000);
        copy.type({"Escape"});
        return copy.boxShown(QString::fromUtf8("^<かくにん>$"));
    };
    ASSERT_TRUE(stoppedTest()) << "the test did not run";
    EXPECT_TRUE(copy.errorBoxShown()) << "the answers could not be kept, and nothing said so";
    ASSERT_TRUE(stoppedTest()) << "the program did not go on after its box";
    EXPECT_FALSE(copy.errorBoxShown()) << "the same file was named again";
    copy.quitFromMenu();
    EXPECT_TRUE(copy.errorBoxShown()) << "the settings could not be saved, and nothing said so";
    EXPECT_TRUE(copy.finished()) << "a second box, or the program hung";
    EXPECT_EQ(bytesOf(copy.ini()), iniBytes);
    EXPECT_EQ(bytesOf(record), recordBytes);
    EXPECT_TRUE(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}
