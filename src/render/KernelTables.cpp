#include "render/KernelTables.h"

#include "render/AliasTable.h"
#include "render/Palette.h"

#include <stdexcept>

namespace fenra::render {
namespace {

Cell hitOf(std::uint32_t colour) { return Cell{1u, (colour >> 16) & 0xFFu, (colour >> 8) & 0xFFu, colour & 0xFFu}; }

void check(bool ok, const char* what)
{
    if (!ok)
        throw std::invalid_argument(what);
}

}   // namespace

KernelTables kernelTables(const RenderRequest& request, const HitSums& into, HitPalette& palette, int firstRow)
{
    const int n = int(request.maps.size());
    check(n >= 1 && n <= kMaxMaps, "a request has 1 to 64 maps");
    check(request.oversample >= 1, "oversampling is at least 1");
    const Frame frame = request.sumsFrame();
    check(frame.width >= 1 && frame.height >= 1, "a picture of at least one pixel");
    check(frame.width == into.width() && firstRow >= 0 && into.height() <= frame.height - firstRow,
          "the sums are the frame's size, or a band of its rows");
    check(request.points >= 0, "a count of points is not negative");
    check(into.size() < (std::size_t(1) << 31), "a picture of fewer than 2^31 pixels");

    KernelTables t;
    t.maps = n;
    std::vector<double> weights;
    for (const WeightedMap& m : request.maps)
        weights.push_back(m.weight);
    const AliasTable alias(weights);   // checks the weights
    t.weighted = !alias.uniform();
    t.blend = request.colour.colouring == Colouring::Palette;
    for (int k = 0; k < n; ++k) {
        const WeightedMap& m = request.maps[std::size_t(k)];
        for (int j = 0; j < 6; ++j)
            t.c[j][k] = float(m.map.c[j]);
        t.colourAt[k] = n == 1 ? 0.5f : float(k) / float(n - 1);
        t.threshold[k] = alias.threshold[std::size_t(k)];
        t.alias[k] = alias.alias[std::size_t(k)];
        t.drawn[k] = m.shown ? -1 : 0;
        t.allDrawn = t.allDrawn && m.shown;
    }
    t.sx = float(frame.sx);
    t.tx = float(frame.tx);
    t.sy = float(frame.sy);
    t.ty = float(frame.ty);
    t.width = float(frame.width);
    t.height = float(frame.height);
    t.stride = frame.width;
    t.firstRow = firstRow;
    t.bandRows = into.height();
    t.seed = request.seed;

    palette.fill(Cell{0u, 0u, 0u, 0u});
    if (t.blend) {
        const auto& gradient = gradientPalette();
        for (std::size_t i = 0; i < palette.size(); ++i)
            palette[i] = hitOf(gradient[i]);
    } else {
        for (int k = 0; k < n; ++k)
            palette[std::size_t(k)] = hitOf(request.maps[std::size_t(k)].colour);
    }
    return t;
}

}   // namespace fenra::render
