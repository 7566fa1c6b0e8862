// A whole render run fed any texts the window can hand it. One text per line:
//
//   1  iterations        2  count ("Random #'s:")   3  zoom
//   4  "Right:"          5  "Down"                  6  options: first byte the colour
//                                                      mode (0 Random, 1 White, 2 Data,
//                                                      modulo 3), second byte the Show
//                                                      boxes (bit k-1 for set k)
//   7-42   the 36 coefficient texts, set 1 coefficients 1 to 6, then set 2, ...
//   43     the current map's set number, 44-49 its six coefficient texts
//
// Missing lines are the window's start-up values. The run must end, set no
// pixel outside the drawing area, make exactly n steps, colour by its mode and
// leave the current map as the last pick made it.
#include "FuzzCheck.h"

#include "engine/NumberText.h"
#include "engine/RandomSource.h"
#include "engine/Raster.h"
#include "engine/RenderRun.h"

#include <algorithm>
#include <vector>

using namespace fenra;

namespace {

// Small runs only, up to the window's default: the loop's rules show in a few thousand steps.
constexpr std::int32_t kMaxIterations = 5000;

// Draws of the program's own source, counted: each step takes a fixed number.
class CountingRandom final : public RandomSource {
public:
    float nextUnit() override
    {
        ++draws;
        return m_source.nextUnit();
    }
    void fillUnits(float* out, std::size_t count) override
    {
        draws += std::int64_t(count);
        m_source.fillUnits(out, count);
    }
    void reseed(double secondsSinceMidnight) override { m_source.reseed(secondsSinceMidnight); }

    std::int64_t draws = 0;

private:
    Pcg32Source m_source{0x2545F4914F6CDD1DULL};
};

// The drawing area's pixels inside a border of canary pixels that a stray
// write would change. One buffer serves every input.
class GuardedRaster {
public:
    static constexpr int kBorder = 16;
    static constexpr std::uint32_t kCanary = 0x5A5A5A5Au;   // alpha 0x5A: no colour a run makes
    static constexpr std::ptrdiff_t kStride = kDisplayWidth + 2 * kBorder;

    // The whole buffer back to canaries, the drawing area included, so a run
    // that leaves part of it uncleared shows.
    RasterView reset()
    {
        std::fill(m_pixels.begin(), m_pixels.end(), kCanary);
        return {m_pixels.data() + kBorder * kStride + kBorder, kDisplayWidth, kDisplayHeight, kStride};
    }
    // Calls inside(pixel) for each pixel of the drawing area; true when the border is whole.
    template <class Inside>
    bool scan(Inside inside) const
    {
        for (int row = -kBorder; row < kDisplayHeight + kBorder; ++row) {
            const std::uint32_t* line = m_pixels.data() + (row + kBorder) * kStride;
            const bool borderRow = row < 0 || row >= kDisplayHeight;
            for (int column = -kBorder; column < kDisplayWidth + kBorder; ++column) {
                const std::uint32_t pixel = line[column + kBorder];
                if (borderRow || column < 0 || column >= kDisplayWidth) {
                    if (pixel != kCanary)
                        return false;
                } else {
                    inside(pixel);
                }
            }
        }
        return true;
    }

private:
    std::vector<std::uint32_t> m_pixels =
        std::vector<std::uint32_t>(std::size_t(kStride) * std::size_t(kDisplayHeight + 2 * kBorder), kCanary);
};

bool colourOfMode(std::uint32_t pixel, ColourMode mode)
{
    const std::uint32_t r = pixel >> 16 & 0xFF, g = pixel >> 8 & 0xFF, b = pixel & 0xFF;
    if (pixel >> 24 != 0xFF)
        return false;
    switch (mode) {
    case ColourMode::Random:   // 255 times a draw below 1 never reaches 255
        return r < 255 && g < 255 && b < 255;
    case ColourMode::White:
        return pixel == kBlack || pixel == rgb(255, 255, 255);
    case ColourMode::Data:   // one pure colour per set, never white
        return (r == 0 || r == 255) && (g == 0 || g == 255) && (b == 0 || b == 255) && pixel != rgb(255, 255, 255);
    }
    return false;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QList<QByteArray> in = fuzz::lines(data, size);
    const auto text = [&in](qsizetype line, const char* otherwise) {
        return line < in.size() ? QString::fromUtf8(in[line]) : QString::fromLatin1(otherwise);
    };

    RunSettingsTexts settings;
    settings.iterations = text(0, "5000");
    settings.zoom = text(2, "1x");
    settings.moveX = text(3, "0");
    settings.moveY = text(4, "0");
    if (in.size() > 5 && !in[5].isEmpty())
        settings.colour = ColourMode(quint8(in[5][0]) % 3);
    if (in.size() > 5 && in[5].size() > 1)
        for (int k = 0; k < 6; ++k)
            settings.show[std::size_t(k)] = (quint8(in[5][1]) >> k & 1) != 0;

    DataSetTexts sets;
    sets.count = text(1, "2");
    for (int i = 0; i < 36; ++i)
        sets.sets[std::size_t(i / 6)][std::size_t(i % 6)] = text(6 + i, "0.0000");
    CurrentMap map;
    map.setNumber = text(42, "");
    for (int j = 0; j < 6; ++j)
        map.coefficients[std::size_t(j)] = text(43 + j, "");

    const RunPlanResult planned = planRun(settings);
    if (!planned.plan || planned.plan->iterations > kMaxIterations)
        return 0;
    const RunPlan& plan = *planned.plan;
    const std::int64_t n = std::max<std::int32_t>(plan.iterations, 0);

    CountingRandom random;
    static GuardedRaster raster;
    const CurrentMap before = map;
    const std::int64_t plotted = renderRun(sets, plan, map, random, raster.reset());

    // Every step drew what its pick and its colour need, so the run made n steps.
    const std::optional<std::int16_t> count = toInt16(sets.count);
    const int drawsPerStep = (count ? 1 : 0) + (plan.colour == ColourMode::Random ? 3 : 0);
    FUZZ_CHECK(random.draws == n * drawsPerStep);
    FUZZ_CHECK(plotted >= 0 && plotted <= n);

    std::int64_t lit = 0;
    bool coloured = true;
    FUZZ_CHECK(raster.scan([&](std::uint32_t pixel) {
        coloured = coloured && colourOfMode(pixel, plan.colour);
        lit += pixel != kBlack;
    }));
    FUZZ_CHECK(coloured);
    FUZZ_CHECK(lit <= plotted);
    if (plan.show == std::array<bool, 6>{})
        FUZZ_CHECK(plotted == 0);

    // The current map: untouched without a pick; else the last pick's number,
    // with that set's texts when the count is one the window offers.
    if (!count || n == 0) {
        FUZZ_CHECK(map == before);
    } else {
        const std::optional<std::int16_t> picked = toInt16(map.setNumber);
        FUZZ_CHECK(picked && map.setNumber == QString::number(*picked));
        FUZZ_CHECK(*picked <= std::max<int>(*count, 1));
        if (*count >= 2 && *count <= 6)
            FUZZ_CHECK(*picked >= 1 && map.coefficients == sets.sets[std::size_t(*picked - 1)]);
        else
            FUZZ_CHECK(map.coefficients == before.coefficients);
    }
    return 0;
}
