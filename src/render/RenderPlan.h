#pragma once

#include "engine/AffineMap.h"

#include <cstdint>
#include <vector>

// What a big render draws: the maps, how often each is picked, how hits are
// coloured, and where map units land in the picture. Plain numbers only.
namespace fenra::render {

inline constexpr int kMaxMaps = 64;

using AffineMap = fenra::AffineMap;

enum class Colouring {
    SetColours,   // each hit adds the colour of the map that drew it
    Blend,        // each chain carries a colour coordinate, halfway to the map's at every step,
                  // looked up in the gradient palette
};

// Where a point lands, in pixels of the grid of sums:
// column = x·sx + tx, row = y·sy + ty; drawn when inside [0, width) × [0, height).
struct Frame {
    double sx = 1.0, tx = 0.0, sy = 1.0, ty = 0.0;
    int width = 1, height = 1;

    // The window's picture at `pixelsPerPixel` grid pixels per window pixel: map
    // units times zoomScale plus shiftX/shiftY twips, flipped, then the offsets.
    static Frame window(double zoomScale, double shiftX, double shiftY, double moveX, double moveY,
                        int pixelsPerPixel);
};

struct RenderPlan {
    std::vector<AffineMap> maps;          // 1 to kMaxMaps
    std::vector<double> weights;          // one per map, >= 0, not all 0; empty: all equal
    std::vector<bool> shown;              // one per map; empty: all shown. A hidden map moves the point, draws nothing
    Colouring colouring = Colouring::SetColours;
    std::vector<std::uint32_t> mapColours;   // 0xFFRRGGBB per map for SetColours; empty: setColour(k + 1)
    Frame frame;
    std::int64_t points = 0;              // points drawn (or dropped outside), after each chain's first steps
    std::uint64_t seed = 0;
};

} // namespace fenra::render
