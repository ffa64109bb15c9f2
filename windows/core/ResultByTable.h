// The outcome of the last test of one table, as its results window shows it:
// three passes of nine questions, a verdict and whether it may be registered.
#pragma once

#include <functional>
#include <string>

#include "windows/core/ResultCommon.h"

struct StudyState;

struct TableResult {
    static constexpr int kColumns = 4;  // formulas, then passes 1-3
    static constexpr int kRows = 10;    // heading, then multipliers 1-9

    std::string title;
    std::string cells[kColumns][kRows];
    int answered = 0;  // of the 27 outcomes, those asked
    int wrong = 0;     // of those, the ones not right
    std::string verdict;
    bool registrable = false;
    PassCell pass;

    const std::string& cell(int column, int row) const { return cells[column][row]; }
};

// Reads the answer record in its table layout, for the table currentDan.
TableResult readTableResult(const StudyState& st);

// Where registration was asked for: each has its own refusal.
enum class RegisterFrom { Button, Menu };

// Registers the pass unless a question was answered wrong; returns the
// refusal to show then, else an empty text.
std::string registerTableResult(StudyState& st, const TableResult& result, RegisterFrom from,
                                const std::function<void()>& openQualification);
