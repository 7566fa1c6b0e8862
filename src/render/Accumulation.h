#pragma once

#include "engine/Raster.h"

#include <cstdint>
#include <span>
#include <vector>

namespace fenra {

// The one buffer a render adds its points into, shared by all its streams, so
// memory does not grow with threads. Streams may add at the same time; the
// result depends only on what each stream drew, never on their timing: a
// pixel keeps the colour of the last point of the highest stream that drew it,
// and (for density) the number of points that fell on it, a whole number.
class Accumulation {
public:
    enum class Kind { Pixels, Density };
    static constexpr int kMaxStreams = 255;   // a stream's number rides in a pixel's top byte

    // `shared`: whether more than one stream adds; one stream needs no atomic steps.
    Accumulation(int width, int height, Kind kind, bool shared);

    // Bytes the buffer takes, for a check before it is made.
    static std::uint64_t bytesFor(int width, int height, Kind kind);

    // Stream `stream` (0 to kMaxStreams - 1) adds its points in the order drawn.
    void add(int stream, std::span<const PixelHit> hits);

    // The picture, 0xFFRRGGBB row by row: each pixel's colour, black where
    // nothing was drawn; a density picture shades each colour by
    // log(1 + hits) / log(1 + most hits), rounded per channel. It reuses the
    // buffer, which is left empty.
    std::vector<std::uint32_t> takePicture();

private:
    Kind m_kind;
    bool m_shared;
    std::vector<std::uint32_t> m_colours;   // (stream + 1) << 24 | red, green, blue; 0: not drawn
    std::vector<std::uint64_t> m_hits;      // density only
};

} // namespace fenra
