#include "support/core/DesktopEntry.h"

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

std::string desktopEntryProgram(std::string_view fileText) {
    const std::string exec = unescapeValue(execValue(fileText));
    std::string program;
    if (!exec.empty() && exec.front() == '"') {
        // Inside quotes a backslash keeps the next character literally.
        for (size_t i = 1; i < exec.size() && exec[i] != '"'; ++i) {
            if (exec[i] == '\\' && i + 1 < exec.size()) ++i;
            program += exec[i];
        }
        return program;
    }
    const size_t end = exec.find_first_of(" \t");
    return exec.substr(0, end);
}
