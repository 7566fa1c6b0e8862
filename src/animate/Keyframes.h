#pragma once

#include "animate/PipelineTypes.h"
#include "animate/Timeline.h"

#include <vector>

namespace fenra::animate {

using KeyMaps = std::vector<WeightedMap>;

// The maps at an instant between keys (each key: 1 or more maps, weights not all
// 0). Maps are paired by their place; a key without a place's map has that
// place's map from its nearest key that has one, at weight 0, so it fades in and
// out by weight. Weights are each key's shares (summing to 1), blended with
// the map's turn (the short way round), the log of its stretch, its mirror and
// its translation, on a Catmull-Rom curve through every key; a weight never
// drops below 0. An instant on a key gives that key's own maps.
KeyMaps mapsAt(const std::vector<KeyMaps>& keys, bool loop, Instant at);

}   // namespace fenra::animate
