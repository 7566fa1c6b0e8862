#pragma once

#include "render/HitSums.h"
#include "render/KernelTables.h"

#include <cstdint>
#include <string>
#include <vector>

// The vectorised kernel: many independent chains advance together in SIMD
// lanes, on whatever vector unit the CPU has, and add their hits to integer sums.
//
// Determinism: a request gives the same sums on every machine, vector target,
// thread count and order of work, because
// - the work is cut into fixed chunks of kChainsPerChunk chains, and chain c
//   of chunk k draws from its own xoshiro128** stream seeded by (seed, k, c):
//   which thread runs a chunk, when, and how many lanes a register holds
//   change nothing a chain computes (no build flag involved);
// - every lane computes in 32-bit IEEE floats with separate multiplies and
//   adds, never a fused multiply-add that a target without one could not
//   match: this needs -ffp-contract=off on fenra_render (set in
//   src/render/CMakeLists.txt), and no -ffast-math or -Ofast anywhere, which
//   would let the compiler reorder or fuse them;
// - maps are picked by a whole-number alias table built alike everywhere, and
//   a coordinate that overflows keeps its last value on every target;
// - hits are added as whole numbers (a hit count and its colour's channels),
//   which give the same sums in any order, and spill into 64-bit sums before
//   a 32-bit count could wrap (no build flag involved).
namespace fenra::render {

inline constexpr int kChainsPerChunk = 64;
inline constexpr std::int64_t kChunkPoints = std::int64_t(kChainsPerChunk) * 4096;
// Steps each chain takes before it draws, so its path from the origin to the
// attractor leaves no stray pixels (a map shrinking by 0.83 brings it within
// 1e-5 of the way in 64 steps).
inline constexpr int kLeadInSteps = 64;

// One chunk of a render: its number, and its points (at most kChunkPoints).
struct ChunkJob {
    std::int64_t chunk = 0;
    std::int64_t points = 0;
};

// Chunks of kChunkPoints (the last one may be short) that draw `points`.
inline std::int64_t chunksFor(std::int64_t points)
{
    return points / kChunkPoints + (points % kChunkPoints != 0 ? 1 : 0);
}

// Adds the chunk's hits through `out`, on the best vector target of the CPU
// (or the one a test chose).
void drawChunk(const KernelTables& tables, const ChunkJob& job, HitSums::Writer& out);

// The vector targets of this program that the CPU runs, best first (e.g.
// "AVX3", "AVX2", "SSE4"), and the one in use.
std::vector<std::string> simdTargets();
std::string simdTarget();

}   // namespace fenra::render
