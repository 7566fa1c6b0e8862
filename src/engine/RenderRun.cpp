#include "engine/RenderRun.h"

#include "engine/PointLoop.h"

namespace fenra {

std::int64_t renderRun(const DataSetTexts& dataSets, const RunPlan& plan, CurrentMap& map,
                       RandomSource& random, RasterView raster)
{
    raster.fill(kBlack);
    const PreparedRun run(dataSets, plan, map);
    LoopState state(run);
    const std::int64_t plotted = plotPoints(run, state, random, plan.iterations, PixelGrid{1}, raster);
    storeCurrentMap(dataSets, state, map);
    return plotted;
}

} // namespace fenra
