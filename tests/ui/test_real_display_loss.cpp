// The real program on an X display of its own that dies under it (SIGKILL
// to its Xvfb): in the middle of a test, and right after a pass was
// registered in the results window. The program must end by itself within
// a few seconds, and its settings file must be whole and hold every pass
// registered before the display died.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include "main/core/Settings.h"
#include "support/core/IniFile.h"
#include "tests/ui/RealProgram.h"

namespace {

// A settings file as the program writes it: a test of 一の段 in order, and
// some passes of the other tables already registered.
StudyState childWithPasses() {
    StudyState st = onesTestInOrder();
    st.recCheckArray[0][3] = st.recCheckArray[2][5] = st.recCheckArray[3][8] = 1;
    return st;
}

std::string fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

int passCount(const StudyState& st) {
    int n = 0;
    for (const auto& column : st.recCheckArray)
        for (int pass : column) n += pass;
    return n;
}

// The file is one whole save (it reads and writes back byte for byte) and
// holds the passes of before, and newPasses more.
void expectWholeWithPasses(const QString& path, const StudyState& before, int newPasses) {
    const std::string bytes = fileBytes(path);
    IniFile ini;
    ini.setBytes(bytes);
    StudyState read;
    readSettings(read, ini);
    writeSettings(read, ini);
    EXPECT_FALSE(bytes.empty());
    EXPECT_EQ(ini.bytes(), bytes) << "the settings file is not one whole save:\n" << bytes;
    for (int c = 0; c < kRecCols; ++c)
        for (int r = 0; r < kRecRows; ++r)
            if (before.recCheckArray[c][r] && read.recCheckArray[c][r] != 1) ADD_FAILURE() << "lost pass " << c << "," << r;
    EXPECT_EQ(passCount(read), passCount(before) + newPasses) << bytes;
}

// The program's end once its display is gone: by itself, soon, not by a
// signal, and with nothing for the sanitizers to report.
void expectEndsByItself(Journey& j) {
    QElapsedTimer t;
    t.start();
    const bool ended = j.finished(8000);
    const qint64 took = t.elapsed();
    if (!ended) j.kill();
    const QString errors = j.errors();
    EXPECT_TRUE(ended) << "still running 8 s after its display died";
    EXPECT_LT(took, 5000) << "took " << took << " ms to end";
    EXPECT_GE(j.exitCode(), 0) << "ended by a signal: " << errors.toStdString();
    for (const char* report : {"ERROR: AddressSanitizer", "runtime error:", "LeakSanitizer"})
        EXPECT_FALSE(errors.contains(QString::fromUtf8(report))) << errors.toStdString();
    std::printf("ended %lld ms after its display died, exit code %d\n", took, j.exitCode());
}

}  // namespace

TEST(RealDisplayLoss, DuringATestTheProgramEndsAndKeepsItsFile) {
    OwnDisplay display;
    ASSERT_FALSE(display.name().isEmpty()) << "no Xvfb of the test's own";
    Journey j(display.name());
    ASSERT_TRUE(j.ready()) << "TATEYOKO_APP_DIR is not set: run the README's test command";
    StudyState before = childWithPasses();
    before.soundOn = 1;  // the sound thread busy too when the end comes
    ASSERT_TRUE(j.install(iniBytes(before)));
    j.start();
    const QString main = j.mainWindow();
    ASSERT_FALSE(main.isEmpty()) << "the main window did not appear: " << j.errors().toStdString();
    ASSERT_EQ(j.answerOnes(main, 3), 3) << "a question did not come";
    display.kill();
    expectEndsByItself(j);
    expectWholeWithPasses(j.iniPath(), before, 0);
}

TEST(RealDisplayLoss, RightAfterARegistrationTheProgramEndsAndTheFileHoldsThePass) {
    OwnDisplay display;
    ASSERT_FALSE(display.name().isEmpty()) << "no Xvfb of the test's own";
    Journey j(display.name());
    ASSERT_TRUE(j.ready()) << "TATEYOKO_APP_DIR is not set: run the README's test command";
    const StudyState before = childWithPasses();
    ASSERT_TRUE(j.install(iniBytes(before)));
    j.start();
    const QString main = j.mainWindow();
    ASSERT_FALSE(main.isEmpty()) << "the main window did not appear: " << j.errors().toStdString();

    // The whole test, every answer right: 1 × m in three passes of nine.
    ASSERT_EQ(j.answerOnes(main, 27), 27) << "a question did not come";
    const QString results = j.waitFor(QString::fromUtf8("^テスト結果（段別）の表示$"));
    ASSERT_FALSE(results.isEmpty()) << "no results after the test";
    QThread::msleep(500);
    // 証明書 → 登録: the pass is saved, then the qualification window opens.
    j.keys(results, {"alt+p", "r"});
    ASSERT_FALSE(j.waitFor(QString::fromUtf8("資格チェック$")).isEmpty()) << "the pass was not registered";
    display.kill();
    expectEndsByItself(j);
    expectWholeWithPasses(j.iniPath(), before, 1);
}
