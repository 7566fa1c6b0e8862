#pragma once

#include "render/HitSums.h"

#include <cstdint>
#include <vector>

namespace fenra::render {

struct Tone {
    double gamma = 2.2;        // > 0; above 1 lifts the faint parts
    double brightness = 1.0;   // > 0; multiplies the light of every pixel
    int oversample = 1;        // the sums are this many times larger each way than the picture
    bool flat = false;         // every pixel hit at full light, as the window draws
    bool operator==(const Tone&) const = default;
};

// 0xFFRRGGBB, row by row.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// The picture of accumulated hits. A pixel's colour is the hue of the mean
// colour of its hits, its strongest channel at the pixel's light: brightness ·
// (log(1 + hits) / log(1 + most hits))^(1/gamma), at most 1 (or 1 wherever
// hit, when flat). So mixed colours stay as bright as pure ones. With oversampling, each fine pixel is lit so and the picture is
// filtered down with a tent one picture pixel wide each side, which smooths
// edges without the blockiness of plain averaging.
Image toneMap(const HitSums& sums, const Tone& tone);

} // namespace fenra::render
