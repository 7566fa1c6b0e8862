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

// Below this many points a thread costs more than it saves, and keeping small
// renders on one stream gives the window's own picture for the same seed.
inline constexpr std::int64_t kMinPointsPerStream = std::int64_t(1) << 20;

// How many streams (and threads) a render of `points` uses when `threads` are allowed.
int streamCount(std::int64_t points, int threads);

// How many of `points` stream `index` of `streams` computes: an even share,
// the first ones one more when it does not divide.
std::int64_t streamShare(std::int64_t points, int streams, int index);

// The seed of stream `index`: stream 0 uses the seed itself, so one stream
// draws exactly what a Pcg32Source with that seed gives, as the window's does.
std::uint64_t streamSeed(std::uint64_t seed, int index);

// Makes the random source of one stream.
using StreamFactory = std::function<std::unique_ptr<RandomSource>(int index)>;
StreamFactory pcgStreams(std::uint64_t seed);

// Called now and then on the calling thread while the render runs: points done of all.
using ProgressReport = std::function<void(std::int64_t done, std::int64_t total)>;

// Each stream starts from the origin with a fresh current map, as the
// window's first run does, and adds its points into the one shared picture:
// a pixel takes the colour of the last point of the highest stream that drew
// it, and density counts every hit. May throw std::bad_alloc.
Picture renderPicture(const RenderJob& job, const StreamFactory& streams, const ProgressReport& progress = {});

// The render of `job` with Pcg32 streams from its seed.
Picture renderPicture(const RenderJob& job, const ProgressReport& progress = {});

// About the most memory a render of `job` takes, in bytes: its one picture
// buffer, its encoded file, the streams' small logs and the program.
std::uint64_t renderBytes(const RenderJob& job);

} // namespace fenra::cli
