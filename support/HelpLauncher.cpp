#include "support/HelpLauncher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QString>
#include <QUrl>

bool openHelpFile(const std::string& path) {
    const QString file = QString::fromStdString(path);
    // A viewer that is handed a missing file may still start and report
    // nothing; checking first lets the caller tell the child.
    const QFileInfo info(file);
    if (file.isEmpty() || !info.isFile()) {
        return false;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}
