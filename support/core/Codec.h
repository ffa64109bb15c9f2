// CP932 (Shift-JIS) at every file boundary and wherever bytes are counted.
// Inside the program text is UTF-8.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace codec {

// The program's UTF-8 texts as Qt strings.
inline QString u(std::string_view utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }

// First byte of a CP932 double-byte character. Its second byte may look like
// an ASCII letter, '[' or ']', so byte scans must step over it.
inline bool isLeadByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// UTF-8 -> CP932 bytes. A character CP932 cannot hold becomes the converter's
// substitute bytes; the name field lets through only text that fits.
std::string toCp932(std::string_view utf8);
// CP932 bytes -> UTF-8.
std::string fromCp932(std::string_view cp932);
// True when every character of the text has a CP932 form.
bool fitsCp932(std::string_view utf8);
// The longest prefix of the text whose CP932 form has at most maxBytes bytes,
// never cutting a character in half.
std::string leadingBytes(std::string_view utf8, int maxBytes);

}  // namespace codec
