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

// Points drawn between two adds into the shared picture: each thread's log of
// them stays small (half a megabyte), and progress is seen every millisecond or so.
constexpr std::int64_t kChunkPoints = std::int64_t(1) << 16;

// splitmix64's output function: nearby seeds give unrelated streams.
std::uint64_t mixSeed(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

void runStream(const PreparedRun& run, const PixelGrid& grid, int stream, RandomSource& random, std::int64_t points,
               std::atomic<std::int64_t>& done, Accumulation& picture)
{
    LoopState state(run);
    std::vector<PixelHit> hits;
    for (std::int64_t left = points; left > 0;) {
        const std::int64_t chunk = std::min(left, kChunkPoints);
        logHits(run, state, random, chunk, grid, hits);
        picture.add(stream, hits);
        left -= chunk;
        done.fetch_add(chunk, std::memory_order_relaxed);
    }
}

Accumulation::Kind kindOf(const RenderJob& job)
{
    return job.density ? Accumulation::Kind::Density : Accumulation::Kind::Pixels;
}

} // namespace

int streamCount(std::int64_t points, int threads)
{
    const std::int64_t useful = std::max<std::int64_t>(1, points / kMinPointsPerStream);
    return int(std::clamp<std::int64_t>(useful, 1, std::clamp(threads, 1, Accumulation::kMaxStreams)));
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
    const PreparedRun run(job.dataSets, plan, freshMap, kDataFileDecimalPoint);

    const int count = streamCount(job.points, job.threads);
    std::vector<std::unique_ptr<RandomSource>> sources;
    for (int s = 0; s < count; ++s)
        sources.push_back(streams(s));

    const PixelGrid grid{job.scale};
    Accumulation picture(grid.width(), grid.height(), kindOf(job), count > 1);
    std::vector<std::exception_ptr> failures(static_cast<std::size_t>(count));
    std::atomic<std::int64_t> done{0};
    std::mutex mutex;
    std::condition_variable finishedChanged;
    int finished = 0;
    {
        std::vector<std::jthread> workers;
        for (int s = 0; s < count; ++s) {
            workers.emplace_back([&, s] {
                try {
                    runStream(run, grid, s, *sources[std::size_t(s)], streamShare(job.points, count, s), done, picture);
                } catch (...) {
                    failures[std::size_t(s)] = std::current_exception();
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
    for (const std::exception_ptr& failure : failures)
        if (failure)
            std::rethrow_exception(failure);
    return Picture{grid.width(), grid.height(), picture.takePicture()};
}

Picture renderPicture(const RenderJob& job, const ProgressReport& progress)
{
    return renderPicture(job, pcgStreams(job.seed), progress);
}

std::uint64_t renderBytes(const RenderJob& job)
{
    const PixelGrid grid{job.scale};
    const std::uint64_t pixels = std::uint64_t(grid.width()) * std::uint64_t(grid.height());
    const std::uint64_t logs = std::uint64_t(streamCount(job.points, job.threads)) * (kChunkPoints + 1) * sizeof(PixelHit);
    // The encoded file is at most about the raw pixels; the rest is the program itself.
    return Accumulation::bytesFor(grid.width(), grid.height(), kindOf(job)) + pixels * 4 + logs + (std::uint64_t(64) << 20);
}

} // namespace fenra::cli
