#include "animate/MapPose.h"

#include <algorithm>
#include <cmath>

namespace fenra::animate {

namespace {

// f(M) = mean·I + slope·(M - m·I) for a symmetric M with eigenvalues m ± r: the
// closed form of a function of a 2x2 symmetric matrix, no eigenvectors needed.
void applyThrough(const double m[3], double mean, double slope, double centre, double out[3])
{
    out[0] = mean + slope * (m[0] - centre);
    out[1] = slope * m[1];
    out[2] = mean + slope * (m[2] - centre);
}

struct Eigen {
    double centre, radius;   // eigenvalues centre ± radius
};

Eigen eigenOf(const double m[3])
{
    const double half = (m[0] - m[2]) / 2.0;
    return {(m[0] + m[2]) / 2.0, std::hypot(half, m[1])};
}

}   // namespace

void symmetricLog(const double m[3], double out[3])
{
    const auto [centre, radius] = eigenOf(m);
    const double large = std::max(centre + radius, kThinnestStretch);
    // The small eigenvalue from the determinant: centre - radius cancels for a nearly flat map.
    const double small = std::max((m[0] * m[2] - m[1] * m[1]) / large, kThinnestStretch);
    const double logLarge = std::log(large), logSmall = std::log(small);
    double slope;
    if (radius == 0.0)
        slope = 1.0 / large;
    else if (radius < centre / 2.0 && small > kThinnestStretch)
        slope = std::atanh(radius / centre) / radius;   // (log(c+r) - log(c-r)) / 2r, which cancels here
    else
        slope = (logLarge - logSmall) / (2.0 * radius);
    applyThrough(m, (logLarge + logSmall) / 2.0, slope, centre, out);
}

void symmetricExp(const double m[3], double out[3])
{
    const auto [centre, radius] = eigenOf(m);
    const double scale = std::exp(centre);
    const double slope = radius == 0.0 ? scale : scale * std::sinh(radius) / radius;
    applyThrough(m, scale * std::cosh(radius), slope, centre, out);
}

MapPose poseOf(const AffineMap& map)
{
    MapPose pose;
    double a = map.c[0], b = map.c[1], c = map.c[3], d = map.c[4];
    if (a * d - b * c < 0.0) {
        pose.mirror = -1.0;   // A·diag(1, -1) keeps orientation
        b = -b;
        d = -d;
    }
    // The rotation that makes R(-turn)·A symmetric, with a positive trace.
    pose.turn = std::atan2(c - b, a + d);
    const double cs = std::cos(pose.turn), sn = std::sin(pose.turn);
    const double stretch[3] = {cs * a + sn * c, ((cs * b + sn * d) + (cs * c - sn * a)) / 2.0, cs * d - sn * b};
    symmetricLog(stretch, pose.logStretch);
    pose.shift[0] = map.c[2];
    pose.shift[1] = map.c[5];
    return pose;
}

AffineMap mapOf(const MapPose& pose)
{
    double s[3];
    symmetricExp(pose.logStretch, s);
    const double cs = std::cos(pose.turn), sn = std::sin(pose.turn);
    AffineMap map;
    map.c[0] = cs * s[0] - sn * s[1];
    map.c[1] = (cs * s[1] - sn * s[2]) * pose.mirror;
    map.c[3] = sn * s[0] + cs * s[1];
    map.c[4] = (sn * s[1] + cs * s[2]) * pose.mirror;
    map.c[2] = pose.shift[0];
    map.c[5] = pose.shift[1];
    return map;
}

}   // namespace fenra::animate
