#include "studio/RandomMaps.h"

#include "engine/Contraction.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace fenra::studio {
namespace {

AffineMap randomMap(RandomSource& random)
{
    const auto between = [&](double low, double high) { return low + (high - low) * random.nextUnit(); };
    const double turn = between(-std::numbers::pi, std::numbers::pi);
    const double sx = between(0.25, 0.7), sy = between(0.25, 0.7) * (random.nextUnit() < 0.2f ? -1.0 : 1.0);
    const double cs = std::cos(turn), sn = std::sin(turn);
    // A turn after a scale along the axes: its stretch is the larger scale, below 1.
    return AffineMap{{cs * sx, -sn * sy, between(-1, 1), sn * sx, cs * sy, between(-1, 1)}};
}

}   // namespace

MapList randomMaps(RandomSource& random)
{
    for (;;) {
        const int count = 2 + std::min(4, int(random.nextUnit() * 5));
        std::vector<AffineMap> maps;
        for (int k = 0; k < count; ++k)
            maps.push_back(randomMap(random));
        if (!contractsOnAverage(maps))
            continue;
        MapList out;
        for (const AffineMap& map : maps)
            out.push_back({map, 1.0});
        return out;
    }
}

}   // namespace fenra::studio
