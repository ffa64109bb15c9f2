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

// What a child is called until a name is typed for them.
inline constexpr const char* kNewChildName = "あたらしい こ";
// As many characters as the main window's name field takes.
inline constexpr int kChildNameLength = 40;
// Where removed children's folders are kept, inside children/.
inline constexpr const char* kRemovedFolder = "removed";

// Makes the next child's folder, with a settings file that calls them
// kNewChildName; a child still called so is chosen again instead of a second
// one. Its number, or -1 when the folder or file cannot be made.
int addChild(const std::string& baseDir);

// The typed name without surrounding spaces; empty when it cannot be a
// child's name: only spaces, longer than the name field, or a character
// the settings file cannot hold.
std::string acceptableChildName(const std::string& typed);

// Gives a child who is not sitting here now another name in their settings
// file (read from loadPath, written to savePath). Empty, or what went wrong,
// naming the file.
std::string renameChild(const std::string& loadPath, const std::string& savePath, const std::string& name);

// Moves children/<n>/ whole into children/removed/ (as <n>, or <n>-2, <n>-3
// where that is taken): nothing of a child is ever deleted. The first
// child's files are where the program always kept them and stay. Empty, or
// what went wrong, naming the folder.
std::string removeChild(const std::string& baseDir, int number);

// The child chosen last, 0 when none was noted or its folder is gone.
int rememberedChild(const std::string& baseDir);
// Notes the chosen child; a home with one child keeps no note. False when
// the note could not be written; *error names the file.
bool rememberChild(const std::string& baseDir, int number, std::string* error = nullptr);
