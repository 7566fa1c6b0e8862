#pragma once

#include <array>
#include <cstdint>

namespace fenra::render {

// The colour of set k (1 to 64), 0xFFRRGGBB: the window's Data colours for
// sets 1 to 6; beyond them, bright hues a golden angle apart, so neighbours differ.
std::uint32_t setColour(int k);

// The palette a chain's colour coordinate (0 to 1) is looked up in, 256 steps:
// deep blue through violet, red and orange to pale yellow.
const std::array<std::uint32_t, 256>& gradientPalette();

}   // namespace fenra::render
