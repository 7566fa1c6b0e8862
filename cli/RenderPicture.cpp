#include "cli/RenderPicture.h"

#include "render/Kernel.h"
#include "render/ToneMap.h"

#include <algorithm>

namespace fenra::cli {
namespace {

// Points drawn between two adds into the picture: the log of them stays
// small (half a megabyte), and progress is seen every millisecond or so.
constexpr std::int64_t kChunkPoints = std::int64_t(1) << 16;

constexpr std::uint32_t kWhite = rgb(255, 255, 255);

Accumulation::Kind kindOf(const RenderJob& job)
{
    return job.density ? Accumulation::Kind::Density : Accumulation::Kind::Pixels;
}

// The window's run: one chain, its points added in the order drawn.
Picture renderExact(const RenderJob& job, const RandomFactory& makeRandom, const ProgressReport& progress)
{
    RunPlan plan = job.plan;
    // Density counts where the points fall; the loop only has to know the tint.
    if (job.density)
        plan.colour = job.tint == DensityTint::White ? ColourMode::White : ColourMode::Data;
    const PreparedRun run(job.dataSets, plan, CurrentMap{}, kDataFileDecimalPoint);   // as in a window not yet run
    const std::unique_ptr<RandomSource> random = makeRandom();
    const PixelGrid grid{job.scale};
    Accumulation picture(grid.width(), grid.height(), kindOf(job));
    LoopState state(run);
    std::vector<PixelHit> hits;
    for (std::int64_t done = 0; done < job.points;) {
        const std::int64_t chunk = std::min(job.points - done, kChunkPoints);
        logHits(run, state, *random, chunk, grid, hits);
        picture.add(hits);
        done += chunk;
        if (progress)
            progress(done, job.points);
    }
    return Picture{grid.width(), grid.height(), picture.takePicture()};
}

// The grid the kernel adds into: the picture's, oversampled.
render::Frame kernelFrame(const RenderJob& job)
{
    const ZoomStep zoom = job.plan.zoom.value_or(ZoomStep{1.0, 0.0, 0.0});   // no zoom: map units as twips
    return render::Frame::window(zoom.scale, zoom.shiftX, zoom.shiftY, job.plan.moveX, job.plan.moveY,
                                 job.scale * job.oversample);
}

// The kernel's plan: the maps of sets 1 to the count, each picked equally
// often as in the window, with its Show box and colour.
render::RenderPlan kernelPlan(const RenderJob& job)
{
    const PreparedRun run(job.dataSets, job.plan, CurrentMap{}, kDataFileDecimalPoint);
    render::RenderPlan plan;
    const bool palette = job.density ? job.tint == DensityTint::Palette : job.plan.colour == ColourMode::Random;
    const bool white = job.density ? job.tint == DensityTint::White : job.plan.colour == ColourMode::White;
    plan.colouring = palette ? render::Colouring::Blend : render::Colouring::SetColours;
    for (int k = 1; k <= run.picker.count(); ++k) {
        const ParsedMap& m = run.maps[k];
        plan.maps.push_back(render::AffineMap{{m.c[0], m.c[1], m.c[2], m.c[3], m.c[4], m.c[5]}});
        plan.shown.push_back(job.plan.show[std::size_t(k - 1)]);
        plan.mapColours.push_back(white ? kWhite : kDataColours[k]);
    }
    plan.frame = kernelFrame(job);
    plan.points = job.points;
    plan.seed = job.seed;
    return plan;
}

Picture renderWithKernel(const RenderJob& job, const ProgressReport& progress)
{
    const render::RenderPlan plan = kernelPlan(job);
    render::Image image;
    {
        render::HitSums sums(plan.frame.width, plan.frame.height);
        render::accumulate(plan, job.threads, sums, progress);
        image = render::toneMap(sums, render::Tone{job.gamma, job.brightness, job.oversample, !job.density});
    }
    return Picture{image.width, image.height, std::move(image.pixels)};
}

} // namespace

bool kernelDraws(const RenderJob& job)
{
    return !job.exact && MapPicker(job.dataSets.count).copies();
}

Picture renderPicture(const RenderJob& job, const RandomFactory& makeRandom, const ProgressReport& progress)
{
    return kernelDraws(job) ? renderWithKernel(job, progress) : renderExact(job, makeRandom, progress);
}

Picture renderPicture(const RenderJob& job, const ProgressReport& progress)
{
    // The window's chain draws exactly what a Pcg32Source with the seed gives, as the window's does.
    const std::uint64_t seed = job.seed;
    return renderPicture(job, [seed] { return std::make_unique<Pcg32Source>(seed); }, progress);
}

std::uint64_t renderBytes(const RenderJob& job)
{
    const PixelGrid grid{job.scale};
    const std::uint64_t pixels = std::uint64_t(grid.width()) * std::uint64_t(grid.height());
    // A batch is checked before its data sets exist: unless exact, count on the kernel, the larger.
    const std::uint64_t sums = job.exact ? Accumulation::bytesFor(grid.width(), grid.height(), kindOf(job))
                                             + (kChunkPoints + 1) * sizeof(PixelHit)
                                         : render::bytesNeeded(kernelFrame(job), job.points, job.threads);
    // The picture, its encoded file (at most about the raw pixels), and the program itself.
    return sums + 2 * pixels * 4 + (std::uint64_t(64) << 20);
}

} // namespace fenra::cli
