// Running X tools (xdotool, xwininfo) on the private display of the test
// command, for the suites that drive the real program; and an X server of a
// test's own, for a test that kills it or needs it alone.
#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

inline QString run(const QString& program, const QStringList& args, const QString& display, int waitMs = 10000) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.waitForFinished(waitMs);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// A number from xwininfo's output, e.g. "Width".
inline int field(const QString& text, const char* name) {
    const QRegularExpression re(QString::fromUtf8(name) + ":\\s+(-?\\d+)");
    return re.match(text).captured(1).toInt();
}

// An Xvfb of the test's own, on a display number it picks itself; with a
// window manager (openbox) when one is asked for. Both go with the object.
class OwnDisplay {
public:
    OwnDisplay() {
        xvfb_.setStandardOutputFile(QProcess::nullDevice());
        xvfb_.setStandardErrorFile(QProcess::nullDevice());
        xvfb_.start("sh", {"-c", "exec Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>\"$0\"",
                           dir_.path() + "/display"});
        QElapsedTimer t;
        t.start();
        QFile file(dir_.path() + "/display");
        while (t.elapsed() < 5000 && xvfb_.state() != QProcess::NotRunning) {
            // The number is written, with a line end, once the server is ready.
            const QByteArray number = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
            file.close();
            if (number.endsWith('\n')) {
                name_ = ':' + QString::fromLatin1(number.trimmed());
                break;
            }
            QThread::msleep(50);
        }
    }
    ~OwnDisplay() {
        wm_.kill();
        wm_.waitForFinished(5000);
        kill();
    }
    // ":N", or empty when no server came within five seconds.
    const QString& name() const { return name_; }
    // SIGKILL: the display dies under whatever uses it.
    void kill() {
        xvfb_.kill();
        xvfb_.waitForFinished(5000);
    }
    // openbox started on the display; true once it manages windows.
    bool manageWindows() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", name_);
        wm_.setProcessEnvironment(env);
        wm_.setStandardOutputFile(QProcess::nullDevice());
        wm_.setStandardErrorFile(QProcess::nullDevice());
        wm_.start("openbox", {"--sm-disable"});
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 10000 && wm_.state() != QProcess::NotRunning) {
            if (run("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}, name_).contains("window id")) return true;
            QThread::msleep(100);
        }
        return false;
    }

private:
    QTemporaryDir dir_;
    QProcess xvfb_, wm_;
    QString name_;
};
