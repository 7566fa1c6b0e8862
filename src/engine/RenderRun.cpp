#include "engine/RenderRun.h"

#include "engine/PointLoop.h"

#include <algorithm>

namespace fenra {

std::int64_t renderRun(const DataSetTexts& dataSets, const RunPlan& plan, CurrentMap& map, RandomSource& random,
                       RasterView raster, const RunProgress& progress)
{
    raster.fill(kBlack);
    const PreparedRun run(dataSets, plan, map);
    LoopState state(run);
    // The loop state carries over from block to block, so blocks draw what one loop would.
    const std::int64_t n = plan.iterations;
    const std::int64_t block = progress ? kProgressSteps : std::max<std::int64_t>(n, 1);
    std::int64_t plotted = 0;
    for (std::int64_t done = 0; done < n;) {
        const std::int64_t steps = std::min(block, n - done);
        plotted += plotPoints(run, state, random, steps, PixelGrid{1}, raster);
        done += steps;
        if (progress)
            progress(done);
    }
    storeCurrentMap(dataSets, state, map);
    return plotted;
}

}   // namespace fenra
