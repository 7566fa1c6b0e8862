#include "files/SumsFile.h"

#include <QCryptographicHash>

#include <algorithm>
#include <cstring>
#include <map>
#include <new>

namespace fenra::files {
namespace {

constexpr char kMagic[8] = {'F', 'E', 'N', 'R', 'A', 'S', 'U', 'M'};
constexpr char kEndMagic[4] = {'F', 'E', 'N', 'D'};
constexpr std::size_t kHeaderBytes = 64;
constexpr std::size_t kTrailerBytes = 20;
constexpr std::size_t kMostPixelBytes = 4 * 10;   // four 64-bit numbers of 7 bits a byte
constexpr std::uint32_t kCheckpointFlag = 1;

void putLittle(std::uint8_t* at, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        at[i] = std::uint8_t(value >> (8 * i));
}

std::uint64_t little(const std::uint8_t* at, int bytes)
{
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | at[i];
    return value;
}

std::array<std::uint8_t, kHeaderBytes> headerBytes(const SumsHeader& h)
{
    std::array<std::uint8_t, kHeaderBytes> b{};
    std::memcpy(b.data(), kMagic, 8);
    putLittle(&b[8], kSumsVersion, 4);
    putLittle(&b[12], h.checkpoint ? kCheckpointFlag : 0, 4);
    std::memcpy(&b[16], h.request.data(), 32);
    putLittle(&b[48], h.part, 4);
    putLittle(&b[52], h.parts, 4);
    putLittle(&b[56], h.width, 4);
    putLittle(&b[60], h.height, 4);
    return b;
}

std::uint32_t crcOf(std::uint32_t crc, const void* bytes, std::size_t size)
{
    return std::uint32_t(crc32(crc, static_cast<const Bytef*>(bytes), uInt(size)));
}

// Seven bits a byte, low first; the top bit says more follow. Small sums take one byte.
void putNumber(std::vector<std::uint8_t>& out, std::uint64_t v)
{
    while (v >= 0x80) {
        out.push_back(std::uint8_t(v | 0x80));
        v >>= 7;
    }
    out.push_back(std::uint8_t(v));
}

}   // namespace

std::array<std::uint8_t, 32> requestHash(const std::string& canonicalText)
{
    const QByteArray digest = QCryptographicHash::hash(
        QByteArrayView(canonicalText.data(), qsizetype(canonicalText.size())), QCryptographicHash::Sha256);
    std::array<std::uint8_t, 32> hash{};
    std::memcpy(hash.data(), digest.constData(), hash.size());
    return hash;
}

// -------- writing --------

SumsWriter::SumsWriter(ByteSink sink, const SumsHeader& header)
    : m_sink(std::move(sink)), m_header(header), m_crc(std::uint32_t(crc32(0, nullptr, 0)))
{
    // Small numbers in runs: the fastest level already takes most of the room out.
    if (deflateInit(&m_z, 1) != Z_OK)
        throw std::bad_alloc();
    const auto bytes = headerBytes(header);
    m_crc = crcOf(m_crc, bytes.data(), bytes.size());
    put(bytes.data(), bytes.size());
    // The notes: their count, then each key and value after its length.
    std::vector<std::uint8_t> notes(4);
    putLittle(notes.data(), header.about.size(), 4);
    for (const auto& [key, value] : header.about)
        for (const std::string* text : {&key, &value}) {
            std::uint8_t length[4];
            putLittle(length, text->size(), 4);
            notes.insert(notes.end(), length, length + 4);
            notes.insert(notes.end(), text->begin(), text->end());
        }
    m_crc = crcOf(m_crc, notes.data(), notes.size());
    put(notes.data(), notes.size());
}

SumsWriter::~SumsWriter() { deflateEnd(&m_z); }

bool SumsWriter::put(const void* bytes, std::size_t size)
{
    m_ok = m_ok && m_sink(bytes, size);
    return m_ok;
}

bool SumsWriter::deflateSome(int flush)
{
    m_z.next_in = m_encoded.data();
    m_z.avail_in = uInt(m_encoded.size());
    m_out.resize(1 << 16);
    int status;
    do {
        m_z.next_out = m_out.data();
        m_z.avail_out = uInt(m_out.size());
        status = deflate(&m_z, flush);
        put(m_out.data(), m_out.size() - m_z.avail_out);
    } while (m_z.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
    m_encoded.clear();
    return m_ok;
}

void SumsWriter::addRow(std::span<const render::Sums> row)
{
    if (row.size() != m_header.width || m_rows == m_header.height)
        throw std::invalid_argument("a row of the sums' width, at most their height");
    for (const render::Sums& p : row) {
        putNumber(m_encoded, p.hits);
        if (p.hits != 0) {   // a pixel without hits has no colour
            putNumber(m_encoded, p.r);
            putNumber(m_encoded, p.g);
            putNumber(m_encoded, p.b);
        }
    }
    m_crc = crcOf(m_crc, m_encoded.data(), m_encoded.size());
    ++m_rows;
    deflateSome(Z_NO_FLUSH);
}

bool SumsWriter::finish(std::uint64_t chunksDone)
{
    deflateSome(Z_FINISH);
    std::uint8_t trailer[kTrailerBytes];
    std::memcpy(trailer, kEndMagic, 4);
    putLittle(trailer + 4, m_rows, 4);
    putLittle(trailer + 8, chunksDone, 8);
    putLittle(trailer + 16, crcOf(m_crc, trailer, 16), 4);
    return put(trailer, sizeof trailer);
}

// -------- reading --------

SumsReader::SumsReader(std::istream& in) : m_in(in), m_crc(std::uint32_t(crc32(0, nullptr, 0)))
{
    std::uint8_t b[kHeaderBytes];
    m_in.read(reinterpret_cast<char*>(b), kHeaderBytes);
    if (std::size_t(m_in.gcount()) < 8 || std::memcmp(b, kMagic, 8) != 0) {
        fail("not a sums file");
        return;
    }
    if (std::size_t(m_in.gcount()) < kHeaderBytes) {
        fail("cut short");
        return;
    }
    if (little(&b[8], 4) != kSumsVersion) {
        fail("a sums file of version " + std::to_string(little(&b[8], 4)) + "; this program reads version "
             + std::to_string(kSumsVersion));
        return;
    }
    SumsHeader h;
    h.checkpoint = (little(&b[12], 4) & kCheckpointFlag) != 0;
    std::memcpy(h.request.data(), &b[16], 32);
    h.part = std::uint32_t(little(&b[48], 4));
    h.parts = std::uint32_t(little(&b[52], 4));
    h.width = std::uint32_t(little(&b[56], 4));
    h.height = std::uint32_t(little(&b[60], 4));
    if (h.parts < 1 || h.part < 1 || h.part > h.parts || h.width < 1 || h.height < 1 || h.width > (1u << 24)) {
        fail("damaged (its header makes no sense)");
        return;
    }
    m_crc = crcOf(m_crc, b, kHeaderBytes);
    // The notes, each text at most a megabyte: more is a damaged length, not a note.
    const auto take = [&](std::size_t size) -> std::optional<std::string> {
        std::string bytes(size, '\0');
        m_in.read(bytes.data(), std::streamsize(size));
        if (std::size_t(m_in.gcount()) != size)
            return std::nullopt;
        m_crc = crcOf(m_crc, bytes.data(), size);
        return bytes;
    };
    const auto takeLength = [&]() -> std::optional<std::size_t> {
        const std::optional<std::string> bytes = take(4);
        return bytes ? std::optional(std::size_t(little(reinterpret_cast<const std::uint8_t*>(bytes->data()), 4)))
                     : std::nullopt;
    };
    const std::optional<std::size_t> count = takeLength();
    if (!count || *count > 1024) {
        fail(count ? "damaged (its header makes no sense)" : "cut short");
        return;
    }
    for (std::size_t i = 0; i < *count; ++i) {
        std::optional<std::string> texts[2];
        for (auto& text : texts) {
            const std::optional<std::size_t> length = takeLength();
            if (length && *length > (std::size_t(1) << 20)) {
                fail("damaged (its header makes no sense)");
                return;
            }
            if (length)
                text = take(*length);
            if (!text) {
                fail("cut short");
                return;
            }
        }
        h.about.emplace_back(*texts[0], *texts[1]);
    }
    if (inflateInit(&m_z) != Z_OK)
        throw std::bad_alloc();
    m_zOpen = true;
    m_header = h;
}

SumsReader::~SumsReader()
{
    if (m_zOpen)
        inflateEnd(&m_z);
}

bool SumsReader::fail(const std::string& why)
{
    if (m_error.empty())
        m_error = why;
    m_header.reset();
    m_trailer.reset();
    return false;
}

// At least `wanted` inflated bytes ahead, unless the stream ends first. The
// checksum takes every byte as it is inflated.
bool SumsReader::fill(std::size_t wanted)
{
    m_plain.erase(m_plain.begin(), m_plain.begin() + std::ptrdiff_t(m_plainAt));
    m_plainAt = 0;
    while (m_plain.size() < wanted && !m_streamEnded) {
        if (m_z.avail_in == 0) {
            m_compressed.resize(1 << 16);
            m_in.read(reinterpret_cast<char*>(m_compressed.data()), std::streamsize(m_compressed.size()));
            m_compressed.resize(std::size_t(m_in.gcount()));
            if (m_compressed.empty())
                return fail("cut short");
            m_z.next_in = m_compressed.data();
            m_z.avail_in = uInt(m_compressed.size());
        }
        const std::size_t had = m_plain.size();
        m_plain.resize(had + (1 << 16));
        m_z.next_out = m_plain.data() + had;
        m_z.avail_out = 1 << 16;
        const int status = inflate(&m_z, Z_NO_FLUSH);
        m_plain.resize(m_plain.size() - m_z.avail_out);
        m_crc = crcOf(m_crc, m_plain.data() + had, m_plain.size() - had);
        if (status == Z_STREAM_END)
            m_streamEnded = true;
        else if (status != Z_OK && status != Z_BUF_ERROR)
            return fail("damaged (its sums do not inflate)");
    }
    return true;
}

bool SumsReader::readRow(std::span<render::Sums> row)
{
    if (!m_header || m_trailer)
        return false;
    if (row.size() != m_header->width)
        throw std::invalid_argument("a row of the sums' width");
    if (!fill(kMostPixelBytes))
        return false;
    if (m_plain.empty()) {   // no more rows
        readTrailer();
        return false;
    }
    if (m_rows == m_header->height)
        return fail("damaged (more rows than its height)");
    bool whole = true;
    const auto number = [&] {
        std::uint64_t v = 0;
        for (int shift = 0; whole; shift += 7) {
            if (m_plainAt == m_plain.size() || shift > 63) {
                whole = false;
                break;
            }
            const std::uint8_t byte = m_plain[m_plainAt++];
            v |= std::uint64_t(byte & 0x7F) << shift;
            if (byte < 0x80)
                break;
        }
        return v;
    };
    for (render::Sums& p : row) {
        if (m_plain.size() - m_plainAt < kMostPixelBytes && !fill(kMostPixelBytes))
            return false;
        p = {};
        p.hits = number();
        if (p.hits != 0) {
            p.r = number();
            p.g = number();
            p.b = number();
        }
    }
    if (!whole)
        return fail(m_streamEnded ? "damaged (a row cut short)" : "damaged (a number too long)");
    ++m_rows;
    return true;
}

void SumsReader::readTrailer()
{
    // What inflate read past its stream's end, then the rest of the file.
    std::vector<std::uint8_t> bytes(m_z.next_in, m_z.next_in + m_z.avail_in);
    const std::size_t had = bytes.size();
    bytes.resize(kTrailerBytes + 1);
    if (had < bytes.size()) {
        m_in.read(reinterpret_cast<char*>(bytes.data() + had), std::streamsize(bytes.size() - had));
        bytes.resize(had + std::size_t(m_in.gcount()));
    }
    if (bytes.size() < kTrailerBytes) {
        fail("cut short");
        return;
    }
    if (bytes.size() > kTrailerBytes || std::memcmp(bytes.data(), kEndMagic, 4) != 0
        || little(&bytes[16], 4) != crcOf(m_crc, bytes.data(), 16) || little(&bytes[4], 4) != m_rows) {
        fail("damaged (its checksum does not match)");
        return;
    }
    m_trailer = SumsTrailer{m_rows, little(&bytes[8], 8)};
}

// -------- merging --------

std::string mergeRefusal(const std::vector<NamedHeader>& parts)
{
    if (parts.empty())
        return "no parts to merge";
    const SumsHeader& first = parts.front().header;
    std::map<std::uint32_t, const std::string*> byShare;
    for (const NamedHeader& p : parts) {
        const SumsHeader& h = p.header;
        if (h.checkpoint)
            return p.name + " is a checkpoint, not a finished part: run its command again to finish it";
        if (h.request != first.request || h.parts != first.parts || h.width != first.width || h.height != first.height)
            return p.name + " is a part of another render than " + parts.front().name;
        if (const auto [at, added] = byShare.emplace(h.part, &p.name); !added)
            return p.name + " is share " + std::to_string(h.part) + "/" + std::to_string(h.parts) + " again, as "
                   + *at->second + " is";
    }
    for (std::uint32_t k = 1; k <= first.parts; ++k)
        if (!byShare.count(k))
            return "share " + std::to_string(k) + "/" + std::to_string(first.parts) + " of " + parts.front().name
                   + "'s render is missing";
    return {};
}

}   // namespace fenra::files
