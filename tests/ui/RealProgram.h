// The real program copied into a folder of the test's own and driven on an
// X display with xdotool, as a child drives it: keys, clicks, and the
// windows it shows.
#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "tests/ui/OnDisplay.h"

class Journey {
public:
    // On the test command's display unless another is named.
    explicit Journey(const QString& display = qEnvironmentVariable("TATEYOKO_X_DISPLAY"))
        : display_(display), appDir_(qEnvironmentVariable("TATEYOKO_APP_DIR")) {}
    bool ready() const { return !display_.isEmpty() && !appDir_.isEmpty() && dir_.isValid(); }
    QString iniPath() const { return dir_.path() + "/tateyokoM15.ini"; }

    bool install(const QByteArray& iniBytes) {
        for (const QString& name : QDir(appDir_).entryList(QDir::Files)) {
            if (name.endsWith(".ini") || name.endsWith(".txt")) continue;
            if (!QFile::copy(appDir_ + "/" + name, dir_.path() + "/" + name)) return false;
        }
        QFile::setPermissions(dir_.path() + "/tateyokom", QFile::permissions(appDir_ + "/tateyokom"));
        QFile ini(iniPath());
        return ini.open(QIODevice::WriteOnly) && ini.write(iniBytes) > 0;
    }

    void start() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display_);
        env.remove("QT_QPA_PLATFORM");
        // As tools/run_sanitized_suite.sh sets them, when run by hand; a
        // sanitized program stops at its first report.
        if (!env.contains("ASAN_OPTIONS")) env.insert("ASAN_OPTIONS", "detect_leaks=1:abort_on_error=1");
        if (!env.contains("LSAN_OPTIONS") && env.contains("TATEYOKO_SOURCE_DIR"))
            env.insert("LSAN_OPTIONS", "suppressions=" + env.value("TATEYOKO_SOURCE_DIR") +
                                           "/tools/sanitizer.supp:print_suppressions=0");
        if (!env.contains("UBSAN_OPTIONS")) env.insert("UBSAN_OPTIONS", "print_stacktrace=1:halt_on_error=1");
        // No session bus: an address that leads nowhere fails at once.
        if (!env.contains("DBUS_SESSION_BUS_ADDRESS"))
            env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + dir_.path() + "/no-bus");
        app_.setProcessEnvironment(env);
        app_.setWorkingDirectory(dir_.path());
        app_.start(dir_.path() + "/tateyokom", {});
        app_.waitForStarted(5000);
    }

    // A shown window of the program whose caption matches, waited for.
    QString waitFor(const QString& caption, int ms = 15000) {
        QElapsedTimer t;
        t.start();
        QString id;
        while ((id = windowNamed(caption)).isEmpty() && t.elapsed() < ms && app_.state() == QProcess::Running)
            QThread::msleep(100);
        return id;
    }
    bool waitGone(const QString& id, int ms = 10000) {
        QElapsedTimer t;
        t.start();
        while (shown(id) && t.elapsed() < ms) QThread::msleep(100);
        return !shown(id);
    }
    // Every shown window of the program.
    QStringList windows() { return windowsNamed(""); }
    // Keys typed into that window, one after another, as a child types them.
    void keys(const QString& id, const QStringList& names, int gapMs = 400) {
        run("xdotool", {"windowfocus", "--sync", id}, display_);
        QThread::msleep(150);
        for (const QString& name : names) {
            run("xdotool", {"key", name}, display_);
            QThread::msleep(gapMs);
        }
    }
    void click(const QString& id, int x, int yBelowMenu) {
        const QString info = run("xwininfo", {"-id", id}, display_);
        const int left = field(info, "Absolute upper-left X");
        const int top = field(info, "Absolute upper-left Y");
        const int menu = field(info, "Height") - 542;
        run("xdotool", {"mousemove", QString::number(left + x), QString::number(top + menu + yBelowMenu), "click", "1"},
            display_);
        QThread::msleep(500);
    }

    // The formula field of the board, as the display shows it.
    QImage formulaField(const QString& window) {
        QProcess import;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display_);
        import.setProcessEnvironment(env);
        import.start("import", {"-window", window, "png:-"});
        import.waitForFinished(5000);
        const QImage shot = QImage::fromData(import.readAllStandardOutput(), "PNG");
        if (shot.isNull()) return {};
        const int menu = shot.height() - 542;
        return shot.copy(136, menu + 212, 160, 49);
    }
    // Waits for the next question: a formula shown, not the one before, the
    // same on two looks in a row (not caught half drawn).
    bool nextFormula(const QString& window, QImage& shown) {
        QElapsedTimer t;
        t.start();
        QImage last;
        while (t.elapsed() < 10000) {
            const QImage now = formulaField(window);
            if (!now.isNull() && now == last && hasText(now) && now != shown) {
                shown = now;
                return true;
            }
            last = now;
            QThread::msleep(50);
        }
        return false;
    }

    bool finished(int ms) { return app_.waitForFinished(ms); }
    bool running() const { return app_.state() == QProcess::Running; }
    // -1 when it did not end by itself (a signal, a crash).
    int exitCode() const { return app_.exitStatus() == QProcess::NormalExit ? app_.exitCode() : -1; }
    QString errors() { return QString::fromLocal8Bit(app_.readAllStandardError()); }
    void kill() {
        app_.kill();
        app_.waitForFinished(5000);
    }

private:
    QStringList windowsNamed(const QString& caption) {
        return run("xdotool",
                   {"search", "--all", "--onlyvisible", "--pid", QString::number(app_.processId()), "--name", caption},
                   display_)
            .split('\n', Qt::SkipEmptyParts);
    }
    static bool hasText(const QImage& field) {
        for (int y = 0; y < field.height(); ++y)
            for (int x = 0; x < field.width(); ++x)
                if (qGray(field.pixel(x, y)) < 80) return true;
        return false;
    }
    QString windowNamed(const QString& caption) { return windowsNamed(caption).value(0); }
    bool shown(const QString& id) {
        return run("xwininfo", {"-id", id}, display_).contains("Map State: IsViewable");
    }

    QString display_, appDir_;
    QTemporaryDir dir_;
    QProcess app_;
};
