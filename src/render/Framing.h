#pragma once

#include "engine/AffineMap.h"
#include "render/RenderRequest.h"

#include <optional>
#include <vector>

// Where a picture looks: the box of the maps' attractor, fitted to a picture.
namespace fenra::render {

// The attractor's bounding box, unpadded: a short run of fixed seed, which
// picks maps by `weights` (one per map, >= 0), plus the fixed points of the
// maps that are picked at all. Nothing without maps, with weights that do not
// match or add to nothing, or when the points run off to infinity.
std::optional<ViewBox> attractorBox(const std::vector<AffineMap>& maps, const std::vector<double>& weights);

// The pipeline's fit: the attractor's box with a 5% margin on every side,
// grown across or down to the aspect of width × height about its centre. A box
// that is a single point or a line is given the other span's size (or 1 for a point).
std::optional<ViewBox> fitBox(const std::vector<WeightedMap>& maps, int width, int height);

}   // namespace fenra::render
