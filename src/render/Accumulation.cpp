#include "render/Accumulation.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace fenra {

Accumulation::Accumulation(int width, int height, Kind kind, bool shared)
    : m_kind(kind)
    , m_shared(shared)
    , m_colours(std::size_t(width) * std::size_t(height), 0)
    , m_hits(kind == Kind::Density ? m_colours.size() : 0, 0)
{
}

std::uint64_t Accumulation::bytesFor(int width, int height, Kind kind)
{
    const std::uint64_t cells = std::uint64_t(width) * std::uint64_t(height);
    return cells * (sizeof(std::uint32_t) + (kind == Kind::Density ? sizeof(std::uint64_t) : 0));
}

void Accumulation::add(int stream, std::span<const PixelHit> hits)
{
    const std::uint32_t mine = std::uint32_t(stream + 1) << 24;
    for (const PixelHit& hit : hits) {
        const std::uint32_t word = mine | (hit.colour & 0xFFFFFFu);
        if (!m_shared) {
            m_colours[hit.cell] = word;
            if (m_kind == Kind::Density)
                ++m_hits[hit.cell];
            continue;
        }
        // A lower stream never covers a higher one's colour; within a stream the later point wins.
        std::atomic_ref<std::uint32_t> colour(m_colours[hit.cell]);
        std::uint32_t old = colour.load(std::memory_order_relaxed);
        while (old >> 24 <= mine >> 24 && !colour.compare_exchange_weak(old, word, std::memory_order_relaxed)) {
        }
        if (m_kind == Kind::Density)
            std::atomic_ref<std::uint64_t>(m_hits[hit.cell]).fetch_add(1, std::memory_order_relaxed);
    }
}

std::vector<std::uint32_t> Accumulation::takePicture()
{
    std::vector<std::uint32_t> picture = std::move(m_colours);
    const std::uint64_t most = m_hits.empty() ? 0 : *std::max_element(m_hits.begin(), m_hits.end());
    const double logMost = std::log1p(double(most));
    for (std::size_t i = 0; i < picture.size(); ++i) {
        const std::uint32_t colour = picture[i];
        if (colour == 0 || m_kind == Kind::Pixels) {
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

} // namespace fenra
