#include "main/core/Classroom.h"
#include "support/core/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <algorithm>

#include "main/core/UntrustedFiles.h"

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }

// Beyond what one folder name may hold on the file systems a share uses.
constexpr int kLongestName = 64;
}  // namespace

std::string classFolderNameOf(const std::string& typedName) {
    // A Japanese input method types full-width letters and spaces as readily as plain ones.
    const QString plain =
        QString::fromUtf8(typedName.data(), qsizetype(typedName.size())).normalized(QString::NormalizationForm_KC).trimmed();
    QString name;
    bool spaceBefore = false;
    for (QChar c : plain) {
        if (c == u' ') {
            spaceBefore = !name.isEmpty();
            continue;
        }
        if (spaceBefore) name += u' ';
        spaceBefore = false;
        name += c;
    }
    name.truncate(kLongestName);
    // A pair cut in two is no character of any name.
    if (!name.isEmpty() && name.back().isHighSurrogate()) name.chop(1);
    for (QChar& c : name)
        if (c.unicode() < 0x20 || c == QChar(0x7F) || QStringLiteral("/\\:*?\"<>|").contains(c)) c = u'_';
    if (name.startsWith(u'.')) name[0] = u'_';
    return name.toStdString();
}

std::string foldedChildName(const std::string& typedName) {
    return q(classFolderNameOf(typedName)).toCaseFolded().toStdString();
}

std::string classChildFolderOf(const std::string& classDir, const std::string& typedName) {
    const std::string plain = classFolderNameOf(typedName);
    if (plain.empty()) return {};
    const QDir dir(q(classDir));
    if (dir.exists(q(plain))) return plain;
    const std::string folded = foldedChildName(typedName);
    // The first by name, so that every computer finds the same one.
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        if (!name.startsWith(u'.') && foldedChildName(name.toStdString()) == folded) return name.toStdString();
    return plain;
}

std::string leaseText(const Lease& lease) {
    return lease.computer + "\n" + std::to_string(lease.process) + "\n" + std::to_string(lease.atSeconds) + "\n";
}

bool leaseFromText(const std::string& text, Lease& out) {
    const QStringList lines = q(text).split(u'\n');
    if (lines.size() < 3 || lines[0].isEmpty()) return false;
    bool processOk = false, timeOk = false;
    const qint64 process = lines[1].toLongLong(&processOk);
    const qint64 at = lines[2].toLongLong(&timeOk);
    if (!processOk || !timeOk) return false;
    // Another computer wrote it: only a computer's name is taken from it, and shown to a child.
    const std::string computer = untrusted::cleanedName(lines[0].toStdString());
    if (computer.empty()) return false;
    out = {computer, process, at};
    return true;
}

LeaseState leaseState(const Lease* held, const Lease& ours, std::int64_t nowSeconds) {
    if (!held) return LeaseState::Free;
    if (held->computer == ours.computer && held->process == ours.process) return LeaseState::Ours;
    // A clock far ahead on the other computer must not keep the child locked out for ever.
    const std::int64_t age = nowSeconds - held->atSeconds;
    if (age > kLeaseStaleSeconds || age < -kLeaseStaleSeconds) return LeaseState::Free;
    return LeaseState::HeldElsewhere;
}

namespace {
bool leaseFromFile(const std::string& path, Lease& out) {
    const untrusted::FileRead read = untrusted::readFile(path, untrusted::kLeaseBound);
    return read.status == untrusted::Status::Read && leaseFromText(read.bytes, out);
}
// The folder of leases, when it is a real folder of the class (or not there yet).
bool leaseFolderSafe(const std::string& classDir) {
    return untrusted::whyRefused(classDir + kLeaseFolder, true).empty();
}
}  // namespace

bool readLease(const std::string& childFolder, Lease& out) {
    if (!untrusted::whyRefused(childFolder.substr(0, childFolder.size() - 1), true).empty()) return false;
    return leaseFromFile(childFolder + kLeaseFileName, out);
}

bool writeLease(const std::string& childFolder, const Lease& lease, std::string* error) {
    std::string failed = untrusted::whyRefused(childFolder + kLeaseFileName, false);
    if (failed.empty()) failed = writeWholeFile(childFolder + kLeaseFileName, leaseText(lease));
    if (error) *error = failed;
    return failed.empty();
}

void releaseLease(const std::string& childFolder, const Lease& ours) {
    Lease held;
    if (readLease(childFolder, held) && leaseState(&held, ours, held.atSeconds) == LeaseState::Ours)
        QFile::remove(q(childFolder + kLeaseFileName));
}

std::string leasePath(const std::string& classDir, const std::string& folderName, const std::string& computer,
                      std::int64_t process) {
    return classDir + kLeaseFolder + "/" + folderName + "." + computer + "." + std::to_string(process) + ".txt";
}

std::vector<Lease> leasesOn(const std::string& classDir, const std::string& folderName) {
    std::vector<Lease> leases;
    Lease one;
    if (readLease(classDir + folderName + "/", one)) leases.push_back(one);
    if (!leaseFolderSafe(classDir)) return leases;
    const QDir dir(q(classDir + kLeaseFolder));
    const QString prefix = q(folderName) + u'.';
    for (const QString& entry : dir.entryList({prefix + QStringLiteral("*.txt")}, QDir::Files | QDir::NoSymLinks)) {
        // <child>.<computer>.<process>.txt: the child's name may hold dots, the others not.
        const QStringList parts = entry.chopped(4).mid(prefix.size()).split(u'.');
        if (parts.size() != 2) continue;
        if (leaseFromFile(dir.filePath(entry).toStdString(), one)) leases.push_back(one);
    }
    return leases;
}

std::vector<Lease> othersOpen(const std::vector<Lease>& leases, const Lease& ours, std::int64_t nowSeconds) {
    std::vector<Lease> others;
    for (const Lease& l : leases) {
        if (leaseState(&l, ours, nowSeconds) != LeaseState::HeldElsewhere) continue;
        const bool known = std::any_of(others.begin(), others.end(), [&](const Lease& o) {
            return o.computer == l.computer && o.process == l.process;
        });
        if (!known) others.push_back(l);
    }
    return others;
}

bool takeLease(const std::string& classDir, const std::string& folderName, const std::string& computer,
               const Lease& ours) {
    if (!leaseFolderSafe(classDir) || !QDir().mkpath(q(classDir + kLeaseFolder))) return false;
    // Leases this computer left behind on the child (a program killed) are its own to remove.
    const QDir dir(q(classDir + kLeaseFolder));
    const QString mine = q(folderName + "." + computer + ".");
    for (const QString& entry : dir.entryList({mine + QStringLiteral("*.txt")}, QDir::Files | QDir::NoSymLinks)) {
        Lease left;
        if (entry != q(leasePath({}, folderName, computer, ours.process)).section(u'/', -1) &&
            leaseFromFile(dir.filePath(entry).toStdString(), left) &&
            leaseState(&left, ours, ours.atSeconds) == LeaseState::Free)
            QFile::remove(dir.filePath(entry));
    }
    const std::string path = leasePath(classDir, folderName, computer, ours.process);
    if (!untrusted::whyRefused(path, false).empty()) return false;
    return writeWholeFile(path, leaseText(ours)).empty();
}

void dropLease(const std::string& classDir, const std::string& folderName, const std::string& computer,
               const Lease& ours) {
    QFile::remove(q(leasePath(classDir, folderName, computer, ours.process)));
}

std::string openElsewhereText(const std::string& typedName, const std::string& otherComputer) {
    // A line each, so that the box breaks between words only.
    return "「" + typedName + "」さんの きろくは いま\nほかの コンピュータ（" + otherComputer +
           "）でも ひらいています。\nどちらで ごうかくしても，\nごうかくは ちゃんと のこります。";
}

std::string unusableRecordText(const std::string& typedName, const std::string& why) {
    return "「" + typedName + "」さんの きろくは\nいまは つかえません。\nれんしゅうは できますが，\nこの きろくには のこりません。\nせんせいに つたえてね。\n\n（おとなの方へ：" +
           why + "）";
}

std::string readClassFolderNote(const std::string& familyDir) {
    QFile file(q(familyDir + kClassFolderNoteFile));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.read(4096)).trimmed().toStdString();
}

bool writeClassFolderNote(const std::string& familyDir, const std::string& classFolder, std::string* error) {
    const std::string path = familyDir + kClassFolderNoteFile;
    std::string failed;
    if (classFolder.empty()) {
        if (QFile::exists(q(path)) && !QFile::remove(q(path))) failed = cannotWrite(path);
    } else failed = writeWholeFile(path, classFolder + "\n");
    if (error) *error = failed;
    return failed.empty();
}

ClassOptions classOptionsFrom(int argc, const char* const* argv) {
    ClassOptions options;
    const std::string flag = "--class-folder";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--teacher") options.teacher = true;
        else if (arg == flag) {
            if (i + 1 < argc) options.classFolder = argv[++i];
            else options.error = "--class-folder のあとに、クラスのフォルダを書いてください。";
        } else if (arg.rfind(flag + "=", 0) == 0)
            options.classFolder = arg.substr(flag.size() + 1);
    }
    if (!options.classFolder.empty())
        options.classFolder = QDir(q(options.classFolder)).absolutePath().toStdString() + "/";
    return options;
}
