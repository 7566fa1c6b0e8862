// Compiled once per vector target (Highway's foreach_target re-includes this
// file); the code below HWY_ONCE is compiled once.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "render/Kernel.cpp"
#include <hwy/aligned_allocator.h>
#include <hwy/foreach_target.h>   // must come before highway.h
#include <hwy/highway.h>

#include "render/AliasTable.h"
#include "render/Kernel.h"
#include "render/KernelTables.h"

#include <limits>

#ifndef FENRA_RENDER_KERNEL_ONCE
#define FENRA_RENDER_KERNEL_ONCE
namespace fenra::render {

// A draw of 32 random bits picks a map by its top kBucketBits bits times the
// number of maps: the whole part of that is the bucket, the rest its fraction,
// compared with the alias table's threshold.
inline constexpr int kBucketBits = 26;
inline constexpr int kDrawShift = 32 - kBucketBits;   // the low bits a draw drops
inline constexpr std::uint32_t kFractionMask = (std::uint32_t(1) << kBucketBits) - 1;
static_assert((std::int64_t(1) << kBucketBits) == AliasTable::kScale,
              "a bucket's fraction is in the alias table's units");
static_assert(std::uint64_t(kMaxMaps) << kBucketBits <= std::uint64_t(1) << 32,
              "the top bits times the number of maps fit 32 bits");
// A hit's entry (its map, or its colour coordinate in 256 steps) indexes the
// palette and fills the 8 low bits of a queued record.
static_assert(kMaxMaps <= 256 && std::tuple_size_v<HitPalette> == 256, "an entry is 8 bits");

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

}   // namespace fenra::render
#endif

HWY_BEFORE_NAMESPACE();
namespace fenra::render::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using FloatTag = hn::CappedTag<float, kChainsPerChunk>;
using IntTag = hn::RebindToSigned<FloatTag>;
using WordTag = hn::RebindToUnsigned<FloatTag>;
using Floats = hn::Vec<FloatTag>;
using Ints = hn::Vec<IntTag>;
using Words = hn::Vec<WordTag>;

// The xoshiro128** states of a register of chains.
struct Generator {
    Words s0, s1, s2, s3;
};

// Where a register of chains is: its points and (with the palette) colour coordinates.
struct Chains {
    Floats x, y, colour;
};

// The maps' columns, read per lane by map number: by permuting a register
// when every map fits in one, else by gathering from the tables.
template <bool kPermute>
class MapColumns {
public:
    explicit MapColumns(const KernelTables& tables) : m_tables(tables)
    {
        if constexpr (kPermute) {
            for (int j = 0; j < 6; ++j)
                m_coefficients[j] = hn::LoadU(FloatTag(), tables.c[j]);
            m_colourAt = hn::LoadU(FloatTag(), tables.colourAt);
            m_threshold = hn::LoadU(IntTag(), tables.threshold);
            m_alias = hn::LoadU(IntTag(), tables.alias);
            m_drawn = hn::LoadU(IntTag(), tables.drawn);
        }
    }
    HWY_INLINE Floats coefficient(int j, Ints map) const { return column(m_coefficients[j], m_tables.c[j], map); }
    HWY_INLINE Floats colourAt(Ints map) const { return column(m_colourAt, m_tables.colourAt, map); }
    HWY_INLINE Ints threshold(Ints map) const { return column(m_threshold, m_tables.threshold, map); }
    HWY_INLINE Ints alias(Ints map) const { return column(m_alias, m_tables.alias, map); }
    HWY_INLINE Ints drawn(Ints map) const { return column(m_drawn, m_tables.drawn, map); }

private:
    template <class V, typename T>
    HWY_INLINE V column(V loaded, const T* table, Ints map) const
    {
        const hn::DFromV<V> d;
        if constexpr (kPermute)
            return hn::TableLookupLanes(loaded, hn::IndicesFromVec(d, map));
        else
            return hn::GatherIndex(d, table, map);
    }

    const KernelTables& m_tables;
    Floats m_coefficients[6] = {};
    Floats m_colourAt = {};
    Ints m_threshold = {}, m_alias = {}, m_drawn = {};
};

// The generators of chains first .. first + lanes - 1 of the chunk.
HWY_INLINE Generator SeedChains(std::uint64_t seed, std::int64_t chunk, std::int64_t first)
{
    const WordTag wordTag;
    const std::size_t lanes = hn::Lanes(wordTag);
    HWY_ALIGN std::uint32_t words[4][kChainsPerChunk];   // a register holds at most a chunk's chains
    for (std::size_t i = 0; i < lanes; ++i) {
        std::uint32_t state[4];
        chainState(seed, chunk, first + std::int64_t(i), state);
        for (int w = 0; w < 4; ++w)
            words[w][i] = state[w];
    }
    return {hn::Load(wordTag, words[0]), hn::Load(wordTag, words[1]), hn::Load(wordTag, words[2]),
            hn::Load(wordTag, words[3])};
}

// xoshiro128**: 32 random bits per lane, its multiplies by 5 and 9 as shifts and adds.
HWY_INLINE Words StepGenerator(Generator& generator)
{
    const Words five = hn::Add(hn::ShiftLeft<2>(generator.s1), generator.s1);
    const Words rotated = hn::RotateRight<25>(five);
    const Words bits = hn::Add(hn::ShiftLeft<3>(rotated), rotated);
    const Words shifted = hn::ShiftLeft<9>(generator.s1);
    generator.s2 = hn::Xor(generator.s2, generator.s0);
    generator.s3 = hn::Xor(generator.s3, generator.s1);
    generator.s1 = hn::Xor(generator.s1, generator.s2);
    generator.s0 = hn::Xor(generator.s0, generator.s3);
    generator.s2 = hn::Xor(generator.s2, shifted);
    generator.s3 = hn::RotateRight<21>(generator.s3);
    return bits;
}

// The map each lane's draw picks: its bucket, or the bucket's alias.
template <bool kWeighted, bool kPermute>
HWY_INLINE Ints PickMap(const MapColumns<kPermute>& columns, Words bits, Words mapCount)
{
    const IntTag intTag;
    const Words scaled = hn::Mul(hn::ShiftRight<kDrawShift>(bits), mapCount);
    const Ints map = hn::BitCast(intTag, hn::ShiftRight<kBucketBits>(scaled));
    if constexpr (!kWeighted)
        return map;
    const Ints fraction = hn::BitCast(intTag, hn::And(scaled, hn::Set(WordTag(), kFractionMask)));
    return hn::IfThenElse(hn::Lt(fraction, columns.threshold(map)), map, columns.alias(map));
}

// One coordinate of every lane's map: c[row]·x + c[row + 1]·y + c[row + 2].
template <bool kPermute>
HWY_INLINE Floats AffineRow(const MapColumns<kPermute>& columns, int row, Ints map, const Chains& chains)
{
    const Floats fromX = hn::Mul(columns.coefficient(row, map), chains.x);
    const Floats fromY = hn::Mul(columns.coefficient(row + 1, map), chains.y);
    return hn::Add(hn::Add(fromX, fromY), columns.coefficient(row + 2, map));
}

// Moves every lane's point by its map, as separate multiplies and adds; a
// coordinate that overflows (or is not a number) keeps its last value.
template <bool kBlend, bool kPermute>
HWY_INLINE void ApplyMap(const MapColumns<kPermute>& columns, Ints map, Chains& chains)
{
    const FloatTag floatTag;
    const Floats largest = hn::Set(floatTag, std::numeric_limits<float>::max());
    const Floats y = AffineRow(columns, 3, map, chains);
    const Floats x = AffineRow(columns, 0, map, chains);
    chains.x = hn::IfThenElse(hn::Le(hn::Abs(x), largest), x, chains.x);
    chains.y = hn::IfThenElse(hn::Le(hn::Abs(y), largest), y, chains.y);
    if constexpr (kBlend)
        chains.colour = hn::Mul(hn::Add(chains.colour, columns.colourAt(map)), hn::Set(floatTag, 0.5f));
}

// One step of every lane's chain: a draw picks its map, which moves its point; returns the maps.
template <bool kWeighted, bool kBlend, bool kPermute>
HWY_INLINE Ints Step(const MapColumns<kPermute>& columns, Words mapCount, Generator& generator, Chains& chains)
{
    const Ints map = PickMap<kWeighted>(columns, StepGenerator(generator), mapCount);
    ApplyMap<kBlend>(columns, map, chains);
    return map;
}

// The hits of a register of chains, added kStepsAhead steps after their
// pixels were asked for: the memory fetches many of them meanwhile, which a
// big picture's sums, far beyond the caches, need. Pixel -1 is outside.
class PendingHits {
public:
    static constexpr std::size_t kStepsAhead = 8;

    // `memory`: room for 2 · kStepsAhead registers of int32, aligned.
    PendingHits(HitSums::Writer& out, std::int32_t* memory)
        : m_out(out), m_pixels(memory), m_entries(memory + kStepsAhead * hn::Lanes(IntTag()))
    {}

    // Asks for the first `count` lanes' pixels, adds the hits of kStepsAhead steps ago.
    HWY_INLINE void plot(Ints pixel, Ints entry, std::size_t count)
    {
        add(m_slot);
        std::int32_t* pixels = m_pixels + m_slot * hn::Lanes(IntTag());
        hn::Store(pixel, IntTag(), pixels);
        hn::Store(entry, IntTag(), m_entries + m_slot * hn::Lanes(IntTag()));
        for (std::size_t i = 0; i < count; ++i)
            if (pixels[i] >= 0)
                m_out.prefetch(std::uint32_t(pixels[i]));
        m_count[m_slot] = count;
        m_slot = (m_slot + 1) % kStepsAhead;
    }
    HWY_INLINE void flush()
    {
        for (std::size_t slot = 0; slot < kStepsAhead; ++slot)
            add(slot);
    }

private:
    HWY_INLINE void add(std::size_t slot)
    {
        const std::int32_t* pixels = m_pixels + slot * hn::Lanes(IntTag());
        const std::int32_t* entries = m_entries + slot * hn::Lanes(IntTag());
        for (std::size_t i = 0; i < m_count[slot]; ++i)
            if (pixels[i] >= 0)
                m_out.add(std::uint32_t(pixels[i]), std::uint32_t(entries[i]));
        m_count[slot] = 0;
    }

    HitSums::Writer& m_out;
    std::int32_t *m_pixels, *m_entries;
    std::size_t m_count[kStepsAhead] = {};
    std::size_t m_slot = 0;
};

// Where map units land in the sums, in every lane.
struct Projection {
    explicit Projection(const KernelTables& tables)
        : sx(hn::Set(FloatTag(), tables.sx)), tx(hn::Set(FloatTag(), tables.tx)), sy(hn::Set(FloatTag(), tables.sy)),
          ty(hn::Set(FloatTag(), tables.ty)), width(hn::Set(FloatTag(), tables.width)),
          height(hn::Set(FloatTag(), tables.height)), stride(hn::Set(IntTag(), tables.stride)),
          firstRow(hn::Set(IntTag(), tables.firstRow)), bandRows(hn::Set(IntTag(), tables.bandRows)),
          allDrawn(tables.allDrawn)
    {}
    Floats sx, tx, sy, ty, width, height;
    Ints stride, firstRow, bandRows;   // the sums hold the rows [firstRow, firstRow + bandRows) of the grid
    bool allDrawn;
};

// Where each lane's point lands in the sums (-1 outside or hidden), and the
// palette entry its hit adds.
template <bool kBlend, bool kPermute>
HWY_INLINE void Plot(const Projection& projection, const MapColumns<kPermute>& columns, const Chains& chains, Ints map,
                     std::size_t count, PendingHits& hits)
{
    const FloatTag floatTag;
    const IntTag intTag;
    const Floats zero = hn::Zero(floatTag);
    const Floats column = hn::Add(hn::Mul(chains.x, projection.sx), projection.tx);
    const Floats row = hn::Add(hn::Mul(chains.y, projection.sy), projection.ty);
    auto inside = hn::And(hn::And(hn::Ge(column, zero), hn::Lt(column, projection.width)),
                          hn::And(hn::Ge(row, zero), hn::Lt(row, projection.height)));
    if (!projection.allDrawn)
        inside = hn::And(inside, hn::RebindMask(floatTag, hn::MaskFromVec(columns.drawn(map))));
    // Converted only where inside, so every conversion is in range; then only
    // the rows of the band the sums hold are kept, by whole rows.
    const Ints columnIndex = hn::ConvertTo(intTag, hn::IfThenElseZero(inside, column));
    const Ints rowIndex = hn::Sub(hn::ConvertTo(intTag, hn::IfThenElseZero(inside, row)), projection.firstRow);
    const Ints outside = hn::Set(intTag, -1);
    const auto kept = hn::And(hn::RebindMask(intTag, inside),
                              hn::And(hn::Gt(rowIndex, outside), hn::Lt(rowIndex, projection.bandRows)));
    const Ints pixel = hn::IfThenElse(kept, hn::Add(hn::Mul(rowIndex, projection.stride), columnIndex), outside);
    if constexpr (kBlend)
        hits.plot(pixel, hn::ConvertTo(intTag, hn::Mul(chains.colour, hn::Set(floatTag, 255.0f))), count);
    else
        hits.plot(pixel, map, count);
}

// Runs the chains of one chunk, a register of them at a time: each takes its
// lead-in steps, then draws its share of the chunk's points.
template <bool kPermute, bool kWeighted, bool kBlend>
HWY_NOINLINE void runChunk(const KernelTables& tables, const ChunkJob& job, HitSums::Writer& out)
{
    const FloatTag floatTag;
    const std::int64_t lanes = std::int64_t(hn::Lanes(floatTag));
    const MapColumns<kPermute> columns(tables);
    const Projection projection(tables);
    const Words mapCount = hn::Set(WordTag(), std::uint32_t(tables.maps));
    const auto memory = hwy::AllocateAligned<std::int32_t>(2 * PendingHits::kStepsAhead * std::size_t(lanes));
    PendingHits hits(out, memory.get());

    const std::int64_t steps = job.points / kChainsPerChunk;    // every chain
    const std::int64_t longer = job.points % kChainsPerChunk;   // chains 0 .. longer-1 take one more
    for (std::int64_t first = 0; first < kChainsPerChunk; first += lanes) {
        const std::int64_t active = std::min(lanes, kChainsPerChunk - first);
        Generator generator = SeedChains(tables.seed, job.chunk, first);
        Chains chains{hn::Zero(floatTag), hn::Zero(floatTag), hn::Set(floatTag, 0.5f)};
        for (int i = 0; i < kLeadInSteps; ++i)
            Step<kWeighted, kBlend>(columns, mapCount, generator, chains);
        for (std::int64_t i = 0; i < steps; ++i) {
            const Ints map = Step<kWeighted, kBlend>(columns, mapCount, generator, chains);
            Plot<kBlend>(projection, columns, chains, map, std::size_t(active), hits);
        }
        if (longer > first) {
            const Ints map = Step<kWeighted, kBlend>(columns, mapCount, generator, chains);
            Plot<kBlend>(projection, columns, chains, map, std::size_t(std::min(longer - first, active)), hits);
        }
        hits.flush();
    }
}

// The variant of runChunk for the tables, on this target.
void RunChunkOnTarget(const KernelTables& tables, const ChunkJob& job, HitSums::Writer& out)
{
    const bool permute = std::size_t(tables.maps) <= hn::Lanes(FloatTag());
    const int which = (permute ? 4 : 0) | (tables.weighted ? 2 : 0) | (tables.blend ? 1 : 0);
    switch (which) {
    case 0:
        return runChunk<false, false, false>(tables, job, out);
    case 1:
        return runChunk<false, false, true>(tables, job, out);
    case 2:
        return runChunk<false, true, false>(tables, job, out);
    case 3:
        return runChunk<false, true, true>(tables, job, out);
    case 4:
        return runChunk<true, false, false>(tables, job, out);
    case 5:
        return runChunk<true, false, true>(tables, job, out);
    case 6:
        return runChunk<true, true, false>(tables, job, out);
    default:
        return runChunk<true, true, true>(tables, job, out);
    }
}

const char* TargetName() { return hwy::TargetName(HWY_TARGET); }

}   // namespace fenra::render::HWY_NAMESPACE
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

std::string simdTarget() { return HWY_DYNAMIC_DISPATCH(TargetName)(); }

}   // namespace fenra::render
#endif
