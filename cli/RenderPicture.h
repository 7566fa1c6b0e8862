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

// The seed of the window's chain is the seed itself: it draws exactly what a
// Pcg32Source with that seed gives, as the window's does.
// Makes the random source of one stream.
using StreamFactory = std::function<std::unique_ptr<RandomSource>(int index)>;
StreamFactory pcgStreams(std::uint64_t seed);

// Called now and then on the calling thread while the render runs: points done of all.
using ProgressReport = std::function<void(std::int64_t done, std::int64_t total)>;

// The picture of `job`. The kernel (src/render) draws it with many chains on
// every thread, the same picture for any thread count: each pixel lit by the
// mean colour of its hits, at full light or (density) by log density. With
// `exact`, or data sets whose count picks no map's coefficients (only counts
// 2 to 6 do), it is the window's run instead: one chain from the origin with
// a fresh current map, drawn by the window's rules (`streams(0)` gives its
// random source); a pixel keeps the colour of its last point, and density
// shades that by log(1 + hits) / log(1 + most hits). May throw std::bad_alloc.
Picture renderPicture(const RenderJob& job, const StreamFactory& streams, const ProgressReport& progress = {});

// The render of `job` with a Pcg32 source from its seed.
Picture renderPicture(const RenderJob& job, const ProgressReport& progress = {});

// Whether the kernel draws `job` (else the window's chain).
bool kernelDraws(const RenderJob& job);

// About the most memory a render of `job` takes, in bytes: its one picture
// buffer, its encoded file, the streams' small logs and the program.
std::uint64_t renderBytes(const RenderJob& job);

} // namespace fenra::cli
