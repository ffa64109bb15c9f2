// The real program with its sounds on, while the private sound server dies
// under it (SIGKILL, as in a crash): in a practice, back a second later; in a
// test, back only after four seconds. Each drill goes on to its end with no
// box, and the window answers its keys at once after it. The sounds are
// heard again on the null sink in the same run, or at the latest once the
// program has started again: Qt's sound engine tries the server once more
// three seconds after losing it, and not again after that.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QMap>
#include <QThread>

#include "tests/ui/NullSink.h"
#include "tests/ui/RealProgram.h"

namespace {

// 一の段, practised then tested in order, at the fastest pace, one pass of
// practice, sounds on.
const QByteArray kSoundsOn =
    "[SPEAK]\r\nPINPONFLAG=1\r\n[JOUKEN]\r\nMENUN=0\r\nMOKUJIN=0\r\nPROCFLAG=3\r\nKAIMAX=1\r\nANSMA=100\r\n";
constexpr int kHeard = 1000;  // the sounds at the default volume peak at several thousand

void sleepMs(int ms) { QThread::msleep(ms); }

// Listens to the null sink while the program runs, and notes every window
// it shows besides the main one.
class Listener {
public:
    Listener(Journey& j, QString main, QByteArray server) : j_(j), main_(std::move(main)), server_(std::move(server)) {}

    // The loudest sample over ms, with key (if any) pressed about every 0.9 s.
    int peakOver(int ms, const QString& key = {}) {
        QProcess parec;
        if (!startRecording(parec, server_, 22050, 1, sleepMs)) return -1;
        pressFor(ms, key);
        return stopRecording(parec);
    }
    // How long until a sound was heard, or -1 if none within maxMs.
    qint64 heardWithin(int maxMs, const QString& key = {}) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < maxMs)
            if (peakOver(1500, key) > kHeard) return t.elapsed();
        return -1;
    }
    void pressFor(int ms, const QString& key) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            if (!key.isEmpty()) j_.keys(main_, {key}, 0);
            for (const QString& id : j_.windows())
                if (id != main_) boxes_.insert(id, run("xdotool", {"getwindowname", id}, display_).trimmed());
            sleepMs(std::clamp<int>(ms - int(t.elapsed()), 0, 900));
        }
    }
    QStringList boxes() const { return boxes_.values(); }

private:
    Journey& j_;
    QString main_;
    QByteArray server_;
    QString display_ = qEnvironmentVariable("TATEYOKO_X_DISPLAY");
    QMap<QString, QString> boxes_;
};

// The time J takes to open the settings, which it does only when no drill
// runs; -1 when they did not open within waitMs. They close again.
qint64 settingsOpenAtJ(Journey& j, const QString& main, int waitMs = 2000) {
    QElapsedTimer t;
    t.start();
    j.keys(main, {"j"}, 0);
    const QString settings = j.waitFor(QString::fromUtf8("の設定□$"), waitMs);
    const qint64 took = t.elapsed();
    if (settings.isEmpty()) return -1;
    j.keys(settings, {"Return"});
    j.waitGone(settings);
    return took;
}

QString startedMainWindow(Journey& j) {
    j.start();
    const QString main = j.waitFor(QString::fromUtf8("タテヨコ塾"), 30000);
    sleepMs(1500);  // the first frame, after which the sound output loads
    return main;
}

bool quits(Journey& j, const QString& main) {
    j.keys(main, {"alt+f", "x"});
    const bool ended = j.finished(15000);
    if (!ended) j.kill();
    const QString errors = j.errors();
    EXPECT_TRUE(ended) << "the program did not end at ファイル → 終わり";
    EXPECT_EQ(j.exitCode(), 0) << errors.toStdString();
    for (const char* report : {"ERROR: AddressSanitizer", "runtime error:", "LeakSanitizer"})
        EXPECT_FALSE(errors.contains(QString::fromUtf8(report))) << errors.toStdString();
    return ended;
}

// Whatever a test does to the server, the tests after it find it running.
struct ServerBack {
    QString dir;
    ~ServerBack() { pulseScript(dir, {}); }
};

}  // namespace

TEST(RealSoundServerLoss, KilledInAPracticeAndInATestTheDrillsGoOnAndAreHeardAgain) {
    const QByteArray server = qgetenv("PULSE_SERVER");
    ASSERT_FALSE(server.isEmpty()) << "PULSE_SERVER is not set: run the README's test command";
    const ServerBack back{pulseDirOf(server)};
    QElapsedTimer took;
    took.start();
    Journey j;
    ASSERT_TRUE(j.ready()) << "TATEYOKO_X_DISPLAY or TATEYOKO_APP_DIR is not set: run the README's test command";
    ASSERT_TRUE(j.install(kSoundsOn));
    const QString main = startedMainWindow(j);
    ASSERT_FALSE(main.isEmpty()) << "the main window did not appear: " << j.errors().toStdString();
    Listener ear(j, main, server);

    // The practice (始める has the focus): a fact and its sound every two
    // seconds, on with G once heard again.
    j.keys(main, {"space"}, 0);
    ASSERT_GT(ear.peakOver(2500), kHeard) << "the practice was not heard before the server died";
    ASSERT_TRUE(killPulse(back.dir));
    sleepMs(1000);
    ASSERT_TRUE(pulseScript(back.dir, {})) << "the private server did not start again";
    const qint64 practiceBack = ear.heardWithin(6000);
    EXPECT_GE(practiceBack, 0) << "the practice was not heard again within six seconds of the server's return";
    qint64 practiceEnd = -1;
    QElapsedTimer toEnd;
    toEnd.start();
    while (practiceEnd < 0 && toEnd.elapsed() < 20000) {
        ear.pressFor(300, "g");
        practiceEnd = settingsOpenAtJ(j, main, 600);
    }
    EXPECT_GE(practiceEnd, 0) << "the practice did not end, or the window did not answer J after it";

    // The test (４.テスト, chosen in the list), every question passed with G.
    j.click(main, 480, 25);
    j.keys(main, {"Down", "Down", "Down", "Return", "alt+e"});
    ASSERT_GT(ear.peakOver(2000, "g"), kHeard) << "the test was not heard before the server died";
    ASSERT_TRUE(killPulse(back.dir));
    ear.pressFor(4000, "g");
    ASSERT_TRUE(pulseScript(back.dir, {})) << "the private server did not start again";
    const qint64 testBack = ear.heardWithin(4000, "g");
    const QString resultsCaption = QString::fromUtf8("テスト結果（段別）の表示");
    QString results;
    toEnd.start();
    while (results.isEmpty() && toEnd.elapsed() < 40000) {
        ear.pressFor(500, "g");
        results = j.waitFor("^" + resultsCaption + "$", 300);
    }
    ASSERT_FALSE(results.isEmpty()) << "the test did not end with its results";
    j.keys(results, {"Return"});
    EXPECT_TRUE(j.waitGone(results));
    const qint64 answer = settingsOpenAtJ(j, main);
    EXPECT_GE(answer, 0) << "the window did not answer J within two seconds after the test";
    QStringList boxes = ear.boxes();
    boxes.removeAll(resultsCaption);  // the end of the test, not a box
    EXPECT_TRUE(boxes.isEmpty()) << "boxes came up: " << boxes.join(", ").toStdString();
    ASSERT_TRUE(quits(j, main));

    // Not heard again in that run: a new start of the program is.
    qint64 heardAfterRestart = -1;
    if (testBack < 0) {
        Journey again;
        ASSERT_TRUE(again.install(kSoundsOn));
        const QString window = startedMainWindow(again);
        ASSERT_FALSE(window.isEmpty()) << "the program did not start again: " << again.errors().toStdString();
        again.keys(window, {"space"}, 0);
        heardAfterRestart = Listener(again, window, server).heardWithin(4000);
        EXPECT_GE(heardAfterRestart, 0) << "not heard again even after a new start of the program";
        again.keys(window, {"Escape"});
        quits(again, window);
    }
    const QString test = testBack >= 0 ? QString("heard again after %1 ms").arg(testBack)
                                       : QString("silent for the rest of the run, heard %1 ms into a new start")
                                             .arg(heardAfterRestart);
    std::printf("practice: heard again %lld ms after the server came back; test: %s; J answered in %lld ms; "
                "%.1f s in all\n",
                practiceBack, qPrintable(test), answer, took.elapsed() / 1000.0);
}
