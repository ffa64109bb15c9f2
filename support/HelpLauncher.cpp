#include "support/HelpLauncher.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QUrl>

#include <map>

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
#include <csignal>
#endif

#include "support/core/DesktopEntry.h"

namespace {

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
// First line of what the program prints, or empty when it fails.
QString askQuietly(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(5000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        process.kill();
        return {};
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput()).section('\n', 0, 0).trimmed();
}

// A desktop entry named like "vendor-app.desktop" may also live as
// "vendor/app.desktop".
QString locateDesktopEntry(const QString& name) {
    QString path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, name);
    if (path.isEmpty() && name.contains('-'))
        path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, QString(name).replace(name.indexOf('-'), 1, '/'));
    return path;
}

QString programPath(const QString& program) {
    if (program.isEmpty()) return {};
    if (program.contains('/')) return QFileInfo(program).isExecutable() ? program : QString();
    return QStandardPaths::findExecutable(program);
}

// The desktop hands files to their viewer through xdg-open, which reports
// nothing when it finds none, and the handing over itself always succeeds.
// Asking the same association xdg-open asks (xdg-mime: the file's type,
// then its default entry) and starting the entry's command ourselves tells
// the child at once when help cannot be shown, and tells us while that
// viewer is still running.
QStringList viewerCommand(const QString& file) {
    const QString type = askQuietly(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("filetype"), file})
                             .section(';', 0, 0).trimmed();
    if (type.isEmpty()) return {};
    const QString entryName = askQuietly(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), type});
    if (entryName.isEmpty()) return {};
    QFile entry(locateDesktopEntry(entryName));
    if (!entry.open(QIODevice::ReadOnly)) return {};
    QStringList command;
    for (const std::string& word : desktopEntryCommand(entry.readAll().toStdString(), file.toStdString()))
        command << QString::fromStdString(word);
    if (command.isEmpty() || (command[0] = programPath(command[0])).isEmpty()) return {};
    return command;
}

// A viewer that has ended may stay a zombie for a while where nothing
// reaps orphans at once; it no longer runs all the same.
bool stillRunning(qint64 pid) {
    if (::kill(pid_t(pid), 0) != 0) return false;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return true;
    const QByteArray line = stat.readAll();
    const qsizetype end = line.lastIndexOf(')');
    return end < 0 || line.mid(end + 2, 1) != "Z";
}

// The viewer started for each file: a request while it still runs (a burst
// of F1, a second click) starts no other.
bool startViewer(const QString& file, const QStringList& command) {
    static std::map<QString, qint64> running;
    const auto found = running.find(file);
    if (found != running.end() && stillRunning(found->second)) return true;
    qint64 pid = 0;
    if (!QProcess::startDetached(command[0], command.mid(1), QString(), &pid)) return false;
    running[file] = pid;
    return true;
}

// Platforms without a desktop's services (offscreen, framebuffer) cannot
// hand a file over themselves; xdg-open can, given the path as one argument.
bool openWithXdg(const QString& file) {
    return QProcess::startDetached(QStringLiteral("xdg-open"), {file});
}
#endif

}  // namespace

bool openHelpFile(const std::string& path) {
    const QString file = QString::fromStdString(path);
    // A viewer that is handed a missing file may still start and report
    // nothing; checking first lets the caller tell the child.
    const QFileInfo info(file);
    if (file.isEmpty() || !info.isFile()) return false;
    const QString absolute = info.absoluteFilePath();
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (!QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty()) {
        const QStringList command = viewerCommand(absolute);
        return !command.isEmpty() && startViewer(absolute, command);
    }
    // Without xdg-mime the desktop opens files some other way; we leave it to that.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(absolute)) || openWithXdg(absolute);
#else
    // Elsewhere the system's own open call reports a type without a viewer.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(absolute));
#endif
}

void showHelpFile(QWidget* over, const std::string& dir, const std::string& fileName) {
    if (openHelpFile(dir + fileName)) return;
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("お知らせ"), QString::fromStdString(fileName + " が見あたりません。"),
                    QMessageBox::Ok, over);
    box.exec();
}
