#pragma once

#include "render/Framing.h"
#include "render/HitSums.h"
#include "render/Palette.h"
#include "render/RenderRequest.h"
#include "render/ToneMap.h"

#include <atomic>
#include <cstdint>
#include <functional>

// The render pipeline: a request is accumulated into integer sums, on any
// number of threads, and the sums are tone-mapped into a picture. Both steps
// are pure functions of their inputs and may run on any thread.
namespace fenra::render {

// The sums a request adds into: its frame, oversample times finer each way.
HitSums sumsFor(const RenderRequest& request);

struct AccumulateControl {
    int threads = 1;
    // Checked between chunks: once set, accumulate returns within one round.
    const std::atomic<bool>* cancel = nullptr;
    // After each round of chunks, on the calling thread, while no thread
    // writes the sums: they hold exactly the chunks done so far (a snapshot may
    // be tone-mapped here). Rounds grow, so the first comes quickly (a round
    // of one chunk per thread first). Without it the work is one round.
    std::function<void(std::int64_t done, std::int64_t total)> onRound = {};
    // Every tenth of a second or so while threads work, on the calling thread:
    // points done of all, for a progress bar. The sums are not to be read here.
    std::function<void(std::int64_t done, std::int64_t total)> onProgress = {};
    // A share of the work: the chunks [firstChunk, endChunk) of the request's
    // (-1: to its last). The sums of shares that make up all chunks add up to
    // the request's. `done` and `total` then count the share's points.
    std::int64_t firstChunk = 0, endChunk = -1;
    // The sums may hold only a band of the rows of the sums' grid, from this
    // row on, as many as they have: a picture too big to hold at once is
    // drawn band by band, each over every chunk, keeping only its rows' hits.
    int firstRow = 0;
    // After a cancel, once every thread stopped: the points the sums then hold,
    // which are those of the first chunks to do, so a later run can go on from there.
    std::function<void(std::int64_t done)> onCancel = {};
};
enum class Accumulated { Done, Cancelled };

// Adds the request's points into `into` (made by sumsFor). Pure in its inputs:
// the same request gives the same sums for any thread count. Throws
// std::invalid_argument for a request it cannot draw (no maps or more than
// kMaxMaps, weights that are negative or all 0, a negative count, oversampling
// below 1, sums of another size), std::bad_alloc when out of memory.
Accumulated accumulate(const RenderRequest& request, HitSums& into, const AccumulateControl& control = {});

// Bytes of accumulation a render takes with `threads` threads: the sums, and
// the private sums or queues of the other threads.
std::size_t bytesNeeded(const RenderRequest& request, int threads);

// Both steps, for a whole picture. A cancelled render gives the picture of
// the chunks done.
Image render(const RenderRequest& request, const AccumulateControl& control = {});

}   // namespace fenra::render
