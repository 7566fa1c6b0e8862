#pragma once

#include "render/HitSums.h"
#include "render/RenderPlan.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The vectorised kernel: many independent chains advance together in SIMD
// lanes, on whatever vector unit the CPU has. The work is cut into fixed
// chunks of kChainsPerChunk chains, chain c of chunk k drawing from a stream
// seeded by (seed, k, c); each chain computes the same numbers on every
// target, and hits are added as whole numbers. So a plan gives the same sums
// for any thread count and any vector width.
namespace fenra::render {

inline constexpr int kChainsPerChunk = 64;
inline constexpr std::int64_t kChunkPoints = std::int64_t(kChainsPerChunk) * 4096;
// Steps each chain takes before it draws, so its path from the origin to the
// attractor leaves no stray pixels (a map shrinking by 0.83 brings it within
// 1e-5 of the way in 64 steps).
inline constexpr int kLeadInSteps = 64;

// Points done so far of all; called now and then on the calling thread.
using Progress = std::function<void(std::int64_t done, std::int64_t total)>;

// Adds plan.points hits into `into`, whose size is the frame's, with up to
// `threads` threads. Threads beyond the first add into private buffers while
// those stay within a quarter of the one buffer plus 64 MB, else (or with
// `oneBuffer`) all share `into` through queues. Throws std::invalid_argument for a plan it cannot draw
// (no maps or more than kMaxMaps, weights, Show flags or colours that do not
// match the maps, a frame of another size), std::bad_alloc when out of memory.
void accumulate(const RenderPlan& plan, int threads, HitSums& into, const Progress& progress = {},
                bool oneBuffer = false);

// Bytes of accumulation a render of `frame` takes with `threads` threads:
// the buffer, and the private buffers or queues of the others.
std::size_t bytesNeeded(const Frame& frame, std::int64_t points, int threads);

// The vector targets of this program that the CPU runs, best first (e.g.
// "AVX3", "AVX2", "SSE4"), and the one in use.
std::vector<std::string> simdTargets();
std::string simdTarget();
// Uses the named target from now on; an empty name returns to the best one.
// For tests and benchmarks. Returns false for a name not in simdTargets().
bool useSimdTarget(const std::string& name);

} // namespace fenra::render
