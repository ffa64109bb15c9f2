#include "windows/core/PageSplit.h"

#include <algorithm>

std::vector<PageSlice> pageSlices(double pictureHeight, double perPage, const std::vector<int>& breaks) {
    std::vector<PageSlice> slices;
    perPage = std::max(1.0, perPage);
    for (double top = 0, height = 0; top < pictureHeight; top += height) {
        height = std::min(perPage, pictureHeight - top);
        if (top + height < pictureHeight) {
            double lastBreak = 0;
            for (int bottom : breaks)
                if (bottom > top && bottom <= top + perPage) lastBreak = std::max(lastBreak, double(bottom));
            if (lastBreak > 0) height = lastBreak - top;
        }
        slices.push_back({top, height});
    }
    return slices;
}
