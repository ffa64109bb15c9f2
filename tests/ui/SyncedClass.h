// A class folder on three computers, kept in step by Syncthing instances of
// the test's own (tools/start_syncthing.sh), and a second X display for a
// second classroom computer. Both are stopped when the objects go.
#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

class SyncedClass {
public:
    SyncedClass() : script_(qEnvironmentVariable("TATEYOKO_SOURCE_DIR") + "/tools/start_syncthing.sh") {}
    ~SyncedClass() {
        if (!started_) return;
        QProcess stop;
        stop.start("bash", {script_, "stop", dir_.path() + "/sync"});
        stop.waitForFinished(20000);
    }

    // Empty when all three are connected and idle, else what went wrong.
    QString start() {
        // One local folder for all three, as a share looks to its computers.
        if (qEnvironmentVariableIsSet("TATEYOKO_CLASS_LOCAL")) {
            const QString local = dir_.path() + "/local";
            folders_ = QStringList{local, local, local};
            return QDir().mkpath(local) ? QString() : "cannot make " + local;
        }
        QProcess p;
        // Gone in ten minutes even if the test is killed before it stops them.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TATEYOKO_SYNC_LIFETIME", "600");
        p.setProcessEnvironment(env);
        p.start("bash", {script_, dir_.path() + "/sync", "3"});
        started_ = true;
        if (!p.waitForFinished(90000) || p.exitCode() != 0)
            return "start_syncthing.sh failed: " + QString::fromLocal8Bit(p.readAllStandardError());
        const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
        const QRegularExpression named("TATEYOKO_SYNC_FOLDERS='([^']*)'");
        folders_ = named.match(out).captured(1).split(' ', Qt::SkipEmptyParts);
        return folders_.size() == 3 ? QString() : "start_syncthing.sh named no three folders: " + out;
    }
    // The class folder of computer 0, 1 or 2, ending in '/'.
    QString folder(int computer) const { return folders_.value(computer) + '/'; }

private:
    QString script_;
    QTemporaryDir dir_;
    bool started_ = false;
    QStringList folders_;
};

// An X server of the test's own, on a display number it picks itself.
class SecondDisplay {
public:
    ~SecondDisplay() {
        xvfb_.kill();
        xvfb_.waitForFinished(5000);
    }
    // ":N", or empty when no server came within five seconds.
    QString start() {
        const QString numberFile = dir_.path() + "/display";
        xvfb_.start("sh", {"-c", "exec Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>\"$0\" 2>/dev/null",
                           numberFile});
        QElapsedTimer t;
        t.start();
        QFile file(numberFile);
        while (t.elapsed() < 5000) {
            // The number is written, with a line end, once the server is ready.
            const QByteArray number = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
            file.close();
            if (number.endsWith('\n')) return ':' + QString::fromLatin1(number.trimmed());
            QThread::msleep(50);
        }
        return {};
    }

private:
    QTemporaryDir dir_;
    QProcess xvfb_;
};
