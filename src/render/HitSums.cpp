#include "render/HitSums.h"

#include "render/Runs.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <new>

#include <sys/mman.h>

namespace fenra::render {
namespace {

constexpr int kMinBandShift = 12;
constexpr int kMaxBandShift = 24;   // a record keeps 24 bits for the pixel
constexpr std::size_t kTargetBands = 64;

int bandShiftFor(std::size_t pixels)
{
    const std::size_t perBand = std::max<std::size_t>(1, (pixels + kTargetBands - 1) / kTargetBands);
    return std::clamp(int(std::bit_width(perBand - 1)), kMinBandShift, kMaxBandShift);
}

std::size_t bandsFor(std::size_t pixels)
{
    const int shift = bandShiftFor(pixels);
    return (pixels + (std::size_t(1) << shift) - 1) >> shift;
}

void addTo(Sums& s, const Sums& more)
{
    s.hits += more.hits;
    s.r += more.r;
    s.g += more.g;
    s.b += more.b;
}

}   // namespace

void HitSums::FreeCells::operator()(Cell* cells) const { std::free(cells); }

HitSums::HitSums(int width, int height)
    : m_width(width), m_height(height), m_size(std::size_t(width) * std::size_t(height)),
      m_bandShift(bandShiftFor(m_size)), m_bands(bandsFor(m_size)),
      m_memory(static_cast<Cell*>(std::calloc(std::max<std::size_t>(1, m_size), sizeof(Cell)))),
      m_cells(m_memory.get()), m_touched((m_size >> kBlockShift) + 1, 0), m_locks(new std::mutex[m_bands]),
      m_overflow(m_bands)
{
    if (!m_cells)
        throw std::bad_alloc();
    // Hits land anywhere: in 2 MB pages a big picture's sums need far fewer
    // address translations, each a miss of its own otherwise.
    constexpr std::uintptr_t kHuge = std::uintptr_t(2) << 20;
    const std::uintptr_t start = (reinterpret_cast<std::uintptr_t>(m_cells) + kHuge - 1) & ~(kHuge - 1);
    const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(m_cells + m_size)) & ~(kHuge - 1);
    if (end > start)
        madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

std::size_t HitSums::bytesFor(int width, int height) { return std::size_t(width) * std::size_t(height) * sizeof(Cell); }

std::size_t HitSums::queueBytesFor(int width, int height)
{
    return bandsFor(std::size_t(width) * std::size_t(height)) * (Writer::kQueue + 1) * sizeof(std::uint32_t);
}

Sums HitSums::at(std::size_t pixel) const
{
    if (!touched(pixel))
        return {};
    const Cell& c = m_cells[pixel];
    Sums s{c[0] & kCountMask, c[1], c[2], c[3]};
    if (c[0] & kMoved)
        addTo(s, m_overflow[pixel >> m_bandShift].at(pixel));
    return s;
}

std::uint64_t HitSums::mostHits(int threads) const
{
    // Each thread looks through a run of whole blocks, so untouched ones are skipped at once, and keeps its
    // maximum to itself until the end: entries of `most` written all along would share a cache line.
    std::vector<std::uint64_t> most(std::size_t(std::max(1, threads)), 0);
    forEachRun((m_size >> kBlockShift) + 1, threads, [&](int run, std::size_t firstBlock, std::size_t endBlock) {
        std::uint64_t mine = 0;
        const std::size_t end = std::min(m_size, endBlock << kBlockShift);
        for (std::size_t i = firstBlock << kBlockShift; i < end; ++i) {
            if (!touched(i))
                i |= (std::size_t(1) << kBlockShift) - 1;   // on to the next block
            else
                mine = std::max<std::uint64_t>(mine, m_cells[i][0] & kMoved ? at(i).hits : m_cells[i][0]);
        }
        most[std::size_t(run)] = mine;
    });
    return *std::max_element(most.begin(), most.end());
}

void HitSums::move(std::size_t pixel)
{
    Cell& c = m_cells[pixel];
    addTo(moved(pixel), Sums{c[0] & kCountMask, c[1], c[2], c[3]});
    c = Cell{kMoved, 0, 0, 0};
}

void HitSums::addSums(std::size_t pixel, const Sums& sums)
{
    if (sums.hits == 0)
        return;
    m_touched[pixel >> kBlockShift] = 1;
    Cell& c = m_cells[pixel];
    if (c[0] == 0 && sums.hits < kMoveAt) {   // then every channel's sum is below 255 · 2^24
        c = Cell{std::uint32_t(sums.hits), std::uint32_t(sums.r), std::uint32_t(sums.g), std::uint32_t(sums.b)};
    } else {
        addTo(moved(pixel), sums);
        c[0] |= kMoved;
    }
}

void HitSums::addAll(const HitSums& other, int threads)
{
    // A band's spilled sums are its own, and its blocks lie within it, so threads over other bands never meet.
    forEachRun(m_bands, threads, [&](int, std::size_t firstBand, std::size_t endBand) {
        const std::size_t end = std::min(m_size, endBand << m_bandShift);
        for (std::size_t i = firstBand << m_bandShift; i < end; ++i) {
            if (!other.touched(i)) {
                i |= (std::size_t(1) << kBlockShift) - 1;
                continue;
            }
            const Cell& o = other.m_cells[i];
            if (o[0] == 0)
                continue;
            m_touched[i >> kBlockShift] = 1;
            Cell& c = m_cells[i];
            if ((o[0] & kMoved) || (c[0] & kCountMask) + o[0] >= kMoveAt) {
                addTo(moved(i), other.at(i));
                c[0] |= kMoved;
            } else {
                c += o;
            }
        }
    });
}

void HitSums::clear()
{
    for (std::size_t block = 0; block < m_touched.size(); ++block) {
        if (!m_touched[block])
            continue;
        const std::size_t first = block << kBlockShift;
        std::fill(m_cells + first, m_cells + std::min(m_size, first + (std::size_t(1) << kBlockShift)),
                  Cell{0, 0, 0, 0});
        m_touched[block] = 0;
    }
    for (auto& moved : m_overflow)
        moved.clear();
}

HitSums::Writer::Writer(HitSums& target, const HitPalette& palette, bool shared)
    : m_target(target), m_palette(palette), m_shared(shared), m_withinBand((1u << target.m_bandShift) - 1),
      m_records(shared ? target.m_bands * kQueue : 0), m_counts(shared ? target.m_bands : 0, 0)
{}

void HitSums::Writer::flushBand(std::uint32_t band)
{
    const std::size_t first = std::size_t(band) << m_target.m_bandShift;
    const std::uint32_t* records = m_records.data() + std::size_t(band) * kQueue;
    const std::lock_guard lock(m_target.m_locks[band]);
    for (std::uint32_t i = 0; i < m_counts[band]; ++i)
        m_target.add(first + (records[i] >> 8), m_palette[records[i] & 0xFFu]);
    m_counts[band] = 0;
}

void HitSums::Writer::flush()
{
    for (std::uint32_t band = 0; band < m_counts.size(); ++band)
        if (m_counts[band] != 0)
            flushBand(band);
}

}   // namespace fenra::render
