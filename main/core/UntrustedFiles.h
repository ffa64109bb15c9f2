// Reading and writing a folder that others write too (a class folder on a
// share, kept in step by a sync engine): nothing in it is followed or opened
// that is not a regular file or a real folder, no read blocks or runs past a
// bound fit to the kind of file, and nothing outside the folder is touched.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace untrusted {

// The most a file of each kind may hold: a settings file is a few hundred
// bytes, a record of dated answers a few dozen KB, a lease one short line,
// a voice choice three.
inline constexpr std::int64_t kSettingsBound = 16 * 1024;
inline constexpr std::int64_t kVoiceChoiceBound = 4096;
inline constexpr std::int64_t kRecordBound = 1024 * 1024 - 1;
inline constexpr std::int64_t kLeaseBound = 512;
// A history is read from its end: its newest lines are what is shown.
inline constexpr std::int64_t kHistoryTail = 256 * 1024;

enum class Status {
    Missing,     // nothing there
    Read,        // a regular file, read (whole, or its tail)
    Refused,     // a link, FIFO, device, socket, or a folder where a file belongs
    Unreadable,  // a regular file the system will not let us read
    TooLarge     // a regular file over its bound
};

struct FileRead {
    Status status = Status::Missing;
    std::string bytes;
    std::string why;  // for Refused, Unreadable and TooLarge: in words for the teacher
    bool cutLine = false;  // the last line had no line end (still arriving) and was dropped
};

// Reads path without following a link or waiting on a special file, at most
// `bound` bytes. `tail`: a larger file gives its last `bound` bytes from the
// start of a line. `lines`: a last line without its line end is dropped.
FileRead readFile(const std::string& path, std::int64_t bound, bool tail = false, bool lines = false);

// Why the entry at path may not be used as a file (or, wantFolder, as a
// folder) of the class; empty when it is one, or when nothing is there.
std::string whyRefused(const std::string& path, bool wantFolder);

// Whether path, which lies under `root` (both absolute, root ending in
// '/'), reaches it through real folders only: no link on the way.
bool insideFolder(const std::string& root, const std::string& path);

// Text written by others, made fit to show a child: only ASCII letters,
// digits, '-', '_', '.' and spaces, at most `most` characters.
std::string cleanedName(const std::string& text, int most = 32);

// A sync engine's own entries and leftovers, never a child:
// *.sync-conflict-*, .stversions, .stfolder, ~syncthing~*.tmp, .syncthing.*.tmp.
bool syncLeftover(const std::string& name);

// Folder names as a teacher may see them side by side: a name that holds
// invisible, bidirectional or no-break characters, or that folds (NFKC,
// case, spaces) to the same as another, comes back marked with ⚠, its hidden
// characters spelt out (〈U+200B〉); the others come back as they are.
std::vector<std::string> markedNames(const std::vector<std::string>& names);

}  // namespace untrusted
