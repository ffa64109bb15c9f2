// What a child earns is on disk the moment it is earned, through the
// program's own file wiring: a kill right after a registration, 成績クリア, a
// test or 記録を消す finds it in the files, in the very bytes a quit would
// write then.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <csignal>

#ifdef __unix__
#include <sys/resource.h>
#endif

#include "main/AppWiring.h"
#include "main/core/FactRecord.h"
#include "main/core/QuestionOrder.h"
#include "main/core/Settings.h"
#include "main/core/TestRecord.h"
#include "tests/core/FileBytes.h"
#include "tests/core/FullDisk.h"
#include "tests/ui/QualifyFixture.h"
#include "tests/ui/ScriptedRun.h"
#include "windows/FactMapWindow.h"
#include "windows/Sikskuck.h"
#include "windows/Testresultdsp1.h"

namespace {

const std::string kOldIni = "; by hand\r\n[JOUKEN]\r\nKAIMAX=2\r\n[TESTDATA]\r\nRECCHECKARRAY=01\r\n";

// The program's folder with a settings file, wired as the program wires it.
struct Home {
    Home() {
        st.exeDir = dir.path().toStdString() + "/";
        spit(ini(), kOldIni);
        services = wiring.services();
        services.loadSettings(st);
    }
    std::string ini() const { return st.exeDir + kSettingsFileName; }
    std::string record() const { return st.exeDir + kFactRecordFileName; }
    // What the save at quit leaves in the file now.
    std::string quitBytes() {
        services.saveSettings(st);
        return slurp(ini());
    }
    QTemporaryDir dir;
    StudyState st;
    ScriptedClock clock;
    AppWiring wiring{st, clock};
    MasumeServices services;
};

// A faultless test of 五の段 in order, its results window open.
void faultlessFive(StudyState& st) {
    st.rangeIndex = 2;
    st.currentDan = 5;
    st.contentIndex = 3;
    st.studentName = "はなこ";
    clearKekka(st);
    for (int pass = 0; pass < 3; ++pass)
        for (int m = 0; m < 9; ++m) st.kekkaArray[pass][m] = 1;
}

// Counts the windows instead of opening them; the qualification window
// notes what the settings file held when it was asked for.
struct Watching : CountingNavigator {
    Watching(Home& h) : CountingNavigator(h.st, sound, h.clock, h.wiring), home(h) {
        onQualification = [this] { atQualification = slurp(home.ini()); };
    }
    SilentSound sound;
    Home& home;
    std::string atQualification;
};

}  // namespace

TEST(SaveMoments, ARegisteredPassIsInTheFileBeforeTheQualificationWindowOpens) {
    Home home;
    faultlessFive(home.st);
    Watching nav(home);
    TResultDsp1Form form(home.st, nav, home.wiring);
    form.SpeedButton1->click();
    ASSERT_NE(nav.atQualification, kOldIni);
    StudyState read;
    loadSettings(read, home.ini());
    EXPECT_EQ(read.recCheckArray[0][4], 1);  // 五の段, in order
    EXPECT_EQ(read.recCheckArray[0][1], 1);  // what the file held stays
    EXPECT_EQ(nav.atQualification, home.quitBytes());
}

TEST(SaveMoments, ClearedPassesAreGoneFromTheFileWhileTheWindowIsStillOpen) {
    Home home;
    ASSERT_EQ(home.st.recCheckArray[0][1], 1);
    QuietPorts ports;
    RecordingNavigator nav(home.st, ports);
    TSikakuCheckForm check(home.st, nav, home.wiring);
    {
        BoxAnswer seen;
        BoxWatcher watch(seen, QMessageBox::Ok);
        check.D1Click();
    }
    const std::string saved = slurp(home.ini());
    EXPECT_NE(saved.find("RECCHECKARRAY=00000000000000000000000000000000000000000000000000000000\r\n"),
              std::string::npos)
        << saved;
    EXPECT_EQ(saved, home.quitBytes());
}

TEST(SaveMoments, EveryAnswerOfATestIsInTheRecordBeforeItsResultsOpen) {
    Home home;
    KeyState keys;
    qApp->installEventFilter(&keys);
    SilentSound sound;
    CountingNavigator nav(home.st, sound, home.clock, home.wiring);
    FactRecord atResults;
    nav.onResults = [&] { loadRecordFile(atResults, home.record()); };
    MasumeServices services = home.services;
    services.loadSettings = [&](StudyState& st) {
        home.services.loadSettings(st);
        st.rangeIndex = 0;  // 一の段
        st.contentIndex = 3;
        st.speedIndex = 3;
        st.studentName = "はなこ";
    };
    services.navigator = &nav;
    services.checkAndLoadSounds = {};  // no sounds or hints in this folder, and no boxes about them
    services.loadHints = {};
    {
        TMasumeForm form(home.st, keys, home.clock, services);
        form.show();
        form.Button1->click();  // every question left to time out
    }
    qApp->removeEventFilter(&keys);
    ASSERT_EQ(nav.resultsByTable, 1);
    for (int b = 1; b <= 9; ++b) EXPECT_EQ(atResults.facts[size_t(b - 1)].asked, 3) << "1x" << b;
}

TEST(SaveMoments, AClearedRecordIsEmptyOnDiskAtOnce) {
    Home home;
    recordAnswer(home.st.factRecord, 10, false, 3000);
    ASSERT_TRUE(saveRecordFile(home.st.factRecord, home.record()));
    FactMapWindow map(home.st, home.wiring);
    {
        BoxAnswer seen;
        BoxWatcher watch(seen, QMessageBox::Ok);
        map.ClearButtonClick();
    }
    FactRecord read;
    recordAnswer(read, 3, true, 500);
    loadRecordFile(read, home.record());
    EXPECT_TRUE(recordIsEmpty(read));
}

#ifdef __unix__
// A disk that refuses more bytes (a file size limit binds root too): one box
// names the file, the pass stays in memory and the next save writes it.
TEST(SaveMoments, AFailedSaveOfAPassSaysSoOnceAndTheQuitStillWritesIt) {
    Home home;
    faultlessFive(home.st);
    Watching nav(home);
    TResultDsp1Form form(home.st, nav, home.wiring);
    BoxAnswer first, second;
    {
        FullDisk full;
        ASSERT_TRUE(full.ok());
        {
            BoxWatcher watch(first, QMessageBox::Ok);
            form.SpeedButton1->click();
        }
        BoxWatcher watch(second, QMessageBox::Ok);
        form.SpeedButton1->click();  // the same file again: no second box
        QTest::qWait(100);
    }
    EXPECT_TRUE(first.seen);
    EXPECT_TRUE(first.text.contains(QString::fromStdString(home.ini()))) << first.text.toStdString();
    EXPECT_FALSE(second.seen);
    EXPECT_EQ(slurp(home.ini()), kOldIni);
    EXPECT_EQ(home.st.recCheckArray[0][4], 1);
    StudyState read;
    loadSettings(read, home.ini());
    home.quitBytes();
    loadSettings(read, home.ini());
    EXPECT_EQ(read.recCheckArray[0][4], 1);
}
#endif
