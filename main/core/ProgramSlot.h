// This computer's id in a class folder, and the slot of it a program takes.
//
// Two programs started from one account on one computer find the same
// computer id. Each takes a slot of its own for as long as it runs: the
// first keeps the id, the next is id-2, and so on. So no two programs
// write one file of a class child, and a program started again gets the
// same slot, not a new set of files.
#pragma once

#include <memory>
#include <string>

// The stable id of this computer, kept in familyDir (ending in '/'): made
// once from the computer's name and a random part; a folder that cannot be
// written gives an id made from the computer alone.
inline constexpr const char* kComputerIdFile = "kuku_computer.txt";
std::string computerIdIn(const std::string& familyDir);
// The computer's name as an id begins: lower-case letters, digits and '-'
// only (a dot would end it in a file name), at most 16; "pc" when none is left.
std::string idOfHost(const std::string& hostName);

class QLockFile;

class ProgramSlot {
public:
    ProgramSlot();
    ~ProgramSlot();
    ProgramSlot(const ProgramSlot&) = delete;
    ProgramSlot& operator=(const ProgramSlot&) = delete;

    // The id this program writes under; the slot is held until destruction.
    // Where no lock can be kept (a folder not writable) the id is used as is.
    std::string take(const std::string& familyDir, const std::string& computerId);

private:
    std::unique_ptr<QLockFile> lock_;
};
