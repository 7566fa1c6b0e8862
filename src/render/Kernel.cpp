// Compiled once per vector target (Highway's foreach_target re-includes this
// file); the code below HWY_ONCE is compiled once.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "render/Kernel.cpp"
#include <hwy/foreach_target.h>   // must come before highway.h
#include <hwy/highway.h>
#include <hwy/aligned_allocator.h>

#include "render/Kernel.h"
#include "render/KernelTables.h"

#ifndef FENRA_RENDER_KERNEL_ONCE
#define FENRA_RENDER_KERNEL_ONCE
namespace fenra::render {

struct ChunkJob {
    std::int64_t chunk = 0;
    std::int64_t points = 0;   // at most kChunkPoints
};

// splitmix64's output function: nearby inputs give unrelated outputs.
inline std::uint64_t mix64(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

// The four words of chain `chain`'s xoshiro128** state in chunk `chunk`.
inline void chainState(std::uint64_t seed, std::int64_t chunk, std::int64_t chain, std::uint32_t out[4])
{
    constexpr std::uint64_t kGolden = 0x9e3779b97f4a7c15ULL;
    const std::uint64_t key = mix64(mix64(seed ^ 0x6a09e667f3bcc909ULL) + std::uint64_t(chunk) * kGolden);
    const std::uint64_t a = mix64(key + std::uint64_t(chain + 1) * kGolden);
    const std::uint64_t b = mix64(a ^ kGolden);
    out[0] = std::uint32_t(a);
    out[1] = std::uint32_t(a >> 32);
    out[2] = std::uint32_t(b);
    out[3] = std::uint32_t(b >> 32) | ((out[0] | out[1] | out[2]) == 0 ? 1u : 0u);   // never all zero
}

} // namespace fenra::render
#endif

HWY_BEFORE_NAMESPACE();
namespace fenra::render::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// Runs the chains of one chunk, a register of them at a time.
template <bool kPermute, bool kWeighted, bool kBlend>
HWY_NOINLINE void runChunk(const KernelTables& t, const ChunkJob& job, HitSums::Writer& out)
{
    const hn::CappedTag<float, kChainsPerChunk> df;
    const hn::RebindToSigned<decltype(df)> di;
    const hn::RebindToUnsigned<decltype(df)> du;
    using VF = hn::Vec<decltype(df)>;
    using VI = hn::Vec<decltype(di)>;
    using VU = hn::Vec<decltype(du)>;
    const std::size_t lanes = hn::Lanes(df);

    // A map's column: by permute when every map fits in one register, else by gather.
    VF cols[6];
    VF colourCol = hn::Zero(df);
    VI thresholdCol = hn::Zero(di), aliasCol = hn::Zero(di), drawnCol = hn::Zero(di);
    if constexpr (kPermute) {
        for (int j = 0; j < 6; ++j)
            cols[j] = hn::LoadU(df, t.c[j]);
        colourCol = hn::LoadU(df, t.colourAt);
        thresholdCol = hn::LoadU(di, t.threshold);
        aliasCol = hn::LoadU(di, t.alias);
        drawnCol = hn::LoadU(di, t.drawn);
    }
    const auto column = [&](const VF& col, const float* table, const VI& k) HWY_ATTR {
        if constexpr (kPermute)
            return hn::TableLookupLanes(col, hn::IndicesFromVec(df, k));
        else
            return hn::GatherIndex(df, table, k);
    };
    const auto intColumn = [&](const VI& col, const std::int32_t* table, const VI& k) HWY_ATTR {
        if constexpr (kPermute)
            return hn::TableLookupLanes(col, hn::IndicesFromVec(di, k));
        else
            return hn::GatherIndex(di, table, k);
    };

    const VU mapCount = hn::Set(du, std::uint32_t(t.maps));
    const VU fractionMask = hn::Set(du, (1u << 26) - 1u);
    const VF finiteLimit = hn::Set(df, 3.4028234663852886e38f);
    const VF sx = hn::Set(df, t.sx), tx = hn::Set(df, t.tx), sy = hn::Set(df, t.sy), ty = hn::Set(df, t.ty);
    const VF width = hn::Set(df, t.width), height = hn::Set(df, t.height);
    const VF zero = hn::Zero(df), half = hn::Set(df, 0.5f), colourSteps = hn::Set(df, 255.0f);
    const VI stride = hn::Set(di, t.stride);
    const VI outside = hn::Set(di, -1);

    auto seeds = hwy::AllocateAligned<std::uint32_t>(4 * lanes);
    // A step's hits are added during the next step, after their pixels were
    // asked for: the cache fetches them meanwhile. Pixel -1 is outside.
    auto hitMemory = hwy::AllocateAligned<std::int32_t>(4 * lanes);
    std::int32_t* pixels = &hitMemory[0];
    std::int32_t* entries = &hitMemory[lanes];
    std::int32_t* pendingPixels = &hitMemory[2 * lanes];
    std::int32_t* pendingEntries = &hitMemory[3 * lanes];
    std::size_t pending = 0;
    const auto addPending = [&]() HWY_ATTR {
        for (std::size_t i = 0; i < pending; ++i)
            if (pendingPixels[i] >= 0)
                out.add(std::uint32_t(pendingPixels[i]), std::uint32_t(pendingEntries[i]));
        pending = 0;
    };

    const std::int64_t steps = job.points / kChainsPerChunk;   // every chain
    const std::int64_t longer = job.points % kChainsPerChunk;  // chains 0 .. longer-1 take one more
    for (std::int64_t first = 0; first < kChainsPerChunk; first += std::int64_t(lanes)) {
        const std::size_t active = std::size_t(std::min<std::int64_t>(std::int64_t(lanes), kChainsPerChunk - first));
        for (std::size_t i = 0; i < lanes; ++i) {
            std::uint32_t words[4];
            chainState(t.seed, job.chunk, first + std::int64_t(i), words);
            for (int w = 0; w < 4; ++w)
                seeds[std::size_t(w) * lanes + i] = words[w];
        }
        VU s0 = hn::Load(du, &seeds[0]), s1 = hn::Load(du, &seeds[lanes]);
        VU s2 = hn::Load(du, &seeds[2 * lanes]), s3 = hn::Load(du, &seeds[3 * lanes]);
        VF x = zero, y = zero, colour = half;

        // One step of every lane's chain; with `plot`, the hits of the first
        // `count` lanes go to the sums.
        const auto step = [&](bool plot, std::size_t count) HWY_ATTR __attribute__((always_inline)) {
            // xoshiro128**, its multiplies by 5 and 9 as shifts and adds.
            const VU five = hn::Add(hn::ShiftLeft<2>(s1), s1);
            const VU rotated = hn::RotateRight<25>(five);
            const VU bits = hn::Add(hn::ShiftLeft<3>(rotated), rotated);
            const VU shifted = hn::ShiftLeft<9>(s1);
            s2 = hn::Xor(s2, s0);
            s3 = hn::Xor(s3, s1);
            s1 = hn::Xor(s1, s2);
            s0 = hn::Xor(s0, s3);
            s2 = hn::Xor(s2, shifted);
            s3 = hn::RotateRight<21>(s3);

            // u in [0, maps): the whole part picks a bucket, the fraction
            // keeps it or takes its alias.
            const VU scaled = hn::Mul(hn::ShiftRight<6>(bits), mapCount);
            VI k = hn::BitCast(di, hn::ShiftRight<26>(scaled));
            if constexpr (kWeighted) {
                const VI fraction = hn::BitCast(di, hn::And(scaled, fractionMask));
                const VI keep = intColumn(thresholdCol, t.threshold, k);
                k = hn::IfThenElse(hn::Lt(fraction, keep), k, intColumn(aliasCol, t.alias, k));
            }

            // The map, as separate multiplies and adds; a coordinate that
            // overflows (or is not a number) keeps its last value.
            const VF yNew0 = hn::Add(hn::Add(hn::Mul(column(cols[3], t.c[3], k), x),
                                             hn::Mul(column(cols[4], t.c[4], k), y)),
                                     column(cols[5], t.c[5], k));
            const VF xNew0 = hn::Add(hn::Add(hn::Mul(column(cols[0], t.c[0], k), x),
                                             hn::Mul(column(cols[1], t.c[1], k), y)),
                                     column(cols[2], t.c[2], k));
            x = hn::IfThenElse(hn::Le(hn::Abs(xNew0), finiteLimit), xNew0, x);
            y = hn::IfThenElse(hn::Le(hn::Abs(yNew0), finiteLimit), yNew0, y);
            if constexpr (kBlend)
                colour = hn::Mul(hn::Add(colour, column(colourCol, t.colourAt, k)), half);
            if (!plot)
                return;

            const VF col = hn::Add(hn::Mul(x, sx), tx);
            const VF row = hn::Add(hn::Mul(y, sy), ty);
            auto inside = hn::And(hn::And(hn::Ge(col, zero), hn::Lt(col, width)),
                                  hn::And(hn::Ge(row, zero), hn::Lt(row, height)));
            if (!t.allDrawn)
                inside = hn::And(inside, hn::RebindMask(df, hn::MaskFromVec(intColumn(drawnCol, t.drawn, k))));
            const auto insideI = hn::RebindMask(di, inside);
            // Converted only where inside, so every conversion is in range.
            const VI c = hn::ConvertTo(di, hn::IfThenElseZero(inside, col));
            const VI r = hn::ConvertTo(di, hn::IfThenElseZero(inside, row));
            const VI pixel = hn::Add(hn::Mul(r, stride), c);
            VI entry;
            if constexpr (kBlend)
                entry = hn::ConvertTo(di, hn::Mul(colour, colourSteps));
            else
                entry = k;
            hn::Store(hn::IfThenElse(insideI, pixel, outside), di, pixels);
            hn::Store(entry, di, entries);
            for (std::size_t i = 0; i < count; ++i)
                if (pixels[i] >= 0)
                    out.prefetch(std::uint32_t(pixels[i]));
            addPending();
            std::swap(pixels, pendingPixels);
            std::swap(entries, pendingEntries);
            pending = count;
        };

        for (int i = 0; i < kLeadInSteps; ++i)
            step(false, 0);
        for (std::int64_t i = 0; i < steps; ++i)
            step(true, active);
        if (longer > first)
            step(true, std::size_t(std::min<std::int64_t>(longer - first, std::int64_t(active))));
        addPending();
    }
}

void RunChunk(const KernelTables& t, const ChunkJob& job, HitSums::Writer& out)
{
    const bool permute = std::size_t(t.maps) <= hn::Lanes(hn::CappedTag<float, kChainsPerChunk>());
    const int which = (permute ? 4 : 0) | (t.weighted ? 2 : 0) | (t.blend ? 1 : 0);
    switch (which) {
    case 0: return runChunk<false, false, false>(t, job, out);
    case 1: return runChunk<false, false, true>(t, job, out);
    case 2: return runChunk<false, true, false>(t, job, out);
    case 3: return runChunk<false, true, true>(t, job, out);
    case 4: return runChunk<true, false, false>(t, job, out);
    case 5: return runChunk<true, false, true>(t, job, out);
    case 6: return runChunk<true, true, false>(t, job, out);
    default: return runChunk<true, true, true>(t, job, out);
    }
}

const char* TargetName()
{
    return hwy::TargetName(HWY_TARGET);
}

} // namespace fenra::render::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include "render/AliasTable.h"
#include "render/Palette.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace fenra::render {

HWY_EXPORT(RunChunk);
HWY_EXPORT(TargetName);

namespace {

Cell hitOf(std::uint32_t colour)
{
    return Cell{1u, (colour >> 16) & 0xFFu, (colour >> 8) & 0xFFu, colour & 0xFFu};
}

void check(bool ok, const char* what)
{
    if (!ok)
        throw std::invalid_argument(what);
}

KernelTables tablesFor(const RenderPlan& plan, const HitSums& into, HitPalette& palette)
{
    const int n = int(plan.maps.size());
    check(n >= 1 && n <= kMaxMaps, "a plan has 1 to 64 maps");
    check(plan.weights.empty() || plan.weights.size() == plan.maps.size(), "one weight per map");
    check(plan.shown.empty() || plan.shown.size() == plan.maps.size(), "one Show flag per map");
    check(plan.mapColours.empty() || plan.mapColours.size() == plan.maps.size(), "one colour per map");
    check(plan.frame.width == into.width() && plan.frame.height == into.height(), "the frame is the buffer's size");
    check(plan.points >= 0, "a count of points is not negative");
    check(into.size() < (std::size_t(1) << 31), "a picture of fewer than 2^31 pixels");

    KernelTables t;
    t.maps = n;
    const AliasTable alias(plan.weights.empty() ? std::vector<double>(std::size_t(n), 1.0) : plan.weights);
    t.weighted = !alias.uniform();
    t.blend = plan.colouring == Colouring::Blend;
    for (int k = 0; k < n; ++k) {
        const AffineMap& m = plan.maps[std::size_t(k)];
        for (int j = 0; j < 6; ++j)
            t.c[j][k] = float(m.c[j]);
        t.colourAt[k] = n == 1 ? 0.5f : float(k) / float(n - 1);
        t.threshold[k] = alias.threshold[std::size_t(k)];
        t.alias[k] = alias.alias[std::size_t(k)];
        const bool shown = plan.shown.empty() || plan.shown[std::size_t(k)];
        t.drawn[k] = shown ? -1 : 0;
        t.allDrawn = t.allDrawn && shown;
    }
    t.sx = float(plan.frame.sx);
    t.tx = float(plan.frame.tx);
    t.sy = float(plan.frame.sy);
    t.ty = float(plan.frame.ty);
    t.width = float(plan.frame.width);
    t.height = float(plan.frame.height);
    t.stride = plan.frame.width;
    t.seed = plan.seed;

    palette.fill(Cell{0u, 0u, 0u, 0u});
    if (t.blend) {
        const auto& gradient = gradientPalette();
        for (std::size_t i = 0; i < palette.size(); ++i)
            palette[i] = hitOf(gradient[i]);
    } else {
        for (int k = 0; k < n; ++k)
            palette[std::size_t(k)] = hitOf(plan.mapColours.empty() ? setColour(k + 1) : plan.mapColours[std::size_t(k)]);
    }
    return t;
}

} // namespace

namespace {

// Private buffers need no locks and no queues, and the sum of integer
// buffers is the same in any order; but memory must not grow much with threads.
bool privateBuffersFit(int width, int height, int workers)
{
    const std::size_t buffer = HitSums::bytesFor(width, height);
    return std::size_t(workers - 1) * buffer <= buffer / 4 + (std::size_t(64) << 20);
}

int workersFor(std::int64_t points, int threads)
{
    const std::int64_t chunks = points / kChunkPoints + (points % kChunkPoints != 0 ? 1 : 0);
    return int(std::clamp<std::int64_t>(chunks, 1, std::max(1, threads)));
}

} // namespace

std::size_t bytesNeeded(const Frame& frame, std::int64_t points, int threads)
{
    const int workers = workersFor(points, threads);
    const std::size_t buffer = HitSums::bytesFor(frame.width, frame.height);
    if (workers == 1)
        return buffer;
    if (privateBuffersFit(frame.width, frame.height, workers))
        return std::size_t(workers) * buffer;
    return buffer + std::size_t(workers) * HitSums::queueBytesFor(frame.width, frame.height);
}

void accumulate(const RenderPlan& plan, int threads, HitSums& into, const Progress& progress, bool oneBuffer)
{
    HitPalette palette;
    const KernelTables tables = tablesFor(plan, into, palette);
    const std::int64_t chunks = plan.points / kChunkPoints + (plan.points % kChunkPoints != 0 ? 1 : 0);
    const int workers = workersFor(plan.points, threads);
    const bool shared = workers > 1 && (oneBuffer || !privateBuffersFit(into.width(), into.height(), workers));
    std::vector<std::unique_ptr<HitSums>> own;
    if (workers > 1 && !shared)
        for (int w = 1; w < workers; ++w)
            own.push_back(std::make_unique<HitSums>(into.width(), into.height()));

    std::atomic<std::int64_t> nextChunk{0};
    std::atomic<std::int64_t> done{0};
    std::vector<std::exception_ptr> failures(static_cast<std::size_t>(workers));
    std::mutex mutex;
    std::condition_variable finishedChanged;
    int finished = 0;
    {
        std::vector<std::jthread> pool;
        for (int w = 0; w < workers; ++w) {
            pool.emplace_back([&, w] {
                try {
                    HitSums& target = w == 0 || shared ? into : *own[std::size_t(w - 1)];
                    HitSums::Writer writer(target, palette, shared);
                    for (std::int64_t c; (c = nextChunk.fetch_add(1, std::memory_order_relaxed)) < chunks;) {
                        const ChunkJob job{c, std::min(kChunkPoints, plan.points - c * kChunkPoints)};
                        HWY_DYNAMIC_DISPATCH(RunChunk)(tables, job, writer);
                        done.fetch_add(job.points, std::memory_order_relaxed);
                    }
                } catch (...) {
                    failures[std::size_t(w)] = std::current_exception();
                    nextChunk.store(chunks);   // the others stop at their next chunk
                }
                const std::lock_guard lock(mutex);
                ++finished;
                finishedChanged.notify_one();
            });
        }
        std::unique_lock lock(mutex);
        while (finished < workers) {
            finishedChanged.wait_for(lock, std::chrono::milliseconds(100));
            if (progress) {
                lock.unlock();
                progress(done.load(std::memory_order_relaxed), plan.points);
                lock.lock();
            }
        }
    }
    for (const std::exception_ptr& failure : failures)
        if (failure)
            std::rethrow_exception(failure);
    for (const auto& buffer : own)
        into.addAll(*buffer);
}

std::vector<std::string> simdTargets()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        for (std::int64_t target : hwy::SupportedAndGeneratedTargets())
            list.emplace_back(hwy::TargetName(target));
        return list;
    }();
    return names;
}

std::string simdTarget()
{
    return HWY_DYNAMIC_DISPATCH(TargetName)();
}

bool useSimdTarget(const std::string& name)
{
    const std::vector<std::string> names = simdTargets();   // listed before any target is forced
    if (name.empty()) {
        hwy::SetSupportedTargetsForTest(0);
    } else {
        if (std::find(names.begin(), names.end(), name) == names.end())
            return false;
        for (int bit = 0; bit < 63; ++bit) {
            const std::int64_t target = std::int64_t(1) << bit;
            if ((target & HWY_TARGETS) && name == hwy::TargetName(target))
                hwy::SetSupportedTargetsForTest(target);
        }
    }
    hwy::GetChosenTarget().DeInit();
    return true;
}

} // namespace fenra::render
#endif
