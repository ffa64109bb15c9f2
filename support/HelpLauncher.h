// Opens a help file in the viewer the desktop associates with its type.
#pragma once

#include <string>

// True when the file exists and a viewer was started for it. No shell is
// involved, so blanks and shell characters in the path are harmless.
bool openHelpFile(const std::string& path);
