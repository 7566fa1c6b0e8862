// The vectorised kernel alone: 1e8 density points of Sierpinski's triangle
// (three maps) into the 1588 x 762 sums of --scale 2, on one thread for each
// vector target the CPU has, and on two threads with the best. Items/s is
// points/s. Then the tone map of those sums, with and without oversampling.
#include "render/Kernel.h"
#include "render/Pipeline.h"
#include "support/SimdTarget.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <ctime>
#include <string>

namespace {

using namespace fenra::render;

constexpr std::int64_t kPoints = 100'000'000;

// CPU seconds of every thread of the process: on a machine shared with other
// work, points per CPU second says more than points per wall-clock second.
double processSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

RenderRequest triangle(int oversample)
{
    RenderRequest request;
    request.maps = {{{{0.5, 0, 0, 0, 0.5, 0}}, 1.0, setColour(1)},
                    {{{0.5, 0, 0.5, 0, 0.5, 0}}, 1.0, setColour(2)},
                    {{{0.5, 0, 0.25, 0, 0.5, 0.5}}, 1.0, setColour(3)}};
    request.frame = Frame::window(5000.0, 5000.0, 0.0, 0.0, 0.0, 2);   // zoom "1x", --scale 2
    request.oversample = oversample;
    request.points = kPoints;
    request.seed = 1;
    return request;
}

void BM_Kernel(benchmark::State& state, const std::string& target, int threads)
{
    fenra::test::useSimdTarget(target);
    const RenderRequest request = triangle(1);
    const double start = processSeconds();
    for (auto _ : state) {
        HitSums sums = sumsFor(request);
        accumulate(request, sums, {threads});
        benchmark::DoNotOptimize(sums.at(0));
    }
    fenra::test::useSimdTarget("");
    state.counters["points_per_cpu_s"] = double(state.iterations() * kPoints) / (processSeconds() - start);
    state.SetItemsProcessed(state.iterations() * kPoints);
    state.SetLabel(target + ", " + std::to_string(threads) + " thread(s)");
}

void BM_ToneMap(benchmark::State& state)
{
    const int oversample = int(state.range(0));
    RenderRequest request = triangle(oversample);
    request.points = 10'000'000;
    HitSums sums = sumsFor(request);
    accumulate(request, sums, {2});
    for (auto _ : state)
        benchmark::DoNotOptimize(toneMap(sums, request));
    state.SetLabel("1588 x 762, oversample " + std::to_string(oversample));
}
BENCHMARK(BM_ToneMap)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

}   // namespace

int main(int argc, char** argv)
{
    for (const std::string& target : simdTargets())
        benchmark::RegisterBenchmark(("BM_Kernel/" + target + "/1").c_str(), BM_Kernel, target, 1)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MinTime(1.0);
    benchmark::RegisterBenchmark(("BM_Kernel/" + simdTargets().front() + "/2").c_str(), BM_Kernel,
                                 simdTargets().front(), 2)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(1.0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
