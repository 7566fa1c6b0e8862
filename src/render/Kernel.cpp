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
    const VI firstRow = hn::Set(di, t.firstRow), bandRows = hn::Set(di, t.bandRows);
    const VI outside = hn::Set(di, -1);

    auto seeds = hwy::AllocateAligned<std::uint32_t>(4 * lanes);
    // A step's hits are added kStepsAhead steps later, after their pixels
    // were asked for: the memory fetches many of them meanwhile, which a big
    // picture's sums, far beyond the caches, need. Pixel -1 is outside.
    constexpr std::size_t kStepsAhead = 8;
    auto hitMemory = hwy::AllocateAligned<std::int32_t>(2 * kStepsAhead * lanes);
    std::int32_t* const ringPixels = &hitMemory[0];
    std::int32_t* const ringEntries = &hitMemory[kStepsAhead * lanes];
    std::size_t ringCount[kStepsAhead] = {};
    std::size_t slot = 0;
    const auto addSlot = [&](std::size_t s) HWY_ATTR {
        const std::int32_t* pixels = ringPixels + s * lanes;
        const std::int32_t* entries = ringEntries + s * lanes;
        for (std::size_t i = 0; i < ringCount[s]; ++i)
            if (pixels[i] >= 0)
                out.add(std::uint32_t(pixels[i]), std::uint32_t(entries[i]));
        ringCount[s] = 0;
    };
    const auto addPending = [&]() HWY_ATTR {
        for (std::size_t s = 0; s < kStepsAhead; ++s)
            addSlot(s);
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
            // Converted only where inside, so every conversion is in range; then
            // only the rows of the band the sums hold are kept.
            const VI c = hn::ConvertTo(di, hn::IfThenElseZero(inside, col));
            const VI r = hn::Sub(hn::ConvertTo(di, hn::IfThenElseZero(inside, row)), firstRow);
            const auto insideI = hn::And(hn::RebindMask(di, inside), hn::And(hn::Gt(r, outside), hn::Lt(r, bandRows)));
            const VI pixel = hn::Add(hn::Mul(r, stride), c);
            VI entry;
            if constexpr (kBlend)
                entry = hn::ConvertTo(di, hn::Mul(colour, colourSteps));
            else
                entry = k;
            addSlot(slot);   // the hits of kStepsAhead steps ago
            std::int32_t* pixels = ringPixels + slot * lanes;
            hn::Store(hn::IfThenElse(insideI, pixel, outside), di, pixels);
            hn::Store(entry, di, ringEntries + slot * lanes);
            for (std::size_t i = 0; i < count; ++i)
                if (pixels[i] >= 0)
                    out.prefetch(std::uint32_t(pixels[i]));
            ringCount[slot] = count;
            slot = (slot + 1) % kStepsAhead;
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

// The variant of runChunk for the tables, on this target.
void RunChunkOnTarget(const KernelTables& t, const ChunkJob& job, HitSums::Writer& out)
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
namespace fenra::render {

HWY_EXPORT(RunChunkOnTarget);
HWY_EXPORT(TargetName);

void drawChunk(const KernelTables& tables, const ChunkJob& job, HitSums::Writer& out)
{
    HWY_DYNAMIC_DISPATCH(RunChunkOnTarget)(tables, job, out);
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

} // namespace fenra::render
#endif
