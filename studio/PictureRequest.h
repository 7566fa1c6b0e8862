#pragma once

#include "render/Pipeline.h"
#include "studio/MapCanvas.h"
#include "studio/StudioDocument.h"

#include <QSize>

#include <optional>

// The studio's maps as the pipeline's requests.
namespace fenra::studio {

// Points a live picture stops at: beyond them it no longer changes to the eye.
inline constexpr std::int64_t kLivePointsCap = 200'000'000;
// The live picture's seed: the same maps give the same picture, so an undo shows what was there.
inline constexpr std::uint64_t kLiveSeed = 1;

std::vector<render::WeightedMap> weightedMaps(const MapList& maps, const std::vector<bool>& shown);

// The live picture of `box` at the canvas's device pixels: log density in the maps' colours.
render::RenderRequest liveRequest(const MapList& maps, const std::vector<bool>& shown, const PlaneBox& box,
                                  QSize devicePixels);

// The pipeline's fit of the attractor to a canvas of this size; nothing when its points run off.
std::optional<PlaneBox> attractorBox(const MapList& maps, QSize canvas);

}   // namespace fenra::studio
