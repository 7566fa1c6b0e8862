// The vectorised kernel: the same sums on every target and thread count, maps
// picked by their weights, the attractor the window's one chain draws, and the tone map.
#include "engine/PointLoop.h"
#include "engine/RandomSource.h"
#include "render/Kernel.h"
#include "render/ToneMap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace fenra;
using namespace fenra::render;

namespace {

std::vector<Sums> sumsOf(const RenderPlan& plan, int threads, bool oneBuffer = false)
{
    HitSums sums(plan.frame.width, plan.frame.height);
    accumulate(plan, threads, sums, {}, oneBuffer);
    std::vector<Sums> all(sums.size());
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = sums.at(i);
    return all;
}

DataSetTexts texts(const QString& count, std::vector<Coefficients> maps)
{
    DataSetTexts sets{count, {}};
    for (std::size_t k = 0; k < maps.size(); ++k)
        sets.sets[k] = maps[k];
    return sets;
}

// The maps of a data file as the window's run reads them, and its frame at scale 1, zoom "1x".
RenderPlan planOf(const DataSetTexts& sets, int maps)
{
    const PreparedRun run(sets, RunPlan{}, CurrentMap{});
    RenderPlan plan;
    for (int k = 1; k <= maps; ++k)
        plan.maps.push_back(AffineMap{{run.maps[k].c[0], run.maps[k].c[1], run.maps[k].c[2], run.maps[k].c[3],
                                       run.maps[k].c[4], run.maps[k].c[5]}});
    plan.frame = Frame::window(5000.0, 5000.0, 0.0, 0.0, 0.0, 1);
    return plan;
}

const DataSetTexts kTriangle = texts("3", {{"0.5", "0", "0", "0", "0.5", "0"}, {"0.5", "0", "0.5", "0", "0.5", "0"},
                                          {"0.5", "0", "0.25", "0", "0.5", "0.5"}});
const DataSetTexts kFern = texts("6", {{"0.1350", "0.0779", "-0.838", "0.0779", "0.0450", "0.2958"},
                                       {"0.8388", "0.0440", "0.1853", "-0.044", "0.8388", "0.1969"},
                                       {"0.8388", "0.0440", "0.1853", "-0.044", "0.8388", "0.1969"},
                                       {"0.8388", "0.0440", "0.1853", "-0.044", "0.8388", "0.1969"},
                                       {"0.2208", "-0.245", "-0.488", "0.2452", "0.2208", "0.5254"},
                                       {"0.3228", "0.0686", "-0.581", "0.0686", "-0.323", "0.4172"}});

TEST(RenderKernel, SameSumsForAnyTargetThreadCountAndSharing)
{
    RenderPlan setColours = planOf(kTriangle, 3);
    // Six weighted maps, one hidden, blended colours: permuted on wide
    // targets, gathered on narrow ones.
    RenderPlan blend = planOf(kFern, 6);
    blend.weights = {1, 5, 0.5, 2, 1, 3};
    blend.shown = {true, true, false, true, true, true};
    blend.colouring = Colouring::Blend;
    for (RenderPlan* plan : {&setColours, &blend}) {
        plan->points = 3 * kChunkPoints + 4321;   // four chunks, the last one short
        plan->seed = 77;
        const std::vector<Sums> expected = sumsOf(*plan, 1);
        for (const std::string& target : simdTargets()) {
            ASSERT_TRUE(useSimdTarget(target));
            EXPECT_EQ(simdTarget(), target);
            EXPECT_TRUE(sumsOf(*plan, 1) == expected) << target;
        }
        useSimdTarget("");
        for (int threads : {2, 3})
            EXPECT_TRUE(sumsOf(*plan, threads) == expected) << threads << " threads";
        EXPECT_TRUE(sumsOf(*plan, 3, true) == expected) << "one buffer";
        plan->seed = 78;
        EXPECT_FALSE(sumsOf(*plan, 1) == expected) << "another seed";
    }
}

TEST(RenderKernel, PicksEachMapAsOftenAsItsWeightSays)
{
    const struct { int maps; std::vector<double> weights; } cases[] = {
        {3, {}}, {4, {0.01, 0.85, 0.07, 0.07}}, {20, {}}, {64, {}},
    };
    for (const auto& c : cases) {
        // Map k lands in column k, so a column's hits count the picks of its map.
        RenderPlan plan;
        std::vector<double> weights = c.weights;
        for (int k = 0; k < c.maps; ++k) {
            plan.maps.push_back(AffineMap{{0.01, 0, double(k), 0, 0.01, 0.5}});
            if (c.weights.empty() && c.maps > 4)
                weights.push_back(k % 7 == 3 ? 0.0 : 1.0 + k % 5);   // some never picked
        }
        plan.weights = weights;
        plan.frame = Frame{1, 0, 1, 0, c.maps, 1};
        plan.points = 2'000'000;
        HitSums sums(c.maps, 1);
        accumulate(plan, 2, sums);
        double total = 0;
        for (double w : weights)
            total += w;
        for (int k = 0; k < c.maps; ++k) {
            const double p = weights.empty() ? 1.0 / c.maps : weights[std::size_t(k)] / total;
            const double expected = p * double(plan.points);
            const double hits = double(sums.at(std::size_t(k)).hits);
            EXPECT_LE(std::fabs(hits - expected), 5.0 * std::sqrt(expected * (1 - p)) + 1) << c.maps << " maps, map " << k;
        }
    }
}

// The exact run is the window's one chain; the kernel must draw the same
// attractor: nothing beyond one pixel of what the exact run lit, and hit
// counts that follow the exact run's.
TEST(RenderKernel, DrawsTheAttractorOfTheWindowsRun)
{
    for (const DataSetTexts* sets : {&kTriangle, &kFern}) {
        const RenderPlan plan = [&] {
            RenderPlan p = planOf(*sets, sets->count.toInt());
            p.points = 200'000;
            return p;
        }();
        const std::vector<Sums> fast = sumsOf(plan, 2);

        RunPlan runPlan;
        runPlan.zoom = zoomStepFor(u"1x");
        runPlan.colour = ColourMode::White;
        runPlan.show.fill(true);
        const PreparedRun run(*sets, runPlan, CurrentMap{});
        LoopState state(run);
        Pcg32Source random(5);
        const int w = plan.frame.width, h = plan.frame.height;
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

void addHits(HitSums& sums, std::size_t pixel, int hits, std::uint32_t colour)
{
    for (int i = 0; i < hits; ++i)
        sums.add(pixel, Cell{1u, (colour >> 16) & 255u, (colour >> 8) & 255u, colour & 255u});
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
        0xFFFF0000, 0xFF000000u | channel(8, 1) << 16 | channel(8, 1), 0xFF000000, 0xFF000000u | channel(1, 1) << 8,
    };
    EXPECT_EQ(toneMap(sums, Tone{1.0, 1.0, 1}).pixels, expected);
    EXPECT_GT(toneMap(sums, Tone{2.2, 1.0, 1}).pixels[3], expected[3]) << "gamma lifts the faint";
    EXPECT_EQ(toneMap(sums, Tone{1.0, 4.0, 1}).pixels[1], 0xFFFF00FFu) << "brightness, at most full light";
    EXPECT_EQ(toneMap(sums, Tone{1.0, 1.0, 1, true}).pixels[3], 0xFF00FF00u) << "flat: full light wherever hit";
}

TEST(ToneMap, OversampledPicturesAreFilteredDownWithATent)
{
    // 8 x 4 fine pixels, 2 x 2 a picture pixel: all lit alike, then only the second column.
    HitSums even(8, 4), edge(8, 4);
    for (std::size_t i = 0; i < even.size(); ++i)
        addHits(even, i, 3, 0xFFFFFFFF);
    for (std::size_t row = 0; row < 4; ++row)
        addHits(edge, row * 8 + 1, 3, 0xFFFFFFFF);
    const Image flat = toneMap(even, Tone{1.0, 1.0, 2});
    ASSERT_EQ(flat.width * flat.height, 8);
    EXPECT_EQ(flat.pixels, std::vector<std::uint32_t>(8, 0xFFFFFFFF));
    const Image soft = toneMap(edge, Tone{1.0, 1.0, 2});
    const std::uint32_t first = soft.pixels[0] & 0xFF, second = soft.pixels[1] & 0xFF;
    EXPECT_TRUE(first > second && second > 0 && soft.pixels[2] == 0xFF000000u) << first << " " << second;
}

} // namespace
