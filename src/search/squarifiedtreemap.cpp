#include "search/squarifiedtreemap.h"

#include <algorithm>

namespace zentrix {
namespace {

/// The worst aspect ratio of a row of areas summing to `sum` laid along `side`.
double worstRatio(double largest, double smallest, double sum, double side) {
    const double s2 = sum * sum;
    const double w2 = side * side;
    return std::max(w2 * largest / s2, s2 / (w2 * smallest));
}

} // namespace

std::vector<TreemapRect> SquarifiedLayout(const std::vector<double>& sizes, TreemapRect bounds) {
    std::vector<TreemapRect> rects(sizes.size(), TreemapRect{bounds.x, bounds.y, 0, 0});
    std::vector<size_t> order;
    double total = 0;
    for (size_t i = 0; i < sizes.size(); ++i)
        if (sizes[i] > 0) {
            order.push_back(i);
            total += sizes[i];
        }
    if (order.empty() || bounds.w <= 0 || bounds.h <= 0)
        return rects;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return sizes[a] > sizes[b]; });
    const double scale = bounds.area() / total;

    TreemapRect free = bounds;
    size_t i = 0;
    while (i < order.size()) {
        const double side = std::min(free.w, free.h);
        double sum = sizes[order[i]] * scale;
        double largest = sum;
        double smallest = sum;
        size_t end = i + 1;
        double worst = worstRatio(largest, smallest, sum, side);
        while (end < order.size()) {
            const double a = sizes[order[end]] * scale;
            const double next =
                worstRatio(std::max(largest, a), std::min(smallest, a), sum + a, side);
            if (next > worst)
                break;
            worst = next;
            sum += a;
            largest = std::max(largest, a);
            smallest = std::min(smallest, a);
            ++end;
        }
        // The row takes a strip of the free rectangle across its shorter side;
        // the last row takes all that is left, so no rounding gap remains.
        const bool last = end == order.size();
        if (free.w >= free.h) {
            const double stripW = last ? free.w : sum / free.h;
            double y = free.y;
            for (size_t k = i; k < end; ++k) {
                const double h =
                    k + 1 == end ? free.y + free.h - y : sizes[order[k]] * scale / stripW;
                rects[order[k]] = {free.x, y, stripW, h};
                y += h;
            }
            free.x += stripW;
            free.w -= stripW;
        } else {
            const double stripH = last ? free.h : sum / free.w;
            double x = free.x;
            for (size_t k = i; k < end; ++k) {
                const double w =
                    k + 1 == end ? free.x + free.w - x : sizes[order[k]] * scale / stripH;
                rects[order[k]] = {x, free.y, w, stripH};
                x += w;
            }
            free.y += stripH;
            free.h -= stripH;
        }
        i = end;
    }
    return rects;
}

} // namespace zentrix
