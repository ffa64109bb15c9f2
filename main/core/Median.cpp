#include "main/core/Median.h"

#include <algorithm>
#include <cstdint>

// In time proportional to the values: a class's map takes the median of
// thousands of answers a fact.
int median(std::vector<int> values) {
    const size_t n = values.size();
    if (n == 0) return 0;
    const auto middle = values.begin() + std::ptrdiff_t(n / 2);
    std::nth_element(values.begin(), middle, values.end());
    if (n % 2) return *middle;
    const int below = *std::max_element(values.begin(), middle);
    return int((std::int64_t(below) + *middle) / 2);
}
