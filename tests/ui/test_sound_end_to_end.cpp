// The effect sounds as a listener gets them: played through a real sound
// server (the private one from tools/start_pulse.sh) and recorded from its
// null sink while the caller keeps pumping events, as a drill does.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/SoundPlayer.h"
#include "support/core/WaveImage.h"
#include "tests/ui/NullSink.h"

namespace {

// Runs the event loop the way a drill's waits do: short processEvents turns,
// then a nested loop.
void pumpEvents(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms / 2) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(1);
    }
    QEventLoop loop;
    QTimer::singleShot(ms - ms / 2, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

TEST(SoundEndToEnd, RightAnswerSoundIsHeardAtSixteenPercentOfItsPeak) {
    const QByteArray server = qgetenv("PULSE_SERVER");
    ASSERT_FALSE(server.isEmpty()) << "PULSE_SERVER is not set. Start the private sound server first:\n"
                                      "  eval \"$(tools/start_pulse.sh)\"";
    const QByteArray sourceDir = qgetenv("TATEYOKO_SOURCE_DIR");
    ASSERT_FALSE(sourceDir.isEmpty()) << "TATEYOKO_SOURCE_DIR is not set";
    const std::string dataDir = sourceDir.toStdString() + "/data";

    QFile file(QString::fromStdString(dataDir + "/Seikai.wav"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    const QByteArray original = file.readAll();
    const auto info = parseWave(original);
    ASSERT_TRUE(info);
    ASSERT_EQ(info->bitsPerSample, 16);
    const int filePeak = peakOf(original.constData() + info->dataOffset, info->dataSize);
    ASSERT_GT(filePeak, 3000) << "Seikai.wav is too quiet to measure";

    SoundPlayer player;
    player.loadSounds(50, dataDir, [](const std::string& path, const std::string& reason) {
        ADD_FAILURE() << "cannot read " << path << ": " << reason;
    });

    // Record the monitor in the file's own format, so that what comes back is
    // what was sent.
    QProcess parec;
    parec.start("parec", {"--server=" + QString::fromUtf8(server), "--device=tateyoko_null.monitor", "--raw",
                          "--format=s16le", "--rate=" + QString::number(info->sampleRate),
                          "--channels=" + QString::number(info->channels), "--latency-msec=20"});
    ASSERT_TRUE(parec.waitForStarted(5000)) << "parec: " << parec.errorString().toStdString();
    QElapsedTimer waited;
    waited.start();
    while (pactl({"--server=" + QString::fromUtf8(server), "list", "short", "source-outputs"}).trimmed().isEmpty()) {
        ASSERT_LT(waited.elapsed(), 5000) << "parec did not start recording";
        pumpEvents(20);
    }

    const qint64 soundMs = info->dataSize * 1000 / (qint64(info->sampleRate) * info->channels * 2);
    // The first request may set up the output; later ones, each cutting off
    // the sound before, must return at once. The last one plays to the end.
    player.playSound(SoundKind::Right);
    pumpEvents(50);
    std::vector<qint64> callNs;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer call;
        call.start();
        player.playSound(SoundKind::Right);
        callNs.push_back(call.nsecsElapsed());
        pumpEvents(i < 4 ? 30 : int(soundMs) + 800);
    }
    std::sort(callNs.begin(), callNs.end());
    EXPECT_LT(callNs[2], 1'000'000) << "playSound must return at once; median " << callNs[2] / 1000 << " us";

    parec.terminate();
    ASSERT_TRUE(parec.waitForFinished(5000));
    const QByteArray recorded = parec.readAllStandardOutput();

    ASSERT_GT(recorded.size(), 0) << "nothing was recorded";
    const int heardPeak = peakOf(recorded.constData(), recorded.size());
    const double percent = 100.0 * heardPeak / filePeak;
    std::printf("file peak %d, heard peak %d (%.2f %%); playSound took %lld us (median), %lld us (slowest)\n",
                filePeak, heardPeak, percent, callNs[2] / 1000, callNs[4] / 1000);
    EXPECT_NEAR(percent, 16.0, 1.0) << "heard peak " << heardPeak << " of " << filePeak;
}

namespace {

// Plays kind 0 once and returns the loudest sample heard on the null sink.
int heardPeak(SoundPlayer& player, const QByteArray& server, const WaveInfo& info) {
    QProcess parec;
    if (!startRecording(parec, server, info.sampleRate, info.channels, pumpEvents)) return -1;
    player.playSound(SoundKind::Right);
    pumpEvents(int(info.dataSize * 1000 / (qint64(info.sampleRate) * info.channels * 2)) + 500);
    return stopRecording(parec);
}

}  // namespace

// The sound server dies in the middle of a drill and comes back: while it is
// gone every request returns at once and plays nothing; once it is back the
// sounds are heard again, without a new start of the program.
TEST(SoundEndToEnd, ASoundServerThatDiesAndComesBackIsHeardAgain) {
    const QByteArray server = qgetenv("PULSE_SERVER");
    ASSERT_FALSE(server.isEmpty()) << "PULSE_SERVER is not set. Start the private sound server first:\n"
                                      "  eval \"$(tools/start_pulse.sh)\"";
    const std::string dataDir = qEnvironmentVariable("TATEYOKO_SOURCE_DIR").toStdString() + "/data";
    QFile file(QString::fromStdString(dataDir + "/Seikai.wav"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto info = parseWave(file.readAll());
    ASSERT_TRUE(info);
    const QString dir = pulseDirOf(server);

    SoundPlayer player;
    player.loadSounds(50, dataDir, [](const std::string& path, const std::string&) { ADD_FAILURE() << path; });
    ASSERT_GT(heardPeak(player, server, *info), 1000) << "not heard before the server went away";

    ASSERT_TRUE(pulseScript(dir, {"stop"}));
    // The server died: the drill goes on, and asks for sounds as it did.
    qint64 slowestNs = 0;
    for (int i = 0; i < 30; ++i) {
        QElapsedTimer call;
        call.start();
        player.playSound(SoundKind(i % 3));
        slowestNs = std::max(slowestNs, call.nsecsElapsed());
        pumpEvents(40);
    }
    EXPECT_LT(slowestNs, 20'000'000) << "a request waited for the dead server";
    ASSERT_TRUE(pulseScript(dir, {})) << "the private server did not start again";

    // Heard again within a few tries.
    int peak = 0;
    QElapsedTimer back;
    back.start();
    while (peak < 1000 && back.elapsed() < 15000) peak = heardPeak(player, server, *info);
    std::printf("heard again %lld ms after the server came back (peak %d); slowest request while it was gone %lld us\n",
                back.elapsed(), peak, slowestNs / 1000);
    EXPECT_GT(peak, 1000) << "no sound since the server came back";
}
