// The studio's live picture on a 1920 x 1080 canvas of the fern: the time from
// an edit to its first snapshot (goal: under 50 ms, with at least 100,000
// points in it), and how late the UI thread's event loop answers while the
// picture refines under a drag (goal: under 20 ms). Wall-clock times, manual.
#include "studio/LiveRender.h"
#include "studio/PictureRequest.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <condition_variable>
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
    QObject::connect(&live, &LiveRender::snapshot, &live,
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

// The UI thread's part while the picture refines: every 16 ms (a mouse at
// 60 Hz) an edit goes to the worker and the snapshots come back by queued
// signals; a timer due at each step measures how late the loop runs it.
void BM_EventLoopLatencyWhileRefining(benchmark::State& state)
{
    const PlaneBox box = *attractorBox(fern(), kCanvas);
    LiveRender live(LiveRender::threadsLeavingOneCore());
    QImage shown;
    QObject::connect(&live, &LiveRender::snapshot, &live,
                     [&](const QImage& picture) { shown = picture; });   // queued to this thread, as the canvas gets it
    double worst = 0;
    int step = 0;
    for (auto _ : state) {
        live.draw(liveRequest(edited(++step), {}, box, kCanvas));
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
    state.counters["worst_ms"] = worst * 1e3;
    benchmark::DoNotOptimize(shown);
}
BENCHMARK(BM_EventLoopLatencyWhileRefining)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);

} // namespace

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
