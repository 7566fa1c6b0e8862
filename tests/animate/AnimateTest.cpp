// Maps blended between keys, spun and framed, and the frames' name pattern.
#include "animate/FramePattern.h"
#include "animate/Keyframes.h"
#include "animate/MapPose.h"
#include "animate/Spin.h"
#include "animate/ViewBoxes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace fenra;
using namespace fenra::animate;
using namespace Qt::StringLiterals;

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

// R(turn)·[[s0 s1] [s1 s2]], moved by (tx, ty).
AffineMap turned(double turn, double s0, double s1, double s2, double tx = 0, double ty = 0)
{
    const double cs = std::cos(turn), sn = std::sin(turn);
    return {{cs * s0 - sn * s1, cs * s1 - sn * s2, tx, sn * s0 + cs * s1, sn * s1 + cs * s2, ty}};
}

void expectNear(const AffineMap& got, const AffineMap& want, double tolerance = 1e-12)
{
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(got.c[i], want.c[i], tolerance) << "coefficient " << i;
}

KeyMaps keyOf(std::initializer_list<AffineMap> maps, std::initializer_list<double> weights = {})
{
    KeyMaps key;
    for (const auto& m : maps)
        key.push_back({m, weights.size() ? weights.begin()[key.size()] : 1.0});
    return key;
}

TEST(MapPose, TakesMapsApartAndBackIncludingMirrorsAndFlatMaps)
{
    const AffineMap maps[] = {turned(0.3, 0.6, 0.1, 0.4, 1, -2),
                              turned(-2.9, 0.2, -0.05, 0.9),
                              {{-0.15, 0.28, 0.0, 0.26, 0.24, 0.44}},   // the fern's mirrored leaflet
                              {{0.0, 0.0, 0.0, 0.0, 0.16, 0.0}}};       // its stalk: flat in x
    for (const auto& m : maps)
        expectNear(mapOf(poseOf(m)), m, 2e-4);   // the stalk comes back kThinnestStretch wide
    EXPECT_EQ(poseOf(maps[2]).mirror, -1.0);
}

TEST(Keyframes, TurnsTheShortWayWithScaleAndShiftLinearBetweenTwoKeys)
{
    const struct {
        double from, to, middle;
    } cases[] = {{80, -80, 0}, {170, -170, 180}, {-30, 300, -45}};
    for (const auto& c : cases) {
        const std::vector<KeyMaps> keys{keyOf({turned(c.from * kDegree, 0.7, 0.2, 0.3, 0, 1)}),
                                        keyOf({turned(c.to * kDegree, 0.7, 0.2, 0.3, 4, 1)})};
        const Timeline five{5};
        const auto middle = mapsAt(keys, false, five.instantsOf(2)[0]);   // frame 2 of 5
        expectNear(middle[0].map, turned(c.middle * kDegree, 0.7, 0.2, 0.3, 2, 1));
        EXPECT_NEAR(mapsAt(keys, false, five.instantsOf(1)[0])[0].map.c[2], 1.0, 1e-12);
        EXPECT_EQ(mapsAt(keys, false, five.instantsOf(4)[0]), keys[1]);
    }
}

TEST(Keyframes, AMirrorTurnsOverFlatToMeetARotationAndStaysAMirrorToAMirror)
{
    const AffineMap mirror{{0.5, 0, 0, 0, -0.5, 0}}, turn = turned(0, 0.5, 0, 0.5);
    auto det = [](const AffineMap& m) { return m.c[0] * m.c[4] - m.c[1] * m.c[3]; };
    EXPECT_NEAR(det(mapsAt({keyOf({mirror}), keyOf({turn})}, false, {1, 2})[0].map), 0.0, 1e-12);
    EXPECT_NEAR(det(mapsAt({keyOf({mirror}), keyOf({mirror})}, false, {1, 2})[0].map), -0.25, 1e-12);
}

TEST(Keyframes, EndsClampWithoutALoopLeadBackWithOneAndWeightsStayAtOrAboveZero)
{
    auto at = [](double x) { return turned(0, 0.5, 0, 0.5, x); };
    const std::vector<KeyMaps> keys{keyOf({at(0)}), keyOf({at(1)}), keyOf({at(0)})};
    EXPECT_NEAR(mapsAt(keys, false, {3, 4})[0].map.c[2], 0.625, 1e-12);   // a line past the last key
    EXPECT_NEAR(mapsAt(keys, true, {3, 6})[0].map.c[2], 0.5625, 1e-12);   // the first key after the last
    EXPECT_EQ(mapsAt(keys, true, {1, 1}), mapsAt(keys, true, {0, 1}));    // frame N is frame 0
    // The second map's shares 1/2, 0, 0, 1/2 would dip below 0 between the middle keys.
    const std::vector<KeyMaps> fading{keyOf({at(0), at(1)}), keyOf({at(0)}), keyOf({at(0)}), keyOf({at(0), at(1)})};
    const auto middle = mapsAt(fading, false, {1, 2});
    ASSERT_EQ(middle.size(), 2u);
    EXPECT_EQ(middle[1].weight, 0.0);
    expectNear(middle[1].map, at(1));   // kept in its place while it is gone
}

TEST(Spin, TurnsEveryMapAboutItsFixedPointOrItsParallelogramsCentreAndComesBackWhole)
{
    auto apply = [](const AffineMap& m, double x, double y) {
        return std::pair{m.c[0] * x + m.c[1] * y + m.c[2], m.c[3] * x + m.c[4] * y + m.c[5]};
    };
    const KeyMaps maps = keyOf({turned(0.4, 0.5, 0.1, 0.3, 1, 2), {{1, 0, 3, 0, 1, -1}}});
    EXPECT_EQ(spun(maps, 3, {1, 1}), maps);
    const auto half = spun(maps, 1, {1, 2});
    double fixed[2];
    spinCentre(maps[0].map, fixed);
    const auto [x, y] = apply(half[0].map, fixed[0], fixed[1]);
    EXPECT_NEAR(x, fixed[0], 1e-12);
    EXPECT_NEAR(y, fixed[1], 1e-12);
    const auto [cx, cy] = apply(half[1].map, 0.5, 0.5);   // the translation's square: (3.5, -0.5)
    EXPECT_NEAR(cx, 3.5, 1e-12);
    EXPECT_NEAR(cy, -0.5, 1e-12);
    for (std::size_t k = 0; k < maps.size(); ++k)
        EXPECT_NEAR(half[k].map.c[4], -maps[k].map.c[4], 1e-12);   // half a turn
}

TEST(Timeline, BlurredFramesTileTheRunAndTheLastFrameHoldsWithoutALoop)
{
    EXPECT_EQ((Timeline{4, true, 2}.instantsOf(3)), (std::vector<Instant>{{6, 8}, {7, 8}}));
    EXPECT_EQ((Timeline{4, false, 2}.instantsOf(3)), (std::vector<Instant>{{6, 6}, {6, 6}}));
}

TEST(ViewBoxes, TheUnionHoldsEveryFrameAtThePicturesAspectAndFollowingNeverCuts)
{
    const std::vector<ViewBox> fitted{{0, 0, 2, 1}, {1, -1, 3, 0}, {10, 0, 12, 1}};
    EXPECT_EQ(unionBox(fitted, 4, 1), (ViewBox{0, -1.5, 12, 1.5}));
    const auto followed = followedBoxes(fitted, false, 2, 2, 1);
    for (std::size_t f = 0; f < fitted.size(); ++f) {
        EXPECT_LE(followed[f].x0, fitted[f].x0);
        EXPECT_GE(followed[f].x1, fitted[f].x1);
        EXPECT_NEAR((followed[f].x1 - followed[f].x0) / (followed[f].y1 - followed[f].y0), 2.0, 1e-12);
    }
}

TEST(FramePattern, TakesOneNumberAndLiteralPercentsAndRefusesTheRest)
{
    const struct {
        QString text;
        QString frame12;
    } cases[] = {
        {u"f%04d.png"_s, u"f0012.png"_s},
        {u"%d"_s, u"12"_s},
        {u"100%%/a%d%%.png"_s, u"100%/a12%.png"_s},
        {u"still.png"_s, u"still.png"_s},
        {u"%d%d"_s, {}},
        {u"%s.png"_s, {}},
        {u"%4d"_s, {}},
        {u"%00d"_s, {}},
        {u"%010d"_s, {}},
        {u"%n"_s, {}},
        {u"a%"_s, {}},
        {u"%ld"_s, {}},
    };
    for (const auto& c : cases) {
        const auto reading = readFramePattern(c.text);
        EXPECT_EQ(reading.error.isEmpty(), !c.frame12.isNull()) << c.text.toStdString();
        if (reading.error.isEmpty()) {
            EXPECT_EQ(reading.pattern.nameOf(12), c.frame12) << c.text.toStdString();
        }
    }
}

}   // namespace
