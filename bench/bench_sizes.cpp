// How fast points land as the picture grows, beside what the machine allows.
//
// BM_Ceiling: a prefetched random add of 16-byte cells over a buffer the size
// of the picture's sums, with no kernel work: the most points a second any
// scatter into that much memory can reach here.
// BM_Kernel: the maple leaf (7 weighted maps, density) on one thread into the
// sums of the window's shape at --scale 1, 4, 16 and 32 (0.3, 4.8, 77 and
// 310 megapixels), and its tone map. Each iteration runs 1e6 and 2e8 points:
// points_per_s is the rate between them, fixed_ms what the size costs
// besides the points (the sums, their first touch, the tone map).
#include "render/Kernel.h"
#include "render/Pipeline.h"

#include <benchmark/benchmark.h>

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

using namespace fenra::render;

std::size_t pixelsAt(int scale)
{
    const Frame f = Frame::window(1, 0, 0, 0, 0, scale);
    return std::size_t(f.width) * std::size_t(f.height);
}

// -------- the ceiling --------

void BM_Ceiling(benchmark::State& state)
{
    const std::size_t pixels = pixelsAt(int(state.range(0)));
    const bool huge = state.range(1) != 0;
    constexpr std::int64_t kAdds = 100'000'000;
    constexpr std::size_t kAhead = 32;   // indices asked for before they are added to
    auto* cells = static_cast<Cell*>(
        std::aligned_alloc(2 << 20, (pixels * sizeof(Cell) + (2 << 20) - 1) & ~std::size_t((2 << 20) - 1)));
    if (huge)
        madvise(cells, pixels * sizeof(Cell), MADV_HUGEPAGE);
    for (std::size_t i = 0; i < pixels; ++i)
        cells[i] = Cell{};   // every page touched first, as a long render leaves them
    const Cell hit{1, 200, 100, 50};
    std::uint64_t s = 0x9e3779b97f4a7c15ULL;
    const auto next = [&] {   // xorshift64*, scaled to [0, pixels)
        s ^= s >> 12;
        s ^= s << 25;
        s ^= s >> 27;
        return std::size_t((unsigned __int128)(s * 0x2545F4914F6CDD1DULL) * pixels >> 64);
    };
    std::size_t ring[kAhead];
    for (auto _ : state) {
        for (std::size_t i = 0; i < kAhead; ++i) {
            ring[i] = next();
            __builtin_prefetch(cells + ring[i], 1);
        }
        for (std::int64_t n = 0; n < kAdds; ++n) {
            std::size_t& slot = ring[std::size_t(n) % kAhead];
            cells[slot] += hit;
            slot = next();
            __builtin_prefetch(cells + slot, 1);
        }
        benchmark::DoNotOptimize(cells[0]);
    }
    std::free(cells);
    state.SetItemsProcessed(state.iterations() * kAdds);
    state.SetLabel(std::to_string(pixels / 1000) + " kpx" + (huge ? ", huge pages" : ""));
}
BENCHMARK(BM_Ceiling)
    ->ArgsProduct({{1, 4, 16, 32}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->MeasureProcessCPUTime();

// -------- the kernel --------

// The maple leaf of samples/classic.ifs, framed by its box [-1.2, 1.2] x [-0.4, 2.1].
RenderRequest maple(int scale, std::int64_t points)
{
    const fenra::AffineMap maps[] = {{{0.5, 0, 0, 0, 0.5, 1}},
                                     {{0.286788, -0.409576, -0.05, 0.409576, 0.286788, 0.55}},
                                     {{0.286788, 0.409576, 0.05, -0.409576, 0.286788, 0.55}},
                                     {{-0.139464, -0.299082, -0.05, 0.299082, -0.139464, 0.35}},
                                     {{-0.139464, 0.299082, 0.05, -0.299082, -0.139464, 0.35}},
                                     {{0, 0, 0, 0, 0.25, -0.3}},
                                     {{0.4, 0, 0, 0, 0.4, 0.45}}};
    const double weights[] = {0.25, 0.25, 0.25, 0.1, 0.1, 0.02, 0.08};
    RenderRequest request;
    for (int k = 0; k < 7; ++k)
        request.maps.push_back({maps[k], weights[k], setColour(k + 1), true});
    Frame f = Frame::window(1, 0, 0, 0, 0, scale);
    const double perUnit = std::min(f.width / 2.4, f.height / 2.5);
    f.sx = perUnit;
    f.tx = f.width / 2.0;
    f.sy = -perUnit;
    f.ty = f.height / 2.0 + 0.85 * perUnit;
    request.frame = f;
    request.points = points;
    request.seed = 1;
    return request;
}

// CPU seconds of the whole process: on a machine shared with other work they
// say more than the clock on the wall.
double processSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

double secondsOf(const RenderRequest& request)
{
    const double start = processSeconds();
    HitSums sums = sumsFor(request);
    accumulate(request, sums);
    benchmark::DoNotOptimize(toneMap(sums, request));
    return processSeconds() - start;
}

void BM_Kernel(benchmark::State& state)
{
    const int scale = int(state.range(0));
    constexpr std::int64_t kFew = 1'000'000, kMany = 200'000'000;
    double few = 0, many = 0;
    for (auto _ : state) {
        few += secondsOf(maple(scale, kFew));
        many += secondsOf(maple(scale, kMany));
    }
    const double n = double(state.iterations());
    const double rate = double(kMany - kFew) / ((many - few) / n);
    state.counters["points_per_s"] = rate;
    state.counters["fixed_ms"] = 1e3 * (few / n - double(kFew) / rate);
    state.SetLabel(std::to_string(pixelsAt(scale) / 1000) + " kpx, " + simdTarget());
}
BENCHMARK(BM_Kernel)->Arg(1)->Arg(4)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond)->Iterations(1);

}   // namespace

BENCHMARK_MAIN();
