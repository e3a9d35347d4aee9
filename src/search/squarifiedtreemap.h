#pragma once

#include <vector>

namespace zentrix {

struct TreemapRect {
    double x = 0;
    double y = 0;
    double w = 0;
    double h = 0;
    double area() const { return w * h; }
    bool contains(double px, double py) const {
        return px >= x && py >= y && px < x + w && py < y + h;
    }
};

/// The squarified treemap layout: `bounds` is divided into one rectangle per
/// size, each with an area proportional to its size, laid out largest first in
/// rows along the shorter side, a row growing while that makes its worst aspect
/// ratio no worse. The rectangles come back in the order of `sizes`; a size of
/// 0 (or less) gets an empty rectangle.
std::vector<TreemapRect> SquarifiedLayout(const std::vector<double>& sizes, TreemapRect bounds);

} // namespace zentrix
