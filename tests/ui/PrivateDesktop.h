// A desktop configuration of the test's own: XDG folders in a temporary
// directory, with (or without) a viewer for compiled help files. The viewer
// is a small script that writes the one argument it was given to a file,
// so a test can see exactly what path reached it. The environment is put
// back when the object goes.
#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <utility>
#include <vector>

class PrivateDesktop {
public:
    // Crashes: the viewer records its start and dies at once of a
    // segmentation fault (exit status 139 to a shell).
    enum class Viewer { Registered, NotRegistered, ProgramMissing, Crashes };

    // The viewer stays open for lingerSeconds after it has recorded its path,
    // or until closeViewers(), as a real one stays until the child closes it.
    explicit PrivateDesktop(Viewer viewer = Viewer::Registered, int lingerSeconds = 0) {
        const QString root = dir_.path();
        QDir(root).mkpath(QStringLiteral("config"));
        QDir(root).mkpath(QStringLiteral("config-dirs"));
        QDir(root).mkpath(QStringLiteral("data/applications"));
        QDir(root).mkpath(QStringLiteral("data-dirs/applications"));
        QDir(root).mkpath(QStringLiteral("bin"));
        // The type database is the system's; the applications are ours only.
        QFile::link(QStringLiteral("/usr/share/mime"), root + QStringLiteral("/data-dirs/mime"));

        // A viewer that lingers ends early when the child closes it (a file
        // "close") or the desktop goes, and notes that it has ended.
        const QByteArray at = root.toUtf8();
        write(QStringLiteral("bin/record"),
              "#!/bin/sh\necho started >> \"" + at + "/launches\"\nprintf '%s' \"$1\" > \"" + at +
                  "/received.part\" && mv \"" + at + "/received.part\" \"" + at + "/received\"\n" +
                  (viewer == Viewer::Crashes
                       ? QByteArray("kill -SEGV $$\n")
                       : "i=0\nwhile [ -d \"" + at + "\" ] && [ ! -e \"" + at + "/close\" ] && [ $i -lt " +
                             QByteArray::number(lingerSeconds * 10) + " ]; do sleep 0.1; i=$((i + 1)); done\n" +
                             "echo closed >> \"" + at + "/closed\"\n"));
        QFile::setPermissions(root + QStringLiteral("/bin/record"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray program = root.toUtf8() + (viewer == Viewer::ProgramMissing ? "/bin/absent" : "/bin/record");
        // An entry that names the type is itself an association: without
        // one, nothing on this desktop opens help files.
        if (viewer != Viewer::NotRegistered) {
            write(QStringLiteral("data/applications/test-recorder.desktop"),
                  "[Desktop Entry]\nType=Application\nName=Recorder\nExec=" + program +
                      " %f\nMimeType=application/vnd.ms-htmlhelp;\n");
            write(QStringLiteral("config/mimeapps.list"),
                  "[Default Applications]\napplication/vnd.ms-htmlhelp=test-recorder.desktop\n");
        }

        set("XDG_CONFIG_HOME", root.toUtf8() + "/config");
        set("XDG_CONFIG_DIRS", root.toUtf8() + "/config-dirs");
        set("XDG_DATA_HOME", root.toUtf8() + "/data");
        set("XDG_DATA_DIRS", root.toUtf8() + "/data-dirs");
        // No desktop of any kind, so xdg-open takes its generic way; it
        // still wants a display to think a viewer could be shown.
        set("XDG_CURRENT_DESKTOP", "X-Generic");
        set("DISPLAY", qEnvironmentVariableIsSet("DISPLAY") ? qgetenv("DISPLAY") : QByteArray(":99"));
        set("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + root.toUtf8() + "/no-bus");
        for (const char* name : {"KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID", "MATE_DESKTOP_SESSION_ID",
                                 "DESKTOP_SESSION", "XDG_SESSION_DESKTOP", "WAYLAND_DISPLAY", "BROWSER"})
            set(name, std::nullopt);
    }

    ~PrivateDesktop() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second) qputenv(it->first.constData(), *it->second);
            else qunsetenv(it->first.constData());
        }
    }

    bool valid() const { return dir_.isValid(); }

    // What the viewer was given, once it has run; nothing after the wait.
    std::optional<QString> received(int waitMs = 5000) const {
        QFile file(dir_.path() + QStringLiteral("/received"));
        QDeadlineTimer deadline(waitMs);
        while (!file.exists() && !deadline.hasExpired()) QTest::qWait(20);
        if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
        return QString::fromUtf8(file.readAll());
    }

    // The child closes every viewer that is open; true once all have ended.
    bool closeViewers(int waitMs = 5000) {
        write(QStringLiteral("close"), {});
        return QTest::qWaitFor([this] { return lines("closed") >= lines("launches"); }, waitMs);
    }

    // How many times the viewer was started.
    int launches() const { return lines("launches"); }

private:
    int lines(const char* name) const {
        QFile file(dir_.path() + '/' + QLatin1String(name));
        return file.open(QIODevice::ReadOnly) ? int(file.readAll().count('\n')) : 0;
    }
    void write(const QString& name, const QByteArray& bytes) {
        QFile file(dir_.path() + '/' + name);
        if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    }

    void set(const char* name, std::optional<QByteArray> value) {
        saved_.emplace_back(name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
        if (value) qputenv(name, *value);
        else qunsetenv(name);
    }

    QTemporaryDir dir_;
    std::vector<std::pair<QByteArray, std::optional<QByteArray>>> saved_;
};

// A help file with the start of a compiled help file's header.
inline bool writeHelpFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    return file.write(QByteArray("ITSF\x03\x00\x00\x00", 8)) == 8;
}
