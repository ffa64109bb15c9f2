#include "windows/core/PageSplit.h"

#include <algorithm>

PageSlice nextPageSlice(double top, double pictureHeight, double room, const std::vector<int>& breaks) {
    room = std::max(1.0, room);
    double height = std::min(room, pictureHeight - top);
    if (top + height < pictureHeight) {
        double lastBreak = 0;
        for (int bottom : breaks)
            if (bottom > top && bottom <= top + room) lastBreak = std::max(lastBreak, double(bottom));
        if (lastBreak > 0) height = lastBreak - top;
    }
    return {top, height};
}

std::vector<PageSlice> pageSlices(double pictureHeight, double perPage, const std::vector<int>& breaks) {
    std::vector<PageSlice> slices;
    for (double top = 0; top < pictureHeight; top += slices.back().height)
        slices.push_back(nextPageSlice(top, pictureHeight, perPage, breaks));
    return slices;
}
