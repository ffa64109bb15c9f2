// What each cell of the multiplication table window shows. Everything is
// decided from the cell's position and the study state, so a cell drawn
// twice, or at a row the user moved, always comes out the same.
#pragma once

#include <string>

#include "windows/core/GridCell.h"

struct StudyState;

namespace dantable {

inline constexpr int kColumns = 9;  // one per table (段) 1..9
inline constexpr int kRows = 10;    // the heading row, then multipliers 1..9

// Whether table `dan` (1..9) stands out for this opening.
bool isLit(int refFromContent, int rangeIndex, int dan);

// The cell at row 0..9, column 0..8 (the column shows table column + 1).
GridCell cellAt(const StudyState& st, int row, int column);

// The three lines of fact dan x multiplier: formula = product, then the
// reading up to the product and the product's reading.
std::string factText(int dan, int multiplier);

}  // namespace dantable
