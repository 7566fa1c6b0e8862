#include "render/RenderPicture.h"

#include "engine/PointLoop.h"
#include "engine/Raster.h"
#include "render/Accumulation.h"
#include "render/Pipeline.h"

#include <algorithm>

namespace fenra::render {
namespace {

// Points drawn between two adds into the picture: the log of them stays
// small (half a megabyte), and progress is seen every millisecond or so.
constexpr std::int64_t kChainChunkPoints = std::int64_t(1) << 16;

constexpr std::uint32_t kWhite = rgb(255, 255, 255);

// The window's colour mode that draws the job's colours with one chain:
// density counts where the points fall, so only its tint matters there.
ColourMode chainColours(const RenderJob& job)
{
    if (job.white)
        return ColourMode::White;
    return job.colour.colouring == Colouring::Palette && !job.colour.density ? ColourMode::Random : ColourMode::Data;
}

// Whether the kernel draws `job` (else the window's chain).
bool kernelDraws(const RenderJob& job)
{
    return !job.exact && (!job.maps.empty() || MapPicker(job.dataSets.count).copies());
}

// The window's run: one chain, its points added in the order drawn.
Image renderExact(const RenderJob& job, const RandomFactory& makeRandom, const ProgressReport& progress)
{
    RunPlan plan = job.plan;
    plan.colour = chainColours(job);
    const PreparedRun run(job.dataSets, plan, CurrentMap{}, kDataFileDecimalPoint);   // as in a window not yet run
    const std::unique_ptr<RandomSource> random = makeRandom();
    const PixelGrid grid{job.scale};
    Accumulation picture(grid.width(), grid.height(), job.colour.density);
    LoopState state(run);
    std::vector<PixelHit> hits;
    for (std::int64_t done = 0; done < job.points;) {
        const std::int64_t chunk = std::min(job.points - done, kChainChunkPoints);
        logHits(run, state, *random, chunk, grid, hits);
        picture.add(hits);
        done += chunk;
        if (progress)
            progress(done, job.points);
    }
    return Image{grid.width(), grid.height(), picture.takePicture()};
}

// The request without its maps: frame, colours, tone and work.
RenderRequest framedRequest(const RenderJob& job)
{
    const ZoomStep zoom = job.plan.zoom.value_or(ZoomStep{1.0, 0.0, 0.0});   // no zoom: map units as twips
    RenderRequest request;
    request.frame = Frame::window(zoom.scale, zoom.shiftX, zoom.shiftY, job.plan.moveX, job.plan.moveY,
                                  job.width > 0 ? 1 : job.scale);
    if (job.width > 0) {
        Frame& f = request.frame;
        const double by = std::min(double(job.width) / f.width, double(job.height) / f.height);
        f = {job.width, job.height,
             f.sx * by, f.tx * by + (job.width - f.width * by) / 2,
             f.sy * by, f.ty * by + (job.height - f.height * by) / 2};
    }
    if (job.view)
        request.frame = Frame::ofBox(*job.view, request.frame.width, request.frame.height);
    request.colour = job.colour;
    request.tone = job.tone;
    request.oversample = job.oversample;
    request.points = job.points;
    request.seed = job.seed;
    return request;
}

}   // namespace

std::vector<AffineMap> dataSetMaps(const RenderJob& job)
{
    const PreparedRun run(job.dataSets, job.plan, CurrentMap{}, kDataFileDecimalPoint);
    if (!run.picker.copies())
        return {};
    return std::vector<AffineMap>(run.maps + 1, run.maps + 1 + run.picker.count());
}

std::optional<RenderRequest> requestFor(const RenderJob& job)
{
    if (!kernelDraws(job))
        return std::nullopt;
    RenderRequest request = framedRequest(job);
    const std::vector<AffineMap> maps = job.maps.empty() ? dataSetMaps(job) : job.maps;
    for (std::size_t k = 0; k < maps.size(); ++k) {
        const int set = int(k) + 1;
        // The Show boxes are the window's six; a collection's maps beyond them are always drawn.
        request.maps.push_back(WeightedMap{maps[k], job.weights.empty() ? 1.0 : job.weights[k],
                                           job.white ? kWhite : setColour(set), set > 6 || job.plan.show[k]});
    }
    if (job.width > 0 && job.fitToSize)
        if (const std::optional<ViewBox> box = fitBox(request.maps, job.width, job.height))
            request.frame = Frame::ofBox(*box, job.width, job.height);
    return request;
}

Image renderPicture(const RenderJob& job, const RandomFactory& makeRandom, const ProgressReport& progress)
{
    const std::optional<RenderRequest> request = requestFor(job);
    if (!request)
        return renderExact(job, makeRandom, progress);
    // Progress, not snapshots: one round, so private sums are merged once.
    return render(*request, AccumulateControl{job.threads, nullptr, {}, progress});
}

Image renderPicture(const RenderJob& job, const ProgressReport& progress)
{
    // The window's chain draws exactly what a Pcg32Source with the seed gives, as the window's does.
    const std::uint64_t seed = job.seed;
    return renderPicture(
        job, [seed] { return std::make_unique<Pcg32Source>(seed); }, progress);
}

std::uint64_t renderBytes(const RenderJob& job)
{
    const PixelGrid grid{job.scale};
    const std::uint64_t pixels = job.width > 0 ? std::uint64_t(job.width) * std::uint64_t(job.height)
                                               : std::uint64_t(grid.width()) * std::uint64_t(grid.height());
    // A batch is checked before its data sets exist: unless exact, count on the kernel, the larger.
    const std::uint64_t sums = job.exact ? Accumulation::bytesFor(grid.width(), grid.height(), job.colour.density)
                                               + (kChainChunkPoints + 1) * sizeof(PixelHit)
                                         : bytesNeeded(framedRequest(job), job.threads);
    // The picture, its encoded file (at most about the raw pixels), and the program itself.
    return sums + 2 * pixels * 4 + (std::uint64_t(64) << 20);
}

}   // namespace fenra::render
