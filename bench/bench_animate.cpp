// Frames per second of an animation at the window's 794 x 381 pixels, 2e6
// points a frame, PNG encoding and writing included: 24 frames from the fern
// to the tree and back, against the same 24 pictures drawn one by one as
// stills, each framed to fit as fenra-render frames a collection's entry
// (fit/1), or from the box its frame's PNG stores (fit/0). On 1 and 2 threads;
// frames/s is the figure.

#include "animate/FrameFiles.h"
#include "animate/FrameRunner.h"
#include "files/IfsCollection.h"
#include "platform/QtFileStore.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

using namespace fenra;

constexpr int kFrames = 24;

animate::KeyMaps keyOf(const IfsCollection& collection, const char* name)
{
    const EntryMaps entry = entryMaps(*collection.find(QString::fromLatin1(name)));
    animate::KeyMaps maps;
    for (std::size_t k = 0; k < entry.maps.size(); ++k)
        maps.push_back({entry.maps[k], entry.weights[k], render::setColour(int(k) + 1), true});
    return maps;
}

animate::AnimationRequest fernTreeFern()
{
    QFile file(QStringLiteral(FENRA_SAMPLES_DIR "/classic.ifs"));
    file.open(QIODevice::ReadOnly);
    const IfsCollection collection = parseIfsCollection(file.readAll());
    animate::AnimationRequest request;
    request.keys = {keyOf(collection, "fern"), keyOf(collection, "tree"), keyOf(collection, "fern")};
    request.keyNames = {"fern", "tree", "fern"};
    request.timeline = {kFrames, false, 1};
    request.still.frame = {794, 381};
    request.still.points = 2'000'000;
    request.still.seed = 1;
    return request;
}

void count(benchmark::State& state)
{
    state.counters["frames/s"] = benchmark::Counter(double(kFrames), benchmark::Counter::kIsIterationInvariantRate);
    state.SetLabel(std::to_string(state.range(0)) + (state.range(0) == 1 ? " thread" : " threads")
                   + (state.range(1) ? ", stills fitted" : ""));
}

void BM_Animation(benchmark::State& state)
{
    const animate::AnimationRequest request = fernTreeFern();
    QTemporaryDir folder;
    QtFileStore disk;
    for (auto _ : state) {
        const animate::FrameBoxes boxes = animate::frameBoxes(request, int(state.range(0)));
        animate::FrameRun run;
        for (int f = 0; f < kFrames; ++f)
            run.frames.push_back(f);
        run.threads = int(state.range(0));
        run.write = [&](int frame, const render::Image& picture, const std::vector<render::RenderRequest>&) {
            const auto png = encodePng(picture.view(), animate::frameTexts(request, boxes, frame, {}));
            return disk.writeWhole(folder.filePath(QStringLiteral("f%1.png").arg(frame)), png.value());
        };
        benchmark::DoNotOptimize(animate::drawFrames(request, boxes, run));
    }
    count(state);
}
BENCHMARK(BM_Animation)
    ->Args({1, 0})
    ->Args({2, 0})
    ->ArgNames({"threads", ""})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_StillsOneByOne(benchmark::State& state)
{
    const animate::AnimationRequest request = fernTreeFern();
    const animate::FrameBoxes boxes = animate::frameBoxes(request);
    std::vector<render::RenderRequest> stills;
    for (int f = 0; f < kFrames; ++f)
        stills.push_back(animate::frameRequests(request, boxes, f)[0]);
    QTemporaryDir folder;
    QtFileStore disk;
    for (auto _ : state)
        for (int f = 0; f < kFrames; ++f) {
            render::RenderRequest still = stills[std::size_t(f)];
            if (state.range(1))
                still.frame = render::Frame::ofBox(render::fitBox(still.maps, 794, 381).value(), 794, 381);
            const render::Image picture = render::render(still, {int(state.range(0)), nullptr, {}});
            const auto png = encodePng(picture.view(), animate::frameTexts(request, boxes, f, {}));
            benchmark::DoNotOptimize(disk.writeWhole(folder.filePath(QStringLiteral("s%1.png").arg(f)), png.value()));
        }
    count(state);
}
BENCHMARK(BM_StillsOneByOne)
    ->ArgsProduct({{1, 2}, {0, 1}})
    ->ArgNames({"threads", "fit"})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}   // namespace

BENCHMARK_MAIN();
