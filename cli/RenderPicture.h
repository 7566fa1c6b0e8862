#pragma once

#include "cli/CliOptions.h"
#include "engine/DataSets.h"
#include "engine/PointLoop.h"
#include "engine/RandomSource.h"
#include "engine/Raster.h"
#include "engine/RunSettings.h"
#include "render/Accumulation.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// A picture rendered headless: the window's run, at any size, on several threads.
namespace fenra::cli {

struct RenderJob {
    DataSetTexts dataSets;
    RunPlan plan;                      // zoom, offsets, colour and Show boxes; its iteration count is not used
    std::int64_t points = 0;
    int scale = 1;
    bool density = false;              // shade by hits instead of plan.colour
    DensityTint tint = DensityTint::Data;
    std::uint64_t seed = 0;
    int threads = 1;
    bool exact = false;                // the window's one chain; else the kernel's many where it can draw the maps
    double gamma = 2.2;                // the kernel's density pictures
    double brightness = 1.0;
    int oversample = 1;                // the kernel draws this many times finer each way, then filters down
};

// The finished picture, 0xFFRRGGBB row by row.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    RasterView view() { return {pixels.data(), width, height, width}; }
    RasterView view() const { return {const_cast<std::uint32_t*>(pixels.data()), width, height, width}; }
};

// Besides the full stop, a data file's texts may use a comma for the decimal
// point, whatever the locale, so the same file draws the same picture everywhere.
inline constexpr char16_t kDataFileDecimalPoint = u',';

// Makes the random source of the window's chain.
using RandomFactory = std::function<std::unique_ptr<RandomSource>()>;

// Called now and then on the calling thread while the render runs: points done of all.
using ProgressReport = std::function<void(std::int64_t done, std::int64_t total)>;

// The picture of `job`. The kernel (src/render) draws it with many chains on
// every thread, the same picture for any thread count: each pixel lit by the
// mean colour of its hits, at full light or (density) by log density. With
// `exact`, or data sets whose count picks no map's coefficients (only counts
// 2 to 6 do), it is the window's run instead: one chain from the origin with
// a fresh current map, drawn by the window's rules (`makeRandom` gives its
// random source); a pixel keeps the colour of its last point, and density
// shades that by log(1 + hits) / log(1 + most hits). May throw std::bad_alloc.
Picture renderPicture(const RenderJob& job, const RandomFactory& makeRandom, const ProgressReport& progress = {});

// The render of `job` with a Pcg32 source from its seed.
Picture renderPicture(const RenderJob& job, const ProgressReport& progress = {});

// Whether the kernel draws `job` (else the window's chain).
bool kernelDraws(const RenderJob& job);

// About the most memory a render of `job` takes, in bytes: the kernel's sums
// (or the exact path's picture buffer and its small log of points), the
// picture, its encoded file and the program.
std::uint64_t renderBytes(const RenderJob& job);

} // namespace fenra::cli
