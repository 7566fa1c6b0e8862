#include "engine/WeightedMaps.h"

#include "engine/Raster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace fenra {
namespace {

constexpr double kAreaFloor = 0.01;      // of the largest |det|
constexpr double kFrameMargin = 0.05;    // of the picture, on every side
constexpr int kSettlePoints = 64;        // left out of the box: the path from the origin
constexpr int kBoxPoints = 100000;
constexpr double kWindowScale = 5000.0;  // the zoom item "1x", twips per map unit

double determinant(const ParsedMap& m)
{
    return m.c[0] * m.c[4] - m.c[1] * m.c[3];
}

// splitmix64: a fixed, well-mixed sequence, so the same maps get the same frame.
class FixedSequence {
public:
    double unit()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return double((z ^ (z >> 31)) >> 11) * 0x1.0p-53;
    }

private:
    std::uint64_t m_state = 0x5EED;
};

struct Box {
    double x0 = std::numeric_limits<double>::infinity(), x1 = -x0;
    double y0 = x0, y1 = -x0;
    void add(double x, double y)
    {
        x0 = std::min(x0, x);
        x1 = std::max(x1, x);
        y0 = std::min(y0, y);
        y1 = std::max(y1, y);
    }
};

// A contraction's fixed point lies on the attractor, however rarely the map is picked.
void addFixedPoint(Box& box, const ParsedMap& m)
{
    const double a = m.c[0], b = m.c[1], c = m.c[3], d = m.c[4];
    const double s = a * a + b * b + c * c + d * d;
    const double det = determinant(m);
    const double largestStretch = std::sqrt((s + std::sqrt(std::max(0.0, s * s - 4.0 * det * det))) / 2.0);
    const double fixedDet = (1.0 - a) * (1.0 - d) - b * c;   // never 0 for a contraction
    if (!(largestStretch < 1.0) || fixedDet == 0.0)
        return;
    box.add(((1.0 - d) * m.c[2] + b * m.c[5]) / fixedDet, (c * m.c[2] + (1.0 - a) * m.c[5]) / fixedDet);
}

} // namespace

std::vector<double> pickWeights(const std::vector<ParsedMap>& maps, const std::vector<double>& p)
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
        for (const ParsedMap& m : maps) {
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

std::optional<ZoomStep> fitFrame(const std::vector<ParsedMap>& maps, const std::vector<double>& weights)
{
    if (maps.empty() || weights.size() != maps.size())
        return std::nullopt;
    std::vector<double> cumulative(weights.size());
    double sum = 0.0;
    for (std::size_t k = 0; k < weights.size(); ++k)
        cumulative[k] = sum += std::max(0.0, weights[k]);
    if (!(sum > 0.0) || !std::isfinite(sum))
        return std::nullopt;

    Box box;
    FixedSequence sequence;
    double x = 0.0, y = 0.0;
    for (int i = 0; i < kSettlePoints + kBoxPoints; ++i) {
        const double u = sequence.unit() * sum;
        const std::size_t k = std::min<std::size_t>(
            std::size_t(std::upper_bound(cumulative.begin(), cumulative.end(), u) - cumulative.begin()),
            maps.size() - 1);
        const ParsedMap& m = maps[k];
        const double xNew = m.c[0] * x + m.c[1] * y + m.c[2];
        y = m.c[3] * x + m.c[4] * y + m.c[5];
        x = xNew;
        if (!std::isfinite(x) || !std::isfinite(y))
            return std::nullopt;
        if (i >= kSettlePoints)
            box.add(x, y);
    }
    for (std::size_t k = 0; k < maps.size(); ++k) {
        if (weights[k] > 0.0)
            addFixedPoint(box, maps[k]);
    }

    const double spanX = box.x1 - box.x0, spanY = box.y1 - box.y0;
    const double cx = box.x0 / 2.0 + box.x1 / 2.0, cy = box.y0 / 2.0 + box.y1 / 2.0;
    if (!std::isfinite(spanX) || !std::isfinite(spanY))
        return std::nullopt;
    // A span this small beside the box's size and place is rounding, not a shape.
    const double size = std::max({spanX, spanY, std::fabs(cx), std::fabs(cy)});
    const bool pointX = spanX <= 1e-9 * size, pointY = spanY <= 1e-9 * size;

    constexpr double kWidth = kDisplayWidth * kTwipsPerPixel;     // twips
    constexpr double kHeight = kDisplayHeight * kTwipsPerPixel;   // twips
    constexpr double kInside = 1.0 - 2.0 * kFrameMargin;
    double scale = kWindowScale;
    if (!pointX || !pointY)
        scale = std::min(pointX ? std::numeric_limits<double>::infinity() : kWidth * kInside / spanX,
                         pointY ? std::numeric_limits<double>::infinity() : kHeight * kInside / spanY);
    // The box's centre lands on the picture's centre; the flip counts from the outer height.
    const ZoomStep step{scale, kWidth / 2.0 - cx * scale, kDisplayOuterHeightTwips - kHeight / 2.0 - cy * scale};
    if (!(scale > 0.0) || !std::isfinite(scale) || !std::isfinite(step.shiftX) || !std::isfinite(step.shiftY))
        return std::nullopt;
    return step;
}

} // namespace fenra
