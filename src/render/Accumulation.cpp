#include "render/Accumulation.h"

#include <algorithm>
#include <cmath>

namespace fenra {

Accumulation::Accumulation(int width, int height, bool density)
    : m_density(density), m_colours(std::size_t(width) * std::size_t(height), 0),
      m_hits(density ? m_colours.size() : 0, 0)
{}

std::uint64_t Accumulation::bytesFor(int width, int height, bool density)
{
    const std::uint64_t cells = std::uint64_t(width) * std::uint64_t(height);
    return cells * (sizeof(std::uint32_t) + (density ? sizeof(std::uint64_t) : 0));
}

void Accumulation::add(std::span<const PixelHit> hits)
{
    for (const PixelHit& hit : hits) {
        m_colours[hit.cell] = hit.colour;
        if (m_density)
            ++m_hits[hit.cell];
    }
}

std::vector<std::uint32_t> Accumulation::takePicture()
{
    std::vector<std::uint32_t> picture = std::move(m_colours);
    const std::uint64_t most = m_hits.empty() ? 0 : *std::max_element(m_hits.begin(), m_hits.end());
    const double logMost = std::log1p(double(most));
    for (std::size_t i = 0; i < picture.size(); ++i) {
        const std::uint32_t colour = picture[i];
        if (colour == 0 || !m_density) {
            picture[i] = colour == 0 ? kBlack : kBlack | (colour & 0xFFFFFFu);
            continue;
        }
        const double share = std::log1p(double(m_hits[i])) / logMost;
        const auto channel = [&](int shift) { return int(std::lround(double((colour >> shift) & 0xFFu) * share)); };
        picture[i] = rgb(channel(16), channel(8), channel(0));
    }
    m_hits = {};
    return picture;
}

}   // namespace fenra
