#pragma once

#include "engine/AffineMap.h"
#include "engine/RunSettings.h"

#include <optional>
#include <vector>

// The window's framing of an attractor, as a zoom item would give it (see Framing.h).
namespace fenra::render {

// A zoom that frames the attractor in the window's picture (794 x 381 pixels):
// map units times `scale` plus the shifts give twips, with the y axis flipped
// as in a run, and no offsets; the box fitted with a 5% margin on every side
// at the same scale across and down. A box that is a single point or a line is
// centred, at the window's 1x scale for a point.
std::optional<ZoomStep> fitFrame(const std::vector<AffineMap>& maps, const std::vector<double>& weights);

}   // namespace fenra::render
