#include "animate/FrameRunner.h"

#include "animate/OnThreads.h"

#include <algorithm>
#include <exception>
#include <mutex>

namespace fenra::animate {

std::optional<render::Image> drawFrame(const std::vector<render::RenderRequest>& requests,
                                       const render::AccumulateControl& control)
{
    render::HitSums sums = render::sumsFor(requests.at(0));
    for (const auto& r : requests)
        if (render::accumulate(r, sums, control) == render::Accumulated::Cancelled)
            return std::nullopt;
    return render::toneMap(sums, requests[0]);
}

FramesDrawn drawFrames(const AnimationRequest& request, const FrameBoxes& boxes, const FrameRun& run)
{
    FramesDrawn drawn;
    const int frames = int(run.frames.size());
    const int workers = std::clamp(frames, 1, std::max(1, run.threads));
    std::atomic<bool> stop{false};
    std::mutex lock;
    auto fail = [&](const QString& why) {
        std::scoped_lock held(lock);
        if (drawn.failure.isEmpty())
            drawn.failure = why;
        stop = true;
    };
    onThreads(frames, workers, [&](int i) {
        if (stop)
            return;
        const int frame = run.frames[std::size_t(i)];
        // Threads left over once every frame has one help the frames still to come.
        const int threads = std::max(1, run.threads / std::max(1, std::min(workers, frames - i)));
        try {
            const auto requests = frameRequests(request, boxes, frame);
            const auto picture = drawFrame(requests, {threads, run.cancel, {}});
            if (!picture) {
                stop = true;
                return;
            }
            if (const auto failure = run.write(frame, *picture, requests))
                return fail(*failure);
            std::scoped_lock held(lock);
            ++drawn.written;
            if (run.onWritten)
                run.onWritten(frame);
        } catch (const std::bad_alloc&) {
            fail(QStringLiteral("not enough memory for frame %1").arg(frame));
        } catch (const std::exception& e) {
            fail(QStringLiteral("frame %1 cannot be drawn: %2").arg(frame).arg(QString::fromUtf8(e.what())));
        }
    });
    drawn.cancelled = run.cancel && run.cancel->load() && drawn.failure.isEmpty();
    return drawn;
}

}   // namespace fenra::animate
