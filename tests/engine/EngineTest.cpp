// Reading numbers out of texts, and the render run: where a point lands, its colour, and the steps that fail.
#include "engine/Contraction.h"
#include "engine/NumberText.h"
#include "engine/RandomSource.h"
#include "engine/RenderRun.h"
#include "support/ScriptedRandom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace fenra;
using namespace Qt::StringLiterals;
using fenra::test::ScriptedRandom;

namespace {

constexpr float kAlmostOne = 1.0f - 0x1p-24f;   // the largest draw

// Which texts are numbers at all, and their whole-number readings, the fuzz corpus checks
// (fuzz/number_text); here, that a number reads as its value.
TEST(NumberText, ReadsSignedDecimalsWithExponentsAndTheLocalesComma)
{
    const struct {
        QString text;
        std::optional<double> expected;
        QChar point = u'.';
    } cases[] = {
        {u"-1"_s, -1.0},
        {u"+2.5"_s, 2.5},
        {u".25"_s, 0.25},
        {u"1E-2"_s, 0.01},
        {u"-2.5e+2"_s, -250.0},
        {u"  3.25  "_s, 3.25},
        {u"1e308"_s, 1e308},
        {u"1e999"_s, {}},
        {u"1 2"_s, {}},
        // the full stop always, a comma only where the locale writes one
        {u"-0,25e1"_s, -2.5, u','},
        {u"1.5"_s, 1.5, u','},
        {u"1,5"_s, {}},
        {u"1.5,2"_s, {}, u','},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toDouble(c.text, c.point), c.expected) << '"' << c.text.toStdString() << '"';
}

constexpr std::uint32_t kRed = rgb(255, 0, 0), kGreen = rgb(0, 255, 0), kMagenta = rgb(255, 0, 255),
                        kWhite = rgb(255, 255, 255);
constexpr std::uint32_t kLeftOver = 0xFF123456u;   // what the pixels hold before a run

struct Pixel {
    int x, y;
    std::uint32_t colour;
    bool operator==(const Pixel&) const = default;
    friend void PrintTo(const Pixel& p, std::ostream* os) { *os << p.x << ',' << p.y << '#' << std::hex << p.colour; }
};
using Pixels = std::vector<Pixel>;

// A run's inputs and the pixels it leaves, in a border of kGuard pixels that catches writes beyond the area.
struct Scene {
    static constexpr int kGuard = 40, kStride = kDisplayWidth + 2 * kGuard;
    static Coefficients to(const QString& c3, const QString& c6) { return {u"0"_s, u"0"_s, c3, u"0"_s, u"0"_s, c6}; }

    Scene(const QString& count, const QString& iterations, ColourMode colour) : sets{count, {}}
    {
        sets.sets.fill(to(u"0.5"_s, u"0.2"_s));   // 1x: (7500, 4775) twips, pixel (500, 318)
        settings.iterations = iterations;
        settings.colour = colour;
    }
    std::int64_t run(std::vector<float> draws)
    {
        random.script(std::move(draws));
        const RunPlan plan = planRun(settings).plan.value();   // throws, and so fails, when refused
        const RasterView view{&pixels[std::size_t(kGuard * kStride + kGuard)], kDisplayWidth, kDisplayHeight, kStride};
        return renderRun(sets, plan, map, random, view);
    }
    // The area's pixels that are not black and the border's that lost their colour, row by row.
    Pixels lit() const
    {
        Pixels found;
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            const int row = int(i) / kStride - kGuard, column = int(i) % kStride - kGuard;
            const bool inside = row >= 0 && row < kDisplayHeight && column >= 0 && column < kDisplayWidth;
            if (pixels[i] != (inside ? kBlack : kLeftOver))
                found.push_back({column, row, pixels[i]});
        }
        return found;
    }

    DataSetTexts sets;
    RunSettingsTexts settings;
    CurrentMap map;
    ScriptedRandom random;
    std::vector<std::uint32_t> pixels = std::vector<std::uint32_t>(kStride * (kDisplayHeight + 2 * kGuard), kLeftOver);
};

// One step from the origin lands on (c3, c6), zoomed, flipped and offset; a pixel is floor(twips / 15).
// Where the zoom overflows, the position stays as the map gave it.
TEST(RenderRun, OnePointLandsWhereZoomAndOffsetPutItAndNothingOutside)
{
    const struct {
        const char *zoom, *right, *down;
        Pixels expected;
        const char *c3 = "0.5", *c6 = "0.2";
    } cases[] = {
        {"1x", "0", "0", {{500, 318, kRed}}},
        {"1x", "150", "-150", {{510, 308, kRed}}},
        // no zoom item: raw map units from the outer lower left corner, below the inner image, here moved up
        {"1X", "0", "-100", {{0, 378, kRed}}},
        {"", "30", "-100", {{2, 378, kRed}}},
        // no zoom and 5775 twips up: map point (a, -b) lands at (a, b) twips
        {"none", "0", "-5775", {{0, 0, kRed}}, "14.9", "-14.9"},
        {"none", "0", "-5775", {{1, 1, kRed}}, "15", "-15"},
        {"none", "0", "-5775", {{793, 380, kRed}}, "11909", "-5714"},
        {"none", "0", "-5775", {}, "11910", "0"},
        {"none", "0", "-5775", {}, "0", "-5715"},
        {"none", "0", "-5775", {}, "-0.5", "0"},
        {"none", "0", "-5775", {}, "0", "0.5"},
        {"none", "0", "-5775", {}, "1e300", "0"},
        // at "8x", 1e304 * 40000 overflows: px keeps 1e304, adding -15500 leaves it there, and the offset
        // -1e304 then brings it to 0 twips, column 0; y = 0.1f lands at 3775 twips, row 251
        {"8x", "-1e304", "0", {{0, 251, kRed}}, "1e304", "0.1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.c3) + ", " + c.c6 + " at " + c.zoom + " " + c.right + " " + c.down);
        Scene scene(u"2"_s, u"1"_s, ColourMode::Data);
        scene.sets.sets[0] = Scene::to(QString::fromLatin1(c.c3), QString::fromLatin1(c.c6));
        scene.settings.zoom = QString::fromLatin1(c.zoom);
        scene.settings.moveX = QString::fromLatin1(c.right);
        scene.settings.moveY = QString::fromLatin1(c.down);
        EXPECT_EQ(scene.run({0.25f}), std::int64_t(c.expected.size()));
        EXPECT_EQ(scene.lit(), c.expected);
    }
}

TEST(RenderRun, ColoursDrawsAndTheShowRuleFollowThePickedSet)
{
    using enum ColourMode;
    constexpr std::uint32_t kNone = 0;   // nothing drawn
    // draws per step: the pick, then r, g, b in Random mode; taken: how many a run uses
    const struct {
        ColourMode mode;
        const char* count;
        std::vector<float> draws;
        std::uint32_t colour;
        unsigned taken;
        int untickedSet = 0;
        const char* iterations = "1";
    } cases[] = {
        {Data, "6", {5.5f / 6}, kMagenta, 1},
        {White, "6", {5.5f / 6}, kWhite, 1},
        {Random, "6", {0.5f, 0.0f, 0.5f, kAlmostOne}, rgb(0, 127, 254), 4},
        // pick and colour draws stay in step over several blocks of draws: every step is alike
        {Random, "6", {0.1f, 0.2f, 0.4f, 0.6f}, rgb(51, 102, 153), 12000, 0, "3000"},
        // only a picked set 1 to 6 whose Show box is ticked is drawn
        {White, "2", {0.75f}, kNone, 1, 2},
        {White, "2", {0.75f}, kWhite, 1, 1},
        {White, "1", {0.5f}, kNone, 1, 1},
        {White, "0", {0.5f}, kWhite, 1},
        {White, "7", {kAlmostOne}, kNone, 1},
        {White, "-3", {0.5f}, kNone, 1},
        // a count that is no number draws no pick, and a run of no steps draws nothing; the area is cleared
        {Random, "abc", {0.5f}, kNone, 3},
        {Data, "2", {0.5f}, kNone, 0, 0, "-5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("case " + std::to_string(&c - cases));
        Scene scene(QString::fromLatin1(c.count), QString::fromLatin1(c.iterations), c.mode);
        scene.map.coefficients = Scene::to(u"0.5"_s, u"0.2"_s);   // for counts that copy nothing
        if (c.untickedSet)
            scene.settings.show[std::size_t(c.untickedSet - 1)] = false;
        scene.run(c.draws);
        EXPECT_EQ(scene.random.taken(), c.taken);
        EXPECT_EQ(scene.lit(), (c.colour == kNone ? Pixels{} : Pixels{{500, 318, c.colour}}));
    }
}

TEST(RenderRun, AnUntickedSetStillMovesThePointAndABadCoefficientFreezesItsCoordinate)
{
    // Set 2, not shown, goes to (0.3, 0.1); set 1 would go on to (0.5, 0.2)
    // but keeps x = 0.3 with a bad text among c1 to c3, or y = 0.1 among c4 to c6.
    for (std::size_t j = 0; j < 6; ++j) {
        SCOPED_TRACE("coefficient " + std::to_string(j + 1));
        Scene scene(u"2"_s, u"2"_s, ColourMode::Data);
        scene.sets.sets[1] = Scene::to(u"0.3"_s, u"0.1"_s);
        scene.sets.sets[0][j] = u"abc"_s;
        scene.settings.show[1] = false;
        EXPECT_EQ(scene.run({0.75f, 0.25f}), 1);
        EXPECT_EQ(scene.lit(), (Pixels{j < 3 ? Pixel{433, 318, kRed} : Pixel{500, 351, kRed}}));
    }
}

TEST(RenderRun, XIsCarriedInDoubleAndYInSinglePrecisionAndEachKeepsItsLastRepresentableValue)
{
    // Step 2 reaches x = 1e9*0.1 + 1e9*0.1f + 0.1 = 200000001.59, which the offset brings to 9237.6 twips
    // at "0.25x". With y kept in double it would be 7375 (column 491); with x in single, 11100 (column 740).
    Scene scene(u"2"_s, u"2"_s, ColourMode::Data);
    scene.sets.sets[0] = {u"1e9"_s, u"1e9"_s, u"0.1"_s, u"0"_s, u"0"_s, u"0.1"_s};
    scene.settings.zoom = u"0.25x"_s;
    scene.settings.moveX = u"-2.5e11"_s;
    scene.run({0.25f});
    EXPECT_EQ(scene.lit(), (Pixels{{615, 356, kRed}}));

    // Set 2 puts the point at (0.5, 0.2); then set 1 overflows x (0.5e308 + 1.7e308), y (1e39 is beyond a
    // float) or both, and each that overflows keeps its last value (not 0, which would draw at column 333 or row 381).
    const struct {
        const char *c1, *c3, *c6;
        Pixels expected;
    } cases[] = {{"1e308", "1.7e308", "0.1", {{500, 318, kGreen}, {500, 351, kRed}}},
                 {"0", "0.3", "1e39", {{433, 318, kRed}, {500, 318, kGreen}}},
                 {"1e308", "1.7e308", "1e39", {{500, 318, kRed}}}};
    for (const auto& c : cases) {
        Scene scene(u"2"_s, u"2"_s, ColourMode::Data);
        scene.sets.sets[0] = {QString::fromLatin1(c.c1), u"0"_s, QString::fromLatin1(c.c3), u"0"_s, u"0"_s,
                              QString::fromLatin1(c.c6)};
        scene.run({0.75f, 0.25f});
        EXPECT_EQ(scene.lit(), c.expected) << c.c1 << " " << c.c3 << " " << c.c6;
    }
}

TEST(RenderRun, TheCurrentMapIsKeptFromOneRunToTheNext)
{
    Scene scene(u"2"_s, u"1"_s, ColourMode::Data);
    scene.sets.sets[0] = Scene::to(u"0.3"_s, u"0.1"_s);
    const Coefficients firstSet2 = scene.sets.sets[1];   // to (0.5, 0.2)
    scene.run({0.75f});
    // Count 1 picks set 1 but copies nothing: set 2's old texts in set 1's colour.
    // A count that is no number picks nothing and draws nothing: the same again.
    scene.sets.sets[1] = Scene::to(u"0.9"_s, u"0.9"_s);
    for (const QString& count : {u"1"_s, u"two"_s}) {
        scene.sets.count = count;
        scene.run({0.5f});
        EXPECT_EQ(scene.lit(), (Pixels{{500, 318, kRed}}));
        EXPECT_TRUE(scene.map == (CurrentMap{u"1"_s, firstSet2}));
    }
    EXPECT_EQ(scene.random.taken(), 2u);
    scene.sets.count = u"2"_s;
    scene.run({0.75f});   // set 2 as it reads now, (0.9, 0.9)
    EXPECT_EQ(scene.lit(), (Pixels{{633, 85, kGreen}}));
}

// The program's own source is drawn inline; any other source in blocks (here its own
// block fill). Both must give the same picture and leave the source at the same place.
TEST(RenderRun, InlineAndBlockDrawsOfOneSequenceDrawTheSamePicture)
{
    struct Forwarding final : RandomSource {
        Pcg32Source inner{7};
        float nextUnit() override { return inner.nextUnit(); }
        void fillUnits(float* out, std::size_t count) override { inner.fillUnits(out, count); }
        void reseed(double) override {}
    };
    DataSetTexts sets{u"3"_s, {}};
    sets.sets[0] = {u"0.5"_s, u"0"_s, u"0"_s, u"0"_s, u"0.5"_s, u"0"_s};
    sets.sets[1] = {u"0.5"_s, u"0"_s, u"0.5"_s, u"0"_s, u"0.5"_s, u"0"_s};
    sets.sets[2] = {u"0.5"_s, u"0"_s, u"0.25"_s, u"0"_s, u"0.5"_s, u"0.5"_s};
    RunSettingsTexts settings;
    settings.iterations = u"10001"_s;   // 40004 draws: many blocks and a partial one
    const RunPlan plan = *planRun(settings).plan;
    Pcg32Source inlineSource(7);
    Forwarding blockSource;
    std::vector<std::uint32_t> a(kDisplayWidth * kDisplayHeight), b(a.size());
    CurrentMap mapA, mapB;
    renderRun(sets, plan, mapA, inlineSource, {a.data(), kDisplayWidth, kDisplayHeight, kDisplayWidth});
    renderRun(sets, plan, mapB, blockSource, {b.data(), kDisplayWidth, kDisplayHeight, kDisplayWidth});
    EXPECT_TRUE(a == b);
    EXPECT_TRUE(mapA == mapB);
    EXPECT_EQ(inlineSource.nextUnit(), blockSource.nextUnit());
}

}   // namespace

// Sets whose points run off are told apart from sets that come in on average,
// even where one map alone grows.
TEST(Contraction, OnlySetsThatShrinkOnAverageContract)
{
    const AffineMap half{{0.5, 0, 0, 0, 0.5, 0}}, shift{{1, 0, 3, 0, 1, -2}}, grow{{2, 0, 0, 0, 2, 0}};
    const AffineMap shear{{1, 1, 0, 0, 1, 0}}, line{{0.5, 0, 0, 0, 0, 0}}, flat{{0, 0, 1, 0, 0, 1}};
    EXPECT_DOUBLE_EQ(largestStretch(shear), (1 + std::sqrt(5.0)) / 2);   // det 1, but it stretches
    const struct {
        std::vector<AffineMap> maps;
        std::vector<double> weights;
        bool contracts;
    } cases[] = {
        {{half, half}, {}, true},
        {{shift}, {}, false},   // a pure translation moves every point the same way
        {{shift, half}, {}, true},
        {{grow, half}, {}, false},   // log 2 against log 0.5: no better than still
        {{grow, half, half}, {}, true},
        {{grow, half, half}, {0.6, 0.2, 0.2}, false},
        {{grow, half}, {0, 1}, true},   // a map never picked does not count
        {{shear}, {}, false},
        {{line, flat}, {}, true},   // flattened onto a line or a point
        {{}, {}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(contractsOnAverage(c.maps, c.weights), c.contracts) << c.maps.size() << " maps";
}
