// A cell of a grid as the window logic decides it, in plain colours that the
// window turns into the toolkit's: its text (lines split by '\n'), its fill
// and its ink.
#pragma once

#include <string>

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

struct GridCell {
    std::string text;
    Rgb fill;
    Rgb ink;
};
