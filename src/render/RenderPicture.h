#pragma once

#include "engine/AffineMap.h"
#include "engine/DataSets.h"
#include "engine/RandomSource.h"
#include "engine/RunSettings.h"
#include "render/RenderRequest.h"
#include "render/ToneMap.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// A picture of the window's data sets (or a collection's entry) at any size:
// drawn by the pipeline's kernel, or by the window's one chain when asked to
// be exact or when the data sets pick no map's coefficients.
namespace fenra::render {

struct RenderJob {
    DataSetTexts dataSets = {};
    RunPlan plan = {};                  // zoom, offsets and Show boxes; its colour and iteration count are not used
    std::optional<ViewBox> view = {};   // the plane's box the picture shows, in place of the plan's zoom and offsets
    std::vector<AffineMap> maps = {};   // a collection's entry, drawn by the kernel in place of the data sets
    std::vector<double> weights = {};   // how often each map is picked, in proportion; empty: equally often
    ColourPlan colour = {};
    bool white = false;   // every map's colour white, as the window's White mode draws
    Tone tone = {};
    int oversample = 1;   // the kernel draws this many times finer each way, then filters down
    std::int64_t points = 0;
    int scale = 1;   // picture pixels per window pixel
    // A picture of width × height pixels instead (0: the window's times scale):
    // the window's framing scaled alike both ways to fit inside it, centred;
    // or, with fitToSize, the attractor's box fitted to it.
    int width = 0, height = 0;
    bool fitToSize = false;
    std::uint64_t seed = 0;
    int threads = 1;
    bool exact = false;   // the window's one chain; else the kernel's many where it can draw the maps
};

// Besides the full stop, a data file's texts may use a comma for the decimal
// point, whatever the locale, so the same file draws the same picture everywhere.
inline constexpr char16_t kDataFileDecimalPoint = u',';

// Makes the random source of the window's chain.
using RandomFactory = std::function<std::unique_ptr<RandomSource>()>;

// Called now and then on the calling thread while the render runs: points done of all.
using ProgressReport = std::function<void(std::int64_t done, std::int64_t total)>;

// The maps of sets 1 to the count as the window's run reads them; none for a
// count that picks no map's coefficients (only counts 2 to 6 do).
std::vector<AffineMap> dataSetMaps(const RenderJob& job);

// The pipeline's request for `job`: its maps (the entry's, else the data
// sets'), each picked equally often as in the window unless weighed, with its
// Show box and colour; the window's frame at the job's scale. Nothing when
// the kernel does not draw the job.
std::optional<RenderRequest> requestFor(const RenderJob& job);

// The picture of `job`. The kernel draws it with many chains on every thread,
// the same picture for any thread count: each pixel lit by the mean colour of
// its hits, at full light or (density) by log density. With `exact`, or data
// sets whose count picks no map's coefficients, it is the window's run
// instead: one chain from the origin with a fresh current map, drawn by the
// window's rules (`makeRandom` gives its random source; its Random mode where
// the kernel would use the palette, without density); a pixel keeps the
// colour of its last point, and density shades that by
// log(1 + hits) / log(1 + most hits). May throw std::bad_alloc.
Image renderPicture(const RenderJob& job, const RandomFactory& makeRandom, const ProgressReport& progress = {});

// The render of `job` with a Pcg32 source from its seed.
Image renderPicture(const RenderJob& job, const ProgressReport& progress = {});

// About the most memory a render of `job` takes, in bytes: the kernel's sums
// (or the exact path's picture buffer and its small log of points), the
// picture, its encoded file and the program.
std::uint64_t renderBytes(const RenderJob& job);

}   // namespace fenra::render
