// The private sound server of tools/start_pulse.sh as a listener meets it:
// what reaches its null sink, recorded from the sink's monitor, and the
// server stopped, killed and started again in its own folder.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QThread>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>

#include <signal.h>

inline int peakOf(const char* samples, qsizetype bytes) {
    int peak = 0;
    for (qsizetype i = 0; i + 1 < bytes; i += 2) {
        const auto s = std::int16_t(std::uint16_t(std::uint8_t(samples[i]) | std::uint8_t(samples[i + 1]) << 8));
        peak = std::max(peak, std::abs(int(s)));
    }
    return peak;
}

inline QString pactl(const QStringList& args) {
    QProcess p;
    p.start("pactl", args);
    p.waitForFinished(5000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The private server's folder, from its socket's address, and the script
// that stops and starts it there.
inline QString pulseDirOf(const QByteArray& server) {
    QString socket = QString::fromUtf8(server);
    socket.remove(0, socket.indexOf(':') + 1);
    return socket.left(socket.lastIndexOf('/'));
}

inline bool pulseScript(const QString& dir, const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TATEYOKO_PULSE_DIR", dir);
    p.setProcessEnvironment(env);
    p.start("bash", QStringList{qEnvironmentVariable("TATEYOKO_SOURCE_DIR") + "/tools/start_pulse.sh"} + args);
    return p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// The server dies as in a crash, without a word to its clients. It counts
// as gone once it is a zombie: init may take a while to reap it.
inline bool killPulse(const QString& dir) {
    QFile pidFile(dir + "/run/pulse/pid");
    const int pid = pidFile.open(QIODevice::ReadOnly) ? pidFile.readAll().trimmed().toInt() : 0;
    if (pid <= 0 || ::kill(pid, SIGKILL) != 0) return false;
    const auto gone = [pid] {
        QFile stat(QString("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly)) return true;
        const QByteArray line = stat.readAll();
        return line.mid(line.lastIndexOf(')') + 2, 1) == "Z";
    };
    QElapsedTimer t;
    t.start();
    while (!gone() && t.elapsed() < 5000) QThread::msleep(10);
    return gone();
}

// Records the null sink's monitor in the sounds' own format; wait(ms) lets
// time pass while the recording sets itself up.
inline bool startRecording(QProcess& parec, const QByteArray& server, int rate, int channels,
                           const std::function<void(int)>& wait) {
    parec.start("parec", {"--server=" + QString::fromUtf8(server), "--device=tateyoko_null.monitor", "--raw",
                          "--format=s16le", "--rate=" + QString::number(rate),
                          "--channels=" + QString::number(channels), "--latency-msec=20"});
    if (!parec.waitForStarted(5000)) return false;
    QElapsedTimer waited;
    waited.start();
    while (pactl({"--server=" + QString::fromUtf8(server), "list", "short", "source-outputs"}).trimmed().isEmpty()) {
        if (waited.elapsed() > 5000) return false;
        wait(20);
    }
    return true;
}

inline int stopRecording(QProcess& parec) {
    parec.terminate();
    parec.waitForFinished(5000);
    const QByteArray recorded = parec.readAllStandardOutput();
    return peakOf(recorded.constData(), recorded.size());
}
