// fenra-render end to end: a data file's picture rendered (by the kernel) and
// encoded as the program does it, without the disk. 100 million points at
// --scale 2, in Data colour and in density mode, on one thread and on two.
// Then what the PNG encoding alone costs of that.
#include "files/InputData.h"
#include "files/PictureFile.h"
#include "platform/QtFileStore.h"
#include "render/RenderPicture.h"

#include <benchmark/benchmark.h>

#include <QString>

#include <cstdint>

namespace {

using namespace fenra;
using namespace fenra::render;

constexpr std::int64_t kPoints = 100'000'000;
constexpr std::uint64_t kSeed = 20240601;

const char* const kSamples[] = {"sierpinski", "fern"};

std::optional<RenderJob> jobFor(const char* sample, bool density, int threads, benchmark::State& state)
{
    QtFileStore disk;
    const LoadedData loaded =
        loadDataSets(QStringLiteral(FENRA_SAMPLES_DIR "/%1.tfg").arg(QLatin1String(sample)), disk);
    if (!loaded.dataSets) {
        state.SkipWithError(qPrintable(loaded.error));
        return std::nullopt;
    }
    RenderJob job;
    job.dataSets = *loaded.dataSets;
    job.plan = *planRun(RunSettingsTexts{}).plan;
    job.points = kPoints;
    job.scale = 2;
    job.colour = {Colouring::MapColours, density};
    job.seed = kSeed;
    job.threads = threads;
    return job;
}

void BM_Render(benchmark::State& state)
{
    const char* sample = kSamples[state.range(0)];
    const bool density = state.range(1) != 0;
    const int threads = int(state.range(2));
    const std::optional<RenderJob> job = jobFor(sample, density, threads, state);
    if (!job)
        return;
    for (auto _ : state) {
        const Image picture = renderPicture(*job);
        std::optional<QByteArray> png = encodePicture(picture, PictureFormat::Png, {});
        benchmark::DoNotOptimize(png);
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
    state.SetLabel(QStringLiteral("%1 %2 %3 thread(s)")
                       .arg(QLatin1String(sample), density ? QStringLiteral("density") : QStringLiteral("data"))
                       .arg(threads)
                       .toStdString());
}

// sample, density, threads
BENCHMARK(BM_Render)
    ->ArgsProduct({{0, 1}, {0, 1}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()   // the CPU column then sums every thread's work
    ->UseRealTime()
    ->Iterations(3);

void BM_EncodePng(benchmark::State& state)
{
    const char* sample = kSamples[state.range(0)];
    const std::optional<RenderJob> job = jobFor(sample, true, 2, state);
    if (!job)
        return;
    const Image picture = renderPicture(*job);
    for (auto _ : state)
        benchmark::DoNotOptimize(encodePicture(picture, PictureFormat::Png, {}));
    state.SetLabel(std::string(sample) + ", density, 1588 x 762");
}
BENCHMARK(BM_EncodePng)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}   // namespace

BENCHMARK_MAIN();
