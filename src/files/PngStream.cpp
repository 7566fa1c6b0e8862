#include "files/PngStream.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>

namespace fenra::files {
namespace {

constexpr std::size_t kPieceBytes = std::size_t(1) << 20;
constexpr int kLevel = 6;   // zlib's default: the size of the files Qt's writer made

void putBigEndian(std::uint8_t* at, std::uint32_t value)
{
    at[0] = std::uint8_t(value >> 24);
    at[1] = std::uint8_t(value >> 16);
    at[2] = std::uint8_t(value >> 8);
    at[3] = std::uint8_t(value);
}

std::size_t pngRowBytes(const PngShape& shape) { return std::size_t(shape.width) * (shape.depth == 16 ? 6 : 3); }

// A row as the file holds it: R, G, B, 16-bit samples big-endian.
void toPngSamples(const std::uint8_t* in, int width, int depth, std::uint8_t* out)
{
    if (depth == 8) {
        for (int x = 0; x < width; ++x) {
            std::uint32_t p;
            std::memcpy(&p, in + 4 * std::size_t(x), 4);
            out[3 * x] = std::uint8_t(p >> 16);
            out[3 * x + 1] = std::uint8_t(p >> 8);
            out[3 * x + 2] = std::uint8_t(p);
        }
        return;
    }
    for (std::size_t i = 0; i < 3 * std::size_t(width); ++i) {
        std::uint16_t v;
        std::memcpy(&v, in + 2 * i, 2);
        out[2 * i] = std::uint8_t(v >> 8);
        out[2 * i + 1] = std::uint8_t(v);
    }
}

int paeth(int a, int b, int c)
{
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Filter `type` of one byte, from it, the byte to its left (a), above (b) and above left (c).
template <int kType>
std::uint8_t filtered(int x, int a, int b, int c)
{
    if constexpr (kType == 1)
        return std::uint8_t(x - a);
    else if constexpr (kType == 2)
        return std::uint8_t(x - b);
    else if constexpr (kType == 3)
        return std::uint8_t(x - (a + b) / 2);
    else if constexpr (kType == 4)
        return std::uint8_t(x - paeth(a, b, c));
    return std::uint8_t(x);
}

// Filter `type` of one row into `out`; returns the sum of its bytes' sizes read
// as signed numbers. The first pixel has nothing to its left; the loop over the
// rest has no branches, so the compiler keeps it in vector registers.
template <int kType>
long filterWith(const std::uint8_t* row, const std::uint8_t* above, std::size_t size, std::size_t bpp,
                std::uint8_t* out)
{
    long cost = 0;
    for (std::size_t i = 0; i < std::min(bpp, size); ++i) {
        out[i] = filtered<kType>(row[i], 0, above[i], 0);
        cost += std::abs(int(std::int8_t(out[i])));
    }
    for (std::size_t i = bpp; i < size; ++i) {
        out[i] = filtered<kType>(row[i], row[i - bpp], above[i], above[i - bpp]);
        cost += std::abs(int(std::int8_t(out[i])));
    }
    return cost;
}

// The row filtered, its filter type first, by the filter whose bytes sum
// smallest: the usual choice of PNG writers.
void filterRow(const std::uint8_t* row, const std::uint8_t* above, std::size_t size, std::size_t bpp, std::uint8_t* out,
               std::vector<std::uint8_t>& trial)
{
    trial.resize(size);
    using Filter = long (*)(const std::uint8_t*, const std::uint8_t*, std::size_t, std::size_t, std::uint8_t*);
    static constexpr Filter kFilters[] = {filterWith<0>, filterWith<1>, filterWith<2>, filterWith<3>, filterWith<4>};
    long best = -1;
    for (std::uint8_t type = 0; type < 5; ++type) {
        const long cost = kFilters[type](row, above, size, bpp, trial.data());
        if (best < 0 || cost < best) {
            best = cost;
            out[0] = type;
            std::memcpy(out + 1, trial.data(), size);
        }
    }
}

struct Deflated {
    std::vector<std::uint8_t> bytes;
    std::uint32_t adler;
    std::size_t rawBytes;
};

// One piece: its rows filtered against the row before it, and deflated on
// their own, ending with a full flush (or, the last, the stream's end).
Deflated deflatePiece(std::vector<std::uint8_t> rows, std::vector<std::uint8_t> previous, PngShape shape, bool last)
{
    const std::size_t inRow = std::size_t(shape.width) * (shape.depth == 16 ? 6 : 4);
    const std::size_t outRow = pngRowBytes(shape);
    const std::size_t count = rows.size() / inRow;
    const std::size_t bpp = shape.depth == 16 ? 6 : 3;
    std::vector<std::uint8_t> filtered(count * (outRow + 1)), above(outRow, 0), current(outRow), trial;
    if (!previous.empty())
        toPngSamples(previous.data(), shape.width, shape.depth, above.data());
    for (std::size_t r = 0; r < count; ++r) {
        toPngSamples(rows.data() + r * inRow, shape.width, shape.depth, current.data());
        filterRow(current.data(), above.data(), outRow, bpp, filtered.data() + r * (outRow + 1), trial);
        std::swap(current, above);
    }
    rows = {};

    z_stream z{};
    if (deflateInit2(&z, kLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::bad_alloc();
    Deflated out{std::vector<std::uint8_t>(deflateBound(&z, uLong(filtered.size())) + 64),
                 std::uint32_t(adler32(adler32(0, nullptr, 0), filtered.data(), uInt(filtered.size()))),
                 filtered.size()};
    z.next_in = filtered.data();
    z.avail_in = uInt(filtered.size());
    z.next_out = out.bytes.data();
    z.avail_out = uInt(out.bytes.size());
    const int status = deflate(&z, last ? Z_FINISH : Z_FULL_FLUSH);
    const bool whole = last ? status == Z_STREAM_END : status == Z_OK && z.avail_in == 0;
    out.bytes.resize(out.bytes.size() - z.avail_out);
    deflateEnd(&z);
    if (!whole)
        throw std::runtime_error("deflate could not finish a piece");
    return out;
}

}   // namespace

int PngStreamWriter::rowsPerPiece(const PngShape& shape)
{
    return int(std::clamp<std::size_t>(kPieceBytes / pngRowBytes(shape), 1, std::size_t(shape.height)));
}

PngStreamWriter::PngStreamWriter(ByteSink sink, const PngShape& shape,
                                 const std::vector<std::pair<std::string, std::string>>& texts, int threads,
                                 int rowsInPiece)
    : m_sink(std::move(sink)), m_shape(shape), m_threads(std::max(1, threads)),
      m_rowsInPiece(rowsInPiece > 0 ? rowsInPiece : rowsPerPiece(shape)),
      m_inputRowBytes(std::size_t(shape.width) * (shape.depth == 16 ? 6 : 4)),
      m_adler(std::uint32_t(adler32(0, nullptr, 0)))
{
    if (shape.width < 1 || shape.height < 1 || (shape.depth != 8 && shape.depth != 16))
        throw std::invalid_argument("a PNG of at least one pixel, 8 or 16 bits a channel");
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    m_ok = m_sink(signature, sizeof signature);
    std::uint8_t header[13] = {};
    putBigEndian(header, std::uint32_t(shape.width));
    putBigEndian(header + 4, std::uint32_t(shape.height));
    header[8] = std::uint8_t(shape.depth);
    header[9] = 2;   // RGB; compression, filter method and interlace stay 0
    writeChunk("IHDR", header, sizeof header);
    for (const auto& [key, value] : texts) {
        const std::string data = key + '\0' + value;
        writeChunk("tEXt", data.data(), data.size());
    }
}

PngStreamWriter::~PngStreamWriter()
{
    for (auto& piece : m_inFlight)
        if (piece.valid())
            piece.wait();   // never leave a thread working on freed memory
}

bool PngStreamWriter::writeChunk(const char type[4], const void* data, std::size_t size)
{
    std::uint8_t head[8];
    putBigEndian(head, std::uint32_t(size));
    std::memcpy(head + 4, type, 4);
    std::uint32_t crc = std::uint32_t(crc32(crc32(0, nullptr, 0), head + 4, 4));
    if (size > 0)   // zlib's crc32 of no buffer is its start value, not the crc so far
        crc = std::uint32_t(crc32(crc, static_cast<const Bytef*>(data), uInt(size)));
    std::uint8_t tail[4];
    putBigEndian(tail, crc);
    m_ok = m_ok && m_sink(head, 8) && (size == 0 || m_sink(data, size)) && m_sink(tail, 4);
    return m_ok;
}

void PngStreamWriter::addRows(std::span<const std::uint32_t> argb)
{
    if (m_shape.depth != 8 || argb.size() % std::size_t(m_shape.width) != 0)
        throw std::invalid_argument("8-bit rows, whole");
    addBytes(reinterpret_cast<const std::uint8_t*>(argb.data()), argb.size() / std::size_t(m_shape.width));
}

void PngStreamWriter::addRows(std::span<const std::uint16_t> rgb)
{
    if (m_shape.depth != 16 || rgb.size() % (3 * std::size_t(m_shape.width)) != 0)
        throw std::invalid_argument("16-bit rows, whole");
    addBytes(reinterpret_cast<const std::uint8_t*>(rgb.data()), rgb.size() / (3 * std::size_t(m_shape.width)));
}

void PngStreamWriter::addBytes(const std::uint8_t* rows, std::size_t rowCount)
{
    if (std::size_t(m_rowsTaken) + rowCount > std::size_t(m_shape.height))
        throw std::invalid_argument("more rows than the picture's height");
    while (rowCount > 0) {
        const std::size_t held = m_rows.size() / m_inputRowBytes;
        const std::size_t take = std::min(rowCount, std::size_t(m_rowsInPiece) - held);
        m_rows.insert(m_rows.end(), rows, rows + take * m_inputRowBytes);
        rows += take * m_inputRowBytes;
        rowCount -= take;
        m_rowsTaken += int(take);
        if (m_rows.size() / m_inputRowBytes == std::size_t(m_rowsInPiece) || m_rowsTaken == m_shape.height)
            submit(m_rowsTaken == m_shape.height);
    }
}

void PngStreamWriter::submit(bool last)
{
    std::vector<std::uint8_t> previous = std::move(m_previousRow);
    m_previousRow.assign(m_rows.end() - std::ptrdiff_t(m_inputRowBytes), m_rows.end());
    std::vector<std::uint8_t> rows = std::move(m_rows);
    m_rows.clear();
    m_inFlightBytes.push_back(rows.size() / m_inputRowBytes * (pngRowBytes(m_shape) + 1));
    const auto work = [rows = std::move(rows), previous = std::move(previous), shape = m_shape, last]() mutable {
        Deflated d = deflatePiece(std::move(rows), std::move(previous), shape, last);
        return std::make_pair(std::move(d.bytes), d.adler);
    };
    // One thread compresses as the rows come; more keep up to that many pieces going at once.
    m_inFlight.push_back(std::async(m_threads == 1 ? std::launch::deferred : std::launch::async, std::move(work)));
    while (m_inFlight.size() >= std::size_t(m_threads) || (last && !m_inFlight.empty()))
        writeOldest();
}

void PngStreamWriter::writeOldest()
{
    auto [bytes, adler] = m_inFlight.front().get();
    m_inFlight.pop_front();
    m_adler = std::uint32_t(adler32_combine(m_adler, adler, z_off_t(m_inFlightBytes.front())));
    m_inFlightBytes.pop_front();
    if (m_firstPiece) {
        // The zlib stream's header: deflate with a 32 KB window, the default level; 0x789C is divisible by 31.
        bytes.insert(bytes.begin(), {0x78, 0x9C});
        m_firstPiece = false;
    }
    if (m_inFlight.empty() && m_rowsTaken == m_shape.height) {
        std::uint8_t tail[4];
        putBigEndian(tail, m_adler);
        bytes.insert(bytes.end(), tail, tail + 4);
    }
    writeChunk("IDAT", bytes.data(), bytes.size());
}

bool PngStreamWriter::finish()
{
    if (m_finished)
        return m_ok;
    m_finished = true;
    if (m_rowsTaken != m_shape.height)
        return m_ok = false;
    return writeChunk("IEND", nullptr, 0);
}

}   // namespace fenra::files
