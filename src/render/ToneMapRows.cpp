#include "render/ToneMapRows.h"

#include <algorithm>
#include <cmath>

namespace fenra::render {
namespace {

// Most lit pixels of a picture have few hits, and their light costs a log and a power each.
constexpr std::uint64_t kTabledHits = 4096;

// Rounded half up; v is never negative.
std::uint32_t channel(double v, double most) { return std::uint32_t(most * std::clamp(v, 0.0, 1.0) + 0.5); }

}   // namespace

ToneMapRows::ToneMapRows(int fineWidth, int fineHeight, const ToneSettings& settings, std::uint64_t mostHits,
                         int threads, Sink sink)
    : m_fineWidth(fineWidth), m_fineHeight(fineHeight), m_n(std::max(1, settings.oversample)), m_width(fineWidth / m_n),
      m_height(fineHeight / m_n), m_settings(settings), m_logMost(std::log1p(double(mostHits))), m_dark(mostHits == 0),
      m_threads(std::max(1, threads)), m_sink(std::move(sink))
{
    // Tent weights of the 3n fine pixels from n before a picture pixel to n
    // after it, by distance from its centre in picture pixels.
    for (int j = 0; j < 3 * m_n; ++j)
        m_weight.push_back(std::max(0.0, 1.0 - std::fabs((j + 0.5) / m_n - 1.5)));
    if (m_settings.density && !m_dark)
        for (std::uint64_t hits = 0; hits < std::min(kTabledHits, mostHits + 1); ++hits)
            m_lightOfFewHits.push_back(lightOfHits(hits));
}

// brightness · (log(1 + hits) / log(1 + most hits))^(1/gamma), at most 1.
double ToneMapRows::lightOfHits(std::uint64_t hits) const
{
    if (hits < m_lightOfFewHits.size())
        return m_lightOfFewHits[hits];
    const Tone& tone = m_settings.tone;
    return std::min(1.0, tone.brightness * std::pow(std::log1p(double(hits)) / m_logMost, 1.0 / tone.gamma));
}

// A fine pixel's light, each channel 0 to 1: the hue of its hits' mean colour,
// its strongest channel at the pixel's light.
ToneMapRows::Rgb ToneMapRows::light(const Sums& s) const
{
    if (s.hits == 0)
        return {};
    const double light = m_settings.density ? lightOfHits(s.hits) : 1.0;
    const double strongest = double(std::max({s.r, s.g, s.b}));
    if (strongest == 0.0)
        return {};
    const double perSum = light / strongest;
    return {float(double(s.r) * perSum), float(double(s.g) * perSum), float(double(s.b) * perSum)};
}

std::uint32_t ToneMapRows::pixel8(const Rgb& c) const
{
    if (c.r == 0 && c.g == 0 && c.b == 0)
        return 0xFF000000u;   // most of a picture: no arithmetic for it
    return 0xFF000000u | channel(c.r, 255.0) << 16 | channel(c.g, 255.0) << 8 | channel(c.b, 255.0);
}

void ToneMapRows::addRows(int count, const RowSource& source)
{
    const int first = m_nextFine;
    count = std::min(count, m_fineHeight - first);
    if (count <= 0)
        return;
    const std::size_t start = m_window.size();
    m_window.resize(start + std::size_t(count));
    // Each fine row lit, and filtered across with the tent when oversampled.
    forEachRow(count, m_threads, [&](int i) {
        std::vector<Sums> sums(static_cast<std::size_t>(m_fineWidth));
        std::vector<Rgb>& out = m_window[start + std::size_t(i)];
        out.assign(std::size_t(m_width), Rgb{});
        if (m_dark)
            return;
        source(first + i, sums);
        if (m_n == 1) {
            for (int x = 0; x < m_width; ++x)
                out[std::size_t(x)] = light(sums[std::size_t(x)]);
            return;
        }
        std::vector<Rgb> fine(static_cast<std::size_t>(m_fineWidth));
        for (int x = 0; x < m_fineWidth; ++x)
            fine[std::size_t(x)] = light(sums[std::size_t(x)]);
        for (int X = 0; X < m_width; ++X) {
            double r = 0, g = 0, b = 0, sum = 0;
            for (int j = 0; j < 3 * m_n; ++j) {
                const int x = X * m_n - m_n + j;
                if (x < 0 || x >= m_fineWidth)
                    continue;
                const double w = m_weight[std::size_t(j)];
                r += w * fine[std::size_t(x)].r;
                g += w * fine[std::size_t(x)].g;
                b += w * fine[std::size_t(x)].b;
                sum += w;
            }
            out[std::size_t(X)] = {float(r / sum), float(g / sum), float(b / sum)};
        }
    });
    m_nextFine += count;

    // The picture rows whose fine rows have all come.
    const auto lastNeeded = [&](int Y) { return m_n == 1 ? Y : std::min(m_fineHeight, Y * m_n + 2 * m_n) - 1; };
    int ready = m_nextOut;
    while (ready < m_height && lastNeeded(ready) < m_nextFine)
        ++ready;
    handOn(m_nextOut, ready - m_nextOut);
    m_nextOut = ready;
    // Fine rows no picture row still to come needs.
    const int keepFrom = std::min(m_nextFine, m_n == 1 ? m_nextOut : std::max(0, m_nextOut * m_n - m_n));
    m_window.erase(m_window.begin(), m_window.begin() + (keepFrom - m_windowFirst));
    m_windowFirst = keepFrom;
}

void ToneMapRows::handOn(int first, int count)
{
    if (count <= 0)
        return;
    std::vector<std::uint32_t> argb(m_settings.depth == 8 ? std::size_t(count) * std::size_t(m_width) : 0);
    std::vector<std::uint16_t> rgb(m_settings.depth == 16 ? 3 * std::size_t(count) * std::size_t(m_width) : 0);
    forEachRow(count, m_threads, [&](int i) {
        const int Y = first + i;
        for (int X = 0; X < m_width; ++X) {
            Rgb c;
            if (m_n == 1) {
                c = m_window[std::size_t(Y - m_windowFirst)][std::size_t(X)];
            } else {
                double r = 0, g = 0, b = 0, sum = 0;
                for (int j = 0; j < 3 * m_n; ++j) {
                    const int y = Y * m_n - m_n + j;
                    if (y < 0 || y >= m_fineHeight)
                        continue;
                    const Rgb& f = m_window[std::size_t(y - m_windowFirst)][std::size_t(X)];
                    const double w = m_weight[std::size_t(j)];
                    r += w * f.r;
                    g += w * f.g;
                    b += w * f.b;
                    sum += w;
                }
                c = {float(r / sum), float(g / sum), float(b / sum)};
            }
            const std::size_t at = std::size_t(i) * std::size_t(m_width) + std::size_t(X);
            if (m_settings.depth == 8) {
                argb[at] = pixel8(c);
            } else {
                rgb[3 * at] = std::uint16_t(channel(c.r, 65535.0));
                rgb[3 * at + 1] = std::uint16_t(channel(c.g, 65535.0));
                rgb[3 * at + 2] = std::uint16_t(channel(c.b, 65535.0));
            }
        }
    });
    m_sink(PictureRows{first, count, argb, rgb});
}

}   // namespace fenra::render
