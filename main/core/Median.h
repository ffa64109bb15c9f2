// The typical time of a set of answers, one rule for the map, the history
// and the chart, so that they show the same time for the same answers.
#pragma once

#include <vector>

// The middle value, halfway between the two middle ones for an even count;
// 0 for none.
int median(std::vector<int> values);
