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

namespace {

int peakOf(const char* samples, qsizetype bytes) {
    int peak = 0;
    for (qsizetype i = 0; i + 1 < bytes; i += 2) {
        const auto s = std::int16_t(std::uint16_t(std::uint8_t(samples[i]) | std::uint8_t(samples[i + 1]) << 8));
        peak = std::max(peak, std::abs(int(s)));
    }
    return peak;
}

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

QString pactl(const QStringList& args) {
    QProcess p;
    p.start("pactl", args);
    p.waitForFinished(5000);
    return QString::fromUtf8(p.readAllStandardOutput());
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
    player.playSound(0);
    pumpEvents(50);
    std::vector<qint64> callNs;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer call;
        call.start();
        player.playSound(0);
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
