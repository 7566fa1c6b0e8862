// A poster is the same file however it is drawn: whole, in bands within a
// memory limit, on any threads, in parts merged, or stopped and resumed.
#include "poster/Merge.h"
#include "poster/Poster.h"

#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fenra::poster {
namespace {

render::RenderRequest triangle()
{
    render::RenderRequest request;
    for (const auto& [e, f] : {std::pair{0.0, 0.0}, {0.5, 0.0}, {0.25, 0.5}})
        request.maps.push_back(
            {AffineMap{{0.5, 0, e, 0, 0.5, f}}, 1.0, render::setColour(int(request.maps.size()) + 1), true});
    request.frame = render::Frame::ofBox({-0.05, -0.05, 1.05, 1.05}, 60, 44);
    request.oversample = 2;
    request.points = 2'000'000;   // 8 chunks
    request.seed = 5;
    return request;
}

struct Drawn {
    PosterResult result;
    std::string bytes;
};

Drawn draw(PosterJob job)
{
    Drawn drawn;
    job.finishing = {render::ToneSettings::of(job.request), {{"fenra-settings", "--seed 5"}}};
    drawn.result = drawPoster(job, [&](const void* p, std::size_t n) {
        drawn.bytes.append(static_cast<const char*>(p), n);
        return true;
    });
    return drawn;
}

class DrawPoster : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path() / ("fenra-poster-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        job.request = triangle();
        job.scratch = (dir / "bands").string();
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::filesystem::path dir;
    PosterJob job;
    const std::uint64_t tenRows =
        render::HitSums::bytesFor(120, 10) + 2 * render::HitSums::queueBytesFor(120, 88);   // of the 120 x 88 sums
};

TEST_F(DrawPoster, GivesTheSameFileWholeInBandsOnAnyThreadsAndInPartsMerged)
{
    const Drawn whole = draw(job);
    ASSERT_EQ(whole.result.status, PosterStatus::Done) << whole.result.error;
    // Today's pixels: the pipeline's picture of the same request.
    const QImage png =
        QImage::fromData(QByteArray::fromStdString(whole.bytes), "png").convertToFormat(QImage::Format_RGB32);
    const render::Image expected = render::render(job.request);
    ASSERT_EQ(png.size(), QSize(expected.width, expected.height));
    for (int y = 0; y < expected.height; ++y)
        ASSERT_TRUE(std::equal(expected.pixels.begin() + y * expected.width,
                               expected.pixels.begin() + (y + 1) * expected.width,
                               reinterpret_cast<const std::uint32_t*>(png.constScanLine(y))))
            << "row " << y;

    ASSERT_EQ(rowsPerBand(job.request, tenRows, 2), 10);
    ASSERT_LT(rowsPerBand(job.request, tenRows, 1), 20);
    for (const auto& [threads, memory] : {std::pair{2, std::uint64_t(0)}, {1, tenRows}, {2, tenRows}}) {
        job.threads = threads;
        job.memory = memory;
        EXPECT_EQ(draw(job).bytes, whole.bytes) << threads << " threads, " << memory << " bytes";
    }

    std::vector<std::string> parts;
    for (int k = 1; k <= 3; ++k) {
        job.share = {k, 3};
        job.memory = k == 2 ? tenRows : 0;   // a part in bands is the same part
        const Drawn part = draw(job);
        ASSERT_EQ(part.result.status, PosterStatus::Done) << part.result.error;
        parts.push_back((dir / ("part" + std::to_string(k))).string());
        std::ofstream(parts.back(), std::ios::binary) << part.bytes;
    }
    std::string merged;
    EXPECT_EQ(mergeParts(parts, 2,
                         [&](const void* p, std::size_t n) {
                             merged.append(static_cast<const char*>(p), n);
                             return true;
                         }),
              "");
    EXPECT_EQ(merged, whole.bytes);
}

TEST_F(DrawPoster, StoppedAndRunAgainFromItsCheckpointEndsWithTheSameFile)
{
    const std::string whole = draw(job).bytes;
    for (const std::uint64_t memory : {std::uint64_t(0), tenRows}) {
        job.memory = memory;
        job.checkpoint = (dir / "kept").string();
        std::filesystem::remove(job.checkpoint);
        std::atomic<bool> stop{false};
        job.stop = &stop;
        // Stopped after some work: the first round of a whole render, the first bands of a banded one.
        job.progress = [&](std::int64_t done, std::int64_t total) { stop = stop || done * 3 >= total; };
        const Drawn stopped = draw(job);
        ASSERT_EQ(stopped.result.status, PosterStatus::Stopped) << stopped.result.error;
        ASSERT_TRUE(std::filesystem::exists(job.checkpoint)) << memory;

        job.stop = nullptr;
        job.progress = {};
        const Drawn resumed = draw(job);
        ASSERT_EQ(resumed.result.status, PosterStatus::Done) << resumed.result.error;
        EXPECT_EQ(resumed.bytes, whole) << memory;

        job.request.seed = 6;   // another render does not take this one's sums
        EXPECT_EQ(draw(job).result.error,
                  job.checkpoint + " holds the sums of another render; remove it or name another checkpoint");
        job.request.seed = 5;
    }
}

}   // namespace
}   // namespace fenra::poster
