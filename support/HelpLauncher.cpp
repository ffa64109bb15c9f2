#include "support/HelpLauncher.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QUrl>

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

bool programExists(const QString& program) {
    if (program.isEmpty()) return false;
    if (program.contains('/')) return QFileInfo(program).isExecutable();
    return !QStandardPaths::findExecutable(program).isEmpty();
}

// The desktop hands files to their viewer through xdg-open, which reports
// nothing when it finds none, and the handing over itself always succeeds.
// Asking the same association xdg-open asks (xdg-mime: the file's type,
// then its default entry) and checking that the entry's program is there
// tells the child at once that help cannot be shown. Without xdg-mime the
// desktop opens files some other way, and we leave it to that.
bool viewerCanStart(const QString& file) {
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty()) return true;
    const QString type = askQuietly(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("filetype"), file})
                             .section(';', 0, 0).trimmed();
    if (type.isEmpty()) return false;
    const QString entryName = askQuietly(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), type});
    if (entryName.isEmpty()) return false;
    QFile entry(locateDesktopEntry(entryName));
    if (!entry.open(QIODevice::ReadOnly)) return false;
    return programExists(QString::fromStdString(desktopEntryProgram(entry.readAll().toStdString())));
}

// Platforms without a desktop's services (offscreen, framebuffer) cannot
// hand a file over themselves; xdg-open can, given the path as one argument.
bool openWithXdg(const QString& file) {
    return QProcess::startDetached(QStringLiteral("xdg-open"), {file});
}
#else
// Elsewhere the system's own open call reports a type without a viewer.
bool viewerCanStart(const QString&) { return true; }
bool openWithXdg(const QString&) { return false; }
#endif

}  // namespace

bool openHelpFile(const std::string& path) {
    const QString file = QString::fromStdString(path);
    // A viewer that is handed a missing file may still start and report
    // nothing; checking first lets the caller tell the child.
    const QFileInfo info(file);
    if (file.isEmpty() || !info.isFile()) return false;
    const QString absolute = info.absoluteFilePath();
    if (!viewerCanStart(absolute)) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(absolute)) || openWithXdg(absolute);
}

void showHelpFile(QWidget* over, const std::string& dir, const std::string& fileName) {
    if (openHelpFile(dir + fileName)) return;
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("お知らせ"), QString::fromStdString(fileName + " が見あたりません。"),
                    QMessageBox::Ok, over);
    box.exec();
}
