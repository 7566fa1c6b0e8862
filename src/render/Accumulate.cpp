// Accumulation on threads, in rounds of chunks: any thread takes any chunk,
// and the sums are whole numbers, so neither changes a byte of them.
#include "render/Accumulate.h"
#include "render/Kernel.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

namespace fenra::render {
namespace {

// Rounds double from one chunk per thread up to this many: the first snapshot
// comes after one chunk, and later ones still come several times a second.
constexpr std::int64_t kMostChunksPerThreadInARound = 64;
constexpr std::chrono::milliseconds kProgressEvery{100};

// Private sums need no locks and no queues, and the sum of integer sums is
// the same in any order; but memory must not grow much with threads.
bool privateSumsFit(int width, int height, int workers)
{
    const std::size_t sums = HitSums::bytesFor(width, height);
    return std::size_t(workers - 1) * sums <= sums / 4 + (std::size_t(64) << 20);
}

int workersFor(std::int64_t points, int threads)
{
    return int(std::clamp<std::int64_t>(chunksFor(points), 1, std::max(1, threads)));
}

// One round: the chunks [first, end) on `workers` threads, the first adding
// straight into `into`, the others into their private sums or through queues.
// Returns the points of the chunks done; a cancel stops each thread before its
// next chunk. Meanwhile the calling thread reports progress.
class Round {
public:
    // `total`: the points of the chunks to do, which progress counts against.
    Round(const KernelTables& tables, const HitPalette& palette, std::int64_t points, std::int64_t total,
          const AccumulateControl& control)
        : m_tables(tables), m_palette(palette), m_points(points), m_total(total), m_control(control)
    {}

    std::int64_t run(std::int64_t first, std::int64_t end, HitSums& into, std::vector<std::unique_ptr<HitSums>>& own,
                     int workers, std::int64_t doneBefore)
    {
        const bool shared = workers > 1 && own.empty();
        std::atomic<std::int64_t> next{first};
        std::atomic<std::int64_t> done{0};
        std::vector<std::exception_ptr> failures(static_cast<std::size_t>(workers));
        std::mutex mutex;
        std::condition_variable finishedChanged;
        int finished = 0;
        {
            std::vector<std::jthread> pool;
            for (int w = 0; w < workers; ++w) {
                pool.emplace_back([&, w] {
                    try {
                        HitSums::Writer writer(w == 0 || shared ? into : *own[std::size_t(w - 1)], m_palette, shared);
                        for (std::int64_t c;
                             !cancelled() && (c = next.fetch_add(1, std::memory_order_relaxed)) < end;) {
                            const ChunkJob job{c, std::min(kChunkPoints, m_points - c * kChunkPoints)};
                            drawChunk(m_tables, job, writer);
                            done.fetch_add(job.points, std::memory_order_relaxed);
                        }
                    } catch (...) {
                        failures[std::size_t(w)] = std::current_exception();
                        next.store(end);   // the others stop at their next chunk
                    }
                    const std::lock_guard lock(mutex);
                    ++finished;
                    finishedChanged.notify_one();
                });
            }
            std::unique_lock lock(mutex);
            while (finished < workers) {
                finishedChanged.wait_for(lock, kProgressEvery);
                if (m_control.onProgress && finished < workers) {
                    lock.unlock();
                    m_control.onProgress(doneBefore + done.load(std::memory_order_relaxed), m_total);
                    lock.lock();
                }
            }
        }
        for (const std::exception_ptr& failure : failures)
            if (failure)
                std::rethrow_exception(failure);
        return done.load();
    }

    bool cancelled() const { return m_control.cancel && m_control.cancel->load(std::memory_order_relaxed); }

private:
    const KernelTables& m_tables;
    const HitPalette& m_palette;
    std::int64_t m_points, m_total;
    const AccumulateControl& m_control;
};

}   // namespace

HitSums sumsFor(const RenderRequest& request)
{
    const Frame frame = request.sumsFrame();
    return HitSums(frame.width, frame.height);
}

std::size_t bytesNeeded(const RenderRequest& request, int threads)
{
    const Frame frame = request.sumsFrame();
    const int workers = workersFor(request.points, threads);
    const std::size_t sums = HitSums::bytesFor(frame.width, frame.height);
    if (workers == 1)
        return sums;
    if (privateSumsFit(frame.width, frame.height, workers))
        return std::size_t(workers) * sums;
    return sums + std::size_t(workers) * HitSums::queueBytesFor(frame.width, frame.height);
}

Accumulated accumulate(const RenderRequest& request, HitSums& into, const AccumulateControl& control)
{
    return accumulate(request, into, control, Sharing::ByMemory);
}

Accumulated accumulate(const RenderRequest& request, HitSums& into, const AccumulateControl& control, Sharing sharing)
{
    HitPalette palette;
    const KernelTables tables = kernelTables(request, into, palette, control.firstRow);
    const std::int64_t chunks =
        control.endChunk < 0 ? chunksFor(request.points) : std::min(control.endChunk, chunksFor(request.points));
    const std::int64_t start = std::clamp<std::int64_t>(control.firstChunk, 0, chunks);
    const std::int64_t total =
        std::max<std::int64_t>(0, std::min(request.points, chunks * kChunkPoints) - start * kChunkPoints);
    const int workers = workersFor(request.points, control.threads);
    const bool ownSums =
        workers > 1 && sharing == Sharing::ByMemory && privateSumsFit(into.width(), into.height(), workers);
    std::vector<std::unique_ptr<HitSums>> own;
    Round round(tables, palette, request.points, total, control);

    std::int64_t done = 0;
    std::int64_t perThread = 1;
    if (ownSums)
        for (int w = 1; w < workers; ++w)
            own.push_back(std::make_unique<HitSums>(into.width(), into.height()));
    for (std::int64_t first = start; first < chunks && !round.cancelled();) {
        const std::int64_t end = control.onRound ? std::min(chunks, first + perThread * workers) : chunks;
        done += round.run(first, end, into, own, workers, done);
        for (const auto& sums : own) {
            into.addAll(*sums, workers);
            if (end < chunks)
                sums->clear();   // for the next round
        }
        if (round.cancelled())
            break;
        if (control.onRound)
            control.onRound(done, total);
        first = end;
        perThread = std::min(2 * perThread, kMostChunksPerThreadInARound);
    }
    if (done == total)
        return Accumulated::Done;
    if (control.onCancel)
        control.onCancel(done);
    return Accumulated::Cancelled;
}

Image render(const RenderRequest& request, const AccumulateControl& control)
{
    HitSums sums = sumsFor(request);
    accumulate(request, sums, control);
    return toneMap(sums, request, control.threads);
}

}   // namespace fenra::render
