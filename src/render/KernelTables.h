#pragma once

#include "render/RenderPlan.h"

#include <cstdint>

namespace fenra::render {

// The plan as the kernel reads it: per-map columns, padded to kMaxMaps so a
// whole register of them can be loaded and permuted.
struct alignas(64) KernelTables {
    float c[6][kMaxMaps] = {};        // c[j][k]: coefficient j + 1 of map k
    float colourAt[kMaxMaps] = {};    // map k's colour coordinate, 0 to 1 (Blend)
    std::int32_t threshold[kMaxMaps] = {};
    std::int32_t alias[kMaxMaps] = {};
    std::int32_t drawn[kMaxMaps] = {};   // -1 shown, 0 hidden
    int maps = 1;
    bool weighted = false;
    bool blend = false;
    bool allDrawn = true;
    float sx = 1, tx = 0, sy = 1, ty = 0;
    float width = 1, height = 1;      // pixels, as compared against
    std::int32_t stride = 1;          // pixels in a row
    std::uint64_t seed = 0;
};

} // namespace fenra::render
