#include "studio/PipelineBridge.h"

#include "engine/WeightedMaps.h"
#include "render/Kernel.h"
#include "render/RenderPlan.h"

#include <algorithm>

namespace fenra::studio::bridge {

Frame Frame::ofBox(const ViewBox& box, int width, int height)
{
    Frame f;
    f.width = width;
    f.height = height;
    f.sx = width / (box.x1 - box.x0);
    f.tx = -box.x0 * f.sx;
    f.sy = -height / (box.y1 - box.y0);
    f.ty = -box.y1 * f.sy;
    return f;
}

ViewBox Frame::box() const
{
    return {-tx / sx, (height - ty) / sy, (width - tx) / sx, -ty / sy};
}

HitSums sumsFor(const RenderRequest& request)
{
    return HitSums(request.frame.width * request.oversample, request.frame.height * request.oversample);
}

Accumulated accumulate(const RenderRequest& request, HitSums& into, const AccumulateControl& control)
{
    fenra::render::RenderPlan plan;
    for (const WeightedMap& m : request.maps) {
        plan.maps.push_back(m.map);
        plan.weights.push_back(m.weight);
        plan.shown.push_back(m.shown);
        plan.mapColours.push_back(m.colour);
    }
    plan.frame = {request.frame.sx, request.frame.tx, request.frame.sy, request.frame.ty, request.frame.width,
                  request.frame.height};
    // Rounds that double, from one chunk per thread, each a kernel call of its own.
    std::int64_t done = 0;
    std::int64_t round = fenra::render::kChunkPoints * control.threads;
    for (std::uint64_t r = 0; done < request.points; ++r) {
        if (control.cancel && control.cancel->load())
            return Accumulated::Cancelled;
        plan.points = std::min(round, request.points - done);
        plan.seed = request.seed + r;
        fenra::render::accumulate(plan, control.threads, into);
        done += plan.points;
        round = std::min<std::int64_t>(round * 2, std::int64_t(1) << 26);
        if (control.onRound)
            control.onRound(done, request.points);
    }
    return Accumulated::Done;
}

Image toneMap(const HitSums& sums, const RenderRequest& request)
{
    return fenra::render::toneMap(sums, {request.tone.gamma, request.tone.brightness, request.oversample,
                                         !request.colour.density});
}

std::optional<ViewBox> fitBox(const std::vector<WeightedMap>& maps, int width, int height)
{
    std::vector<AffineMap> affine;
    std::vector<double> weights;
    double total = 0;
    for (const WeightedMap& m : maps) {
        affine.push_back(m.map);
        weights.push_back(m.weight);
        total += m.weight;
    }
    for (double& w : weights)
        w /= total;
    const std::optional<ZoomStep> zoom = fitFrame(affine, weights);
    if (!zoom)
        return std::nullopt;
    const fenra::render::Frame f = fenra::render::Frame::window(zoom->scale, zoom->shiftX, zoom->shiftY, 0, 0, 1);
    ViewBox box{-f.tx / f.sx, (f.height - f.ty) / f.sy, (f.width - f.tx) / f.sx, -f.ty / f.sy};
    // Grown to the aspect of width x height about its centre.
    const double cx = (box.x0 + box.x1) / 2, cy = (box.y0 + box.y1) / 2;
    double w = box.x1 - box.x0, h = box.y1 - box.y0;
    if (w / h < double(width) / height)
        w = h * width / height;
    else
        h = w * height / width;
    return ViewBox{cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2};
}

} // namespace fenra::studio::bridge
