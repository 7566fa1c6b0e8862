// The pipeline: the same sums on every target, thread count and way of
// sharing; rounds that grow and a cancel that stops them; maps picked by their
// weights; the attractor the window's one chain draws; the tone map; framing.
#include "engine/PointLoop.h"
#include "engine/RandomSource.h"
#include "render/Accumulate.h"
#include "render/Kernel.h"
#include "render/Pipeline.h"
#include "render/RenderPicture.h"
#include "render/WindowFraming.h"

#include "support/ScriptedRandom.h"
#include "support/SimdTarget.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <thread>
#include <vector>

using namespace fenra;
using namespace fenra::render;

namespace {

std::vector<Sums> allSums(const HitSums& sums)
{
    std::vector<Sums> all(sums.size());
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = sums.at(i);
    return all;
}

std::vector<Sums> sumsOf(const RenderRequest& request, int threads, Sharing sharing = Sharing::ByMemory)
{
    HitSums sums = sumsFor(request);
    accumulate(request, sums, {threads}, sharing);
    return allSums(sums);
}

std::uint64_t hitsIn(const HitSums& sums)
{
    const std::vector<Sums> all = allSums(sums);
    return std::accumulate(all.begin(), all.end(), std::uint64_t(0), [](auto n, const Sums& s) { return n + s.hits; });
}

// The maps of a data file as the window's run reads them, in their Data
// colours, and its frame at scale 1, zoom "1x".
RenderRequest requestOf(const DataSetTexts& sets, int maps)
{
    const PreparedRun run(sets, RunPlan{}, CurrentMap{});
    RenderRequest request;
    for (int k = 1; k <= maps; ++k)
        request.maps.push_back(WeightedMap{run.maps[k], 1.0, setColour(k)});
    request.frame = Frame::window(5000.0, 5000.0, 0.0, 0.0, 0.0, 1);
    return request;
}

const DataSetTexts kTriangle{"3",
                             {{{"0.5", "0", "0", "0", "0.5", "0"},
                               {"0.5", "0", "0.5", "0", "0.5", "0"},
                               {"0.5", "0", "0.25", "0", "0.5", "0.5"}}}};
const DataSetTexts kFern{"6",
                         {{{"0.1350", "0.0779", "-0.838", "0.0779", "0.0450", "0.2958"},
                           {"0.8388", "0.0440", "0.1853", "-0.044", "0.8388", "0.1969"},
                           {"0.8388", "0.0440", "0.1853", "-0.044", "0.8388", "0.1969"},
                           {"0.8388", "0.0440", "0.1853", "-0.044", "0.8388", "0.1969"},
                           {"0.2208", "-0.245", "-0.488", "0.2452", "0.2208", "0.5254"},
                           {"0.3228", "0.0686", "-0.581", "0.0686", "-0.323", "0.4172"}}}};

TEST(RenderKernel, SameSumsForAnyTargetThreadCountAndSharing)
{
    RenderRequest mapColours = requestOf(kTriangle, 3);
    // Six weighted maps, one hidden, palette colours: permuted on wide
    // targets, gathered on narrow ones.
    RenderRequest palette = requestOf(kFern, 6);
    for (std::size_t k = 0; k < 6; ++k)
        palette.maps[k].weight = std::vector{1.0, 5.0, 0.5, 2.0, 1.0, 3.0}[k];
    palette.maps[2].shown = false;
    palette.colour.colouring = Colouring::Palette;
    for (RenderRequest* request : {&mapColours, &palette}) {
        request->points = 3 * kChunkPoints + 4321;   // four chunks, the last one short
        request->seed = 77;
        const std::vector<Sums> expected = sumsOf(*request, 1);
        for (const std::string& target : simdTargets()) {
            ASSERT_TRUE(test::useSimdTarget(target));
            EXPECT_EQ(simdTarget(), target);
            EXPECT_TRUE(sumsOf(*request, 1) == expected) << target;
        }
        test::useSimdTarget("");
        for (int threads : {2, 3})
            EXPECT_TRUE(sumsOf(*request, threads) == expected) << threads << " threads";
        EXPECT_TRUE(sumsOf(*request, 3, Sharing::Queues) == expected) << "queues";
        request->seed = 78;
        EXPECT_FALSE(sumsOf(*request, 1) == expected) << "another seed";
    }
}

// Rounds double from one chunk per thread; each snapshot holds exactly the chunks done (every point of the
// triangle lands in this picture), and the sums end as in one round. A cancel before the start, after a
// round, or from another thread during the one round of a render without snapshots stops within the round.
TEST(Accumulate, RoundsGrowEachSnapshotHoldsTheChunksDoneAndACancelStopsWithinTheRound)
{
    RenderRequest request = requestOf(kTriangle, 3);
    request.frame = Frame::ofBox(ViewBox{-0.1, -0.1, 1.1, 1.1}, 64, 64);
    request.points = 23 * kChunkPoints;
    const std::vector<Sums> whole = sumsOf(request, 1);
    const struct {
        int threads, cancelAfterRound;
    } cases[] = {{1, -1}, {2, -1}, {3, -1}, {2, 0}, {1, 1}, {3, 3}};
    for (const auto& c : cases) {
        std::atomic<bool> cancel{c.cancelAfterRound == 0};
        HitSums sums = sumsFor(request);
        std::vector<std::int64_t> done{0};   // after each round
        const auto onRound = [&](std::int64_t points, std::int64_t) {
            EXPECT_EQ(hitsIn(sums), std::uint64_t(points));
            done.push_back(points);
            cancel = cancel || int(done.size()) - 1 == c.cancelAfterRound;
        };
        const Accumulated result = accumulate(request, sums, {c.threads, &cancel, onRound});
        if (c.cancelAfterRound >= 0) {
            EXPECT_TRUE(result == Accumulated::Cancelled && int(done.size()) - 1 == c.cancelAfterRound) << c.threads;
            EXPECT_EQ(hitsIn(sums), std::uint64_t(done.back())) << "no chunk after the cancel";
            continue;
        }
        EXPECT_TRUE(result == Accumulated::Done && allSums(sums) == whole) << c.threads;
        ASSERT_GE(done.size(), 4u);
        EXPECT_EQ(done[1], c.threads * kChunkPoints) << "one chunk per thread first";
        for (std::size_t r = 2; r + 1 < done.size(); ++r)
            EXPECT_GT(done[r] - done[r - 1], done[r - 1] - done[r - 2]) << "rounds grow";
    }
    request.points = 2000 * kChunkPoints;
    HitSums sums = sumsFor(request);
    std::atomic<bool> cancel{false};
    std::jthread canceller([&cancel] { cancel = true; });
    EXPECT_EQ(accumulate(request, sums, {2, &cancel}), Accumulated::Cancelled);
    EXPECT_LT(hitsIn(sums), std::uint64_t(request.points / 10)) << "stopped long before the end";
}

TEST(RenderKernel, PicksEachMapAsOftenAsItsWeightSays)
{
    const struct {
        int maps;
        std::vector<double> weights;
    } cases[] = {
        {3, {}},
        {4, {0.01, 0.85, 0.07, 0.07}},
        {20, {}},
        {64, {}},
    };
    for (const auto& c : cases) {
        // Map k lands in column k, so a column's hits count the picks of its map.
        RenderRequest request;
        std::vector<double> weights = c.weights;
        for (int k = 0; k < c.maps; ++k) {
            if (c.weights.empty() && c.maps > 4)
                weights.push_back(k % 7 == 3 ? 0.0 : 1.0 + k % 5);   // some never picked
            request.maps.push_back(
                WeightedMap{{{0.01, 0, double(k), 0, 0.01, 0.5}}, weights.empty() ? 1.0 : weights[std::size_t(k)]});
        }
        request.frame = Frame{c.maps, 1, 1, 0, 1, 0};
        request.points = 2'000'000;
        HitSums sums = sumsFor(request);
        accumulate(request, sums, {2});
        double total = 0;
        for (double w : weights)
            total += w;
        for (int k = 0; k < c.maps; ++k) {
            const double p = weights.empty() ? 1.0 / c.maps : weights[std::size_t(k)] / total;
            const double expected = p * double(request.points);
            const double hits = double(sums.at(std::size_t(k)).hits);
            EXPECT_LE(std::fabs(hits - expected), 5.0 * std::sqrt(expected * (1 - p)) + 1)
                << c.maps << " maps, map " << k;
        }
    }
}

// The exact run is the window's one chain; the kernel must draw the same
// attractor: nothing beyond one pixel of what the exact run lit, and hit
// counts that follow the exact run's.
TEST(RenderKernel, DrawsTheAttractorOfTheWindowsRun)
{
    for (const DataSetTexts* sets : {&kTriangle, &kFern}) {
        RenderRequest request = requestOf(*sets, sets->count.toInt());
        request.points = 200'000;
        const std::vector<Sums> fast = sumsOf(request, 2);

        const RunPlan runPlan{.zoom = zoomStepFor(u"1x"), .colour = ColourMode::White, .show = {1, 1, 1, 1, 1, 1}};
        const PreparedRun run(*sets, runPlan, CurrentMap{});
        LoopState state(run);
        Pcg32Source random(5);
        const int w = request.frame.width, h = request.frame.height;
        std::vector<unsigned> exact(std::size_t(w * h));
        std::vector<PixelHit> hits;
        for (int million = 0; million < 40; ++million) {
            logHits(run, state, random, 1'000'000, PixelGrid{1}, hits);
            for (const PixelHit& hit : hits)
                ++exact[hit.cell];
        }
        const auto exactAt = [&](int x, int y) {
            return x >= 0 && y >= 0 && x < w && y < h ? exact[std::size_t(y * w + x)] : 0u;
        };
        double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0, n = 0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const double a = double(fast[std::size_t(y * w + x)].hits), b = exactAt(x, y);
                if (a > 0) {
                    bool near = false;
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx)
                            near = near || exactAt(x + dx, y + dy) > 0;
                    ASSERT_TRUE(near) << "stray pixel " << x << ", " << y;
                }
                sx += a, sy += b, sxx += a * a, syy += b * b, sxy += a * b, ++n;
            }
        }
        const double correlation = (n * sxy - sx * sy) / std::sqrt((n * sxx - sx * sx) * (n * syy - sy * sy));
        EXPECT_GT(correlation, 0.9) << sets->count.toStdString() << " maps";
    }
}

// A request for sums of `sums`' size: its picture oversample times smaller each way.
RenderRequest toned(const HitSums& sums, Tone tone, int oversample = 1, bool density = true)
{
    return {.frame = {sums.width() / oversample, sums.height() / oversample},
            .colour = {Colouring::MapColours, density},
            .tone = tone,
            .oversample = oversample};
}

void addHits(HitSums& sums, std::size_t pixel, int hits, std::uint32_t colour)
{
    for (int i = 0; i < hits; ++i)
        sums.add(pixel, Cell{1u, (colour >> 16) & 255u, (colour >> 8) & 255u, colour & 255u});
}

// A pixel's 32-bit counts move into 64-bit sums before 2^24 hits (up to 255 per channel) could wrap them;
// buffers, spilled or not, add up exactly, channel by channel.
TEST(HitSums, CountsSpillPastTwoToTheTwentyFourHitsAndMergeExactly)
{
    struct Colour {
        std::uint32_t r, g, b;
    };
    // n hits: the first alone, then `bulk` of them as one Cell (the counts single hits leave), the rest one by one.
    const auto hit = [](HitSums& sums, std::size_t pixel, std::uint32_t n, std::uint32_t bulk, Colour c) {
        sums.add(pixel, Cell{1, c.r, c.g, c.b});
        sums.add(pixel, Cell{bulk, bulk * c.r, bulk * c.g, bulk * c.b});
        for (std::uint32_t i = 1 + bulk; i < n; ++i)
            sums.add(pixel, Cell{1, c.r, c.g, c.b});
    };
    const auto sumsOf = [](std::uint64_t n, Colour c) { return Sums{n, n * c.r, n * c.g, n * c.b}; };
    constexpr std::uint32_t kBulk = (1u << 24) - 101;   // then 2^24 is passed one hit at a time
    constexpr Colour kA{255, 7, 200}, kB{1, 2, 3}, kC{9, 250, 4}, kD{3, 5, 255};

    // Pixel 0 spills in both buffers, 1 only in `more`; 2 stays under in each and passes 2^24 merged.
    HitSums sums(3, 1), more(3, 1);
    hit(sums, 0, kBulk + 300, kBulk, kA), hit(more, 0, kBulk + 200, kBulk, kB), hit(more, 1, kBulk + 200, kBulk, kC);
    hit(sums, 2, kBulk + 50, kBulk, kD), hit(more, 2, 1000, 900, kD);
    EXPECT_EQ(sums.at(0), sumsOf(kBulk + 300, kA));
    sums.addAll(more);
    const Sums a = sumsOf(kBulk + 300, kA), b = sumsOf(kBulk + 200, kB);
    EXPECT_EQ(sums.at(0), (Sums{a.hits + b.hits, a.r + b.r, a.g + b.g, a.b + b.b}));
    EXPECT_EQ(sums.at(1), sumsOf(kBulk + 200, kC));
    EXPECT_EQ(sums.at(2), sumsOf(kBulk + 1050, kD));
    EXPECT_EQ(sums.mostHits(), a.hits + b.hits);
    sums.add(2, Cell{1, 3, 5, 255});   // a hit after the merge still counts
    EXPECT_EQ(sums.at(2), sumsOf(kBulk + 1051, kD));
}

TEST(ToneMap, HueOfTheMeanColourOfTheHitsLitByLogDensity)
{
    // Pixel 0: 99 red hits (the most); 1: 4 red and 4 blue, magenta as bright as pure colours; 2: nothing; 3: one green.
    HitSums sums(4, 1);
    addHits(sums, 0, 99, 0xFFFF0000);
    addHits(sums, 1, 4, 0xFFFF0000);
    addHits(sums, 1, 4, 0xFF0000FF);
    addHits(sums, 3, 1, 0xFF00FF00);
    const auto channel = [](double hits, double share) {
        return std::uint32_t(std::lround(255.0 * share * std::log1p(hits) / std::log1p(99.0)));
    };
    const std::vector<std::uint32_t> expected = {
        0xFFFF0000,
        0xFF000000u | channel(8, 1) << 16 | channel(8, 1),
        0xFF000000,
        0xFF000000u | channel(1, 1) << 8,
    };
    EXPECT_EQ(toneMap(sums, toned(sums, {1.0, 1.0})).pixels, expected);
    EXPECT_GT(toneMap(sums, toned(sums, {2.2, 1.0})).pixels[3], expected[3]) << "gamma lifts the faint";
    EXPECT_EQ(toneMap(sums, toned(sums, {1.0, 4.0})).pixels[1], 0xFFFF00FFu) << "brightness, at most full light";
    EXPECT_EQ(toneMap(sums, toned(sums, {1.0, 1.0}, 1, false)).pixels[3], 0xFF00FF00u)
        << "no density: full light wherever hit";
}

// Pixels are lit alone, from counts above and below those whose light is worked out in advance; untouched
// blocks are skipped: none of it may depend on the threads, with or without oversampling.
TEST(ToneMap, TheSamePictureOnAnyNumberOfThreads)
{
    HitSums sums(96, 60);
    for (std::size_t i = 0; i < sums.size() / 2; i += 7)
        addHits(sums, i, int((i * 37) % 6000 + 1), i % 3 ? 0xFFFF8000 : 0xFF2040FF);
    for (const int oversample : {1, 2}) {
        const Image one = toneMap(sums, toned(sums, {2.2, 1.0}, oversample), 1);
        EXPECT_EQ(toneMap(sums, toned(sums, {2.2, 1.0}, oversample), 3).pixels, one.pixels) << oversample;
        EXPECT_EQ(one.pixels.back(), 0xFF000000u);
    }
    EXPECT_EQ(sums.mostHits(3), sums.mostHits(1));
}

TEST(ToneMap, OversampledPicturesAreFilteredDownWithATent)
{
    // 8 x 4 fine pixels, 2 x 2 a picture pixel: all lit alike, then only the second column.
    HitSums even(8, 4), edge(8, 4);
    for (std::size_t i = 0; i < even.size(); ++i)
        addHits(even, i, 3, 0xFFFFFFFF);
    for (std::size_t row = 0; row < 4; ++row)
        addHits(edge, row * 8 + 1, 3, 0xFFFFFFFF);
    const Image flat = toneMap(even, toned(even, {1.0, 1.0}, 2));
    ASSERT_EQ(flat.width * flat.height, 8);
    EXPECT_EQ(flat.pixels, std::vector<std::uint32_t>(8, 0xFFFFFFFF));
    const Image soft = toneMap(edge, toned(edge, {1.0, 1.0}, 2));
    const std::uint32_t first = soft.pixels[0] & 0xFF, second = soft.pixels[1] & 0xFF;
    EXPECT_TRUE(first > second && second > 0 && soft.pixels[2] == 0xFF000000u) << first << " " << second;
}

// The window's fit centres the box at one scale across and down, and survives a point or a line; the
// pipeline's pads the box by 5% and grows it to the picture's aspect; neither frames points that run off.
TEST(Framing, FitsTheAttractorCentredWithAMargin)
{
    constexpr double kInX = 794 * 15 * 0.9, kInY = 381 * 15 * 0.9;   // twips inside the margins
    const std::vector<AffineMap> square{
        {{0.5, 0, 0, 0, 0.5, 0}}, {{0.5, 0, 0.5, 0, 0.5, 0.5}}, {{0.5, 0, 0, 0, 0.5, 0.5}}, {{0.5, 0, 0.5, 0, 0.5, 0}}};
    const struct {
        const char* what;
        std::vector<AffineMap> maps;
        double cx, cy, scale;
    } cases[] = {{"a point", {{{0, 0, 2, 0, 0, 3}}}, 2, 3, 5000},
                 {"a line across", {{{0.5, 0, 0, 0, 0, 1}}, {{0.5, 0, 1, 0, 0, 1}}}, 1, 1, kInX / 2},
                 {"a line down", {{{0, 0, 0, 0, 0.5, 0}}, {{0, 0, 0, 0, 0.5, 3}}}, 0, 3, kInY / 6},
                 {"a square", square, 0.5, 0.5, kInY}};
    for (const auto& c : cases) {
        const std::optional<ZoomStep> z = fitFrame(c.maps, std::vector<double>(c.maps.size(), 1.0));
        ASSERT_TRUE(z) << c.what;
        EXPECT_NEAR(z->scale / c.scale, 1.0, 1e-6) << c.what;
        EXPECT_NEAR(c.cx * z->scale + z->shiftX, 794 * 15 / 2.0, 1e-6) << c.what;   // the picture's centre, twips
        EXPECT_NEAR(5775 - (c.cy * z->scale + z->shiftY), 381 * 15 / 2.0, 1e-6) << c.what;
    }
    // The square [0, 1]^2: 5% margins make it 1/0.9 across, then the longer way grows to the aspect.
    std::vector<WeightedMap> weighted;   // one by one: clang 14 has no aggregate init from ( )
    for (const AffineMap& m : square)
        weighted.push_back({m});
    const struct {
        int width, height;
        double spanX, spanY;
    } boxes[] = {{100, 100, 1 / 0.9, 1 / 0.9}, {200, 100, 2 / 0.9, 1 / 0.9}, {100, 400, 1 / 0.9, 4 / 0.9}};
    for (const auto& c : boxes) {
        const std::optional<ViewBox> box = fitBox(weighted, c.width, c.height);
        ASSERT_TRUE(box);
        EXPECT_NEAR(box->x1 - box->x0, c.spanX, 1e-9);
        EXPECT_NEAR(box->y1 - box->y0, c.spanY, 1e-9);
        EXPECT_NEAR(box->x0 + box->x1, 1.0, 1e-9) << "centred";
        // The frame of the box puts its top left corner (y up) at pixel (0, 0), and has the box back.
        const Frame frame = Frame::ofBox(*box, c.width, c.height);
        EXPECT_TRUE(std::fabs(box->x0 * frame.sx + frame.tx) < 1e-9 && std::fabs(box->y1 * frame.sy + frame.ty) < 1e-9);
        EXPECT_TRUE(std::fabs(frame.box().x1 - box->x1) < 1e-12 && std::fabs(frame.box().y0 - box->y0) < 1e-12);
    }
    EXPECT_FALSE(fitFrame({{{2, 0, 0, 0, 2, 1}}}, {1.0}) || fitBox({{{{2, 0, 0, 0, 2, 1}}}}, 100, 100));
}

TEST(RenderPicture, ExactDensityShadesByLogOfHitsOverLogOfMostHits)
{
    // Set 1 sends every point to (0, 1), pixel (333, 51); set 2 to (0.3, 0.5), pixel (433, 218). Picks 1, 1, 2 over and
    // over: 6 hits on the first (set 1: red), 3 on the second (set 2: green): 255 * log(4) / log(7) = 181.66 of its tint.
    const struct {
        bool white;
        std::uint32_t first, second;
    } cases[] = {{false, rgb(255, 0, 0), rgb(0, 182, 0)}, {true, rgb(255, 255, 255), rgb(182, 182, 182)}};
    for (const auto& c : cases) {
        const RenderJob job{.dataSets = {"2", {{{"0", "0", "0", "0", "0", "1"}, {"0", "0", "0.3", "0", "0", "0.5"}}}},
                            .plan = *planRun(RunSettingsTexts{}).plan,
                            .colour = {Colouring::MapColours, true},
                            .white = c.white,
                            .points = 9,
                            .exact = true};
        const Image picture = renderPicture(job, [] {
            return std::make_unique<test::ScriptedRandom>(std::vector<float>{0.25f, 0.25f, 0.75f});
        });
        EXPECT_EQ(std::count(picture.pixels.begin(), picture.pixels.end(), kBlack), picture.pixels.size() - 2);
        EXPECT_EQ(picture.pixels[51 * kDisplayWidth + 333], c.first);
        EXPECT_EQ(picture.pixels[218 * kDisplayWidth + 433], c.second);
    }
}

}   // namespace
