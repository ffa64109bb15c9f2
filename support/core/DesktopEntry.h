// Reading a freedesktop.org desktop entry (.desktop file), as far as the
// help launcher needs: which program the entry starts.
#pragma once

#include <string>
#include <string_view>

// The program named by the first word of Exec in the [Desktop Entry] group,
// with the entry's quoting and escapes undone; empty when there is none.
std::string desktopEntryProgram(std::string_view fileText);
