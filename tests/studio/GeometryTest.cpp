// The handles: each drag gives exactly the map it should.
#include "studio/HandleGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace fenra::studio {
namespace {

double determinant(const AffineMap& m) { return m.c[0] * m.c[4] - m.c[1] * m.c[3]; }

TEST(HandleGeometry, EachHandleDraggedByADeltaGivesExactlyTheExpectedMap)
{
    const AffineMap m{{0.5, -0.25, 1.5, 0.125, 0.75, -2}};
    const AffineMap unit{{1, 0, 3, 0, 1, -1}};
    const Point d{0.375, -0.0625};
    struct Case {
        const char* what;
        AffineMap start;
        Handle handle;
        Point delta;
        bool shift;
        AffineMap expected;
    };
    const Case cases[] = {
        {"body moves the translation", m, Handle::Body, d, false, {{0.5, -0.25, 1.875, 0.125, 0.75, -2.0625}}},
        {"X moves the first column", m, Handle::X, d, false, {{0.875, -0.25, 1.5, 0.0625, 0.75, -2}}},
        {"Y moves the second column", m, Handle::Y, d, false, {{0.5, 0.125, 1.5, 0.125, 0.6875, -2}}},
        {"P a quarter turn about O", unit, Handle::P, {-2, 0}, false, {{0, -1, 3, 1, 0, -1}}},
        {"P turned 45 degrees and scaled", unit, Handle::P, {-1, 3}, false, {{2, -2, 3, 2, 2, -1}}},
        {"P with Shift only scales", unit, Handle::P, {1, 1}, true, {{2, 0, 3, 0, 2, -1}}},
        {"P with Shift ignores the turn", unit, Handle::P, {-2, 0}, true, unit},
        {"no handle changes nothing", m, Handle::None, d, false, m},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dragged(c.start, c.handle, {}, c.delta, c.shift), c.expected) << c.what;
}

TEST(HandleGeometry, TurningAboutTheCentreKeepsTheDeterminantAndTheCentre)
{
    const AffineMap m{{0.5, -0.25, 1.5, 0.125, 0.75, -2}};
    const Point centre = centreOf(m);
    struct Case {
        Point grab, delta;
        bool shift;
        double degrees;
    };
    const Case cases[] = {
        {{centre.x + 1, centre.y}, {-1, 1}, false, 90},
        {{centre.x + 1, centre.y},
         {-1 + std::cos(0.87), std::sin(0.87)},
         true,
         45},   // 49.8 degrees in 15-degree steps
        {{centre.x, centre.y - 2}, {-2, 2}, false, -90},
        {{centre.x + 1, centre.y}, {-2, -1e-12}, false, -180},
    };
    for (const Case& c : cases) {
        const AffineMap turned = dragged(m, Handle::Turn, c.grab, c.delta, c.shift);
        EXPECT_NEAR(determinant(turned), determinant(m), 1e-15);
        EXPECT_NEAR(centreOf(turned).x, centre.x, 1e-12);
        EXPECT_NEAR(centreOf(turned).y, centre.y, 1e-12);
        // The first column turned by the expected angle.
        const double angle = std::atan2(turned.c[3], turned.c[0]) - std::atan2(m.c[3], m.c[0]);
        EXPECT_NEAR(std::remainder(angle - c.degrees * std::numbers::pi / 180, 2 * std::numbers::pi), 0, 1e-9)
            << c.degrees;
    }
}

}   // namespace
}   // namespace fenra::studio
