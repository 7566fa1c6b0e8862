#include "engine/RenderRun.h"

#include "engine/NumberText.h"
#include "engine/RandomSource.h"

#include <algorithm>
#include <cmath>

namespace fenra {
namespace {

// Values from here on round to infinity as single precision (FLT_MAX plus half its ulp).
constexpr double kSingleLimit = 0x1.ffffffp127;

// The first `kDataColours[s]` is the colour of set s in Data mode; sets 4 and 6 share magenta.
constexpr std::uint32_t kDataColours[7] = {
    kBlack, rgb(255, 0, 0), rgb(0, 255, 0), rgb(0, 0, 255), rgb(255, 0, 255), rgb(0, 255, 255), rgb(255, 0, 255),
};
constexpr std::uint32_t kWhite = rgb(255, 255, 255);

// Draws are fetched in blocks whose size is a multiple of 1, 3 and 4 draws a step.
constexpr std::size_t kDrawBlock = 4092;

// A map's coefficients as numbers; a row with a text that is not a number cannot be applied.
struct ParsedMap {
    double c[6] = {};
    bool xRowOk = false;
    bool yRowOk = false;
};

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

struct RunContext {
    const RunPlan& plan;
    const MapPicker& picker;
    ParsedMap maps[7];   // 0: the texts the current map held when the run began; 1-6: the data sets
    RasterView raster;
};

// What survives from step to step within a run.
struct RunState {
    double x = 0.0;
    float y = 0.0f;
    int mapIndex = 0;     // which of RunContext::maps the current map's texts are
    int setNumber = 0;    // s, the picked set as a number
    bool picked = false;  // whether any pick wrote the set number
    std::uint32_t colour = kBlack;
    std::int64_t plotted = 0;
};

inline void plot(const RasterView& raster, double px, double py, std::uint32_t colour, std::int64_t& plotted)
{
    constexpr double kWidthTwips = double(kDisplayWidth * kTwipsPerPixel);
    constexpr double kHeightTwips = double(kDisplayHeight * kTwipsPerPixel);
    // Cheap rejection first; what remains converts safely to single precision.
    if (!(px > -kTwipsPerPixel && px < kWidthTwips + kTwipsPerPixel && py > -kTwipsPerPixel
          && py < kHeightTwips + kTwipsPerPixel))
        return;
    const float sx = float(px);
    const float sy = float(py);
    if (!(sx >= 0.0f && sx < float(kWidthTwips) && sy >= 0.0f && sy < float(kHeightTwips)))
        return;
    const int column = int(double(sx) / kTwipsPerPixel);
    const int row = int(double(sy) / kTwipsPerPixel);
    if (column < raster.width && row < raster.height) {
        raster.at(column, row) = colour;
        ++plotted;
    }
}

template <ColourMode Mode, bool CountIsNumber>
void runLoop(const RunContext& ctx, RunState& st, RandomSource& random)
{
    constexpr std::size_t kDrawsPerStep = (CountIsNumber ? 1 : 0) + (Mode == ColourMode::Random ? 3 : 0);
    const RunPlan& plan = ctx.plan;
    const std::int64_t n = plan.iterations;
    const bool zoomed = plan.zoom.has_value();
    const ZoomStep zoom = plan.zoom.value_or(ZoomStep{1.0, 0.0, 0.0});

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
            s = ctx.picker.pick(draws[used++]);
            if (ctx.picker.copiesSet(s))
                mapIndex = s;
        }

        // The map: a row with a text that is not a number, or whose result
        // overflows, leaves its coordinate where it was.
        const ParsedMap& m = ctx.maps[mapIndex];
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
            plot(ctx.raster, px, py, colour, st.plotted);

        x = xNew;
        y = yNew;
    }

    st.x = x;
    st.y = y;
    st.mapIndex = mapIndex;
    st.setNumber = s;
    st.picked = CountIsNumber && n >= 1;
    st.colour = colour;
}

template <ColourMode Mode>
void runForMode(const RunContext& ctx, RunState& st, RandomSource& random)
{
    if (ctx.picker.countIsNumber())
        runLoop<Mode, true>(ctx, st, random);
    else
        runLoop<Mode, false>(ctx, st, random);
}

} // namespace

std::int64_t renderRun(const DataSetTexts& dataSets, const RunPlan& plan, CurrentMap& map,
                       RandomSource& random, RasterView raster)
{
    raster.fill(kBlack);

    const QChar decimalPoint = systemDecimalPoint();
    const MapPicker picker(dataSets.count);
    RunContext ctx{plan, picker, {}, raster};
    ctx.maps[0] = parseMap(map.coefficients, decimalPoint);
    for (int k = 1; k <= kDataSetCount; ++k)
        ctx.maps[k] = parseMap(dataSets.sets[std::size_t(k - 1)], decimalPoint);

    RunState st;
    // Until a pick writes it, s is what the current map's set number reads as.
    st.setNumber = toInt16(map.setNumber).value_or(0);

    switch (plan.colour) {
    case ColourMode::Random:
        runForMode<ColourMode::Random>(ctx, st, random);
        break;
    case ColourMode::White:
        runForMode<ColourMode::White>(ctx, st, random);
        break;
    case ColourMode::Data:
        runForMode<ColourMode::Data>(ctx, st, random);
        break;
    }

    if (st.picked)
        map.setNumber = QString::number(st.setNumber);
    if (st.mapIndex != 0)
        map.coefficients = dataSets.sets[std::size_t(st.mapIndex - 1)];
    return st.plotted;
}

} // namespace fenra
