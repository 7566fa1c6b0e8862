#pragma once

#include "animate/Keyframes.h"

namespace fenra::animate {

// The point a map turns about: its fixed point, or for a map without one (a pure
// translation, or one that keeps some direction's length) the centre of its
// parallelogram, the image of the unit square.
void spinCentre(const AffineMap& map, double centre[2]);

// Every map turned by `turns` full turns times the instant about its own centre,
// so the picture spins and is back where it started at the instant 1.
KeyMaps spun(KeyMaps maps, int turns, Instant at);

}   // namespace fenra::animate
