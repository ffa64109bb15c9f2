#include "main/core/UserFiles.h"

#include "support/core/Codec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
using codec::u;
std::string joined(const std::string& dir, const std::string& name) {
    if (dir.empty() || dir.back() == '/') return dir + name;
    return dir + '/' + name;
}
}  // namespace

UserFileLocation locateUserFile(const std::string& fileName, const std::string& exeDir, const std::string& configDir) {
    const std::string beside = joined(exeDir, fileName);
    const std::string inConfig = joined(configDir, fileName);
    const QFileInfo besideInfo(u(beside));
    // A file is replaced whole through a new file beside it: its folder must take one.
    const bool folderWritable = QFileInfo(u(exeDir)).isWritable();
    if (besideInfo.isFile() && besideInfo.isWritable() && folderWritable) return {beside, beside};
    if (!configDir.empty() && QFileInfo(u(inConfig)).isFile()) return {inConfig, inConfig};
    if (!besideInfo.exists() && folderWritable) return {beside, beside};
    if (configDir.empty()) return {beside, beside};
    return {beside, inConfig};
}

bool makeFolderOf(const std::string& path) { return QDir().mkpath(QFileInfo(u(path)).absolutePath()); }

bool prepareSavePath(const UserFileLocation& at) {
    if (!makeFolderOf(at.savePath)) return false;
    if (at.savePath == at.loadPath) return true;
    const QString target = u(at.savePath);
    if (!QFileInfo::exists(target) && QFileInfo::exists(u(at.loadPath))) {
        QFile::copy(u(at.loadPath), target);
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    }
    return true;
}

std::string cannotMakeFolderOf(const std::string& path) {
    return "フォルダ「" + QFileInfo(u(path)).absolutePath().toStdString() + "」を作れません";
}
