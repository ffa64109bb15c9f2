// Where the files that outlive a run (settings, records) are read and
// written. Beside the executable first, as the program has always kept
// them; an installed program whose folder the user cannot write keeps them
// in the user's configuration folder instead.
#pragma once

#include <string>

struct UserFileLocation {
    std::string loadPath;  // the file to read at start (it may not exist)
    std::string savePath;  // the file to write at quit
};

// exeDir ends in the path separator; configDir is the user's configuration
// folder for this program (it need not exist yet).
//  1. the file beside the executable when it exists and can be written;
//  2. else the one in configDir when it exists;
//  3. else beside the executable when that folder can be written;
//  4. else configDir for saving, reading the file beside the executable
//     (an administrator's defaults) until one has been saved there.
UserFileLocation locateUserFile(const std::string& fileName, const std::string& exeDir, const std::string& configDir);

// Makes the folder of path, so that a first save into a new configuration
// folder can succeed. False when it cannot be made.
bool makeFolderOf(const std::string& path);
// A first save into the user's own folder starts from the file that was
// read, so that lines this program does not own are kept. False when the
// folder cannot be made.
bool prepareSavePath(const UserFileLocation& at);
// The error text of a folder that could not be made.
std::string cannotMakeFolderOf(const std::string& path);
