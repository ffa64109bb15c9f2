#include "support/core/DesktopEntry.h"

#include <cctype>
#include <vector>

namespace {

std::string_view trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> out;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        out.push_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return out;
}

// The value of Exec in [Desktop Entry]; later groups may carry their own
// Exec (actions), which is not what the entry starts.
std::string_view execValue(std::string_view fileText) {
    bool inEntry = false;
    for (std::string_view line : lines(fileText)) {
        line = trimmed(line);
        if (line.empty()) continue;  // a comment never reads as a group or as Exec
        if (line.front() == '[') {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        const size_t eq = line.find('=');
        if (inEntry && eq != std::string_view::npos && trimmed(line.substr(0, eq)) == "Exec")
            return trimmed(line.substr(eq + 1));
    }
    return {};
}

// A string value's escapes (\s \t \n \r \\), applied before the Exec rules.
std::string unescapeValue(std::string_view value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (const char c = value[++i]) {
        case 's': out += ' '; break;
        case 't': out += '\t'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case '\\': out += '\\'; break;
        default: out += '\\'; out += c; break;  // left for the Exec rules
        }
    }
    return out;
}

}  // namespace

namespace {

// Exec's words, with quotes and the backslashes inside them undone.
std::vector<std::string> execWords(const std::string& exec) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (quoted) {
            if (c == '"') quoted = false;
            else word += (c == '\\' && i + 1 < exec.size()) ? exec[++i] : c;
        } else if (c == '"') {
            quoted = inWord = true;
        } else if (c == ' ' || c == '\t') {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

std::string fileUrl(const std::string& path) {
    static const char* const hex = "0123456789ABCDEF";
    std::string url = "file://";
    for (const unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') url += char(c);
        else url += {'%', hex[c >> 4], hex[c & 15]};
    }
    return url;
}

}  // namespace

std::vector<std::string> desktopEntryCommand(std::string_view fileText, const std::string& path) {
    std::vector<std::string> command;
    for (const std::string& word : execWords(unescapeValue(execValue(fileText)))) {
        if (word == "%f" || word == "%F") command.push_back(path);
        else if (word == "%u" || word == "%U") command.push_back(fileUrl(path));
        else if (word.size() == 2 && word[0] == '%' && word[1] != '%') continue;
        else {
            // Inside a word, %% is a % and any other code names nothing.
            std::string out;
            for (size_t i = 0; i < word.size(); ++i) {
                if (word[i] != '%') out += word[i];
                else if (i + 1 < word.size() && word[++i] == '%') out += '%';
            }
            command.push_back(out);
        }
    }
    return command;
}

std::string desktopEntryProgram(std::string_view fileText) {
    const std::vector<std::string> words = execWords(unescapeValue(execValue(fileText)));
    return words.empty() ? std::string() : words.front();
}
