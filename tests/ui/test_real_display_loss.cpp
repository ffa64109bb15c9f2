// The real program on an X display of its own that dies under it (SIGKILL
// to its Xvfb): in the middle of a test, and right after a pass was
// registered in the results window. The program must end by itself within
// a few seconds, and its settings file must be whole and hold every pass
// registered before the display died.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <signal.h>

#include "main/core/Settings.h"
#include "support/core/IniFile.h"
#include "tests/ui/RealProgram.h"

namespace {

// An Xvfb of the test's own, on a display number it picks itself.
class OwnDisplay {
public:
    OwnDisplay() {
        xvfb_.setStandardOutputFile(QProcess::nullDevice());
        xvfb_.setStandardErrorFile(QProcess::nullDevice());
        xvfb_.start("sh", {"-c", "exec Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>\"$0\"",
                           dir_.path() + "/display"});
        QElapsedTimer t;
        t.start();
        while (name_.isEmpty() && t.elapsed() < 5000 && xvfb_.state() != QProcess::NotRunning) {
            QThread::msleep(50);
            QFile number(dir_.path() + "/display");
            if (number.open(QIODevice::ReadOnly)) name_ = QString::fromUtf8(number.readAll().trimmed());
        }
        if (!name_.isEmpty()) name_.prepend(':');
    }
    ~OwnDisplay() { kill(); }
    const QString& name() const { return name_; }
    void kill() {
        if (xvfb_.state() == QProcess::NotRunning) return;
        ::kill(pid_t(xvfb_.processId()), SIGKILL);
        xvfb_.waitForFinished(5000);
    }

private:
    QTemporaryDir dir_;
    QProcess xvfb_;
    QString name_;
};

// A settings file as the program writes it: a test of 一の段 in order, a
// name (the results window asks for one first), and some passes of the
// other tables already registered.
StudyState childWithPasses() {
    StudyState st;
    readSettings(st, IniFile());
    st.contentIndex = 3;
    st.rangeIndex = 0;
    st.speedIndex = 0;  // ステップ: five seconds for each answer
    st.studentName = "はなこ";
    st.recCheckArray[0][3] = st.recCheckArray[2][5] = st.recCheckArray[3][8] = 1;
    return st;
}

std::string iniBytesOf(const StudyState& st) {
    IniFile ini;
    writeSettings(st, ini);
    return ini.bytes();
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
    ASSERT_TRUE(j.install(QByteArray::fromStdString(iniBytesOf(before))));
    j.start();
    const QString main = j.waitFor(QString::fromUtf8("タテヨコ塾"), 30000);
    ASSERT_FALSE(main.isEmpty()) << "the main window did not appear: " << j.errors().toStdString();
    QThread::msleep(1500);
    QImage shown = j.formulaField(main);
    j.keys(main, {"alt+e"}, 0);
    for (int m = 1; m <= 3; ++m) {
        ASSERT_TRUE(j.nextFormula(main, shown)) << "question " << m << " did not come";
        j.keys(main, {QString::number(m), "Return"}, 100);
    }
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
    ASSERT_TRUE(j.install(QByteArray::fromStdString(iniBytesOf(before))));
    j.start();
    const QString main = j.waitFor(QString::fromUtf8("タテヨコ塾"), 30000);
    ASSERT_FALSE(main.isEmpty()) << "the main window did not appear: " << j.errors().toStdString();
    QThread::msleep(1500);

    // The whole test, every answer right: 1 × m in three passes of nine.
    QImage shown = j.formulaField(main);
    j.keys(main, {"alt+e"}, 0);
    for (int q = 0; q < 27; ++q) {
        ASSERT_TRUE(j.nextFormula(main, shown)) << "question " << q + 1 << " did not come";
        j.keys(main, {QString::number(q % 9 + 1), "Return"}, 100);
    }
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
