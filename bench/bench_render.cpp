// Points per second of the render run, one thread, with the program's own
// random source. Each benchmark's items are points, so items/s is points/s;
// the time per iteration at 99999 is the time of one run the window allows.

#include "engine/RandomSource.h"
#include "engine/RenderRun.h"
#include "engine/RunSettings.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

namespace {

using namespace fenra;

DataSetTexts dataSets(const QString& count, std::initializer_list<Coefficients> maps)
{
    DataSetTexts sets;
    sets.count = count;
    sets.sets.fill({QStringLiteral("0.0000"), QStringLiteral("0.0000"), QStringLiteral("0.0000"),
                    QStringLiteral("0.0000"), QStringLiteral("0.0000"), QStringLiteral("0.0000")});
    std::size_t k = 0;
    for (const Coefficients& map : maps)
        sets.sets[k++] = map;
    return sets;
}

Coefficients map(const char* c1, const char* c2, const char* c3, const char* c4, const char* c5, const char* c6)
{
    return {QString::fromLatin1(c1), QString::fromLatin1(c2), QString::fromLatin1(c3),
            QString::fromLatin1(c4), QString::fromLatin1(c5), QString::fromLatin1(c6)};
}

// Sierpinski's triangle: three halvings towards the corners.
const DataSetTexts& threeMaps()
{
    static const DataSetTexts sets =
        dataSets(QStringLiteral("3"), {
                                          map("0.5000", "0.0000", "0.0000", "0.0000", "0.5000", "0.0000"),
                                          map("0.5000", "0.0000", "0.5000", "0.0000", "0.5000", "0.0000"),
                                          map("0.5000", "0.0000", "0.2500", "0.0000", "0.5000", "0.5000"),
                                      });
    return sets;
}

// Six contractions, some turning and mirroring, as the generator might give them.
const DataSetTexts& sixMaps()
{
    static const DataSetTexts sets =
        dataSets(QStringLiteral("6"), {
                                          map("0.5000", "0.0000", "0.0000", "0.0000", "0.5000", "0.0000"),
                                          map("0.5000", "0.0000", "0.5000", "0.0000", "0.5000", "0.0000"),
                                          map("0.5000", "0.0000", "0.2500", "0.0000", "0.5000", "0.5000"),
                                          map("0.4000", "-0.300", "0.3000", "0.3000", "0.4000", "0.1000"),
                                          map("-0.400", "0.2000", "0.8000", "0.2000", "0.4000", "0.3000"),
                                          map("0.3000", "0.3000", "0.1000", "-0.300", "0.3000", "0.6000"),
                                      });
    return sets;
}

// With `reported`, the run tells its progress as the window's run does: after
// every block of steps it asks the clock whether 50 ms have passed.
void renderRuns(benchmark::State& state, const DataSetTexts& sets, ColourMode colour, bool reported = false)
{
    RunSettingsTexts settings;
    settings.iterations = QString::number(state.range(0));
    settings.zoom = QStringLiteral("1x");
    settings.colour = colour;
    const RunPlan plan = *planRun(settings).plan;

    // The drawing area's image, allocated once as the window does.
    std::vector<std::uint32_t> pixels(std::size_t(kDisplayWidth) * kDisplayHeight);
    const RasterView raster{pixels.data(), kDisplayWidth, kDisplayHeight, kDisplayWidth};
    Pcg32Source random;
    CurrentMap map;

    std::int64_t plotted = 0;
    auto last = std::chrono::steady_clock::now();
    std::int64_t shown = 0;
    const RunProgress progress = [&](std::int64_t done) {
        if (std::chrono::steady_clock::now() - last >= std::chrono::milliseconds(50)) {
            shown = done;
            last = std::chrono::steady_clock::now();
        }
    };
    for (auto _ : state) {
        plotted += renderRun(sets, plan, map, random, raster, reported ? progress : RunProgress());
        benchmark::DoNotOptimize(shown);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["drawn"] = benchmark::Counter(double(plotted) / double(state.iterations() * state.range(0)));
}

void BM_Render3Maps_Data(benchmark::State& state) { renderRuns(state, threeMaps(), ColourMode::Data); }
void BM_Render3Maps_Random(benchmark::State& state) { renderRuns(state, threeMaps(), ColourMode::Random); }
void BM_Render6Maps_Data(benchmark::State& state) { renderRuns(state, sixMaps(), ColourMode::Data); }
void BM_Render6Maps_Random(benchmark::State& state) { renderRuns(state, sixMaps(), ColourMode::Random); }
void BM_Render6Maps_Random_Reported(benchmark::State& state) { renderRuns(state, sixMaps(), ColourMode::Random, true); }

constexpr int kWindowRun = 99999;   // the largest count the Iterations box takes
constexpr int kLongRun = 10000000;

#define FENRA_RENDER_BENCHMARK(name)                                                                                   \
    BENCHMARK(name)->Arg(kWindowRun)->Unit(benchmark::kMicrosecond);                                                   \
    BENCHMARK(name)->Arg(kLongRun)->Unit(benchmark::kMillisecond)

FENRA_RENDER_BENCHMARK(BM_Render3Maps_Data);
FENRA_RENDER_BENCHMARK(BM_Render3Maps_Random);
FENRA_RENDER_BENCHMARK(BM_Render6Maps_Data);
FENRA_RENDER_BENCHMARK(BM_Render6Maps_Random);
FENRA_RENDER_BENCHMARK(BM_Render6Maps_Random_Reported);   // the window's run, which shows its progress

}   // namespace

BENCHMARK_MAIN();
