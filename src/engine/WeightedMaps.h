#pragma once

#include "engine/PointLoop.h"
#include "engine/RunSettings.h"

#include <optional>
#include <vector>

// Maps picked with unequal chances, and a view that frames their attractor.
namespace fenra {

// The chance of picking each map, summing to 1: p_k / Σp. A p that is not a
// positive number counts as 0. Where every p is 0 (or there are none), the
// chances follow the maps' areas instead: |det| of each map's linear part,
// with a floor of 1% of the largest, so a map that flattens everything onto a
// line (a fern's stalk) is still drawn; maps that are all flat get equal chances.
std::vector<double> pickWeights(const std::vector<ParsedMap>& maps, const std::vector<double>& p = {});

// A zoom that frames the attractor in the picture (794 x 381 pixels): map
// units times `scale` plus the shifts give twips, with the y axis flipped as
// in a run, and no offsets. The bounding box comes from a short run of fixed
// seed plus the maps' fixed points, and is fitted with a 5% margin on every
// side at the same scale across and down. A box that is a single point or a
// line is centred, at the window's 1x scale for a point. Without an answer
// (no maps, weights that do not match, points that run off to infinity):
// nothing.
std::optional<ZoomStep> fitFrame(const std::vector<ParsedMap>& maps, const std::vector<double>& weights);

} // namespace fenra
