#pragma once

#include "engine/AffineMap.h"

#include <vector>

namespace fenra {

// The largest factor by which the map's linear part stretches any vector.
double largestStretch(const AffineMap& map);

// Whether a point driven by these maps, each picked with its weight, comes
// closer to the attractor on average: Σ p·log(largest stretch) < 0, p the
// weights normalised to sum 1. A pure translation (stretch 1) or a set that
// grows does not, and its points run off. Weights that are empty count as equal.
bool contractsOnAverage(const std::vector<AffineMap>& maps, const std::vector<double>& weights = {});

}   // namespace fenra
