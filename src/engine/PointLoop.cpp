#include "engine/PointLoop.h"

#include "engine/NumberText.h"
#include "engine/RandomSource.h"

#include <algorithm>
#include <cmath>

namespace fenra {
namespace {

// Values from here on round to infinity as single precision (FLT_MAX plus half its ulp).
constexpr double kSingleLimit = 0x1.ffffffp127;

// kDataColours[s] is the colour of set s in Data mode; sets 4 and 6 share magenta.
constexpr std::uint32_t kDataColours[7] = {
    kBlack, rgb(255, 0, 0), rgb(0, 255, 0), rgb(0, 0, 255), rgb(255, 0, 255), rgb(0, 255, 255), rgb(255, 0, 255),
};
constexpr std::uint32_t kWhite = rgb(255, 255, 255);

// Draws are fetched in blocks whose size is a multiple of 1, 3 and 4 draws a step.
constexpr std::size_t kDrawBlock = 4092;

ParsedMap parseMap(const Coefficients& texts, QChar decimalPoint)
{
    ParsedMap map;
    bool ok[6];
    for (int j = 0; j < 6; ++j) {
        const std::optional<double> value = toDouble(texts[std::size_t(j)], decimalPoint);
        ok[j] = value.has_value();
        map.c[j] = value.value_or(0.0);
    }
    map.xRowOk = ok[0] && ok[1] && ok[2];
    map.yRowOk = ok[3] && ok[4] && ok[5];
    return map;
}

// Sets one pixel of a raster.
struct RasterSink {
    const RasterView& raster;
    std::int64_t count = 0;
    void hit(int column, int row, std::uint32_t colour)
    {
        raster.at(column, row) = colour;
        ++count;
    }
};

// Counts a hit and remembers its colour.
struct HitSink {
    HitCell* cells;
    std::ptrdiff_t stride;
    std::int64_t count = 0;
    void hit(int column, int row, std::uint32_t colour)
    {
        HitCell& cell = cells[row * stride + column];
        ++cell.hits;
        cell.lastColour = colour;
        ++count;
    }
};

// The pixel a position in twips lands on, if any. A position is handed to the
// drawing area in single precision; one beyond what that holds draws nothing.
template <class Sink>
inline void plot(Sink& sink, const PixelGrid& grid, double px, double py, std::uint32_t colour)
{
    constexpr double kWidthTwips = double(kDisplayWidth * kTwipsPerPixel);
    constexpr double kHeightTwips = double(kDisplayHeight * kTwipsPerPixel);
    // Cheap rejection first; what remains converts safely to single precision.
    if (!(px > -kTwipsPerPixel && px < kWidthTwips + kTwipsPerPixel && py > -kTwipsPerPixel
          && py < kHeightTwips + kTwipsPerPixel))
        return;
    const float sx = float(px);
    const float sy = float(py);
    if (!(sx >= 0.0f && sy >= 0.0f))
        return;
    const int column = int(double(sx) * grid.scale / kTwipsPerPixel);
    const int row = int(double(sy) * grid.scale / kTwipsPerPixel);
    if (column < grid.width() && row < grid.height())
        sink.hit(column, row, colour);
}

template <ColourMode Mode, bool CountIsNumber, class Sink>
void runLoop(const PreparedRun& run, LoopState& st, RandomSource& random, std::int64_t n, const PixelGrid& grid,
             Sink& sink)
{
    constexpr std::size_t kDrawsPerStep = (CountIsNumber ? 1 : 0) + (Mode == ColourMode::Random ? 3 : 0);
    const RunPlan& plan = run.plan;
    const bool zoomed = plan.zoom.has_value();
    const ZoomStep zoom = plan.zoom.value_or(ZoomStep{1.0, 0.0, 0.0});
    const MapPicker picker = run.picker;

    float draws[kDrawBlock];
    std::size_t drawn = 0;
    std::size_t used = 0;
    std::int64_t drawsLeft = n * std::int64_t(kDrawsPerStep);

    double x = st.x;
    float y = st.y;
    int mapIndex = st.mapIndex;
    int s = st.setNumber;
    std::uint32_t colour = st.colour;

    for (std::int64_t i = 1; i <= n; ++i) {
        if constexpr (kDrawsPerStep > 0) {
            if (used == drawn) {
                drawn = std::size_t(std::min<std::int64_t>(drawsLeft, std::int64_t(kDrawBlock)));
                random.fillUnits(draws, drawn);
                drawsLeft -= std::int64_t(drawn);
                used = 0;
            }
        }
        if constexpr (CountIsNumber) {
            s = picker.pick(draws[used++]);
            if (picker.copiesSet(s))
                mapIndex = s;
        }

        // The map; a row that cannot be applied, or whose result overflows,
        // leaves its coordinate where it was.
        const ParsedMap& m = run.maps[mapIndex];
        double xNew = x;
        if (m.xRowOk) {
            const double t = (m.c[0] * x + m.c[1] * double(y)) + m.c[2];
            if (std::isfinite(t))
                xNew = t;
        }
        float yNew = y;
        if (m.yRowOk) {
            const double t = (m.c[3] * x + m.c[4] * double(y)) + m.c[5];
            if (std::fabs(t) < kSingleLimit)
                yNew = float(t);
        }

        if constexpr (Mode == ColourMode::Random) {
            // 255 times a value below 1 stays below 255 in single precision.
            const int r = int(255.0f * draws[used]);
            const int g = int(255.0f * draws[used + 1]);
            const int b = int(255.0f * draws[used + 2]);
            used += 3;
            colour = rgb(r, g, b);
        } else if constexpr (Mode == ColourMode::White) {
            colour = kWhite;
        } else {
            if (s >= 1 && s <= 6)
                colour = kDataColours[s];
        }

        // Zoom, flip and offsets, all in twips.
        double px = xNew;
        double py = double(yNew);
        if (zoomed) {
            const double zx = px * zoom.scale + zoom.shiftX;
            const double zy = py * zoom.scale + zoom.shiftY;
            if (std::isfinite(zx))
                px = zx;
            if (std::isfinite(zy))
                py = zy;
        }
        py = kDisplayOuterHeightTwips - py;   // larger map y lies higher on screen
        const double ox = px + plan.moveX;
        const double oy = py + plan.moveY;
        if (std::isfinite(ox))
            px = ox;
        if (std::isfinite(oy))
            py = oy;

        if (s >= 1 && s <= 6 && plan.show[std::size_t(s - 1)])
            plot(sink, grid, px, py, colour);

        x = xNew;
        y = yNew;
    }

    st.x = x;
    st.y = y;
    st.mapIndex = mapIndex;
    st.setNumber = s;
    st.picked = st.picked || (CountIsNumber && n >= 1);
    st.colour = colour;
}

template <class Sink>
void dispatch(const PreparedRun& run, LoopState& st, RandomSource& random, std::int64_t n, const PixelGrid& grid,
              Sink& sink)
{
    const bool counted = run.picker.countIsNumber();
    switch (run.plan.colour) {
    case ColourMode::Random:
        counted ? runLoop<ColourMode::Random, true>(run, st, random, n, grid, sink)
                : runLoop<ColourMode::Random, false>(run, st, random, n, grid, sink);
        break;
    case ColourMode::White:
        counted ? runLoop<ColourMode::White, true>(run, st, random, n, grid, sink)
                : runLoop<ColourMode::White, false>(run, st, random, n, grid, sink);
        break;
    case ColourMode::Data:
        counted ? runLoop<ColourMode::Data, true>(run, st, random, n, grid, sink)
                : runLoop<ColourMode::Data, false>(run, st, random, n, grid, sink);
        break;
    }
}

} // namespace

PreparedRun::PreparedRun(const DataSetTexts& dataSets, const RunPlan& runPlan, const CurrentMap& map)
    : plan(runPlan)
    , picker(dataSets.count)
    , initialSetNumber(toInt16(map.setNumber).value_or(0))
{
    const QChar decimalPoint = systemDecimalPoint();
    maps[0] = parseMap(map.coefficients, decimalPoint);
    for (int k = 1; k <= kDataSetCount; ++k)
        maps[k] = parseMap(dataSets.sets[std::size_t(k - 1)], decimalPoint);
}

std::int64_t plotPoints(const PreparedRun& run, LoopState& state, RandomSource& random, std::int64_t points,
                        const PixelGrid& grid, const RasterView& raster)
{
    RasterSink sink{raster};
    dispatch(run, state, random, points, grid, sink);
    return sink.count;
}

std::int64_t countHits(const PreparedRun& run, LoopState& state, RandomSource& random, std::int64_t points,
                       HitGrid& hits)
{
    HitSink sink{hits.cells.data(), hits.grid.width()};
    dispatch(run, state, random, points, hits.grid, sink);
    return sink.count;
}

void storeCurrentMap(const DataSetTexts& dataSets, const LoopState& state, CurrentMap& map)
{
    if (state.picked)
        map.setNumber = QString::number(state.setNumber);
    if (state.mapIndex != 0)
        map.coefficients = dataSets.sets[std::size_t(state.mapIndex - 1)];
}

} // namespace fenra
