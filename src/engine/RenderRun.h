#pragma once

#include "engine/DataSets.h"
#include "engine/PickDataSet.h"
#include "engine/Raster.h"
#include "engine/RunSettings.h"

#include <cstdint>
#include <functional>

namespace fenra {

class RandomSource;

// One run of the random iteration: clears the raster to black, then for
// plan.iterations steps picks a map (PickDataSet's rule), moves the point,
// zooms, flips and offsets it, and sets one pixel when the picked set's Show
// box is ticked. The current map is carried in and left as the last pick made
// it. Returns how many pixels were set inside the raster.
//
// A step that fails keeps what it would have set: a coefficient text that is
// not a number freezes its coordinate, a coordinate that overflows keeps its
// last value, a position beyond what a single-precision number holds draws
// nothing. The run never stops early.
//
// `progress`, when given, is told the number of steps done after every block
// of kProgressSteps steps and at the end; the picture and the draws taken are
// the same with it as without.
inline constexpr std::int64_t kProgressSteps = 1 << 16;
using RunProgress = std::function<void(std::int64_t stepsDone)>;
std::int64_t renderRun(const DataSetTexts& dataSets, const RunPlan& plan, CurrentMap& map, RandomSource& random,
                       RasterView raster, const RunProgress& progress = {});

}   // namespace fenra
