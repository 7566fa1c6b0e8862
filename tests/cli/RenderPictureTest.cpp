#include "cli/RenderPicture.h"

#include "CliTestSupport.h"
#include "support/ScriptedRandom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <utility>

namespace fenra::cli {
namespace {

using fenra::test::ScriptedRandom;

constexpr std::uint32_t kRed = rgb(255, 0, 0), kGreen = rgb(0, 255, 0), kBlue = rgb(0, 0, 255);

// Set k sends every point to (c3, c6): at 1x, map (x, y) lands on pixel
// (floor((5000x + 5000) / 15), floor((5775 - 5000y) / 15)).
Coefficients constantMap(const char* c3, const char* c6)
{
    return {QStringLiteral("0"), QStringLiteral("0"), QString::fromLatin1(c3),
            QStringLiteral("0"), QStringLiteral("0"), QString::fromLatin1(c6)};
}

// (0, 1) lands on pixel (333, 51); (0.3, 0.5) on (433, 218).
const Coefficients kToA = constantMap("0", "1");
const Coefficients kToB = constantMap("0.3", "0.5");
constexpr int kAColumn = 333, kARow = 51, kBColumn = 433, kBRow = 218;

RenderJob jobWith(const QString& count, std::vector<Coefficients> sets, std::int64_t points, bool density)
{
    RenderJob job;
    job.dataSets.count = count;
    for (std::size_t k = 0; k < sets.size(); ++k)
        job.dataSets.sets[k] = sets[k];
    job.plan = *planRun(RunSettingsTexts{}).plan;
    job.plan.colour = ColourMode::Data;
    job.points = points;
    job.density = density;
    job.threads = 2;
    return job;
}

// Stream s draws its own script, over and over.
StreamFactory scripted(std::vector<std::vector<float>> scripts)
{
    return [scripts](int index) -> std::unique_ptr<RandomSource> {
        return std::make_unique<ScriptedRandom>(scripts.at(std::size_t(index)));
    };
}

std::map<std::pair<int, int>, std::uint32_t> litPixels(const Picture& picture)
{
    std::map<std::pair<int, int>, std::uint32_t> lit;
    for (int row = 0; row < picture.height; ++row)
        for (int column = 0; column < picture.width; ++column)
            if (const std::uint32_t colour = picture.pixels[std::size_t(row * picture.width + column)]; colour != kBlack)
                lit[{column, row}] = colour;
    return lit;
}

TEST(RenderPicture, DensityShadesByLogOfHitsOverLogOfMostHits)
{
    // Sets 1, 1, 2 over and over: 6 hits on A (red), 3 on B (green) in 9 points.
    // B: 255 * log(4) / log(7) = 181.66, which rounds to 182.
    const RenderJob job = jobWith(QStringLiteral("2"), {kToA, kToB}, 9, true);
    const Picture picture = renderPicture(job, scripted({{0.25f, 0.25f, 0.75f}}));
    using Lit = std::map<std::pair<int, int>, std::uint32_t>;
    EXPECT_EQ(litPixels(picture), (Lit{{{kAColumn, kARow}, kRed}, {{kBColumn, kBRow}, rgb(0, 182, 0)}}));
}

TEST(RenderPicture, ShadingOfHandCountedCells)
{
    // Most hits 9: 1 hit gives log 2 / log 10 = 0.30103 (76.8 of 255), 3 hits
    // log 4 / log 10 = 0.60206 (153.5), each channel rounded.
    const struct {
        std::uint64_t hits;
        std::uint32_t tint;
        std::uint32_t shade;
    } cells[] = {
        {0, kRed, kBlack}, {1, kRed, rgb(77, 0, 0)}, {3, rgb(0, 255, 255), rgb(0, 154, 154)},
        {9, kGreen, kGreen}, {1, rgb(255, 255, 255), rgb(77, 77, 77)},
    };
    std::vector<DensityCell> grid;
    for (const auto& c : cells)
        grid.push_back({c.hits, c.tint});
    const Picture picture = shadeDensity(int(grid.size()), 1, grid);
    for (std::size_t i = 0; i < grid.size(); ++i)
        EXPECT_EQ(picture.pixels[i], cells[i].shade) << "cell " << i;

    const Picture empty = shadeDensity(2, 1, {{0, kRed}, {0, kGreen}});
    EXPECT_EQ(empty.pixels, (std::vector<std::uint32_t>{kBlack, kBlack}));
}

TEST(RenderPicture, StreamsAreMergedLaterStreamOnTop)
{
    // Stream 0 alternates set 1 (A, red) and set 2 (B, green); stream 1 always
    // picks set 3, which also lands on A, in blue. Each stream gets half the points.
    const std::int64_t points = 4 * kMinPointsPerStream;
    const std::vector<Coefficients> sets{kToA, kToB, kToA};
    const StreamFactory streams = scripted({{0.1f, 0.5f}, {0.9f}});

    const Picture pixels = renderPicture(jobWith(QStringLiteral("3"), sets, points, false), streams);
    using Lit = std::map<std::pair<int, int>, std::uint32_t>;
    EXPECT_EQ(litPixels(pixels), (Lit{{{kAColumn, kARow}, kBlue}, {{kBColumn, kBRow}, kGreen}}));

    // A: a quarter of the points from stream 0 and half from stream 1; B: a quarter.
    const Picture density = renderPicture(jobWith(QStringLiteral("3"), sets, points, true), streams);
    const double share = std::log1p(double(points / 4)) / std::log1p(double(points / 4 * 3));
    EXPECT_EQ(litPixels(density),
              (Lit{{{kAColumn, kARow}, kBlue}, {{kBColumn, kBRow}, rgb(0, int(std::lround(255 * share)), 0)}}));
}

TEST(RenderPicture, StreamsFollowThePointsAndTheThreads)
{
    const struct {
        std::int64_t points;
        int threads;
        int streams;
    } cases[] = {
        {5000, 8, 1}, {0, 2, 1}, {kMinPointsPerStream * 2 - 1, 2, 1}, {kMinPointsPerStream * 2, 2, 2},
        {kMinPointsPerStream * 100, 2, 2}, {kMinPointsPerStream * 100, 1, 1}, {INT64_MAX, 64, 64},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.points);
        EXPECT_EQ(streamCount(c.points, c.threads), c.streams);
        std::int64_t total = 0;
        for (int s = 0; s < c.streams; ++s)
            total += streamShare(c.points, c.streams, s);
        EXPECT_EQ(total, c.points);
    }
    EXPECT_EQ(streamShare(7, 3, 0), 3);
    EXPECT_EQ(streamShare(7, 3, 2), 2);

    // Stream 0 is the seed's own sequence; the others differ from it and from each other.
    std::set<std::uint64_t> seeds;
    for (int s = 0; s < 8; ++s)
        seeds.insert(streamSeed(42, s));
    EXPECT_EQ(seeds.size(), 8u);
    EXPECT_EQ(streamSeed(42, 0), 42u);
}

TEST(RenderPicture, ScaleRefinesTheSamePicture)
{
    // Twice the scale sees the same points: every lit pixel (c, r) of the
    // fine picture lies in the coarse pixel (c / 2, r / 2), and each lit
    // coarse pixel holds at least one lit fine pixel.
    RenderJob job;
    job.dataSets = test::sampleDataSets(QStringLiteral("spiral"));
    job.plan = *planRun(RunSettingsTexts{}).plan;
    job.plan.colour = ColourMode::White;
    job.points = 20000;
    job.seed = 5;
    job.threads = 1;
    const Picture coarse = renderPicture(job);
    job.scale = 2;
    const Picture fine = renderPicture(job);

    ASSERT_EQ(fine.width, 2 * kDisplayWidth);
    ASSERT_EQ(fine.height, 2 * kDisplayHeight);
    std::set<std::pair<int, int>> fromFine;
    for (const auto& [position, colour] : litPixels(fine))
        fromFine.insert({position.first / 2, position.second / 2});
    std::set<std::pair<int, int>> lit;
    for (const auto& [position, colour] : litPixels(coarse))
        lit.insert(position);
    EXPECT_GT(lit.size(), 1000u);
    EXPECT_EQ(fromFine, lit);
}

} // namespace
} // namespace fenra::cli
