#include "studio/LiveRender.h"

#include <QThread>

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace fenra::studio {
namespace {

using Clock = std::chrono::steady_clock;
// After the first snapshot, one at most this often: tone-mapping a full
// canvas costs a few milliseconds the accumulation could use.
constexpr auto kSnapshotInterval = std::chrono::milliseconds(120);

QImage imageOf(const render::Image& image)
{
    QImage out(image.width, image.height, QImage::Format_RGB32);
    for (int row = 0; row < image.height; ++row)
        std::copy_n(image.pixels.data() + std::size_t(row) * std::size_t(image.width), image.width,
                    reinterpret_cast<std::uint32_t*>(out.scanLine(row)));
    return out;
}

}   // namespace

LiveRender::LiveRender(int threads, QObject* parent)
    : QObject(parent), m_threads(std::max(1, threads)), m_thread([this] { run(); })
{}

LiveRender::~LiveRender()
{
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
        m_cancel = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

int LiveRender::threadsLeavingOneCore() { return std::max(1, QThread::idealThreadCount() - 1); }

void LiveRender::draw(const render::RenderRequest& request)
{
    if (m_asked && *m_asked == request)
        return;
    m_asked = request;
    {
        const std::lock_guard lock(m_mutex);
        m_next = request;
        ++m_generation;
        m_cancel = true;
    }
    m_wake.notify_one();
}

void LiveRender::run()
{
    for (;;) {
        render::RenderRequest request;
        quint64 generation = 0;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_quit || m_next; });
            if (m_quit)
                return;
            request = std::move(*m_next);
            m_next.reset();
            generation = m_generation;
            m_cancel = false;   // under the lock: a draw() after this cancels this request
        }
        renderOne(request, generation);
    }
}

void LiveRender::renderOne(const render::RenderRequest& request, quint64 generation)
{
    const Clock::time_point start = Clock::now();
    try {
        render::HitSums sums = render::sumsFor(request);
        const render::ViewBox plane = request.frame.box();
        const QRectF box(plane.x0, plane.y0, plane.x1 - plane.x0, plane.y1 - plane.y0);
        Clock::time_point shown{};
        std::int64_t shownPoints = -1;
        const auto show = [&](std::int64_t done) {
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            // On the render's own threads: the core left to the UI stays free.
            emit snapshot(imageOf(render::toneMap(sums, request, m_threads)), box, done, seconds, generation);
            shown = Clock::now();
            shownPoints = done;
        };
        render::AccumulateControl control;
        control.threads = m_threads;
        control.cancel = &m_cancel;
        control.onRound = [&](std::int64_t done, std::int64_t) {
            if (!m_cancel && (shownPoints < 0 || Clock::now() - shown >= kSnapshotInterval))
                show(done);
        };
        if (render::accumulate(request, sums, control) == render::Accumulated::Done && shownPoints != request.points)
            show(request.points);
    } catch (const std::exception& e) {
        emit failed(QString::fromUtf8(e.what()));
    }
}

}   // namespace fenra::studio
