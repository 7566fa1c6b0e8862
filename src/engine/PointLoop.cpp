#include "engine/PointLoop.h"

#include "engine/NumberText.h"
#include "engine/RandomSource.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace fenra {
namespace {

// Overflow shows as infinity, which the loop tests instead of trapping.
static_assert(std::numeric_limits<float>::is_iec559 && std::numeric_limits<double>::is_iec559);

constexpr std::uint32_t kWhite = rgb(255, 255, 255);

// Draws from any source, fetched in blocks whose size is a multiple of 1, 3
// and 4 draws a step, so one refill test per step is enough.
class BlockDraws {
public:
    BlockDraws(RandomSource& random, std::int64_t total) : m_random(random), m_left(total) {}
    // Makes sure the next `count` draws are at hand (count divides the block).
    void reserve(std::size_t count)
    {
        if (m_used + count > m_drawn) {
            m_drawn = std::size_t(std::min<std::int64_t>(m_left, std::int64_t(kBlock)));
            m_random.fillUnits(m_values, m_drawn);
            m_left -= std::int64_t(m_drawn);
            m_used = 0;
        }
    }
    float next() { return m_values[m_used++]; }

private:
    static constexpr std::size_t kBlock = 4092;
    RandomSource& m_random;
    std::int64_t m_left;
    std::size_t m_drawn = 0;
    std::size_t m_used = 0;
    float m_values[kBlock];
};

// The program's own source, drawn inline: its multiply chain then runs
// beside the point's own chain instead of before it. Same values, same order.
class PcgDraws {
public:
    explicit PcgDraws(Pcg32Source& source) : m_engine(source.engine()) {}
    void reserve(std::size_t) {}
    float next() { return Pcg32Source::unitFrom(m_engine()); }

private:
    pcg32& m_engine;
};

AffineMap parseMap(const Coefficients& texts, QChar decimalPoint)
{
    AffineMap map;   // both rows start as the identity
    for (int row = 0; row < 2; ++row) {
        std::optional<double> value[3];
        for (int j = 0; j < 3; ++j)
            value[j] = toDouble(texts[std::size_t(3 * row + j)], decimalPoint);
        if (value[0] && value[1] && value[2]) {
            for (int j = 0; j < 3; ++j)
                map.c[3 * row + j] = *value[j];
        }
    }
    return map;
}

// Clamping without branches: the compiler turns std::min and std::max of
// floating-point values into jumps, which mispredict when many points fall
// outside the picture.
inline float clampFloat(float v, float lo, float hi)
{
#if defined(__SSE2__)
    return _mm_cvtss_f32(_mm_min_ss(_mm_max_ss(_mm_set_ss(v), _mm_set_ss(lo)), _mm_set_ss(hi)));
#else
    return std::min(std::max(v, lo), hi);
#endif
}

// A position truncated to whole twips; one beyond the int range (infinity
// included) gives a negative number, which lies outside the picture.
inline int wholeTwips(float twips)
{
#if defined(__SSE2__)
    return _mm_cvttss_si32(_mm_set_ss(twips));
#else
    return std::fabs(twips) < 2147483520.0f ? int(twips) : -1;
#endif
}

// Sets one pixel of a raster; a point outside goes to a scratch pixel, so
// the common miss of a zoomed-in picture costs no branch.
struct RasterSink {
    std::uint32_t* pixels;
    std::ptrdiff_t stride;
    std::uint32_t scratch = 0;
    void hit(bool inside, unsigned column, unsigned row, std::uint32_t colour)
    {
        std::uint32_t* target = inside ? pixels + std::ptrdiff_t(row) * stride + column : &scratch;
        *target = colour;
    }
};

// Appends every point; only one inside advances the end, so a miss costs no branch.
struct LogSink {
    PixelHit* out;
    std::ptrdiff_t stride;
    std::size_t count = 0;
    void hit(bool inside, unsigned column, unsigned row, std::uint32_t colour)
    {
        out[count] = {std::uint32_t(std::ptrdiff_t(row) * stride + column), colour};
        count += inside;
    }
};

// The drawing area takes positions in single precision and lands a point on
// pixel floor(twips * scale / 15); what falls outside [0, 11910) x [0, 5715)
// twips is not drawn, whatever the scale. Returns whether it was drawn.
// The same at the window's own scale, in whole twips.
template <class Sink>
inline bool plotWhole(Sink& sink, double px, double py, std::uint32_t colour)
{
    constexpr unsigned kWidthTwips = unsigned(kDisplayWidth * kTwipsPerPixel);
    constexpr unsigned kHeightTwips = unsigned(kDisplayHeight * kTwipsPerPixel);
    const float sx = float(px);
    const float sy = float(py);
    const int ix = wholeTwips(sx);
    const int iy = wholeTwips(sy);
    const bool inside = (sx >= 0.0f) & (sy >= 0.0f) & (unsigned(ix) < kWidthTwips) & (unsigned(iy) < kHeightTwips);
    sink.hit(inside, unsigned(ix) / unsigned(kTwipsPerPixel), unsigned(iy) / unsigned(kTwipsPerPixel), colour);
    return inside;
}

template <class Sink>
inline bool plot(Sink& sink, int scale, double px, double py, std::uint32_t colour)
{
    constexpr float kWidthTwips = float(kDisplayWidth * kTwipsPerPixel);
    constexpr float kHeightTwips = float(kDisplayHeight * kTwipsPerPixel);
    // A position beyond single precision becomes infinite here and lies outside.
    const float sx = float(px);
    const float sy = float(py);
    const bool inside = (sx >= 0.0f) & (sx < kWidthTwips) & (sy >= 0.0f) & (sy < kHeightTwips);
    // Clamped so the whole-number conversion is defined; only used when inside.
    const float cx = clampFloat(sx, 0.0f, kWidthTwips);
    const float cy = clampFloat(sy, 0.0f, kHeightTwips);
    // floor(a / 15) = floor(floor(a) / 15) for a >= 0; twips * scale is exact in double.
    const unsigned column = unsigned(double(cx) * scale) / unsigned(kTwipsPerPixel);
    const unsigned row = unsigned(double(cy) * scale) / unsigned(kTwipsPerPixel);
    sink.hit(inside, column, row, colour);
    return inside;
}

template <ColourMode Mode, bool CountIsNumber, class Draws, class Sink>
std::int64_t runLoop(const PreparedRun& run, LoopState& st, Draws& draws, std::int64_t n, const PixelGrid& grid,
                     Sink& sink)
{
    constexpr std::size_t kDrawsPerStep = (CountIsNumber ? 1 : 0) + (Mode == ColourMode::Random ? 3 : 0);
    const RunPlan& plan = run.plan;
    // An unmatched zoom text is scale 1 and no shift: x * 1 + 0 is x exactly.
    const ZoomStep zoom = plan.zoom.value_or(ZoomStep{1.0, 0.0, 0.0});
    const double moveX = plan.moveX;
    const double moveY = plan.moveY;
    const int scale = grid.scale;
    const MapPicker picker = run.picker;
    const bool copies = picker.copies();
    const double count = double(picker.count());
    Sink local = sink;   // kept in registers, not reloaded after every store
    // shown[s] for s = 0..6; any other s is never drawn.
    bool shown[7] = {false};
    for (int k = 1; k <= 6; ++k)
        shown[k] = plan.show[std::size_t(k - 1)];

    double x = st.x;
    float y = st.y;
    int mapIndex = st.mapIndex;
    int s = st.setNumber;
    std::uint32_t colour = st.colour;
    std::int64_t plotted = 0;

    for (std::int64_t i = 1; i <= n; ++i) {
        if constexpr (kDrawsPerStep > 0)
            draws.reserve(kDrawsPerStep);
        if constexpr (CountIsNumber) {
            const float u = draws.next();
            if (copies) {
                s = int(count * double(u) + 1.0);   // at least 1, so truncation is the floor
                mapIndex = s;
            } else {
                s = picker.pick(u);
            }
        }

        // The map; a coordinate whose new value overflows keeps its last one.
        const AffineMap& m = run.maps[mapIndex];
        const double yd = double(y);
        double xNew = (m.c[0] * x + m.c[1] * yd) + m.c[2];
        // In IEEE arithmetic a value beyond single precision rounds to infinity.
        float yNew = float((m.c[3] * x + m.c[4] * yd) + m.c[5]);
        // One well-predicted branch for both rare overflows, off the data path (& as ints: no second branch).
        if (__builtin_expect(!(int(std::isfinite(xNew)) & int(std::isfinite(yNew))), 0)) {
            if (!std::isfinite(xNew))
                xNew = x;
            if (!std::isfinite(yNew))
                yNew = y;
        }

        if constexpr (Mode == ColourMode::Random) {
            // 255 times a value below 1 stays below 255 in single precision.
            const int r = int(255.0f * draws.next());
            const int g = int(255.0f * draws.next());
            const int b = int(255.0f * draws.next());
            colour = rgb(r, g, b);
        } else if constexpr (Mode == ColourMode::White) {
            colour = kWhite;
        } else {
            if (s >= 1 && s <= 6)
                colour = kDataColours[s];
        }

        // Zoom, flip and offsets, all in twips. Only the zoom of x can
        // overflow and leave its position as the map gave it, which a huge
        // offset can still bring back into the picture. y is single precision
        // and cannot overflow here; an offset that overflows leaves a position
        // that is far outside in any case, so those steps need no guard.
        double px = xNew * zoom.scale + zoom.shiftX;
        if (!std::isfinite(px)) [[unlikely]]
            px = xNew;
        px += moveX;
        const double py = (kDisplayOuterHeightTwips - (double(yNew) * zoom.scale + zoom.shiftY)) + moveY;

        const bool setShown = unsigned(s) <= 6u && shown[unsigned(s) <= 6u ? s : 0];
        if (setShown)
            plotted += scale == 1 ? plotWhole(local, px, py, colour) : plot(local, scale, px, py, colour);

        x = xNew;
        y = yNew;
    }

    sink = local;
    st.x = x;
    st.y = y;
    st.mapIndex = mapIndex;
    st.setNumber = s;
    st.picked = st.picked || (CountIsNumber && n >= 1);
    st.colour = colour;
    return plotted;
}

template <ColourMode Mode, bool CountIsNumber, class Sink>
std::int64_t withDraws(const PreparedRun& run, LoopState& st, RandomSource& random, std::int64_t n,
                       const PixelGrid& grid, Sink& sink)
{
    if (auto* pcg = dynamic_cast<Pcg32Source*>(&random)) {
        PcgDraws draws(*pcg);
        return runLoop<Mode, CountIsNumber>(run, st, draws, n, grid, sink);
    }
    constexpr std::int64_t kDrawsPerStep = (CountIsNumber ? 1 : 0) + (Mode == ColourMode::Random ? 3 : 0);
    // Capped so a run of up to 2^63 - 1 steps cannot overflow the count of draws.
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    const std::int64_t total = kDrawsPerStep == 0 ? 0 : (n > kMax / kDrawsPerStep ? kMax : n * kDrawsPerStep);
    auto draws = std::make_unique<BlockDraws>(random, total);
    return runLoop<Mode, CountIsNumber>(run, st, *draws, n, grid, sink);
}

template <ColourMode Mode, class Sink>
std::int64_t withCount(const PreparedRun& run, LoopState& st, RandomSource& random, std::int64_t n,
                       const PixelGrid& grid, Sink& sink)
{
    return run.picker.countIsNumber() ? withDraws<Mode, true>(run, st, random, n, grid, sink)
                                      : withDraws<Mode, false>(run, st, random, n, grid, sink);
}

template <class Sink>
std::int64_t dispatch(const PreparedRun& run, LoopState& st, RandomSource& random, std::int64_t n,
                      const PixelGrid& grid, Sink& sink)
{
    switch (run.plan.colour) {
    case ColourMode::Random:
        return withCount<ColourMode::Random>(run, st, random, n, grid, sink);
    case ColourMode::White:
        return withCount<ColourMode::White>(run, st, random, n, grid, sink);
    case ColourMode::Data:
        return withCount<ColourMode::Data>(run, st, random, n, grid, sink);
    }
    return 0;
}

}   // namespace

PreparedRun::PreparedRun(const DataSetTexts& dataSets, const RunPlan& runPlan, const CurrentMap& map,
                         QChar decimalPoint)
    : plan(runPlan), picker(dataSets.count), initialSetNumber(toInt16(map.setNumber).value_or(0))
{
    maps[0] = parseMap(map.coefficients, decimalPoint);
    for (int k = 1; k <= kDataSetCount; ++k)
        maps[k] = parseMap(dataSets.sets[std::size_t(k - 1)], decimalPoint);
}

std::int64_t plotPoints(const PreparedRun& run, LoopState& state, RandomSource& random, std::int64_t points,
                        const PixelGrid& grid, const RasterView& raster)
{
    RasterSink sink{raster.pixels, raster.stride, 0};
    return dispatch(run, state, random, points, grid, sink);
}

std::int64_t logHits(const PreparedRun& run, LoopState& state, RandomSource& random, std::int64_t points,
                     const PixelGrid& grid, std::vector<PixelHit>& hits)
{
    hits.resize(std::size_t(std::max<std::int64_t>(points, 0)) + 1);   // room for the last miss
    LogSink sink{hits.data(), grid.width()};
    dispatch(run, state, random, points, grid, sink);
    hits.resize(sink.count);
    return std::int64_t(sink.count);
}

void storeCurrentMap(const DataSetTexts& dataSets, const LoopState& state, CurrentMap& map)
{
    if (state.picked)
        map.setNumber = QString::number(state.setNumber);
    if (state.mapIndex != 0)
        map.coefficients = dataSets.sets[std::size_t(state.mapIndex - 1)];
}

}   // namespace fenra
