#include "support/core/Mnemonics.h"

#include <QFile>

#include "support/core/Codec.h"

namespace {

// Text-mode reading: a CR LF pair is one line feed.
std::string joinCrLf(std::string_view raw) {
    std::string text;
    text.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
        text.push_back(raw[i]);
    }
    return text;
}

// Length of the next piece at pos: the line with its line feed, or its first
// 52 bytes - one fewer when the 52nd byte would open a double-byte character,
// so that no character is torn apart.
size_t pieceLength(const std::string& text, size_t pos) {
    const size_t lineEnd = text.find('\n', pos);
    const size_t lineLen = (lineEnd == std::string::npos ? text.size() : lineEnd + 1) - pos;
    const size_t limit = kMnemonicPieceBytes;
    if (lineLen <= limit) return lineLen;
    size_t i = 0;
    while (i < limit) {
        if (codec::isLeadByte(text[pos + i])) {
            if (i + 1 >= limit) return i;
            i += 2;
        } else {
            ++i;
        }
    }
    return limit;
}

}  // namespace

bool loadMnemonics(MnemonicTable& table, const std::string& path) {
    for (auto& slot : table) slot.clear();

    QFile file(QString::fromUtf8(path.c_str()));
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.readAll();
    fillMnemonics(table, std::string_view(bytes.constData(), size_t(bytes.size())));
    return true;
}

void fillMnemonics(MnemonicTable& table, std::string_view fileBytes) {
    for (auto& slot : table) slot.clear();
    const std::string text = joinCrLf(fileBytes);

    int slot = 0;
    for (size_t pos = 0; pos < text.size();) {
        const size_t len = pieceLength(text, pos);
        std::string piece = text.substr(pos, len);
        pos += len;

        const char first = piece.front();
        if (first == ',' || first == '/' || first == '*') continue;

        // A comma is never the second byte of a CP932 character, so a byte
        // search finds the real first column.
        const size_t comma = piece.find(',');
        if (comma != std::string::npos) piece.erase(0, comma + 1);
        table[size_t(slot)] = codec::fromCp932(piece);

        if (slot == int(table.size()) - 1) break;
        ++slot;
    }
}
