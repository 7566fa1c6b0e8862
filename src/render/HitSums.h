#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace fenra::render {

// A pixel's hits and the sums of their colour channels. Every hit adds whole
// numbers, so the sums are the same whatever order the hits come in.
struct Sums {
    std::uint64_t hits = 0, r = 0, g = 0, b = 0;
    bool operator==(const Sums&) const = default;
};

// A pixel's 32-bit counts, and what one hit adds (hits 1 and its colour):
// hits, r, g, b, added as one vector.
using Cell = std::uint32_t __attribute__((vector_size(16)));
using HitPalette = std::array<Cell, 256>;

// The sums of a render, 16 bytes a pixel. A pixel's 32-bit counts hold 2^24
// hits of up to 255 per channel; then they move into 64-bit sums beside the
// buffer, so no count ever wraps.
//
// Hits come in two ways. One writer adds straight into the pixels (add). Or
// several threads share it: the buffer is cut into bands of 2^bandShift()
// pixels, each with a lock, and a Writer queues its hits per band and adds a
// full queue under that band's lock.
class HitSums {
public:
    HitSums(int width, int height);   // throws std::bad_alloc

    int width() const { return m_width; }
    int height() const { return m_height; }
    std::size_t size() const { return m_size; }
    Sums at(std::size_t pixel) const;
    // The hits of the most hit pixel, looked for on up to `threads` threads.
    std::uint64_t mostHits(int threads = 1) const;

    int bandShift() const { return m_bandShift; }

    // The buffer's bytes, and one Writer's queues, for a picture of this size.
    static std::size_t bytesFor(int width, int height);
    static std::size_t queueBytesFor(int width, int height);

    // Adds one hit; only while no other thread adds.
    void add(std::size_t pixel, const Cell& hit)
    {
        Cell& c = m_cells[pixel];
        c += hit;
        if (c[0] == 1) [[unlikely]]
            m_touched[pixel >> kBlockShift] = 1;   // its first hit
        else if ((c[0] & kCountMask) == kMoveAt) [[unlikely]]
            move(pixel);
    }
    // Adds sums read back (a checkpoint's); only while no other thread adds.
    void addSums(std::size_t pixel, const Sums& sums);
    // Adds every pixel of `other`, a buffer of the same size, on up to
    // `threads` threads, each over whole bands.
    void addAll(const HitSums& other, int threads = 1);
    // Back to no hits, touching only the blocks that were added to.
    void clear();

    // One thread's way in: hits as a pixel and an entry of the palette.
    class Writer {
    public:
        // Shared: queued per band, added under the band's lock. Else straight in.
        Writer(HitSums& target, const HitPalette& palette, bool shared);
        ~Writer() { flush(); }
        Writer(const Writer&) = delete;
        Writer& operator=(const Writer&) = delete;

        void add(std::uint32_t pixel, std::uint32_t entry)
        {
            if (!m_shared) {
                m_target.add(pixel, m_palette[entry]);
                return;
            }
            // Queued as (pixel within its band) << 8 | entry.
            const std::uint32_t band = pixel >> m_target.m_bandShift;
            std::uint32_t& n = m_counts[band];
            m_records[std::size_t(band) * kQueue + n] = (pixel & m_withinBand) << 8 | entry;
            if (++n == kQueue)
                flushBand(band);
        }
        void flush();
        // Asks the cache for a pixel about to be added to.
        void prefetch(std::uint32_t pixel) const { __builtin_prefetch(m_target.m_cells + pixel, 1); }

    private:
        static constexpr std::uint32_t kQueue = 512;
        friend class HitSums;
        void flushBand(std::uint32_t band);

        HitSums& m_target;
        const HitPalette& m_palette;
        bool m_shared;
        std::uint32_t m_withinBand;
        std::vector<std::uint32_t> m_records;
        std::vector<std::uint32_t> m_counts;
    };

private:
    static constexpr std::uint32_t kMoved = 1u << 31;   // this pixel has sums beside the buffer
    static constexpr std::uint32_t kCountMask = kMoved - 1;
    static constexpr std::uint32_t kMoveAt = 1u << 24;
    // Pixels are read only in blocks that were added to (a page of them), so
    // the untouched parts of a big picture are never brought into memory.
    static constexpr int kBlockShift = 8;
    bool touched(std::size_t pixel) const { return m_touched[pixel >> kBlockShift] != 0; }

    // Zeroed memory from calloc: a large block comes as pages the system fills
    // only when first written, so untouched parts of a big picture cost nothing.
    struct FreeCells {
        void operator()(Cell* cells) const;
    };
    void move(std::size_t pixel);
    Sums& moved(std::size_t pixel) { return m_overflow[pixel >> m_bandShift][pixel]; }

    int m_width = 0;
    int m_height = 0;
    std::size_t m_size = 0;
    int m_bandShift = 0;
    std::size_t m_bands = 0;
    std::unique_ptr<Cell[], FreeCells> m_memory;
    Cell* m_cells;
    std::vector<std::uint8_t> m_touched;   // per block
    std::unique_ptr<std::mutex[]> m_locks;
    std::vector<std::unordered_map<std::size_t, Sums>> m_overflow;   // per band, under its lock
};

}   // namespace fenra::render
