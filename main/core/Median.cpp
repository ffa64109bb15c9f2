#include "main/core/Median.h"

#include <algorithm>
#include <cstdint>

int median(std::vector<int> values) {
    const size_t n = values.size();
    if (n == 0) return 0;
    std::sort(values.begin(), values.end());
    return n % 2 ? values[n / 2] : int((std::int64_t(values[n / 2 - 1]) + values[n / 2]) / 2);
}
