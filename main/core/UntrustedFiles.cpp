#include "main/core/UntrustedFiles.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QList>
#include <QString>
#include <map>

namespace untrusted {
namespace {
std::string systemWords(int error) { return " (" + std::string(std::strerror(error)) + ")"; }

std::string whyNotAFile(mode_t mode) {
    if (S_ISLNK(mode)) return "リンクです（たどりません）";
    if (S_ISDIR(mode)) return "ファイルのはずが フォルダです";
    if (S_ISFIFO(mode)) return "FIFO（とくべつなファイル）です";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "デバイスです";
    if (S_ISSOCK(mode)) return "ソケットです";
    return S_ISREG(mode) ? std::string() : "ふつうのファイルではありません";
}

// Closes the descriptor whatever way the read ends.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

// Reads up to `most` bytes from `offset`; false on a read error.
bool readAt(int fd, std::int64_t offset, std::int64_t most, std::string& out) {
    out.resize(size_t(most));
    size_t got = 0;
    while (got < out.size()) {
        const ssize_t n = ::pread(fd, out.data() + got, out.size() - got, off_t(offset) + off_t(got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        got += size_t(n);
    }
    out.resize(got);
    return true;
}
}  // namespace

std::string whyRefused(const std::string& path, bool wantFolder) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT ? std::string() : "しらべられません" + systemWords(errno);
    if (wantFolder) {
        if (S_ISDIR(st.st_mode)) return {};
        return S_ISLNK(st.st_mode) ? "フォルダが リンクです（たどりません）" : "フォルダのはずが " + whyNotAFile(st.st_mode);
    }
    return whyNotAFile(st.st_mode);
}

FileRead readFile(const std::string& path, std::int64_t bound, bool tail, bool lines) {
    FileRead r;
    struct stat before {};
    if (::lstat(path.c_str(), &before) != 0) {
        if (errno == ENOENT) return r;
        r.status = Status::Unreadable;
        r.why = "しらべられません" + systemWords(errno);
        return r;
    }
    if (std::string why = whyNotAFile(before.st_mode); !why.empty()) {
        r.status = Status::Refused;
        r.why = why;
        return r;
    }
    // Not following a link put there since, nor waiting on a FIFO.
    Descriptor file{::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0) {
        const int error = errno;
        r.status = error == ELOOP ? Status::Refused : error == ENOENT ? Status::Missing : Status::Unreadable;
        r.why = error == ELOOP ? "リンクです（たどりません）" : "読めません" + systemWords(error);
        return r;
    }
    // A save that renamed a new file into place since is fine; anything but a regular file is not.
    struct stat now {};
    if (::fstat(file.fd, &now) != 0 || !S_ISREG(now.st_mode)) {
        r.status = Status::Refused;
        r.why = "読むあいだに 入れかわりました";
        return r;
    }
    const std::int64_t size = now.st_size;
    if (size > bound && !tail) {
        r.status = Status::TooLarge;
        r.why = "大きすぎます（" + std::to_string(size) + " バイト）";
        return r;
    }
    const std::int64_t from = size > bound ? size - bound : 0;
    // One byte more than allowed tells a file that grew while read.
    if (!readAt(file.fd, from, tail ? bound : bound + 1, r.bytes)) {
        r.status = Status::Unreadable;
        r.why = "読めません" + systemWords(errno);
        r.bytes.clear();
        return r;
    }
    if (std::int64_t(r.bytes.size()) > bound) {
        r.status = Status::TooLarge;
        r.why = "読むあいだに 大きくなりつづけます";
        r.bytes.clear();
        return r;
    }
    if (from > 0) {  // the first line read is cut
        const size_t nl = r.bytes.find('\n');
        r.bytes.erase(0, nl == std::string::npos ? r.bytes.size() : nl + 1);
    }
    if (lines && !r.bytes.empty() && r.bytes.back() != '\n') {
        const size_t nl = r.bytes.rfind('\n');
        r.bytes.erase(nl == std::string::npos ? 0 : nl + 1);
        r.cutLine = true;
    }
    r.status = Status::Read;
    return r;
}

bool insideFolder(const std::string& root, const std::string& path) {
    if (path.compare(0, root.size(), root) != 0) return false;
    for (size_t at = path.find('/', root.size()); ; at = path.find('/', at + 1)) {
        const std::string step = path.substr(0, at);
        struct stat st {};
        if (::lstat(step.c_str(), &st) != 0) return errno == ENOENT;
        if (S_ISLNK(st.st_mode)) return false;
        if (at == std::string::npos || at + 1 >= path.size()) return true;
        if (!S_ISDIR(st.st_mode)) return false;
    }
}

std::string cleanedName(const std::string& text, int most) {
    std::string out;
    for (char c : text) {
        if (int(out.size()) >= most) break;
        const bool fits = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                          c == '_' || c == '.' || c == ' ';
        if (fits && !(c == ' ' && (out.empty() || out.back() == ' '))) out += c;
    }
    // Nothing but spaces is no name.
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

bool syncLeftover(const std::string& name) {
    const auto ends = [&](std::string_view tail) { return name.size() >= tail.size() && name.ends_with(tail); };
    return name.find(".sync-conflict-") != std::string::npos || name.find("sync-conflict-") == 0 ||
           name == ".stversions" || name == ".stfolder" || (name.starts_with("~syncthing~") && ends(".tmp")) ||
           (name.starts_with(".syncthing.") && ends(".tmp"));
}

namespace {
// Characters a reader cannot see, or that turn the text around.
bool hidden(char32_t c) {
    const QChar::Category cat = QChar::category(c);
    return cat == QChar::Other_Format || cat == QChar::Other_Control || cat == QChar::Separator_Line ||
           cat == QChar::Separator_Paragraph || (cat == QChar::Separator_Space && c != U' ' && c != 0x3000) ||
           (c >= 0x2060 && c <= 0x206F) || c == 0x115F || c == 0x1160 || c == 0x3164 || c == 0xFFA0;
}

std::string foldedKey(const QString& name) {
    QString out;
    bool space = false;
    for (char32_t c : name.normalized(QString::NormalizationForm_KC).toCaseFolded().toUcs4()) {
        if (hidden(c)) continue;
        if (QChar::isSpace(c)) {
            space = !out.isEmpty();
            continue;
        }
        if (space) out += u' ';
        space = false;
        out += QString::fromUcs4(&c, 1);
    }
    return out.toStdString();
}
}  // namespace

std::vector<std::string> markedNames(const std::vector<std::string>& names) {
    std::map<std::string, int> folds;
    for (const std::string& n : names) ++folds[foldedKey(QString::fromStdString(n))];
    std::vector<std::string> out;
    for (const std::string& n : names) {
        const QString name = QString::fromStdString(n);
        QString shown;
        bool marked = folds[foldedKey(name)] > 1;
        for (char32_t c : name.toUcs4()) {
            if (hidden(c)) {
                marked = true;
                shown += QStringLiteral("〈U+%1〉").arg(QString::number(uint(c), 16).toUpper().rightJustified(4, u'0'));
            } else {
                shown += QString::fromUcs4(&c, 1);
            }
        }
        out.push_back(marked ? "⚠" + shown.toStdString() : n);
    }
    return out;
}

}  // namespace untrusted
