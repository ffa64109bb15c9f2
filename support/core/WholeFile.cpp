#include "support/core/WholeFile.h"

#include <QFile>
#include <QSaveFile>

namespace {
QString qPath(const std::string& path) { return QString::fromUtf8(path.data(), qsizetype(path.size())); }
}  // namespace

std::string cannotWrite(const std::string& path, const std::string& reason) {
    return "ファイル「" + path + "」に書き込めません" + (reason.empty() ? "" : " (" + reason + ")");
}

std::string writeWholeFile(const std::string& path, std::string_view bytes) {
    QSaveFile file(qPath(path));
    // Unbuffered, and flushed by hand: commit() alone lets a short write
    // from a full disk pass as success and renames the cut file into place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return cannotWrite(path, file.errorString().toStdString());
    if (file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()) || !file.flush()) {
        const std::string reason = file.errorString().toStdString();
        file.cancelWriting();  // the temporary file goes with it
        return cannotWrite(path, reason);
    }
    if (!file.commit()) return cannotWrite(path, file.errorString().toStdString());
    return {};
}

std::string appendWhole(const std::string& path, std::string_view bytes) {
    QFile file(qPath(path));
    const bool existed = file.exists();
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) return cannotWrite(path, file.errorString().toStdString());
    const qint64 before = file.size();
    if (file.seek(before) && file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size()) && file.flush())
        return {};
    const std::string reason = file.errorString().toStdString();
    // What a full disk let through is taken back: no cut line stays behind.
    if (existed) file.resize(before);
    else file.remove();
    return cannotWrite(path, reason);
}
