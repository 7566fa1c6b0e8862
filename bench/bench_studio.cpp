// The studio's live picture on a 1920 x 1080 canvas of the fern: the time from
// an edit to its first snapshot (goal: under 50 ms, with at least 100,000
// points in it), and how late the UI thread's event loop answers while the
// picture refines under a drag (goal: under 20 ms). Wall-clock times, manual.
// It runs on the offscreen platform unless another is set.
#include "engine/RandomSource.h"
#include "platform/QtPlatform.h"
#include "studio/LiveRender.h"
#include "studio/MapCanvas.h"
#include "studio/PictureRequest.h"
#include "studio/StudioWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <condition_variable>
#include <limits>
#include <mutex>

namespace {

using namespace fenra;
using namespace fenra::studio;

const QSize kCanvas(1920, 1080);

MapList fern()
{
    return {{AffineMap{{0, 0, 0, 0, 0.16, 0}}, 0.01},
            {AffineMap{{0.85, 0.04, 0, -0.04, 0.85, 1.6}}, 0.85},
            {AffineMap{{0.2, -0.26, 0, 0.23, 0.22, 1.6}}, 0.07},
            {AffineMap{{-0.15, 0.28, 0, 0.26, 0.24, 0.44}}, 0.07}};
}

// One edit of a drag: the frond's map moved a little, back and forth.
MapList edited(int step)
{
    MapList maps = fern();
    maps[1].map.c[2] += (step % 2 ? 1 : -1) * 1e-3 * (step % 7);
    return maps;
}

void BM_EditToFirstSnapshot(benchmark::State& state)
{
    const PlaneBox box = *attractorBox(fern(), kCanvas);
    LiveRender live(LiveRender::threadsLeavingOneCore());
    std::mutex mutex;
    std::condition_variable arrived;
    quint64 lastGeneration = 0;
    qint64 lastPoints = 0;
    QObject::connect(
        &live, &LiveRender::snapshot, &live,
        [&](const QImage&, const QRectF&, qint64 points, double, quint64 generation) {
            const std::lock_guard lock(mutex);
            lastGeneration = generation;
            lastPoints = points;
            arrived.notify_one();
        },
        Qt::DirectConnection);
    quint64 generation = 0;
    qint64 fewestPoints = std::numeric_limits<qint64>::max();
    double slowest = 0;
    int step = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        live.draw(liveRequest(edited(++step), {}, box, kCanvas));
        ++generation;
        std::unique_lock lock(mutex);
        arrived.wait(lock, [&] { return lastGeneration == generation; });
        const double seconds = double(timer.nsecsElapsed()) * 1e-9;
        state.SetIterationTime(seconds);
        slowest = std::max(slowest, seconds);
        fewestPoints = std::min(fewestPoints, lastPoints);
    }
    state.counters["first_snapshot_points_min"] = double(fewestPoints);
    state.counters["slowest_ms"] = slowest * 1e3;
}
BENCHMARK(BM_EditToFirstSnapshot)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(40);

// The parts of a first snapshot, on this thread: the sums made, one round
// (a chunk per thread) accumulated, the sums tone-mapped into a picture.
void BM_FirstSnapshotParts(benchmark::State& state)
{
    const render::RenderRequest request = liveRequest(fern(), {}, *attractorBox(fern(), kCanvas), kCanvas);
    double make = 0, accumulate = 0, tone = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        render::HitSums sums = render::sumsFor(request);
        make += double(timer.nsecsElapsed());
        timer.restart();
        std::atomic<bool> cancel{false};
        render::accumulate(request, sums,
                           {LiveRender::threadsLeavingOneCore(), &cancel, [&](std::int64_t, std::int64_t) {
                                accumulate += double(timer.nsecsElapsed());
                                timer.restart();
                                benchmark::DoNotOptimize(render::toneMap(sums, request));
                                tone += double(timer.nsecsElapsed());
                                cancel = true;   // one round is enough
                            }});
    }
    const double n = double(state.iterations()) * 1e6;
    state.counters["sums_ms"] = make / n;
    state.counters["first_round_ms"] = accumulate / n;
    state.counters["tone_map_ms"] = tone / n;
}

// The UI thread while the picture refines under a drag: the real window at
// a 1920 x 1080 canvas, an edit of the drag every 16 ms (a mouse at 60 Hz),
// snapshots arriving by queued signals and painted; a timer due at each step
// measures how late the event loop runs it.
void BM_EventLoopLatencyWhileRefining(benchmark::State& state)
{
    QtMessages messages;
    QtFileDialogs dialogs;
    QtFileStore files;
    QtQuestions questions;
    QtClock clock;
    Pcg32Source random;
    StudioWindow window({messages, dialogs, files, questions, clock, QString()}, random,
                        LiveRender::threadsLeavingOneCore());
    auto* canvas = window.findChild<MapCanvas*>("canvas");
    window.resize(1920 + 520, 1080 + 60);
    window.show();
    QCoreApplication::processEvents();
    window.resize(window.size() + (QSize(1920, 1080) - canvas->size()));   // the canvas exactly 1920 x 1080
    QCoreApplication::processEvents();
    window.document().reset(fern());
    window.frameAttractor();
    double worst = 0;
    qint64 pictures = 0;
    QObject::connect(&window, &StudioWindow::pictureShown, &window, [&] { ++pictures; });
    int step = 0;
    for (auto _ : state) {
        StudioMap frond = window.document().maps()[1];
        frond.map.c[2] += (++step % 40 < 20 ? 1 : -1) * 2e-3;
        window.document().preview(1, frond);
        QElapsedTimer timer;
        timer.start();
        bool ran = false;
        double late = 0;
        QTimer::singleShot(16, [&] {
            late = std::max(0.0, double(timer.nsecsElapsed()) * 1e-9 - 0.016);
            ran = true;
        });
        while (!ran)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.SetIterationTime(late);
        worst = std::max(worst, late);
    }
    window.document().endPreview("drag");
    state.counters["worst_ms"] = worst * 1e3;
    state.counters["snapshots_painted"] = double(pictures);
    state.counters["canvas_w"] = canvas->width();
    state.counters["canvas_h"] = canvas->height();
}
BENCHMARK(BM_FirstSnapshotParts)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_EventLoopLatencyWhileRefining)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(300);

}   // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
