#include "support/core/IniFile.h"

#include <QFile>
#include <QString>
#include <QStringDecoder>

#include <algorithm>
#include <cstdint>

#include "support/core/Codec.h"
#include "support/core/WholeFile.h"

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

using codec::isLeadByte;

char foldAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (isLeadByte(a[i]) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
        } else if (foldAscii(a[i]) != foldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

// "[name]" (blanks allowed around it); a header missing its ']' runs to the
// end of the line.
bool sectionOf(std::string_view line, std::string_view* name) {
    line = trim(line);
    if (line.empty() || line.front() != '[') return false;
    size_t end = 1;
    while (end < line.size() && line[end] != ']') end += (isLeadByte(line[end]) ? 2 : 1);
    *name = trim(line.substr(1, std::min(end, line.size()) - 1));
    return true;
}

// "key=value"; lines starting with ';' are comments.
bool keyOf(std::string_view line, std::string_view* key, size_t* eqPos) {
    const std::string_view t = trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '[') return false;
    const size_t eq = line.find('=');  // '=' is never the second byte of a CP932 character
    if (eq == std::string_view::npos) return false;
    *key = trim(line.substr(0, eq));
    *eqPos = eq;
    return true;
}

// Cuts to kIniValueMax bytes without leaving half a double-byte character.
std::string_view cutValue(std::string_view v) {
    if (v.size() <= size_t(kIniValueMax)) return v;
    size_t i = 0;
    while (i < v.size()) {
        const size_t len = isLeadByte(v[i]) ? 2 : 1;
        if (i + len > size_t(kIniValueMax)) break;
        i += len;
    }
    return v.substr(0, i);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

QString qPath(const std::string& path) { return QString::fromStdString(path); }

void setError(std::string* error, const std::string& text) {
    if (error) *error = text;
}

}  // namespace

int parseProfileInt(std::string_view text, int def) {
    text = trim(text);
    std::string_view hex;
    bool isHex = false;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        hex = text.substr(2);
        isHex = true;
    } else if (!text.empty() && text[0] == '$') {
        hex = text.substr(1);
        isHex = true;
    }
    if (isHex) {
        if (hex.empty()) return def;
        std::uint64_t v = 0;
        for (char c : hex) {
            const int d = hexDigit(c);
            if (d < 0) return def;
            v = v * 16 + std::uint64_t(d);
            if (v > 0xFFFFFFFFull) return def;
        }
        return static_cast<int>(static_cast<std::uint32_t>(v));
    }

    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return def;
    std::int64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return def;
        v = v * 10 + (c - '0');
        if (v > 2147483648LL) return def;
    }
    if (negative) v = -v;
    if (v > 2147483647LL) return def;
    return static_cast<int>(v);
}

bool IniFile::load(const std::string& path, std::string* error) {
    lines_.clear();
    QFile file(qPath(path));
    if (!file.exists()) return true;
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, "ファイル「" + path + "」を読み込めません (" + file.errorString().toStdString() + ")");
        return false;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setError(error, "ファイル「" + path + "」を読み込めません (" + file.errorString().toStdString() + ")");
        return false;
    }
    setBytes(std::string_view(data.constData(), size_t(data.size())));
    return true;
}

namespace {

// An editor may have saved the file as UTF-8 or UTF-16 with a byte order
// mark; read such a file as what it is, so the next save writes our CP932.
std::string cp932FromMarkedText(std::string_view bytes) {
    const auto decoded = [&](QStringDecoder::Encoding encoding, size_t mark) {
        QStringDecoder dec(encoding);
        const QString text = dec.decode(QByteArrayView(bytes.data() + mark, qsizetype(bytes.size() - mark)));
        return codec::toCp932(text.toStdString());
    };
    if (bytes.starts_with("\xEF\xBB\xBF")) return decoded(QStringDecoder::Utf8, 3);
    if (bytes.starts_with("\xFF\xFE")) return decoded(QStringDecoder::Utf16LE, 2);
    if (bytes.starts_with("\xFE\xFF")) return decoded(QStringDecoder::Utf16BE, 2);
    return std::string(bytes);
}

// Blanks around a value and one pair of quotes are not part of it when read:
// a value that has them is written in quotes so that it reads back whole.
std::string quotedIfNeeded(std::string_view value) {
    if (value.empty()) return {};
    const char first = value[0], last = value[value.size() - 1];
    const bool blankEdge = isBlank(first) || isBlank(last);
    const bool quoted = value.size() >= 2 && (first == '"' || first == '\'') && last == first;
    if (!blankEdge && !quoted) return std::string(value);
    return '"' + std::string(value) + '"';
}

}  // namespace

void IniFile::setBytes(std::string_view raw) {
    lines_.clear();
    const std::string text = cp932FromMarkedText(raw);
    std::string_view bytes = text;
    while (!bytes.empty()) {
        const size_t nl = bytes.find('\n');
        std::string_view line = bytes.substr(0, nl);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines_.emplace_back(line);
        if (nl == std::string_view::npos) break;
        bytes.remove_prefix(nl + 1);
    }
}

std::string IniFile::bytes() const {
    std::string out;
    for (const std::string& line : lines_) {
        out += line;
        out += "\r\n";
    }
    return out;
}

bool IniFile::save(const std::string& path, std::string* error) const {
    const std::string failed = writeWholeFile(path, bytes());
    if (!failed.empty()) setError(error, failed);
    return failed.empty();
}

int IniFile::findSection(std::string_view section) const {
    std::string_view name;
    for (size_t i = 0; i < lines_.size(); ++i)
        if (sectionOf(lines_[i], &name) && sameName(name, section)) return int(i);
    return -1;
}

int IniFile::findKey(std::string_view section, std::string_view key) const {
    const int sec = findSection(section);
    if (sec < 0) return -1;
    std::string_view name;
    size_t eq = 0;
    for (size_t i = size_t(sec) + 1; i < lines_.size(); ++i) {
        if (sectionOf(lines_[i], &name)) break;
        if (keyOf(lines_[i], &name, &eq) && sameName(name, key)) return int(i);
    }
    return -1;
}

bool IniFile::hasKey(std::string_view section, std::string_view key) const { return findKey(section, key) >= 0; }

std::string IniFile::readBytes(std::string_view section, std::string_view key, std::string_view def) const {
    const int i = findKey(section, key);
    if (i < 0) return std::string(def);
    const std::string_view line = lines_[size_t(i)];
    std::string_view value = trim(line.substr(line.find('=') + 1));
    // One pair of surrounding quotes is not part of the value.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(cutValue(value));
}

std::string IniFile::readString(std::string_view section, std::string_view key, std::string_view def) const {
    if (!hasKey(section, key)) return std::string(def);
    return codec::fromCp932(readBytes(section, key, {}));
}

int IniFile::readInt(std::string_view section, std::string_view key, int def) const {
    if (!hasKey(section, key)) return def;
    return parseProfileInt(readBytes(section, key, {}), def);
}

void IniFile::writeBytes(std::string_view section, std::string_view key, std::string_view value) {
    std::string clean;
    for (char c : value)
        if (c != '\r' && c != '\n') clean += c;
    clean = quotedIfNeeded(std::move(clean));

    const int at = findKey(section, key);
    if (at >= 0) {
        // Keep the key as the file spells it, and its blanks after '='.
        std::string& line = lines_[size_t(at)];
        size_t start = line.find('=') + 1;
        while (start < line.size() && isBlank(line[start])) ++start;
        line = line.substr(0, start) + clean;
        return;
    }

    const std::string newLine = std::string(key) + "=" + clean;
    const int sec = findSection(section);
    if (sec < 0) {
        lines_.push_back("[" + std::string(section) + "]");
        lines_.push_back(newLine);
        return;
    }
    // After the section's last key line, so blank lines and comments that
    // lead into the next section stay in front of it.
    size_t insertAt = size_t(sec) + 1;
    std::string_view name;
    size_t eq = 0;
    for (size_t i = size_t(sec) + 1; i < lines_.size(); ++i) {
        if (sectionOf(lines_[i], &name)) break;
        if (keyOf(lines_[i], &name, &eq)) insertAt = i + 1;
    }
    lines_.insert(lines_.begin() + std::ptrdiff_t(insertAt), newLine);
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view utf8Value) {
    writeBytes(section, key, codec::toCp932(utf8Value));
}

void IniFile::writeInt(std::string_view section, std::string_view key, int value) {
    writeBytes(section, key, std::to_string(value));
}
