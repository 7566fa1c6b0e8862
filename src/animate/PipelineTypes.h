#pragma once

#include "engine/AffineMap.h"

#include <cstdint>

// The render pipeline's values that animation works with.
namespace fenra::animate {

struct WeightedMap {
    AffineMap map;
    double weight = 1.0;
    std::uint32_t colour = 0;
    bool shown = true;
    bool operator==(const WeightedMap&) const = default;
};

struct ViewBox {
    double x0 = -1, y0 = -1, x1 = 1, y1 = 1;
    bool operator==(const ViewBox&) const = default;
};

} // namespace fenra::animate
