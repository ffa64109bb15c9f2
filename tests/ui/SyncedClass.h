// A class folder on three computers, kept in step by Syncthing instances of
// the test's own (tools/start_syncthing.sh), stopped when the object goes.
#pragma once

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

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
