// Reading a freedesktop.org desktop entry (.desktop file), as far as the
// help launcher needs: which program the entry starts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The program named by the first word of Exec in the [Desktop Entry] group,
// with the entry's quoting and escapes undone; empty when there is none.
std::string desktopEntryProgram(std::string_view fileText);

// The whole command of Exec, one argument a word, that opens the file: the
// file's path for %f and %F, its file: URL for %u and %U, a literal % for
// %%; the other field codes name nothing here and are dropped. Empty when
// the entry has no Exec.
std::vector<std::string> desktopEntryCommand(std::string_view fileText, const std::string& path);
