#include "render/ToneMap.h"

#include <algorithm>
#include <cmath>

namespace fenra::render {
namespace {

struct Rgb {
    float r = 0, g = 0, b = 0;
};

// A fine pixel's light, each channel 0 to 1.
class Lighting {
public:
    Lighting(const HitSums& sums, const Tone& tone, bool density, std::uint64_t mostHits)
        : m_sums(sums)
        , m_tone(tone)
        , m_density(density)
        , m_logMost(std::log1p(double(mostHits)))
    {
    }
    Rgb at(std::size_t pixel) const
    {
        const Sums s = m_sums.at(pixel);
        if (s.hits == 0)
            return {};
        const double light = !m_density ? 1.0
                                        : std::min(1.0, m_tone.brightness * std::pow(std::log1p(double(s.hits)) / m_logMost,
                                                                                     1.0 / m_tone.gamma));
        // The hue of the hits' mean colour at the pixel's light: its strongest channel gets all of it.
        const double strongest = double(std::max({s.r, s.g, s.b}));
        if (strongest == 0.0)
            return {};
        const double perSum = light / strongest;
        return {float(double(s.r) * perSum), float(double(s.g) * perSum), float(double(s.b) * perSum)};
    }

private:
    const HitSums& m_sums;
    const Tone& m_tone;
    bool m_density;
    double m_logMost;
};

// The tent-weighted mean of the fine values around picture position `at`:
// fine positions at·n − n + j for each weight j, those within [0, size).
template <class Fine>
Rgb tentMean(const std::vector<double>& weight, int n, int at, int size, const Fine& fine)
{
    double r = 0, g = 0, b = 0, sum = 0;
    for (int j = 0; j < int(weight.size()); ++j) {
        const int i = at * n - n + j;
        if (i < 0 || i >= size)
            continue;
        const Rgb& c = fine(i);
        const double w = weight[std::size_t(j)];
        r += w * c.r;
        g += w * c.g;
        b += w * c.b;
        sum += w;
    }
    return {float(r / sum), float(g / sum), float(b / sum)};
}

std::uint32_t toPixel(double r, double g, double b)
{
    // Rounded half up; v is never negative.
    const auto channel = [](double v) { return std::uint32_t(255.0 * std::clamp(v, 0.0, 1.0) + 0.5); };
    return 0xFF000000u | channel(r) << 16 | channel(g) << 8 | channel(b);
}

} // namespace

Image toneMap(const HitSums& sums, const RenderRequest& request)
{
    const int n = std::max(1, request.oversample);
    Image image{sums.width() / n, sums.height() / n, {}};
    image.pixels.assign(std::size_t(image.width) * std::size_t(image.height), 0xFF000000u);
    const std::uint64_t most = sums.mostHits();
    if (most == 0 || image.pixels.empty())
        return image;
    const Lighting lighting(sums, request.tone, request.colour.density, most);
    if (n == 1) {
        for (std::size_t i = 0; i < image.pixels.size(); ++i) {
            const Rgb c = lighting.at(i);
            if (c.r > 0 || c.g > 0 || c.b > 0)
                image.pixels[i] = toPixel(c.r, c.g, c.b);
        }
        return image;
    }

    // Tent weights of the 3n fine pixels from n before a picture pixel to n
    // after it, by distance from its centre in picture pixels.
    const int taps = 3 * n;
    std::vector<double> weight(static_cast<std::size_t>(taps));
    for (int j = 0; j < taps; ++j)
        weight[std::size_t(j)] = std::max(0.0, 1.0 - std::fabs((j + 0.5) / n - 1.5));

    // Fine rows filtered across, kept while a picture row can still need them.
    const int fineWidth = sums.width();
    const int fineHeight = sums.height();
    std::vector<std::vector<Rgb>> across(std::size_t(taps), std::vector<Rgb>(std::size_t(image.width)));
    std::vector<Rgb> fine(static_cast<std::size_t>(fineWidth));
    int nextRow = 0;
    const auto filterRow = [&](int row) {
        for (int x = 0; x < fineWidth; ++x)
            fine[std::size_t(x)] = lighting.at(std::size_t(row) * std::size_t(fineWidth) + std::size_t(x));
        std::vector<Rgb>& out = across[std::size_t(row % taps)];
        for (int X = 0; X < image.width; ++X)
            out[std::size_t(X)] = tentMean(weight, n, X, fineWidth, [&](int x) -> const Rgb& { return fine[std::size_t(x)]; });
    };
    for (int Y = 0; Y < image.height; ++Y) {
        const int last = std::min(fineHeight, Y * n + 2 * n);
        for (; nextRow < last; ++nextRow)
            filterRow(nextRow);
        for (int X = 0; X < image.width; ++X) {
            const Rgb c = tentMean(weight, n, Y, fineHeight,
                                   [&](int y) -> const Rgb& { return across[std::size_t(y % taps)][std::size_t(X)]; });
            image.pixels[std::size_t(Y) * std::size_t(image.width) + std::size_t(X)] = toPixel(c.r, c.g, c.b);
        }
    }
    return image;
}

} // namespace fenra::render
