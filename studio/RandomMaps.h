#pragma once

#include "engine/RandomSource.h"
#include "studio/StudioDocument.h"

namespace fenra::studio {

// A fresh set of 2 to 6 maps that always draws: each one turns, scales
// (by 0.25 to 0.7 along each axis, so it shrinks every way), may mirror, and
// lands somewhere in [-1, 1]²; all picked equally often, as the window picks them. The set contracts on average
// by construction, and is checked once more so a change here cannot break it.
MapList randomMaps(RandomSource& random);

}   // namespace fenra::studio
