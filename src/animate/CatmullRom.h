#pragma once

namespace fenra::animate {

// The uniform Catmull-Rom curve through p1 (at u = 0) and p2 (at u = 1), its
// tangents taken from the neighbours p0 and p3. A curve's ends are given the
// neighbour a straight line would reach (2·p1 - p2), so two keys move linearly.
inline double catmullRom(double p0, double p1, double p2, double p3, double u)
{
    const double u2 = u * u, u3 = u2 * u;
    return p1 + 0.5 * ((p2 - p0) * u + (2.0 * p0 - 5.0 * p1 + 4.0 * p2 - p3) * u2 + (3.0 * (p1 - p2) + p3 - p0) * u3);
}

}   // namespace fenra::animate
