#include "animate/ViewBoxes.h"

#include <algorithm>

namespace fenra::animate {

ViewBox grownToAspect(ViewBox box, int width, int height)
{
    const double w = box.x1 - box.x0, h = box.y1 - box.y0;
    const double aspect = double(width) / double(height);
    if (w < h * aspect) {
        const double grow = (h * aspect - w) / 2.0;
        box.x0 -= grow;
        box.x1 += grow;
    } else {
        const double grow = (w / aspect - h) / 2.0;
        box.y0 -= grow;
        box.y1 += grow;
    }
    return box;
}

ViewBox unionBox(const std::vector<ViewBox>& fitted, int width, int height)
{
    ViewBox all = fitted.at(0);
    for (const auto& b : fitted) {
        all.x0 = std::min(all.x0, b.x0);
        all.y0 = std::min(all.y0, b.y0);
        all.x1 = std::max(all.x1, b.x1);
        all.y1 = std::max(all.y1, b.y1);
    }
    return grownToAspect(all, width, height);
}

std::vector<ViewBox> followedBoxes(const std::vector<ViewBox>& fitted, bool loop, int radius, int width, int height)
{
    const int count = int(fitted.size());
    std::vector<ViewBox> followed;
    for (int f = 0; f < count; ++f) {
        ViewBox sum{0, 0, 0, 0};
        double total = 0.0;
        for (int k = -radius; k <= radius; ++k) {
            const int i = loop ? ((f + k) % count + count) % count : std::clamp(f + k, 0, count - 1);
            const double weight = radius + 1 - std::abs(k);
            sum.x0 += weight * fitted[i].x0;
            sum.y0 += weight * fitted[i].y0;
            sum.x1 += weight * fitted[i].x1;
            sum.y1 += weight * fitted[i].y1;
            total += weight;
        }
        const ViewBox mean{sum.x0 / total, sum.y0 / total, sum.x1 / total, sum.y1 / total};
        followed.push_back(unionBox({mean, fitted[f]}, width, height));
    }
    return followed;
}

}   // namespace fenra::animate
