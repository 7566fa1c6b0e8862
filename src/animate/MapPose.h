#pragma once

#include "engine/AffineMap.h"

namespace fenra::animate {

// A map taken apart so that its pieces can be blended: the linear part is
// A = R(turn) · exp(logStretch) · diag(1, mirror), a rotation, a symmetric positive
// stretch (kept as its logarithm, so blending never shrinks a scale through a
// midpoint) and a mirror factor; the translation is kept as it is.
//
// mirror is +1 for a map that keeps orientation and -1 for one that mirrors
// (negative determinant), mirrored about its input's x axis. Blending a mirror
// with a non-mirror moves mirror through 0: the map turns over like a card and is
// flat halfway, as every path from a mirror image to an unmirrored one must be.
struct MapPose {
    double turn = 0.0;                        // radians
    double logStretch[3] = {0.0, 0.0, 0.0};   // the symmetric [[s0 s1] [s1 s2]]
    double mirror = 1.0;                      // in [-1, 1]
    double shift[2] = {0.0, 0.0};             // the translation (c[2], c[5])
};

// The smallest stretch a pose keeps: a map that flattens a direction entirely
// (the fern's stalk) has no logarithm there, and is kept this thin instead, far
// below a pixel for any picture of its attractor.
inline constexpr double kThinnestStretch = 1e-4;

MapPose poseOf(const AffineMap& map);
AffineMap mapOf(const MapPose& pose);

// f(M) for a symmetric 2x2 M = [[m0 m1] [m1 m2]] through its eigenvalues,
// with f = log (M positive; eigenvalues below kThinnestStretch are raised to it) or f = exp.
void symmetricLog(const double m[3], double out[3]);
void symmetricExp(const double m[3], double out[3]);

}   // namespace fenra::animate
