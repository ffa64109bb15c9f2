// A private-profile (INI) file held as its CP932 byte lines.
//
// Reading follows the Windows profile functions: section and key names match
// without regard to ASCII letter case, the first match wins, blanks around
// names and values are dropped and a value is at most kIniValueMax bytes.
// Writing touches only the line of the key it writes; every other line stays
// byte-for-byte. The file is written with CRLF line ends and replaced
// atomically, so a failed save never leaves half a file behind.
#pragma once

#include <string>
#include <string_view>
#include <vector>

inline constexpr int kIniValueMax = 2047;

// Integer from a profile value: "0x"/"0X" followed by at least one character
// and a leading "$" mark hexadecimal (up to 32 bits, read as two's
// complement, so "0xFFFFFFFF" is -1); anything else is signed decimal.
// Blanks around the text are ignored. Text that is not such an integer, or
// does not fit 32 bits, gives def.
int parseProfileInt(std::string_view text, int def);

class IniFile {
public:
    // A missing file loads as empty and is not an error. A file that exists
    // but cannot be read leaves the lines empty, sets *error (naming the path)
    // and returns false.
    bool load(const std::string& path, std::string* error = nullptr);
    // Takes the lines from raw file bytes; LF and CRLF line ends both count.
    // Text behind a UTF-8 or UTF-16 byte order mark is taken as CP932.
    void setBytes(std::string_view bytes);
    // The file as save writes it: every line ended by CRLF.
    std::string bytes() const;
    // Writes bytes() to a temporary file beside path and renames it over
    // path. On failure the old file is untouched, *error names the path and
    // the result is false.
    bool save(const std::string& path, std::string* error = nullptr) const;

    bool hasKey(std::string_view section, std::string_view key) const;
    // The value as CP932 bytes, or def when the key is absent.
    std::string readBytes(std::string_view section, std::string_view key, std::string_view def) const;
    // The value decoded to UTF-8, or def (UTF-8) when the key is absent.
    std::string readString(std::string_view section, std::string_view key, std::string_view def) const;
    int readInt(std::string_view section, std::string_view key, int def) const;

    // value holds CP932 bytes; line breaks in it are dropped, and a value
    // that reading would trim or unquote is written in quotes.
    void writeBytes(std::string_view section, std::string_view key, std::string_view value);
    void writeString(std::string_view section, std::string_view key, std::string_view utf8Value);
    void writeInt(std::string_view section, std::string_view key, int value);

private:
    // Line index of the key's line, or -1.
    int findKey(std::string_view section, std::string_view key) const;
    // Line index of the section's header, or -1.
    int findSection(std::string_view section) const;

    std::vector<std::string> lines_;
};
