#pragma once

#include "engine/AffineMap.h"

#include <vector>

// Maps picked with unequal chances.
namespace fenra {

// The chance of picking each map, summing to 1: p_k / Σp. A p that is not a
// positive number counts as 0. Where every p is 0 (or there are none), the
// chances follow the maps' areas instead: |det| of each map's linear part,
// with a floor of 1% of the largest, so a map that flattens everything onto a
// line (a fern's stalk) is still drawn; maps that are all flat get equal chances.
std::vector<double> pickWeights(const std::vector<AffineMap>& maps, const std::vector<double>& p = {});

}   // namespace fenra
