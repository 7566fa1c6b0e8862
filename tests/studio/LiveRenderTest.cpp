// The live picture: snapshots that grow, an edit that cancels and restarts.
#include "studio/LiveRender.h"
#include "studio/PictureRequest.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace fenra::studio {
namespace {

struct Snapshot {
    qint64 points;
    quint64 generation;
};

// Runs the event loop until `done` holds, for at most ten seconds.
template <typename Condition>
bool waitFor(Condition done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

render::RenderRequest triangle(double shift, std::int64_t points)
{
    const MapList maps{{AffineMap{{0.5, 0, shift, 0, 0.5, 0}}, 1},
                       {AffineMap{{0.5, 0, 0.5, 0, 0.5, 0}}, 1},
                       {AffineMap{{0.5, 0, 0.25, 0, 0.5, 0.5}}, 1}};
    render::RenderRequest request = liveRequest(maps, {}, {0, 0, 1, 1}, QSize(320, 240));
    request.points = points;
    return request;
}

TEST(LiveRender, AnEditCancelsTheRunningPictureAndTheNextOneGrowsToItsEnd)
{
    LiveRender live(2);
    std::vector<Snapshot> shown;
    QObject::connect(&live, &LiveRender::snapshot, &live,
                     [&](const QImage& picture, const QRectF&, qint64 points, double, quint64 generation) {
                         EXPECT_EQ(picture.size(), QSize(320, 240));
                         shown.push_back({points, generation});
                     });
    live.draw(triangle(0, kLivePointsCap));   // far more than this test waits for
    ASSERT_TRUE(waitFor([&] { return !shown.empty(); }));
    live.draw(triangle(0, kLivePointsCap));   // the same request again: nothing restarts
    const std::int64_t small = 3'000'000;
    live.draw(triangle(0.01, small));
    ASSERT_TRUE(waitFor([&] { return !shown.empty() && shown.back().generation == 2 && shown.back().points == small; }))
        << "the edited picture never finished";
    // Once the edit's first snapshot came, none of the cancelled picture followed; points only grew.
    const auto firstOfEdit =
        std::find_if(shown.begin(), shown.end(), [](const Snapshot& s) { return s.generation == 2; });
    for (auto s = firstOfEdit; s != shown.end(); ++s) {
        EXPECT_EQ(s->generation, 2u);
        if (s != firstOfEdit) {
            EXPECT_GT(s->points, (s - 1)->points);
        }
    }
    EXPECT_LT(firstOfEdit->points, small);   // the first snapshot comes before the end
}

TEST(LiveRender, APictureThePipelineRefusesIsReportedNotShown)
{
    LiveRender live(1);
    QString why;
    int pictures = 0;
    QObject::connect(&live, &LiveRender::failed, &live, [&](const QString& text) { why = text; });
    QObject::connect(&live, &LiveRender::snapshot, &live, [&] { ++pictures; });
    render::RenderRequest request = triangle(0, 1000);
    request.maps.clear();
    live.draw(request);
    ASSERT_TRUE(waitFor([&] { return !why.isEmpty(); }));
    EXPECT_EQ(pictures, 0);
}

}   // namespace
}   // namespace fenra::studio
