#pragma once

// Until the render pipeline lands in src/render, the studio reaches today's
// kernel through this bridge, which has the pipeline's names and shapes
// (request, accumulate in rounds with a cancel flag, tone map, fit). It is
// deleted when the pipeline is merged; nothing here draws by itself.
#include "engine/AffineMap.h"
#include "render/HitSums.h"
#include "render/Palette.h"
#include "render/ToneMap.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace fenra::studio::bridge {

using fenra::render::HitSums;
using fenra::render::Image;
using fenra::render::setColour;

struct WeightedMap {
    AffineMap map;
    double weight = 1.0;
    std::uint32_t colour = 0;
    bool shown = true;
    bool operator==(const WeightedMap&) const = default;
};

struct ViewBox {
    double x0 = -1, y0 = -1, x1 = 1, y1 = 1;
    bool operator==(const ViewBox&) const = default;
};

struct Frame {
    int width = 1, height = 1;
    double sx = 1, tx = 0, sy = 1, ty = 0;
    static Frame ofBox(const ViewBox& box, int width, int height);
    ViewBox box() const;
    bool operator==(const Frame&) const = default;
};

enum class Colouring { MapColours, Palette };
struct ColourPlan {
    Colouring colouring = Colouring::MapColours;
    bool density = true;
    bool operator==(const ColourPlan&) const = default;
};
struct Tone {
    double gamma = 2.2, brightness = 1.0;
    bool operator==(const Tone&) const = default;
};

struct RenderRequest {
    std::vector<WeightedMap> maps;
    Frame frame;
    ColourPlan colour;
    Tone tone;
    int oversample = 1;
    std::int64_t points = 0;
    std::uint64_t seed = 0;
    bool operator==(const RenderRequest&) const = default;
};

HitSums sumsFor(const RenderRequest& request);

struct AccumulateControl {
    int threads = 1;
    const std::atomic<bool>* cancel = nullptr;
    std::function<void(std::int64_t done, std::int64_t total)> onRound;
};
enum class Accumulated { Done, Cancelled };

Accumulated accumulate(const RenderRequest& request, HitSums& into, const AccumulateControl& control = {});
Image toneMap(const HitSums& sums, const RenderRequest& request);
std::optional<ViewBox> fitBox(const std::vector<WeightedMap>& maps, int width, int height);

} // namespace fenra::studio::bridge

namespace fenra::studio {
namespace render = bridge;
}
