#include "main/core/ProgramSlot.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSysInfo>

#include "support/core/WholeFile.h"

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }

bool readBounded(const QString& path, qint64 most, std::string& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray data = file.read(most);
    bytes.assign(data.constData(), size_t(data.size()));
    return true;
}

// Nowhere to keep an id of our own: the computer's, the same at every start.
std::string fallbackId(const std::string& host) {
    const QByteArray unique = QSysInfo::machineUniqueId().toHex().left(8);
    return host + "-" + (unique.isEmpty() ? std::string("0") : unique.toStdString());
}

// More programs of one account at once than any classroom computer runs.
constexpr int kSlots = 9;
}  // namespace

ProgramSlot::ProgramSlot() = default;
ProgramSlot::~ProgramSlot() = default;

std::string ProgramSlot::take(const std::string& familyDir, const std::string& computerId) {
    lock_.reset();
    for (int slot = 1; slot <= kSlots; ++slot) {
        const std::string suffix = slot == 1 ? "" : "-" + std::to_string(slot);
        auto lock = std::make_unique<QLockFile>(QString::fromStdString(familyDir + "kuku_computer" + suffix + ".lock"));
        // Held only by a live program: one that was killed leaves its slot free.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            lock_ = std::move(lock);
            return computerId + suffix;
        }
        if (lock->error() != QLockFile::LockFailedError) break;
    }
    return computerId;
}

std::string idOfHost(const std::string& hostName) {
    std::string host;
    for (char c : QString::fromStdString(hostName).toLower().toStdString())
        if (host.size() < 16 && ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-')) host += c;
    return host.empty() ? "pc" : host;
}

std::string computerIdIn(const std::string& familyDir) {
    const std::string host = idOfHost(QSysInfo::machineHostName().toStdString());
    const QString path = q(familyDir + kComputerIdFile);
    std::string id;
    if (readBounded(path, 64, id)) {
        id = QString::fromStdString(id).trimmed().toStdString();
        // A program folder that several computers share keeps the first one's id: not ours.
        if (id.rfind(host + "-", 0) == 0 &&
            id.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-") == std::string::npos)
            return id;
        if (!id.empty()) return fallbackId(host);
    }
    const QString made = QString::number(QRandomGenerator::system()->generate(), 16).rightJustified(8, u'0');
    id = host + "-" + made.toStdString();
    if (QDir().mkpath(q(familyDir)) && writeWholeFile(familyDir + kComputerIdFile, id + "\n").empty()) return id;
    return fallbackId(host);
}
