#include "cli/RenderPicture.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <limits>
#include <mutex>
#include <thread>

namespace fenra::cli {
namespace {

// Points computed between two looks at the progress: a few milliseconds' work.
constexpr std::int64_t kChunkPoints = std::int64_t(1) << 20;

// A hit counter of the engine holds 32 bits; before a stream could overflow
// one, its counts are moved into 64-bit totals.
constexpr std::int64_t kMaxPointsBetweenFolds = std::numeric_limits<std::uint32_t>::max();

// An unset pixel of a stream's picture: every colour a run sets is opaque.
constexpr std::uint32_t kUnset = 0;

// splitmix64's output function: nearby seeds give unrelated streams.
std::uint64_t mixSeed(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

struct StreamResult {
    std::vector<std::uint32_t> pixels;      // pixel pictures
    std::unique_ptr<HitGrid> hits;          // density pictures
    std::vector<std::uint64_t> foldedHits;  // only when a stream outgrows 32-bit counters
    std::exception_ptr failure;

    std::uint64_t hitsAt(std::size_t cell) const
    {
        return hits->cells[cell].hits + (foldedHits.empty() ? 0 : foldedHits[cell]);
    }
};

void foldHits(StreamResult& result)
{
    if (result.foldedHits.empty())
        result.foldedHits.assign(result.hits->cells.size(), 0);
    for (std::size_t cell = 0; cell < result.hits->cells.size(); ++cell) {
        result.foldedHits[cell] += result.hits->cells[cell].hits;
        result.hits->cells[cell].hits = 0;   // the colour of its last hit stays
    }
}

void runStream(const PreparedRun& run, const RenderJob& job, RandomSource& random, std::int64_t points,
               std::atomic<std::int64_t>& done, StreamResult& result)
{
    const PixelGrid grid{job.scale};
    LoopState state(run);
    // Each stream allocates (and so first touches) its own memory on its own thread.
    if (job.density)
        result.hits = std::make_unique<HitGrid>(grid);
    else
        result.pixels.assign(std::size_t(grid.width()) * std::size_t(grid.height()), kUnset);
    const RasterView raster{result.pixels.data(), grid.width(), grid.height(), grid.width()};

    std::int64_t sinceFold = 0;
    for (std::int64_t left = points; left > 0;) {
        const std::int64_t chunk = std::min(left, kChunkPoints);
        if (job.density) {
            if (sinceFold + chunk > kMaxPointsBetweenFolds) {
                foldHits(result);
                sinceFold = 0;
            }
            countHits(run, state, random, chunk, *result.hits);
            sinceFold += chunk;
        } else {
            plotPoints(run, state, random, chunk, grid, raster);
        }
        left -= chunk;
        done.fetch_add(chunk, std::memory_order_relaxed);
    }
}

Picture mergePixels(const PixelGrid& grid, const std::vector<StreamResult>& results)
{
    Picture picture{grid.width(), grid.height(), std::vector<std::uint32_t>(results.front().pixels)};
    for (std::size_t s = 1; s < results.size(); ++s) {
        const std::vector<std::uint32_t>& layer = results[s].pixels;
        for (std::size_t i = 0; i < layer.size(); ++i)
            if (layer[i] != kUnset)
                picture.pixels[i] = layer[i];
    }
    std::replace(picture.pixels.begin(), picture.pixels.end(), kUnset, kBlack);
    return picture;
}

Picture mergeHits(const PixelGrid& grid, const std::vector<StreamResult>& results)
{
    std::vector<DensityCell> cells(results.front().hits->cells.size());
    for (const StreamResult& result : results) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (const std::uint64_t hits = result.hitsAt(i)) {
                cells[i].hits += hits;
                cells[i].tint = result.hits->cells[i].lastColour;
            }
        }
    }
    return shadeDensity(grid.width(), grid.height(), cells);
}

} // namespace

int streamCount(std::int64_t points, int threads)
{
    const std::int64_t useful = std::max<std::int64_t>(1, points / kMinPointsPerStream);
    return int(std::clamp<std::int64_t>(useful, 1, std::max(1, threads)));
}

std::int64_t streamShare(std::int64_t points, int streams, int index)
{
    return points / streams + (index < points % streams ? 1 : 0);
}

std::uint64_t streamSeed(std::uint64_t seed, int index)
{
    if (index == 0)
        return seed;
    return mixSeed(seed + std::uint64_t(index) * 0x9e3779b97f4a7c15ULL);
}

StreamFactory pcgStreams(std::uint64_t seed)
{
    return [seed](int index) -> std::unique_ptr<RandomSource> {
        return std::make_unique<Pcg32Source>(streamSeed(seed, index));
    };
}

Picture renderPicture(const RenderJob& job, const StreamFactory& streams, const ProgressReport& progress)
{
    RunPlan plan = job.plan;
    // Density counts where the points fall; the loop only has to know the tint.
    if (job.density)
        plan.colour = job.tint == DensityTint::White ? ColourMode::White : ColourMode::Data;
    const CurrentMap freshMap;   // as in a window that has not run yet
    const PreparedRun run(job.dataSets, plan, freshMap);

    const int count = streamCount(job.points, job.threads);
    std::vector<std::unique_ptr<RandomSource>> sources;
    for (int s = 0; s < count; ++s)
        sources.push_back(streams(s));

    std::vector<StreamResult> results(static_cast<std::size_t>(count));
    std::atomic<std::int64_t> done{0};
    std::mutex mutex;
    std::condition_variable finishedChanged;
    int finished = 0;
    {
        std::vector<std::jthread> workers;
        for (int s = 0; s < count; ++s) {
            workers.emplace_back([&, s] {
                StreamResult& result = results[std::size_t(s)];
                try {
                    runStream(run, job, *sources[std::size_t(s)], streamShare(job.points, count, s), done, result);
                } catch (...) {
                    result.failure = std::current_exception();
                }
                const std::lock_guard lock(mutex);
                ++finished;
                finishedChanged.notify_one();
            });
        }
        std::unique_lock lock(mutex);
        while (finished < count) {
            finishedChanged.wait_for(lock, std::chrono::milliseconds(100));
            if (progress) {
                lock.unlock();
                progress(done.load(std::memory_order_relaxed), job.points);
                lock.lock();
            }
        }
    }
    for (const StreamResult& result : results)
        if (result.failure)
            std::rethrow_exception(result.failure);

    const PixelGrid grid{job.scale};
    return job.density ? mergeHits(grid, results) : mergePixels(grid, results);
}

Picture renderPicture(const RenderJob& job, const ProgressReport& progress)
{
    return renderPicture(job, pcgStreams(job.seed), progress);
}

Picture shadeDensity(int width, int height, const std::vector<DensityCell>& cells)
{
    Picture picture{width, height, std::vector<std::uint32_t>(cells.size(), kBlack)};
    std::uint64_t most = 0;
    for (const DensityCell& cell : cells)
        most = std::max(most, cell.hits);
    if (most == 0)
        return picture;
    const double logMost = std::log1p(double(most));
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (cells[i].hits == 0)
            continue;
        const double share = std::log1p(double(cells[i].hits)) / logMost;
        const auto channel = [&](int shift) {
            return int(std::lround(double((cells[i].tint >> shift) & 0xFFu) * share));
        };
        picture.pixels[i] = rgb(channel(16), channel(8), channel(0));
    }
    return picture;
}

} // namespace fenra::cli
