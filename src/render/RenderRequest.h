#pragma once

#include "engine/AffineMap.h"

#include <cstdint>
#include <vector>

// What a render draws, as one plain value: the maps, the picture's frame, how
// it is coloured and lit, how finely and how long it is drawn. Every program
// that draws through the pipeline (the command line, the studio, animation)
// builds one of these; the same value gives the same picture everywhere.
namespace fenra::render {

inline constexpr int kMaxMaps = 64;

// One map of a render: the one affine type, how often it is picked, its colour.
struct WeightedMap {
    AffineMap map = {};
    double weight = 1.0;        // >= 0, not all 0 in a request; picks are in proportion
    std::uint32_t colour = 0;   // 0xFFRRGGBB its hits add (Colouring::MapColours)
    bool shown = true;          // a hidden map still moves the point, draws nothing
    bool operator==(const WeightedMap&) const = default;
};

// A rectangle of the plane in map units, y up: the left edge at x0, the top at y1.
struct ViewBox {
    double x0 = -1, y0 = -1, x1 = 1, y1 = 1;
    bool operator==(const ViewBox&) const = default;
};

// The picture: its size in pixels and where map units land in it
// (column = x·sx + tx, row = y·sy + ty, in picture pixels); a point is drawn
// when it lands inside [0, width) × [0, height).
struct Frame {
    int width = 1, height = 1;
    double sx = 1, tx = 0, sy = 1, ty = 0;

    // The box fills the picture (stretched if their aspects differ).
    static Frame ofBox(const ViewBox& box, int width, int height);
    // The box the picture shows: the inverse of ofBox.
    ViewBox box() const;
    // The window's picture at `scale` picture pixels per window pixel: map
    // units times zoomScale plus shiftX/shiftY twips, flipped, then the offsets.
    static Frame window(double zoomScale, double shiftX, double shiftY, double moveX, double moveY, int scale);
    // The same frame `factor` times finer each way: the grid of the sums.
    Frame finer(int factor) const;

    bool operator==(const Frame&) const = default;
};

enum class Colouring {
    MapColours,   // each hit adds the colour of the map that drew it
    Palette,      // each chain carries a colour coordinate, halfway to its map's at every step, looked up in a palette
};
struct ColourPlan {
    Colouring colouring = Colouring::MapColours;
    bool density = true;   // light by log density; false: every hit pixel at full light (the window's look)
    bool operator==(const ColourPlan&) const = default;
};
struct Tone {
    double gamma = 2.2;        // > 0; above 1 lifts the faint parts
    double brightness = 1.0;   // > 0; multiplies the light of every pixel
    bool operator==(const Tone&) const = default;
};

struct RenderRequest {
    std::vector<WeightedMap> maps = {};   // 1 to kMaxMaps
    Frame frame = {};                     // the picture, in picture pixels
    ColourPlan colour = {};
    Tone tone = {};
    int oversample = 1;        // the sums are this many times finer each way
    std::int64_t points = 0;   // drawn (or dropped outside), after each chain's first steps
    std::uint64_t seed = 0;
    bool operator==(const RenderRequest&) const = default;

    // The grid the sums are counted in: the frame, oversample times finer.
    Frame sumsFrame() const { return frame.finer(oversample); }
};

}   // namespace fenra::render
