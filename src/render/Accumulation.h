#pragma once

#include "engine/Raster.h"

#include <cstdint>
#include <span>
#include <vector>

namespace fenra {

// The picture of the window's one chain at any size, as its points are drawn
// in order: a pixel keeps the colour of the last point on it, and (for
// density) the number of points that fell on it.
class Accumulation {
public:
    // With `density`, the hits of each pixel are counted too.
    Accumulation(int width, int height, bool density);

    // Bytes the buffer takes, for a check before it is made.
    static std::uint64_t bytesFor(int width, int height, bool density);

    // Adds points in the order drawn.
    void add(std::span<const PixelHit> hits);

    // The picture, 0xFFRRGGBB row by row: each pixel's colour, black where
    // nothing was drawn; a density picture shades each colour by
    // log(1 + hits) / log(1 + most hits), rounded per channel. It reuses the
    // buffer, which is left empty.
    std::vector<std::uint32_t> takePicture();

private:
    bool m_density;
    std::vector<std::uint32_t> m_colours;   // 0: not drawn (every colour drawn is opaque)
    std::vector<std::uint64_t> m_hits;      // density only
};

}   // namespace fenra
