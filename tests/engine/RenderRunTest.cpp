#include "engine/RenderRun.h"

#include "support/ScriptedRandom.h"

#include "Printing.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

using namespace fenra;
using namespace Qt::StringLiterals;
using fenra::test::ScriptedRandom;

namespace {

constexpr float kAlmostOne = 1.0f - 0x1p-24f;   // the largest draw
constexpr std::uint32_t kRed = rgb(255, 0, 0), kGreen = rgb(0, 255, 0), kBlue = rgb(0, 0, 255),
                        kMagenta = rgb(255, 0, 255), kCyan = rgb(0, 255, 255), kWhite = rgb(255, 255, 255);
constexpr std::uint32_t kLeftOver = 0xFF123456u;   // what the pixels hold before a run

struct Pixel {
    int column, row;
    std::uint32_t colour;
    bool operator==(const Pixel&) const = default;
    friend void PrintTo(const Pixel& p, std::ostream* os) { *os << '(' << p.column << ',' << p.row << ")#" << std::hex << p.colour << std::dec; }
};
using Pixels = std::vector<Pixel>;

// The window's state around a run. The drawing area's 794 x 381 pixels get
// `guard` pixels of border around them to catch writes beyond its edges.
struct Scene {
    Scene(const QString& count, const QString& iterations, ColourMode colour, int guard = 0)
        : guard(guard), stride(kDisplayWidth + 2 * guard),
          pixels(std::size_t(stride * (kDisplayHeight + 2 * guard)), kLeftOver)
    {
        sets.count = count;
        sets.sets.fill(constantMap(u"0.5"_s, u"0.2"_s));   // 1x: (7500, 4775) twips, pixel (500, 318)
        settings.iterations = iterations;
        settings.colour = colour;
    }
    static Coefficients constantMap(const QString& c3, const QString& c6) { return {u"0"_s, u"0"_s, c3, u"0"_s, u"0"_s, c6}; }

    std::int64_t run(std::vector<float> draws)
    {
        random.script(std::move(draws));
        const std::optional<RunPlan> plan = planRun(settings).plan;
        EXPECT_TRUE(plan.has_value());
        const RasterView view{&pixels[std::size_t(guard * stride + guard)], kDisplayWidth, kDisplayHeight, stride};
        return plan ? renderRun(sets, *plan, map, random, view) : -1;
    }
    // Every pixel of the area that is not black, row by row; whether the border kept its colour.
    Pixels lit(bool* guardUntouched = nullptr) const
    {
        Pixels found;
        bool untouched = true;
        for (int row = -guard; row < kDisplayHeight + guard; ++row)
            for (int column = -guard; column < kDisplayWidth + guard; ++column) {
                const std::uint32_t colour = pixels[std::size_t((row + guard) * stride + column + guard)];
                if (row < 0 || row >= kDisplayHeight || column < 0 || column >= kDisplayWidth)
                    untouched = untouched && colour == kLeftOver;
                else if (colour != kBlack)
                    found.push_back({column, row, colour});
            }
        if (guardUntouched)
            *guardUntouched = untouched;
        return found;
    }

    DataSetTexts sets;
    RunSettingsTexts settings;
    CurrentMap map;
    ScriptedRandom random;
    int guard, stride;
    std::vector<std::uint32_t> pixels;
};

TEST(RenderRun, OnePointIsTheOriginsImageZoomedFlippedAndOffset)
{
    const Coefficients set1{u"0.9"_s, u"-0.7"_s, u"0.5"_s, u"0.3"_s, u"0.8"_s, u"0.2"_s};   // (0, 0) -> (0.5, 0.2)
    const struct {
        QString zoom, right, down;
        Pixels expected;
    } cases[] = {
        {u"1x"_s, u"0"_s, u"0"_s, {{500, 318, kRed}}},     // (7500, 4775) twips
        {u"8x"_s, u"0"_s, u"0"_s, {}},                     // (4500, -225): above the top edge
        {u"0.25x"_s, u"0"_s, u"0"_s, {{525, 348, kRed}}},  {u"0.5x"_s, u"0"_s, u"0"_s, {{516, 341, kRed}}},
        {u"2x"_s, u"0"_s, u"0"_s, {{466, 268, kRed}}},     {u"4x"_s, u"0"_s, u"0"_s, {{400, 168, kRed}}},
        {u"1x"_s, u"150"_s, u"-150"_s, {{510, 308, kRed}}},
        // no zoom item: raw map units at the outer lower left corner, (0.5,
        // 5774.8) twips, below the inner image until moved up
        {u"1X"_s, u"0"_s, u"0"_s, {}},  {u"1X"_s, u"0"_s, u"-100"_s, {{0, 378, kRed}}},  {u""_s, u"30"_s, u"-100"_s, {{2, 378, kRed}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.zoom.toStdString() + " " + c.right.toStdString() + " " + c.down.toStdString());
        Scene scene(u"2"_s, u"1"_s, ColourMode::Data);
        scene.sets.sets[0] = set1;
        scene.settings.zoom = c.zoom;
        scene.settings.moveX = c.right;
        scene.settings.moveY = c.down;
        EXPECT_EQ(scene.run({0.25f}), std::int64_t(c.expected.size()));
        EXPECT_EQ(scene.lit(), c.expected);
        EXPECT_TRUE(scene.map == (CurrentMap{u"1"_s, set1}));
    }
}

TEST(RenderRun, PixelsAreFloorOfTwipsOverFifteenAndNothingLandsOutside)
{
    // With no zoom and 5775 twips up, map point (a, -b) lands at (a, b) twips.
    const struct {
        QString c3, c6;
        Pixels expected;
    } cases[] = {
        {u"0"_s, u"0"_s, {{0, 0, kRed}}},   {u"14.9"_s, u"-14.9"_s, {{0, 0, kRed}}},  {u"15"_s, u"-15"_s, {{1, 1, kRed}}},
        {u"11909"_s, u"-5714"_s, {{793, 380, kRed}}},  {u"11910"_s, u"0"_s, {}},  {u"0"_s, u"-5715"_s, {}},
        {u"-0.5"_s, u"0"_s, {}},  {u"0"_s, u"0.5"_s, {}},  {u"1e300"_s, u"0"_s, {}},  {u"-1e300"_s, u"-1e30"_s, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.c3.toStdString() + ", " + c.c6.toStdString());
        Scene scene(u"2"_s, u"1"_s, ColourMode::Data, /*guard*/ 40);
        scene.sets.sets[0] = Scene::constantMap(c.c3, c.c6);
        scene.settings.zoom = u"none"_s;
        scene.settings.moveY = u"-5775"_s;
        scene.run({0.25f});
        bool guardUntouched = false;
        EXPECT_EQ(scene.lit(&guardUntouched), c.expected);
        EXPECT_TRUE(guardUntouched);
    }
}

TEST(RenderRun, ColoursFollowTheModeAndNeverReach255AtRandom)
{
    const struct {
        ColourMode mode;
        std::vector<float> draws;   // per step: the pick, then r, g, b in Random mode
        QString iterations;
        std::uint32_t expected;
    } cases[] = {
        {ColourMode::Data, {0.5f / 6}, u"1"_s, kRed},     {ColourMode::Data, {1.5f / 6}, u"1"_s, kGreen},
        {ColourMode::Data, {2.5f / 6}, u"1"_s, kBlue},    {ColourMode::Data, {3.5f / 6}, u"1"_s, kMagenta},
        {ColourMode::Data, {4.5f / 6}, u"1"_s, kCyan},    {ColourMode::Data, {5.5f / 6}, u"1"_s, kMagenta},
        {ColourMode::White, {5.5f / 6}, u"1"_s, kWhite},
        {ColourMode::Random, {0.5f, kAlmostOne, kAlmostOne, kAlmostOne}, u"1"_s, rgb(254, 254, 254)},
        {ColourMode::Random, {0.5f, 0.0f, 0.5f, kAlmostOne}, u"1"_s, rgb(0, 127, 254)},
        // a long run keeps pick and colour draws in step: every step is alike
        {ColourMode::Random, {0.1f, 0.2f, 0.4f, 0.6f}, u"3000"_s, rgb(51, 102, 153)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.draws));
        Scene scene(u"6"_s, c.iterations, c.mode);
        scene.run(c.draws);
        EXPECT_EQ(scene.lit(), (Pixels{{500, 318, c.expected}}));
    }
}

TEST(RenderRun, UsesOneDrawPerPickAndThreePerRandomColourAndClearsOnlyTheArea)
{
    const struct {
        ColourMode mode;
        QString count, iterations;
        std::size_t draws;
    } cases[] = {
        {ColourMode::Random, u"2"_s, u"5000"_s, 20000}, {ColourMode::Data, u"3"_s, u"5000"_s, 5000},
        {ColourMode::White, u"7"_s, u"5000"_s, 5000},   {ColourMode::Random, u"abc"_s, u"5000"_s, 15000},
        {ColourMode::Data, u""_s, u"5000"_s, 0},        {ColourMode::Random, u"2"_s, u"0"_s, 0},
        {ColourMode::Data, u"2"_s, u"-5"_s, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count.toStdString() + " x " + c.iterations.toStdString());
        Scene scene(c.count, c.iterations, c.mode, /*guard*/ 2);
        scene.run({0.3f, 0.6f, 0.9f});
        EXPECT_EQ(scene.random.taken(), c.draws);
        bool guardUntouched = false;
        const Pixels lit = scene.lit(&guardUntouched);
        EXPECT_TRUE(guardUntouched);
        if (c.draws == 0) {
            EXPECT_EQ(lit, Pixels{});   // cleared to black, nothing drawn
            EXPECT_TRUE(scene.map == CurrentMap{});   // and no pick written
        }
    }
}

TEST(RenderRun, OnlyTheShowBoxOfThePickedSetOneToSixDecides)
{
    const struct {
        QString count;
        float u;
        int untickedSet;   // 0: all ticked
        bool drawn;
    } cases[] = {
        {u"2"_s, 0.75f, 0, true}, {u"2"_s, 0.75f, 2, false}, {u"2"_s, 0.75f, 1, true}, {u"1"_s, 0.5f, 1, false},
        {u"0"_s, 0.5f, 0, true},  {u"7"_s, kAlmostOne, 0, false}, {u"-3"_s, 0.5f, 0, false},   // sets 7 and -1
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count.toStdString() + " unticked " + std::to_string(c.untickedSet));
        Scene scene(c.count, u"1"_s, ColourMode::White);
        scene.map.coefficients = Scene::constantMap(u"0.5"_s, u"0.2"_s);   // for counts that copy nothing
        if (c.untickedSet)
            scene.settings.show[std::size_t(c.untickedSet - 1)] = false;
        scene.run({c.u});
        EXPECT_EQ(scene.lit(), (c.drawn ? Pixels{{500, 318, kWhite}} : Pixels{}));
    }
}

TEST(RenderRun, AnUntickedSetStillMovesThePoint)
{
    const auto draw = [](bool showSet2) {
        Scene scene(u"2"_s, u"3"_s, ColourMode::Data);
        scene.sets.sets[0] = {u"0.5"_s, u"0"_s, u"0.2"_s, u"0"_s, u"0.5"_s, u"0.2"_s};
        scene.sets.sets[1] = {u"1"_s, u"0"_s, u"0.4"_s, u"0"_s, u"1"_s, u"0.4"_s};
        scene.settings.show[1] = showSet2;
        scene.run({0.25f, 0.75f, 0.25f});   // sets 1, 2, 1
        return scene.lit();
    };
    Pixels withSet2 = draw(true);
    ASSERT_EQ(withSet2.size(), 3u);
    std::erase_if(withSet2, [](const Pixel& p) { return p.colour == kGreen; });
    EXPECT_EQ(draw(false), withSet2);
}

TEST(RenderRun, ACoefficientThatIsNotANumberFreezesItsCoordinate)
{
    // Set 2 goes to (0.3, 0.1); set 1 would go on to (0.5, 0.2) but keeps
    // x = 0.3 with a bad text among c1 to c3, or y = 0.1 among c4 to c6.
    for (const QString& bad : {u""_s, u"abc"_s}) {
        for (std::size_t j = 0; j < 6; ++j) {
            SCOPED_TRACE("\"" + bad.toStdString() + "\" as coefficient " + std::to_string(j + 1));
            Scene scene(u"2"_s, u"2"_s, ColourMode::Data);
            scene.sets.sets[1] = Scene::constantMap(u"0.3"_s, u"0.1"_s);
            scene.sets.sets[0][j] = bad;
            EXPECT_EQ(scene.run({0.75f, 0.25f}), 2);
            const Pixel set2{433, 351, kGreen};
            EXPECT_EQ(scene.lit(), (j < 3 ? Pixels{{433, 318, kRed}, set2} : Pixels{set2, {500, 351, kRed}}));
        }
    }
}

TEST(RenderRun, XIsCarriedInDoubleAndYInSinglePrecision)
{
    // Step 2 reaches x = 1e9*0.1 + 1e9*0.1f + 0.1 = 200000001.59, which the
    // offset brings to 9237.6 twips at "0.25x". With y kept in double it would
    // be 7375 (column 491); with x in single, 11100 (column 740).
    Scene scene(u"2"_s, u"2"_s, ColourMode::Data);
    scene.sets.sets[0] = {u"1e9"_s, u"1e9"_s, u"0.1"_s, u"0"_s, u"0"_s, u"0.1"_s};
    scene.settings.zoom = u"0.25x"_s;
    scene.settings.moveX = u"-2.5e11"_s;
    scene.run({0.25f});
    EXPECT_EQ(scene.lit(), (Pixels{{615, 356, kRed}}));
}

TEST(RenderRun, ARunawayOrbitKeepsItsLastRepresentableValues)
{
    // 400 steps of set 1 overflow both coordinates; each keeps its last value,
    // so set 2's constant map (0*x + 0*y + c) still brings the point back.
    for (const QString& big : {u"9e5"_s, u"-9e5"_s, u"1e300"_s}) {
        SCOPED_TRACE(big.toStdString());
        Scene scene(u"2"_s, u"401"_s, ColourMode::Data, /*guard*/ 40);
        scene.sets.sets[0] = {big, u"-9e5"_s, big, u"9e5"_s, big, u"-1"_s};
        std::vector<float> draws(400, 0.25f);
        draws.push_back(0.75f);
        EXPECT_EQ(scene.run(draws), 1);
        EXPECT_EQ(scene.random.taken(), 401u);
        bool guardUntouched = false;
        EXPECT_EQ(scene.lit(&guardUntouched), (Pixels{{500, 318, kGreen}}));
        EXPECT_TRUE(guardUntouched);
    }
}

TEST(RenderRun, AnOverflowingYKeepsItsLastValueAndIsDrawnThere)
{
    // Set 1 puts y at 3e38; set 2 reads it (x = 1e-38 y = 3) while 2y
    // overflows and y stays 3e38. Set 3 goes to (3, 0.2), at "0.25x" pixel
    // (733, 348); set 4's y = 1e39 overflows, so its point lands there too.
    Scene scene(u"4"_s, u"5"_s, ColourMode::Data);
    scene.sets.sets[0] = Scene::constantMap(u"0"_s, u"3e38"_s);
    scene.sets.sets[1] = {u"0"_s, u"1e-38"_s, u"0"_s, u"0"_s, u"2"_s, u"0"_s};
    scene.sets.sets[2] = {u"1"_s, u"0"_s, u"0"_s, u"0"_s, u"0"_s, u"0.2"_s};
    scene.sets.sets[3] = {u"1"_s, u"0"_s, u"0"_s, u"0"_s, u"0"_s, u"1e39"_s};
    scene.settings.zoom = u"0.25x"_s;
    EXPECT_EQ(scene.run({0.1f, 0.3f, 0.3f, 0.6f, 0.9f}), 2);   // sets 1, 2, 2, 3, 4
    EXPECT_EQ(scene.lit(), (Pixels{{733, 348, kMagenta}}));
}

TEST(RenderRun, AZoomThatOverflowsLeavesThePositionAsTheMapGaveIt)
{
    // At "8x", 1e304 * 40000 overflows: px keeps 1e304, adding -15500 leaves
    // it there, and the offset -1e304 then brings it to 0 twips, column 0.
    // y = 0.1f lands at 3775 twips, row 251.
    Scene scene(u"2"_s, u"1"_s, ColourMode::Data);
    scene.sets.sets[0] = Scene::constantMap(u"1e304"_s, u"0.1"_s);
    scene.settings.zoom = u"8x"_s;
    scene.settings.moveX = u"-1e304"_s;
    scene.run({0.25f});
    EXPECT_EQ(scene.lit(), (Pixels{{0, 251, kRed}}));
}

TEST(RenderRun, TheCurrentMapIsKeptFromOneRunToTheNext)
{
    Scene scene(u"2"_s, u"2"_s, ColourMode::Data);
    scene.sets.sets[0] = Scene::constantMap(u"0.3"_s, u"0.1"_s);
    const Coefficients firstSet2 = scene.sets.sets[1];   // to (0.5, 0.2)
    scene.run({0.25f, 0.75f});
    EXPECT_TRUE(scene.map == (CurrentMap{u"2"_s, firstSet2}));

    // Count 1 picks set 1 but copies nothing: set 2's old texts in set 1's colour.
    scene.sets.sets[1] = Scene::constantMap(u"0.9"_s, u"0.9"_s);
    scene.sets.count = u"1"_s;
    scene.settings.iterations = u"1"_s;
    scene.run({0.5f});
    EXPECT_EQ(scene.lit(), (Pixels{{500, 318, kRed}}));
    EXPECT_TRUE(scene.map == (CurrentMap{u"1"_s, firstSet2}));

    // A count that is no number picks nothing: the same map again, no draw.
    scene.sets.count = u"two"_s;
    scene.run({0.5f});
    EXPECT_EQ(scene.lit(), (Pixels{{500, 318, kRed}}));
    EXPECT_EQ(scene.random.taken(), 3u);

    scene.sets.count = u"2"_s;
    scene.run({0.75f});   // set 2 as it reads now, (0.9, 0.9)
    EXPECT_EQ(scene.lit(), (Pixels{{633, 85, kGreen}}));
    EXPECT_TRUE(scene.map == (CurrentMap{u"2"_s, scene.sets.sets[1]}));
}

} // namespace
