#pragma once

#include <cstdint>
#include <vector>

namespace fenra::render {

// Walker's alias table for picking map k with probability w_k / Σw in O(1):
// a draw u in [0, n) picks bucket k = floor(u), then k itself when the
// bucket's fraction is below threshold[k] / kScale, else alias[k].
// Built in whole numbers, so every machine builds the same table; each map's
// share is its weight rounded to 1 / (n · kScale).
struct AliasTable {
    static constexpr std::int64_t kScale = std::int64_t(1) << 26;

    std::vector<std::int32_t> threshold;   // 0 .. kScale
    std::vector<std::int32_t> alias;

    // Throws std::invalid_argument for no weights, a negative or non-finite
    // weight, or weights that are all 0.
    explicit AliasTable(const std::vector<double>& weights);

    // Whether every map is as likely as any other (every bucket keeps its own).
    bool uniform() const;
};

}   // namespace fenra::render
