#include "render/Palette.h"

#include "engine/Raster.h"

#include <cmath>

namespace fenra::render {
namespace {

std::uint32_t fromUnit(double r, double g, double b)
{
    const auto channel = [](double v) { return int(std::lround(255.0 * v)); };
    return rgb(channel(r), channel(g), channel(b));
}

// Full saturation and value; hue in turns.
std::uint32_t hue(double turns)
{
    const double h = 6.0 * (turns - std::floor(turns));
    const double f = h - std::floor(h);
    switch (int(h)) {
    case 0:
        return fromUnit(1.0, f, 0.0);
    case 1:
        return fromUnit(1.0 - f, 1.0, 0.0);
    case 2:
        return fromUnit(0.0, 1.0, f);
    case 3:
        return fromUnit(0.0, 1.0 - f, 1.0);
    case 4:
        return fromUnit(f, 0.0, 1.0);
    default:
        return fromUnit(1.0, 0.0, 1.0 - f);
    }
}

}   // namespace

std::uint32_t setColour(int k)
{
    if (k >= 1 && k <= 6)
        return kDataColours[k];
    constexpr double kGoldenTurn = 0.3819660112501051;   // 1 - 1/φ
    return hue(0.08 + kGoldenTurn * double(k - 7));
}

const std::array<std::uint32_t, 256>& gradientPalette()
{
    static const std::array<std::uint32_t, 256> palette = [] {
        struct Stop {
            double at, r, g, b;
        };
        static constexpr Stop kStops[] = {
            {0.00, 0.10, 0.20, 0.85}, {0.30, 0.55, 0.25, 0.90}, {0.55, 0.95, 0.20, 0.35},
            {0.80, 1.00, 0.60, 0.10}, {1.00, 1.00, 0.95, 0.60},
        };
        std::array<std::uint32_t, 256> p{};
        for (int i = 0; i < 256; ++i) {
            const double t = i / 255.0;
            int s = 0;
            while (s + 2 < int(std::size(kStops)) && t > kStops[s + 1].at)
                ++s;
            const Stop& a = kStops[s];
            const Stop& b = kStops[s + 1];
            const double f = (t - a.at) / (b.at - a.at);
            p[std::size_t(i)] = fromUnit(a.r + f * (b.r - a.r), a.g + f * (b.g - a.g), a.b + f * (b.b - a.b));
        }
        return p;
    }();
    return palette;
}

}   // namespace fenra::render
