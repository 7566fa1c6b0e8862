#pragma once

#include "render/HitSums.h"
#include "render/RenderRequest.h"

#include <cstdint>

namespace fenra::render {

// The request as the kernel reads it: per-map columns, padded to kMaxMaps so a
// whole register of them can be loaded and permuted.
struct alignas(64) KernelTables {
    float c[6][kMaxMaps] = {};       // c[j][k]: coefficient j + 1 of map k
    float colourAt[kMaxMaps] = {};   // map k's colour coordinate, 0 to 1 (Palette)
    std::int32_t threshold[kMaxMaps] = {};
    std::int32_t alias[kMaxMaps] = {};
    std::int32_t drawn[kMaxMaps] = {};   // -1 shown, 0 hidden
    int maps = 1;
    bool weighted = false;
    bool blend = false;   // Colouring::Palette
    bool allDrawn = true;
    float sx = 1, tx = 0, sy = 1, ty = 0;
    float width = 1, height = 1;   // pixels of the sums, as compared against
    std::int32_t stride = 1;       // pixels in a row
    std::int32_t firstRow = 0;     // the sums hold rows [firstRow, firstRow + bandRows) of the grid
    std::int32_t bandRows = 1;
    std::uint64_t seed = 0;
};

// The tables of `request`, and in `palette` what each hit adds: map k's colour
// at entry k, or the gradient's 256 steps. Throws std::invalid_argument for a
// request that cannot be drawn into `into` (see accumulate).
// `into` holds the rows of the sums' grid from `firstRow` on (all of them, or a band).
KernelTables kernelTables(const RenderRequest& request, const HitSums& into, HitPalette& palette, int firstRow = 0);

}   // namespace fenra::render
