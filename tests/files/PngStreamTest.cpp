// The PNG written row by row: the same bytes for any thread count and any way
// the rows come, and a file that another reader (Qt's, through libpng) reads
// back pixel for pixel.
#include "files/PngStream.h"

#include <QByteArray>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace fenra::files {
namespace {

constexpr int kWidth = 37, kHeight = 23;

// Smooth parts and noise, so every filter gets picked somewhere.
std::uint16_t sample(int x, int y, int channel)
{
    const std::uint32_t noise = std::uint32_t(x * 7919 + y * 104729 + channel * 31) * 2654435761u >> 16;
    return std::uint16_t(y < 12 ? x * 1500 + channel * 9000 : noise);
}

struct Written {
    QByteArray bytes;
    bool finished = false;
};

// The picture written with `threads`, handed in `perCall` rows at a time, in pieces of 4 rows.
Written write(int depth, int threads, int perCall, const std::vector<std::pair<std::string, std::string>>& texts = {})
{
    Written out;
    PngStreamWriter png(
        [&](const void* p, std::size_t n) {
            out.bytes.append(static_cast<const char*>(p), qsizetype(n));
            return true;
        },
        {kWidth, kHeight, depth}, texts, threads, 4);
    for (int y = 0; y < kHeight; y += perCall) {
        const int rows = std::min(perCall, kHeight - y);
        std::vector<std::uint32_t> argb;
        std::vector<std::uint16_t> rgb;
        for (int r = y; r < y + rows; ++r)
            for (int x = 0; x < kWidth; ++x) {
                argb.push_back(0xFF000000u | std::uint32_t(sample(x, r, 0) >> 8) << 16
                               | std::uint32_t(sample(x, r, 1) >> 8) << 8 | sample(x, r, 2) >> 8);
                for (int c = 0; c < 3; ++c)
                    rgb.push_back(sample(x, r, c));
            }
        depth == 8 ? png.addRows(std::span<const std::uint32_t>(argb))
                   : png.addRows(std::span<const std::uint16_t>(rgb));
    }
    out.finished = png.finish();
    return out;
}

TEST(PngStream, GivesTheSameBytesForAnyThreadsAndRowBatchesAndReadsBackExactly)
{
    for (const int depth : {8, 16}) {
        const Written one = write(depth, 1, 1, {{"fenra-settings", "--points 5 \t"}});
        ASSERT_TRUE(one.finished);
        for (const auto& [threads, perCall] : {std::pair{2, 1}, {3, 5}, {8, kHeight}})
            EXPECT_EQ(write(depth, threads, perCall, {{"fenra-settings", "--points 5 \t"}}).bytes, one.bytes)
                << depth << " bits, " << threads << " threads";

        const QImage image = QImage::fromData(one.bytes, "png");
        ASSERT_EQ(image.size(), QSize(kWidth, kHeight)) << depth;
        EXPECT_EQ(image.text("fenra-settings"), "--points 5 \t");
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const QRgba64 p = image.pixelColor(x, y).rgba64();
                // An 8-bit sample v reads as 257 v in 16 bits.
                const auto expected = [&](int c) {
                    return depth == 8 ? (sample(x, y, c) >> 8) * 257 : sample(x, y, c);
                };
                ASSERT_EQ((std::array<int, 3>{p.red(), p.green(), p.blue()}),
                          (std::array{expected(0), expected(1), expected(2)}))
                    << depth << " bits at " << x << ", " << y;
            }
    }
}

TEST(PngStream, IsNotWholeWithoutEveryRowOrWhenTheSinkFails)
{
    PngStreamWriter short_([](const void*, std::size_t) { return true; }, {4, 3, 8}, {}, 2);
    const std::vector<std::uint32_t> row(8, 0xFF102030u);
    short_.addRows(std::span<const std::uint32_t>(row));
    EXPECT_FALSE(short_.finish());
    EXPECT_THROW(short_.addRows(std::span<const std::uint32_t>(row)), std::invalid_argument);   // rows 3 and 4 of 3

    int calls = 0;
    PngStreamWriter failing([&](const void*, std::size_t) { return ++calls < 5; }, {4, 2, 8}, {}, 1);
    failing.addRows(std::span<const std::uint32_t>(row));
    EXPECT_FALSE(failing.finish());
}

}   // namespace
}   // namespace fenra::files
