// Opens a help file in the viewer the desktop associates with its type.
#pragma once

#include <string>

class QWidget;

// True when the file exists, the desktop names a viewer for its type that
// can be started, and the viewer was asked to open it. No shell is
// involved, so blanks and shell characters in the path are harmless.
bool openHelpFile(const std::string& path);

// Opens dir + fileName; when that fails, says "<fileName> が見あたりません。"
// in a box over `over` and leaves everything else as it was.
void showHelpFile(QWidget* over, const std::string& dir, const std::string& fileName);
