// The real program copied into a folder of the test's own and driven on an
// X display with xdotool, as a child drives it: keys, clicks, and the
// windows it shows. Every test that starts the program drives it with this.
#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QTemporaryDir>
#include <QThread>

#include "main/core/Settings.h"
#include "support/core/IniFile.h"
#include "tests/ui/OnDisplay.h"

// Settings of a child with a name (the results window asks for one first)
// set for a test of 一の段 in order at ステップ, five seconds an answer.
inline StudyState onesTestInOrder() {
    StudyState st;
    readSettings(st, IniFile());
    st.contentIndex = 3;
    st.rangeIndex = 0;
    st.speedIndex = 0;
    st.studentName = "はなこ";
    return st;
}
inline QByteArray iniBytes(const StudyState& st) {
    IniFile ini;
    writeSettings(st, ini);
    return QByteArray::fromStdString(ini.bytes());
}

class Journey {
public:
    // On the test command's display unless another is named; in a folder of
    // its own unless another (which must exist) is named.
    explicit Journey(const QString& display = qEnvironmentVariable("TATEYOKO_X_DISPLAY"),
                     const QString& folder = QString())
        : display_(display), appDir_(qEnvironmentVariable("TATEYOKO_APP_DIR")), folder_(folder) {}
    ~Journey() {
        if (running()) kill();
    }
    bool ready() const { return !display_.isEmpty() && !appDir_.isEmpty() && dir_.isValid(); }
    QString folder() const { return folder_.isEmpty() ? dir_.path() : folder_; }
    QString iniPath() const { return folder() + "/tateyokoM15.ini"; }
    const QString& display() const { return display_; }

    // The program and the files beside it, and a settings file of these
    // bytes (none when there are none).
    bool install(const QByteArray& iniBytes = QByteArray()) {
        if (!ready()) return false;
        for (const QString& name : QDir(appDir_).entryList(QDir::Files)) {
            if (name.endsWith(".ini") || name.endsWith(".txt")) continue;
            QFile::remove(folder() + "/" + name);
            if (!QFile::copy(appDir_ + "/" + name, folder() + "/" + name)) return false;
        }
        QFile::setPermissions(folder() + "/tateyokom", QFile::permissions(appDir_ + "/tateyokom"));
        if (iniBytes.isEmpty()) return true;
        QFile ini(iniPath());
        return ini.open(QIODevice::WriteOnly | QIODevice::Truncate) && ini.write(iniBytes) == iniBytes.size();
    }

    // The installed command beside the program, as the package lays them
    // out: bin/tateyokom, which starts lib/tateyokom/tateyokom (here the
    // program's own folder).
    bool installCommand() {
        const QString script = qEnvironmentVariable("TATEYOKO_SOURCE_DIR") + "/desktop/tateyokom.sh";
        const QString command = folder() + "/bin/tateyokom";
        return QDir(folder()).mkpath("bin") && QDir(folder()).mkpath("lib") &&
               (QFile::exists(folder() + "/lib/tateyokom") || QFile::link(folder(), folder() + "/lib/tateyokom")) &&
               (QFile::exists(command) || QFile::copy(script, command)) &&
               QFile::setPermissions(command, QFile::permissions(command) | QFile::ExeOwner);
    }
    // Started through that command from the folder `from`, as a desktop
    // entry or a terminal starts it.
    void startFrom(const QString& from) { from_ = from; }

    void setEnv(const QString& name, const QString& value) { extraEnv_.insert(name, value); }
    void unsetEnv(const QString& name) { unset_ << name; }
    // What the program is started with, e.g. {"--class-folder", path}.
    void setArguments(const QStringList& args) { args_ = args; }

    // Started through `sh -c` with the shell prefix when one is given.
    bool start(const QString& shellPrefix = QString()) {
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
        env.insert(extraEnv_);
        for (const QString& name : unset_) env.remove(name);
        app_.setProcessEnvironment(env);
        app_.setWorkingDirectory(from_.isEmpty() ? folder() : from_);
        const QString program = folder() + (from_.isEmpty() ? "/tateyokom" : "/bin/tateyokom");
        if (shellPrefix.isEmpty()) app_.start(program, args_);
        else app_.start("sh", QStringList{"-c", shellPrefix + " exec \"$0\" \"$@\"", program} + args_);
        return app_.waitForStarted(5000);
    }

    // The main window, once it has shown and its first timer tick is past;
    // empty when it did not come.
    QString mainWindow(int ms = 30000) {
        main_ = waitFor(QString::fromUtf8("タテヨコ塾"), ms);
        if (!main_.isEmpty()) QThread::msleep(1200);
        return main_;
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
    // What xwininfo says of a window.
    QString info(const QString& id) { return run("xwininfo", {"-id", id}, display_); }

    // Keys typed into that window, one after another, as a child types them.
    void keys(const QString& id, const QStringList& names, int gapMs = 400) {
        run("xdotool", {"windowfocus", "--sync", id}, display_);
        QThread::msleep(150);
        for (const QString& name : names) {
            press(name);
            QThread::msleep(gapMs);
        }
    }
    // Text typed into the window that has the focus.
    void type(const QString& text) {
        run("xdotool", {"type", "--delay", "120", text}, display_);
        lastKey_.start();
    }
    // One answer to the question on the board: once its answer field is
    // empty the question waits for keys; a digit, and once the program has
    // shown it, the second digit or Enter. A key sent earlier could be
    // taken by the question before. Empty when it went in, else why not.
    QString answer(const QString& window, int product) {
        if (!waitAnswerField(window, true, 10000)) return "the question did not come";
        const QString digits = QString::number(product);
        press(digits.left(1));
        if (!waitAnswerField(window, false, 5000)) return "the first digit was not shown";
        press(digits.size() == 2 ? digits.mid(1) : QString("Return"));
        QThread::msleep(150);
        return {};
    }
    // A key held down for a while, into the window that has the focus.
    void hold(const QString& name, int ms) {
        run("xdotool", {"keydown", name}, display_);
        QThread::msleep(ms);
        run("xdotool", {"keyup", name}, display_);
    }
    // A click at a point of the window's client area, below its menu bar
    // (the client area of every window of the program is 542 high).
    void click(const QString& id, int x, int yBelowMenu, int afterMs = 500) {
        const QString at = info(id);
        const int menu = field(at, "Height") - 542;
        clickAt(at, x, menu + yBelowMenu, afterMs);
    }
    // A click on the menu bar.
    void clickMenuBar(const QString& id, int x, int afterMs = 500) {
        const QString at = info(id);
        clickAt(at, x, (field(at, "Height") - 542) / 2, afterMs);
    }
    // ファイル → 終わり in the main window, as the child would.
    void quitFromMenu() {
        clickMenuBar(main_, 40);
        click(main_, 50, 72, 0);
    }

    // 始める, then the first n questions of a test of 一の段 in order
    // (onesTestInOrder) answered right, each once it has come; how many came.
    int answerOnes(const QString& window, int n) {
        formula_ = formulaField(window);
        keys(window, {"alt+e"}, 0);
        for (int q = 0; q < n; ++q) {
            if (!nextFormula(window)) return q;
            keys(window, {QString::number(q % 9 + 1), "Return"}, 100);
        }
        return n;
    }
    // Waits for the next question: a formula shown, not the one before, the
    // same on two looks in a row (not caught half drawn).
    bool nextFormula(const QString& window) {
        QElapsedTimer t;
        t.start();
        QImage last;
        while (t.elapsed() < 10000) {
            const QImage now = formulaField(window);
            if (!now.isNull() && now == last && hasText(now) && now != formula_) {
                formula_ = now;
                return true;
            }
            last = now;
            QThread::msleep(50);
        }
        return false;
    }

    // Whether an error box (captioned with the program's name) came up; it
    // is then closed with Enter.
    bool errorBoxShown() { return boxShown("^tateyokom$"); }
    // Whether a box of that caption came up within the time (0: is up now);
    // it is then closed with Enter, and gone before the next one is looked for.
    bool boxShown(const QString& caption, int ms = 5000) {
        const QString box = waitFor(caption, ms);
        if (box.isEmpty()) return false;
        // A box that came at a key press takes only a press made after the
        // key's repeat could still be going on, as a child's second Enter.
        if (lastKey_.isValid() && lastKey_.elapsed() < 1200) QThread::msleep(1200 - lastKey_.elapsed());
        keys(box, {"Return"}, 0);
        for (int i = 0; i < 50 && windowNamed(caption) == box; ++i) QThread::msleep(100);
        return true;
    }

    bool finished(int ms = 10000) { return app_.waitForFinished(ms); }
    bool running() const { return app_.state() == QProcess::Running; }
    // -1 when it did not end by itself (a signal, a crash).
    int exitCode() const { return app_.exitStatus() == QProcess::NormalExit ? app_.exitCode() : -1; }
    QString errors() { return QString::fromLocal8Bit(app_.readAllStandardError()); }
    void kill() {
        app_.kill();  // SIGKILL
        app_.waitForFinished(5000);
    }
    // What the program shows and what it waits in, for a failure's message.
    QString describe() {
        const QString proc = "/proc/" + QString::number(app_.processId());
        QFile status(proc + "/status"), wchan(proc + "/wchan");
        const QString state = !status.open(QIODevice::ReadOnly)
                                  ? "ended"
                                  : QString::fromLatin1(status.readAll()).section("State:", 1).section('\n', 0, 0) +
                                        (wchan.open(QIODevice::ReadOnly) ? ", waiting in " + wchan.readAll() : "");
        const QString captions = run("xdotool",
                                     {"search", "--all", "--onlyvisible", "--pid", QString::number(app_.processId()),
                                      "--name", ".", "getwindowname", "%@"},
                                     display_);
        return "shown: " + captions.split('\n', Qt::SkipEmptyParts).join(" | ") + "; state " + state.trimmed() + "; " +
               errors();
    }

private:
    void press(const QString& key) {
        run("xdotool", {"key", key}, display_);
        lastKey_.start();
    }
    void clickAt(const QString& info, int x, int y, int afterMs) {
        const int left = field(info, "Absolute upper-left X");
        const int top = field(info, "Absolute upper-left Y");
        run("xdotool", {"mousemove", QString::number(left + x), QString::number(top + y), "click", "1"}, display_);
        QThread::msleep(afterMs);
    }
    QStringList windowsNamed(const QString& caption) {
        return run("xdotool",
                   {"search", "--all", "--onlyvisible", "--pid", QString::number(app_.processId()), "--name", caption},
                   display_)
            .split('\n', Qt::SkipEmptyParts);
    }
    // A part of the window's client area (y below the menu bar) as the
    // display shows it.
    QImage look(const QString& window, const QRect& part) {
        QProcess import;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display_);
        import.setProcessEnvironment(env);
        import.start("import", {"-window", window, "png:-"});
        import.waitForFinished(5000);
        const QImage shot = QImage::fromData(import.readAllStandardOutput(), "PNG");
        return shot.isNull() ? QImage() : shot.copy(part.translated(0, shot.height() - 542));
    }
    // The board's answer field, inside its margins: one colour when empty.
    bool waitAnswerField(const QString& window, bool empty, int ms) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms && running()) {
            const QImage field = look(window, QRect(298, 210, 80, 56));
            bool oneColour = true;
            for (int y = 0; y < field.height() && oneColour; ++y)
                for (int x = 0; x < field.width() && oneColour; ++x) oneColour = field.pixel(x, y) == field.pixel(0, 0);
            if (!field.isNull() && oneColour == empty) return true;
            QThread::msleep(40);
        }
        return false;
    }
    // The formula field of the board, as the display shows it.
    QImage formulaField(const QString& window) { return look(window, QRect(136, 212, 160, 49)); }
    static bool hasText(const QImage& field) {
        for (int y = 0; y < field.height(); ++y)
            for (int x = 0; x < field.width(); ++x)
                if (qGray(field.pixel(x, y)) < 80) return true;
        return false;
    }
    QString windowNamed(const QString& caption) { return windowsNamed(caption).value(0); }
    bool shown(const QString& id) { return info(id).contains("Map State: IsViewable"); }

    QString display_, appDir_, folder_, from_, main_;
    QElapsedTimer lastKey_;
    QImage formula_;
    QTemporaryDir dir_;
    QProcess app_;
    QProcessEnvironment extraEnv_;
    QStringList unset_, args_;
};
