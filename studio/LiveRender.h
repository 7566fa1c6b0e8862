#pragma once

#include "render/Pipeline.h"

#include <QImage>
#include <QObject>
#include <QRectF>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace fenra::studio {

// The live picture: the pipeline accumulates the latest request on a thread
// of its own, in rounds, and each round's sums are tone-mapped into a
// snapshot handed over by a queued signal. A new request cancels the one
// running (it stops within a round) and starts over; asking never waits.
class LiveRender : public QObject {
    Q_OBJECT
public:
    // `threads` the pipeline uses; the thread that takes the requests is one of them.
    explicit LiveRender(int threads, QObject* parent = nullptr);
    ~LiveRender() override;

    // Draws `request` from now on, unless it is the one already being drawn.
    void draw(const render::RenderRequest& request);

    // Threads for a live picture: every core but one, which is the UI's.
    static int threadsLeavingOneCore();

signals:
    // A picture of the plane's `box` (x, y, width, height in map units) with `points` points of
    // request number `generation` (counted from 1 by draw()), `seconds` after it began.
    void snapshot(const QImage& picture, const QRectF& box, qint64 points, double seconds, quint64 generation);
    // The request could not be drawn (a map list the pipeline refuses).
    void failed(const QString& why);

private:
    void run();
    void renderOne(const render::RenderRequest& request, quint64 generation);

    const int m_threads;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<render::RenderRequest> m_next;    // under m_mutex
    std::optional<render::RenderRequest> m_asked;   // the last request drawn or waiting, UI thread only
    quint64 m_generation = 0;                       // under m_mutex
    bool m_quit = false;                            // under m_mutex
    std::atomic<bool> m_cancel{false};
    std::thread m_thread;
};

}   // namespace fenra::studio
