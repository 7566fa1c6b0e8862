#include "studio/HandleGeometry.h"

#include <cmath>
#include <numbers>

namespace fenra::studio {

Point apply(const AffineMap& m, Point p)
{
    return {m.c[0] * p.x + m.c[1] * p.y + m.c[2], m.c[3] * p.x + m.c[4] * p.y + m.c[5]};
}

Corners cornersOf(const AffineMap& m)
{
    return {apply(m, {0, 0}), apply(m, {1, 0}), apply(m, {0, 1}), apply(m, {1, 1})};
}

Point centreOf(const AffineMap& m) { return apply(m, {0.5, 0.5}); }

AffineMap turnedAbout(const AffineMap& m, Point centre, double radians)
{
    const double cs = std::cos(radians), sn = std::sin(radians);
    AffineMap out = m;
    // Each column of the linear part turns; the translation turns about the centre.
    for (int column = 0; column < 2; ++column) {
        const double x = m.c[column], y = m.c[3 + column];
        out.c[column] = cs * x - sn * y;
        out.c[3 + column] = sn * x + cs * y;
    }
    const double tx = m.c[2] - centre.x, ty = m.c[5] - centre.y;
    out.c[2] = centre.x + cs * tx - sn * ty;
    out.c[5] = centre.y + sn * tx + cs * ty;
    return out;
}

double sweptAngle(Point centre, Point from, Point to, bool steps)
{
    const double a = std::atan2(from.y - centre.y, from.x - centre.x);
    const double b = std::atan2(to.y - centre.y, to.x - centre.x);
    double angle = std::remainder(b - a, 2 * std::numbers::pi);
    if (steps) {
        const double step = std::numbers::pi / 12;
        angle = std::round(angle / step) * step;
    }
    return angle;
}

namespace {

// P - O turned and scaled onto P - O + delta: the linear part times the
// complex ratio of the two (or only its length, for scale alone).
AffineMap turnedAndScaledAboutO(const AffineMap& m, Point delta, bool scaleOnly)
{
    const double ux = m.c[0] + m.c[1], uy = m.c[3] + m.c[4];   // P - O
    const double vx = ux + delta.x, vy = uy + delta.y;
    const double lengthSquared = ux * ux + uy * uy;
    if (lengthSquared == 0.0)
        return m;   // a map onto a point has no direction to turn
    double re = (vx * ux + vy * uy) / lengthSquared;
    double im = (vy * ux - vx * uy) / lengthSquared;
    if (scaleOnly) {
        re = std::sqrt((vx * vx + vy * vy) / lengthSquared);
        im = 0.0;
    }
    AffineMap out = m;
    for (int column = 0; column < 2; ++column) {
        const double x = m.c[column], y = m.c[3 + column];
        out.c[column] = re * x - im * y;
        out.c[3 + column] = im * x + re * y;
    }
    return out;
}

}   // namespace

AffineMap dragged(const AffineMap& start, Handle handle, Point grab, Point delta, bool shift)
{
    AffineMap m = start;
    switch (handle) {
    case Handle::None:
        break;
    case Handle::Body:
        m.c[2] += delta.x;
        m.c[5] += delta.y;
        break;
    case Handle::X:
        m.c[0] += delta.x;
        m.c[3] += delta.y;
        break;
    case Handle::Y:
        m.c[1] += delta.x;
        m.c[4] += delta.y;
        break;
    case Handle::P:
        m = turnedAndScaledAboutO(start, delta, shift);
        break;
    case Handle::Turn: {
        const Point centre = centreOf(start);
        m = turnedAbout(start, centre, sweptAngle(centre, grab, {grab.x + delta.x, grab.y + delta.y}, shift));
        break;
    }
    }
    return m;
}

}   // namespace fenra::studio
