#pragma once

#include "render/HitSums.h"
#include "render/Runs.h"
#include "render/ToneMap.h"

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace fenra::render {

// How sums become light: the request's tone, whether by density (else every
// hit pixel at full light), how much finer the sums are than the picture, and
// the bits a channel of the picture: 8 or 16.
struct ToneSettings {
    Tone tone;
    bool density = true;
    int oversample = 1;
    int depth = 8;
    bool operator==(const ToneSettings&) const = default;

    static ToneSettings of(const RenderRequest& request, int depth = 8)
    {
        return {request.tone, request.colour.density, request.oversample, depth};
    }
};

// Picture rows ready to be written, in order: 0xFFRRGGBB pixels at 8 bits, or
// R, G, B a pixel at 16 bits (the other span empty).
struct PictureRows {
    int first = 0, count = 0;
    std::span<const std::uint32_t> argb;
    std::span<const std::uint16_t> rgb16;
};

// The tone map of toneMap(), fed the sums a few rows at a time (a band of a
// picture too big to hold, or rows read from a file) and handing on each
// picture row as soon as the rows it is filtered from have come. The rows of
// a batch are lit and filtered on several threads; every pixel is computed
// alone, so the picture does not depend on the thread count or the batches.
class ToneMapRows {
public:
    using Sink = std::function<void(const PictureRows&)>;
    // A fine row's sums into `out` (fineWidth pixels). Called from several threads at once.
    using RowSource = std::function<void(int fineRow, std::span<Sums> out)>;

    // `mostHits`: of the whole picture, which the light is relative to.
    ToneMapRows(int fineWidth, int fineHeight, const ToneSettings& settings, std::uint64_t mostHits, int threads,
                Sink sink);

    // A picture pixel of 8 bits a channel from its own sums alone, as the rows
    // hand it on when nothing is oversampled.
    std::uint32_t pixelOf(const Sums& s) const { return pixel8(light(s)); }

    // The next `count` fine rows, from `source`.
    void addRows(int count, const RowSource& source);
    bool finished() const { return m_nextOut == m_height; }

private:
    struct Rgb {
        float r = 0, g = 0, b = 0;
    };
    Rgb light(const Sums& s) const;
    double lightOfHits(std::uint64_t hits) const;
    std::uint32_t pixel8(const Rgb& c) const;
    void handOn(int first, int count);

    int m_fineWidth, m_fineHeight, m_n, m_width, m_height;
    ToneSettings m_settings;
    double m_logMost;
    bool m_dark;   // nothing hit: every pixel black
    int m_threads;
    Sink m_sink;
    std::vector<double> m_weight;             // the tent's, over 3n fine pixels
    std::vector<double> m_lightOfFewHits;     // lightOfHits() of the commonest counts, worked out once
    std::vector<std::vector<Rgb>> m_window;   // fine rows filtered across, from m_windowFirst
    int m_windowFirst = 0;
    int m_nextFine = 0, m_nextOut = 0;
};

}   // namespace fenra::render
