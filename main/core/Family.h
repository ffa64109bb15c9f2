// Several children on one computer. The settings file found by the usual
// folder rule is the first child's; every other child has a folder of its
// own beside it, children/<n>/, holding the same files. Nothing is made
// until a second child is added, so a home with one child sees no change.
#pragma once

#include <string>
#include <vector>

inline constexpr const char* kChildrenFolder = "children";
// The child chosen last, so that the next start opens the same child; kept
// inside children/, which only exists once a second child was added.
inline constexpr const char* kCurrentChildFile = "current.txt";

// baseDir is the folder of the first child's settings file, ending in '/'.
// Child 0 is that folder itself; child n > 0 is baseDir/children/n/.
std::string childFolder(const std::string& baseDir, int number);

// 0, then every children/<n> folder that exists, ascending.
std::vector<int> childNumbers(const std::string& baseDir);

// The name in the child's settings file, as the main window would show it.
std::string childName(const std::string& folder, const std::string& settingsFileName);

// Makes the next child's folder; its number, or -1 when it cannot be made.
int addChild(const std::string& baseDir);

// The child chosen last, 0 when none was noted or its folder is gone.
int rememberedChild(const std::string& baseDir);
// Notes the chosen child; a home with one child keeps no note. False when
// the note could not be written; *error names the file.
bool rememberChild(const std::string& baseDir, int number, std::string* error = nullptr);
