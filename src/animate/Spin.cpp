#include "animate/Spin.h"

#include <cmath>
#include <numbers>

namespace fenra::animate {

void spinCentre(const AffineMap& map, double centre[2])
{
    const double* c = map.c;
    // (I - A)·p = t; a determinant this small would put the point far off the picture.
    const double det = (1.0 - c[0]) * (1.0 - c[4]) - c[1] * c[3];
    if (std::abs(det) > 1e-6) {
        centre[0] = ((1.0 - c[4]) * c[2] + c[1] * c[5]) / det;
        centre[1] = (c[3] * c[2] + (1.0 - c[0]) * c[5]) / det;
    } else {
        centre[0] = 0.5 * (c[0] + c[1]) + c[2];
        centre[1] = 0.5 * (c[3] + c[4]) + c[5];
    }
}

KeyMaps spun(KeyMaps maps, int turns, Instant at)
{
    // Whole turns leave the maps exactly as they are: a loop's ends agree to the bit.
    const std::int64_t part = (at.num * turns % at.den + at.den) % at.den;
    if (part == 0)
        return maps;
    const double angle = 2.0 * std::numbers::pi * double(part) / double(at.den);
    const double cs = std::cos(angle), sn = std::sin(angle);
    for (auto& m : maps) {
        double p[2];
        spinCentre(m.map, p);
        double* c = m.map.c;
        // R·(A·x + t - p) + p: the map, then the turn about p.
        const double a = c[0], b = c[1], d = c[3], e = c[4];
        const double tx = c[2] - p[0], ty = c[5] - p[1];
        c[0] = cs * a - sn * d;
        c[1] = cs * b - sn * e;
        c[3] = sn * a + cs * d;
        c[4] = sn * b + cs * e;
        c[2] = cs * tx - sn * ty + p[0];
        c[5] = sn * tx + cs * ty + p[1];
    }
    return maps;
}

}   // namespace fenra::animate
