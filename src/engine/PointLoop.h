#pragma once

#include "engine/AffineMap.h"
#include "engine/DataSets.h"
#include "engine/NumberText.h"
#include "engine/PickDataSet.h"
#include "engine/Raster.h"
#include "engine/RunSettings.h"

#include <cstdint>
#include <vector>

// The iteration at the heart of a run, shared by the window and the headless
// renderer: what a run works out once before its loop, the state carried from
// step to step, and the loops that plot into a picture or count hits.
namespace fenra {

class RandomSource;

// Everything a run reads, converted once: it cannot change while a run lasts.
struct PreparedRun {
    // `decimalPoint`: besides the full stop, the separator the coefficient texts may use.
    explicit PreparedRun(const DataSetTexts& dataSets, const RunPlan& plan, const CurrentMap& map,
                         QChar decimalPoint = systemDecimalPoint());

    RunPlan plan;
    MapPicker picker;
    // 0: the texts the current map held when the run began; 1-6: the data sets. A row
    // with a text that is not a number leaves its coordinate where it was: it is
    // stored as the identity row (x' = 1x + 0y + 0, or y' = 0x + 1y + 0), which gives exactly that.
    AffineMap maps[7];
    int initialSetNumber = 0;   // what the current map's set number reads as, until a pick writes it
};

// What survives from one step to the next. A fresh state starts at the origin.
struct LoopState {
    double x = 0.0;
    float y = 0.0f;
    int mapIndex = 0;      // which of PreparedRun::maps the current map's texts are
    int setNumber = 0;     // s, the picked set as a number
    bool picked = false;   // whether a pick wrote the set number
    std::uint32_t colour = kBlack;

    explicit LoopState(const PreparedRun& run) : setNumber(run.initialSetNumber) {}
};

// Where positions in twips land: a grid of kDisplayWidth x kDisplayHeight
// pixels times `scale`, each pixel 15 / scale twips wide.
struct PixelGrid {
    int scale = 1;
    int width() const { return kDisplayWidth * scale; }
    int height() const { return kDisplayHeight * scale; }
};

// Runs `points` steps and sets a pixel of `raster` (a grid of `grid`'s size)
// for each drawn point. Returns how many pixels were set.
std::int64_t plotPoints(const PreparedRun& run, LoopState& state, RandomSource& random, std::int64_t points,
                        const PixelGrid& grid, const RasterView& raster);

// The same steps, each drawn point appended to `hits` (cleared first) as its
// pixel and colour, in the order drawn. Returns how many were drawn.
std::int64_t logHits(const PreparedRun& run, LoopState& state, RandomSource& random, std::int64_t points,
                     const PixelGrid& grid, std::vector<PixelHit>& hits);

// Leaves in the current map what the last step's pick put there.
void storeCurrentMap(const DataSetTexts& dataSets, const LoopState& state, CurrentMap& map);

}   // namespace fenra
