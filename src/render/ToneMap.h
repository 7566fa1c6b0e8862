#pragma once

#include "engine/Raster.h"
#include "render/HitSums.h"
#include "render/RenderRequest.h"

#include <cstdint>
#include <vector>

namespace fenra::render {

// 0xFFRRGGBB, row by row.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    RasterView view() { return {pixels.data(), width, height, width}; }
    RasterView view() const { return {const_cast<std::uint32_t*>(pixels.data()), width, height, width}; }
};

// The picture (request.frame's size) of sums made for `request`. A pixel's
// colour is the hue of the mean colour of its hits, its strongest channel at
// the pixel's light: brightness · (log(1 + hits) / log(1 + most hits))^(1/gamma),
// at most 1 (or 1 wherever hit, without density). So mixed colours stay as
// bright as pure ones. With oversampling, each fine pixel is lit so and the
// picture is filtered down with a tent one picture pixel wide each side, which
// smooths edges without the blockiness of plain averaging. Pure: the same
// picture for any number of threads.
Image toneMap(const HitSums& sums, const RenderRequest& request, int threads = 1);

}   // namespace fenra::render
