// クラスのきろく: what a teacher sees of a class folder, in which every
// child's program keeps that child's files in a folder named after the
// child. Each child's passes are marked as the qualification grid marks
// them; the class's answers make one map of hard facts.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "main/core/ChildFiles.h"
#include "main/core/FactRecord.h"
#include "windows/core/Qualification.h"

struct ClassChild {
    enum class State { Whole, Damaged };
    std::string name;  // the folder's name: the name the child types
    State state = State::Whole;
    std::string fault;  // what is wrong, for the teacher's tooltip
    CheckGrid grid;     // marks as the qualification window shows them, the check run
    Rank rank = Rank::None;
    FactRecord record;
    bool arriving = false;  // a file still being copied in by a sync engine
};

struct ClassView {
    std::vector<ClassChild> children;  // by name
    FactRecord merged;                 // every child's answers counted together
};

// Told after each child's folder is read, with how many there are; reading
// stops when it returns false.
using ClassReadProgress = std::function<bool(int done, int total)>;

// Reads every child's folder, each the merge of every computer's files; a
// folder without a settings file, or whose newest pass table or a record is
// not whole, is marked damaged with what could be read, and never stops the rest.
ClassView readClassFolder(const std::string& folder, const ClassReadProgress& progress = {});
// One child as the class view shows them.
ClassChild childOf(const std::string& name, const ChildMerge& merged);

// The two answer orders of the pass table, for the 13 ranges.
inline constexpr int kClassRanges = 13;
inline constexpr int kClassOrders = 2;

// UTF-8 with a BOM, CRLF lines, quoted where needed: a heading row, then a
// child per row: name, state, rank, then ◎/― for each range and order.
std::string classCsv(const ClassView& view);
