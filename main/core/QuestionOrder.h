// Question order of a run, the stretch of a range, speeds, names and the
// student number.
#pragma once

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "main/core/StudyState.h"

struct RangeStretch {
    int firstPos;
    int endPos;
    int count;
};

RangeStretch rangeStretch(int rangeIndex);

// Tables in range-list order (1, 2, 5, 3, 4, 6, 8, 7, 9), each x1 .. x9.
void buildQuestionOrder(StudyState& st);
// Reverses each block of nine in place: every table runs x9 .. x1.
void reverseBlocks(StudyState& st);

// Ranks of drawn values: the largest value gets rank 0; equal values get
// consecutive ranks, the earlier position the smaller.
std::vector<int> ranksFromDraws(const std::vector<int>& draws);
// count uniform values in 0..98.
std::vector<int> drawValues(std::mt19937& random, int count);
// Re-seeds from the clock, draws count values in 0..98 and stores their ranks.
void shuffle(StudyState& st, int count);
void seedRandom(StudyState& st);

// The k-th question of a pass for the current orderMode.
int questionAt(const StudyState& st, int k);

// Sets speedIndex with its stepPause and waitLimit.
void selectSpeed(StudyState& st, int speedIndex);

// Name of the chosen range inside messages: 五の段, 一・二・五の段, すべての段.
std::string rangeName(const StudyState& st);

// Sum of the name's CP932 bytes, each read as signed 8 bits widened to 16.
int studentNumber(std::string_view utf8Name);

// Answer record: 2 everywhere (not asked).
void clearKekka(StudyState& st);
