#include "engine/WeightedMaps.h"

#include <algorithm>
#include <cmath>

namespace fenra {
namespace {

constexpr double kAreaFloor = 0.01;   // of the largest |det|

double determinant(const AffineMap& m) { return m.c[0] * m.c[4] - m.c[1] * m.c[3]; }

}   // namespace

std::vector<double> pickWeights(const std::vector<AffineMap>& maps, const std::vector<double>& p)
{
    std::vector<double> w(maps.size(), 0.0);
    if (w.empty())
        return w;
    // Scaled by the largest first, so a sum of huge p values cannot overflow.
    double largest = 0.0;
    for (std::size_t k = 0; k < w.size() && k < p.size(); ++k) {
        if (std::isfinite(p[k]) && p[k] > 0.0)
            largest = std::max(largest, p[k]);
    }
    if (largest > 0.0) {
        for (std::size_t k = 0; k < w.size() && k < p.size(); ++k)
            w[k] = std::isfinite(p[k]) && p[k] > 0.0 ? p[k] / largest : 0.0;
    } else {
        double largestArea = 0.0;
        for (const AffineMap& m : maps) {
            const double area = std::fabs(determinant(m));
            if (std::isfinite(area))
                largestArea = std::max(largestArea, area);
        }
        for (std::size_t k = 0; k < w.size(); ++k) {
            const double area = std::fabs(determinant(maps[k]));
            w[k] = largestArea > 0.0 ? std::clamp(area / largestArea, kAreaFloor, 1.0) : 1.0;
        }
    }
    double sum = 0.0;
    for (double v : w)
        sum += v;
    for (double& v : w)
        v /= sum;
    return w;
}

}   // namespace fenra
