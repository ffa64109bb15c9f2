// The answer record of the last test and the pass table that outlives runs.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "main/core/StudyState.h"

// Stores the outcome of question q (0-80) in pass passNo (1-based) of the
// test of the current rangeIndex: a single table uses one row per pass, a
// level nine rows per pass, one per table. Cells outside the record, or an
// unknown rangeIndex, are ignored.
void setKekka(StudyState& st, int passNo, int q, int right);

// Row (1-14) of the pass table that holds the pass of a range; 0 for an
// index outside 0-12.
int passRowOf(int rangeIndex);

// Marks column (1-4), row (1-14) of the pass table as passed and asks for the
// certificate of that one range, then opens the qualification window. A
// cell outside the table is not touched.
void registerPass(StudyState& st, int column, int row, const std::function<void()>& openQualification = {});

// Fills all 56 flags from one byte each, column by column: a byte that is
// not a digit, or a position past the end, gives 0; bytes after the 56th are
// ignored.
void recCheckFromText(StudyState& st, std::string_view text);
// The 56 flags as "0"/"1", column by column. Any non-zero flag is written as
// "1" so that every flag keeps its one position.
std::string recCheckToText(const StudyState& st);
