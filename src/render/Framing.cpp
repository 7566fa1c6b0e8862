#include "render/Framing.h"

#include "engine/Raster.h"
#include "render/WindowFraming.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace fenra::render {
namespace {

constexpr double kFrameMargin = 0.05;   // of the picture, on every side
constexpr double kInside = 1.0 - 2.0 * kFrameMargin;
constexpr int kSettlePoints = 64;   // left out of the box: the path from the origin
constexpr int kBoxPoints = 100000;
constexpr double kWindowScale = 5000.0;   // the zoom item "1x", twips per map unit

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

void addPoint(ViewBox& box, double x, double y)
{
    box.x0 = std::min(box.x0, x);
    box.x1 = std::max(box.x1, x);
    box.y0 = std::min(box.y0, y);
    box.y1 = std::max(box.y1, y);
}

// A contraction's fixed point lies on the attractor, however rarely the map is picked.
void addFixedPoint(ViewBox& box, const AffineMap& m)
{
    const double a = m.c[0], b = m.c[1], c = m.c[3], d = m.c[4];
    const double s = a * a + b * b + c * c + d * d;
    const double det = a * d - b * c;
    const double largestStretch = std::sqrt((s + std::sqrt(std::max(0.0, s * s - 4.0 * det * det))) / 2.0);
    const double fixedDet = (1.0 - a) * (1.0 - d) - b * c;   // never 0 for a contraction
    if (!(largestStretch < 1.0) || fixedDet == 0.0)
        return;
    addPoint(box, ((1.0 - d) * m.c[2] + b * m.c[5]) / fixedDet, (c * m.c[2] + (1.0 - a) * m.c[5]) / fixedDet);
}

// A box's centre and spans, and whether a span is only rounding, not a shape.
struct Extent {
    double cx, cy, spanX, spanY;
    bool pointX, pointY;
};

std::optional<Extent> extentOf(const std::optional<ViewBox>& box)
{
    if (!box)
        return std::nullopt;
    Extent e{box->x0 / 2.0 + box->x1 / 2.0,
             box->y0 / 2.0 + box->y1 / 2.0,
             box->x1 - box->x0,
             box->y1 - box->y0,
             false,
             false};
    if (!std::isfinite(e.spanX) || !std::isfinite(e.spanY))
        return std::nullopt;
    const double size = std::max({e.spanX, e.spanY, std::fabs(e.cx), std::fabs(e.cy)});
    e.pointX = e.spanX <= 1e-9 * size;
    e.pointY = e.spanY <= 1e-9 * size;
    return e;
}

}   // namespace

std::optional<ViewBox> attractorBox(const std::vector<AffineMap>& maps, const std::vector<double>& weights)
{
    if (maps.empty() || weights.size() != maps.size())
        return std::nullopt;
    std::vector<double> cumulative(weights.size());
    double sum = 0.0;
    for (std::size_t k = 0; k < weights.size(); ++k)
        cumulative[k] = sum += std::max(0.0, weights[k]);
    if (!(sum > 0.0) || !std::isfinite(sum))
        return std::nullopt;

    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    ViewBox box{kInfinity, kInfinity, -kInfinity, -kInfinity};
    FixedSequence sequence;
    double x = 0.0, y = 0.0;
    for (int i = 0; i < kSettlePoints + kBoxPoints; ++i) {
        const double u = sequence.unit() * sum;
        const std::size_t k = std::min<std::size_t>(
            std::size_t(std::upper_bound(cumulative.begin(), cumulative.end(), u) - cumulative.begin()),
            maps.size() - 1);
        const AffineMap& m = maps[k];
        const double xNew = m.c[0] * x + m.c[1] * y + m.c[2];
        y = m.c[3] * x + m.c[4] * y + m.c[5];
        x = xNew;
        if (!std::isfinite(x) || !std::isfinite(y))
            return std::nullopt;
        if (i >= kSettlePoints)
            addPoint(box, x, y);
    }
    for (std::size_t k = 0; k < maps.size(); ++k) {
        if (weights[k] > 0.0)
            addFixedPoint(box, maps[k]);
    }
    return box;
}

std::optional<ViewBox> fitBox(const std::vector<WeightedMap>& maps, int width, int height)
{
    std::vector<AffineMap> affine;
    std::vector<double> weights;
    for (const WeightedMap& m : maps) {
        affine.push_back(m.map);
        weights.push_back(m.weight);
    }
    const std::optional<Extent> e = extentOf(attractorBox(affine, weights));
    if (!e || width < 1 || height < 1)
        return std::nullopt;
    double spanX = e->pointX ? (e->pointY ? 1.0 : e->spanY) : e->spanX;
    double spanY = e->pointY ? spanX : e->spanY;
    spanX /= kInside;
    spanY /= kInside;
    const double aspect = double(width) / double(height);
    if (spanX < spanY * aspect)
        spanX = spanY * aspect;
    else
        spanY = spanX / aspect;
    return ViewBox{e->cx - spanX / 2.0, e->cy - spanY / 2.0, e->cx + spanX / 2.0, e->cy + spanY / 2.0};
}

std::optional<ZoomStep> fitFrame(const std::vector<AffineMap>& maps, const std::vector<double>& weights)
{
    const std::optional<Extent> e = extentOf(attractorBox(maps, weights));
    if (!e)
        return std::nullopt;
    constexpr double kWidth = kDisplayWidth * kTwipsPerPixel;     // twips
    constexpr double kHeight = kDisplayHeight * kTwipsPerPixel;   // twips
    double scale = kWindowScale;
    if (!e->pointX || !e->pointY)
        scale = std::min(e->pointX ? std::numeric_limits<double>::infinity() : kWidth * kInside / e->spanX,
                         e->pointY ? std::numeric_limits<double>::infinity() : kHeight * kInside / e->spanY);
    // The box's centre lands on the picture's centre; the flip counts from the outer height.
    const ZoomStep step{scale, kWidth / 2.0 - e->cx * scale, kDisplayOuterHeightTwips - kHeight / 2.0 - e->cy * scale};
    if (!(scale > 0.0) || !std::isfinite(scale) || !std::isfinite(step.shiftX) || !std::isfinite(step.shiftY))
        return std::nullopt;
    return step;
}

}   // namespace fenra::render
