// Where a picture longer than a page is cut into pages.
#pragma once

#include <vector>

struct PageSlice {
    double top = 0;     // in the picture's own units
    double height = 0;
    bool operator==(const PageSlice&) const = default;
};

// The page that starts at `top`: as much of the picture as `room` holds,
// down to the last of `breaks` (such as the bottoms of a grid's rows) that
// fits on it, so that no row is cut in two; only a row taller than a page
// is cut. The last page takes what is left.
PageSlice nextPageSlice(double top, double pictureHeight, double room, const std::vector<int>& breaks);
// Every page, each with the same room.
std::vector<PageSlice> pageSlices(double pictureHeight, double perPage, const std::vector<int>& breaks);
