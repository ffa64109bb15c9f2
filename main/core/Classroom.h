// A class folder: a school's share, or a folder a sync engine keeps in step
// across computers. Each child of the class keeps their files in a folder of
// it named after the name they type, written only by their own program and
// always in one step, so that many computers write at once without locks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Beside the first child's settings file: the class folder chosen in the
// children's window. Only written once one is chosen.
inline constexpr const char* kClassFolderNoteFile = "kuku_class.txt";
// In a child's class folder: which computer has the child open, and since when.
inline constexpr const char* kLeaseFileName = "kuku_lease.txt";
// A lease is renewed this often while the child is open, and counts as left
// behind (a computer switched off mid-run) when it is this old.
inline constexpr std::int64_t kLeaseRenewSeconds = 60;
// The other programs' leases are read this often, so that a child open on
// two computers hears of it within a minute, a sync engine's delay included.
inline constexpr std::int64_t kLeaseCheckSeconds = 15;
inline constexpr std::int64_t kLeaseStaleSeconds = 180;

// The folder a new name is kept in: full-width letters, digits and spaces
// made plain (NFKC), every run of spaces one space, none around it, what no
// folder name may hold replaced by '_' and no leading dot; empty when no
// name is left.
std::string classFolderNameOf(const std::string& typedName);
// What two names that are one child have in common: the folder name above,
// with upper and lower case alike.
std::string foldedChildName(const std::string& typedName);
// The folder of classDir (ending in '/') that holds the typed name's child:
// one whose name folds as the typed name does, even one written before names
// were folded ("Taro" for "taro"); else the folder a new name is kept in.
std::string classChildFolderOf(const std::string& classDir, const std::string& typedName);

struct Lease {
    std::string computer;
    std::int64_t process = 0;
    std::int64_t atSeconds = 0;  // seconds since 1970, UTC
};

std::string leaseText(const Lease& lease);
bool leaseFromText(const std::string& text, Lease& out);

enum class LeaseState {
    Free,          // no lease, or one left behind: ours to take
    Ours,          // this very program holds it
    HeldElsewhere  // another program, here or on another computer, has the child open
};
// `held` is the lease found in the child's folder, or null.
LeaseState leaseState(const Lease* held, const Lease& ours, std::int64_t nowSeconds);

// The lease in a child's folder (ending in '/'); false when there is none or
// it cannot be read.
bool readLease(const std::string& childFolder, Lease& out);
// False when it could not be written; *error names the file.
bool writeLease(const std::string& childFolder, const Lease& lease, std::string* error = nullptr);
// Removes the lease only when it is still ours.
void releaseLease(const std::string& childFolder, const Lease& ours);

// Every program that opens a child of the class keeps a lease of its own,
// in a folder of the class folder (so that a name only typed in passing
// leaves no child's folder behind): <child>.<computer id>.<process>.txt.
// The lease only tells; it never guards.
inline constexpr const char* kLeaseFolder = ".kuku_lease";
std::string leasePath(const std::string& classDir, const std::string& folderName, const std::string& computer,
                      std::int64_t process);
// Every lease on the child, a lease in the child's folder from before included.
std::vector<Lease> leasesOn(const std::string& classDir, const std::string& folderName);
// The other programs that have the child open now, one each.
std::vector<Lease> othersOpen(const std::vector<Lease>& leases, const Lease& ours, std::int64_t nowSeconds);
bool takeLease(const std::string& classDir, const std::string& folderName, const std::string& computer,
               const Lease& ours);
void dropLease(const std::string& classDir, const std::string& folderName, const std::string& computer,
               const Lease& ours);

// What both computers tell the child when a second one opens them.
std::string openElsewhereText(const std::string& typedName, const std::string& otherComputer);

// What a child is told once when their files in the class cannot be used
// (a link, a special file, too large, unreadable): the reason is for the adult.
std::string unusableRecordText(const std::string& typedName, const std::string& why);

// The class folder noted in familyDir (ending in '/'); empty when none.
std::string readClassFolderNote(const std::string& familyDir);
// Notes the class folder; an empty one removes the note.
bool writeClassFolderNote(const std::string& familyDir, const std::string& classFolder, std::string* error = nullptr);

// What the program was started with, for a classroom's desktop entry:
// --class-folder DIR (or --class-folder=DIR) and --teacher.
struct ClassOptions {
    std::string classFolder;
    bool teacher = false;
    std::string error;  // a text for the user when the options cannot be used
};
ClassOptions classOptionsFrom(int argc, const char* const* argv);
