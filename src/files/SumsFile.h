#pragma once

#include "files/PngStream.h"
#include "render/HitSums.h"

#include <array>
#include <cstdint>
#include <istream>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <zlib.h>

// The integer sums of a render, or of a share of its chunks, as a file: what
// a part leaves for the merge, and what a checkpoint leaves for the next run.
// The layout is in docs/sums-file.md.
namespace fenra::files {

inline constexpr std::uint32_t kSumsVersion = 1;

// What the file is of, known before its rows.
struct SumsHeader {
    std::array<std::uint8_t, 32> request{};   // SHA-256 of the request's canonical text
    std::uint32_t part = 1, parts = 1;        // the share K of N
    std::uint32_t width = 1, height = 1;      // of the sums (the picture times its oversampling)
    bool checkpoint = false;                  // a render not yet finished, to be continued
    // What finishing the picture needs besides the sums (its tone, the PNG's
    // texts), as keys and values: a merge needs no other input.
    std::vector<std::pair<std::string, std::string>> about;
    bool operator==(const SumsHeader&) const = default;
};

// What is known at the end: the rows written (fewer than the height only in a
// checkpoint of a render drawn in bands), and the chunks of the share added
// into them (fewer than all only in a checkpoint of a render drawn whole).
struct SumsTrailer {
    std::uint32_t rows = 0;
    std::uint64_t chunksDone = 0;
    bool operator==(const SumsTrailer&) const = default;
};

// The request's identity: the SHA-256 of its canonical text.
std::array<std::uint8_t, 32> requestHash(const std::string& canonicalText);

// Writes rows as they come; the checksum covers the header and every row.
class SumsWriter {
public:
    SumsWriter(ByteSink sink, const SumsHeader& header);
    ~SumsWriter();
    SumsWriter(const SumsWriter&) = delete;
    SumsWriter& operator=(const SumsWriter&) = delete;

    void addRow(std::span<const render::Sums> row);   // width pixels
    bool finish(std::uint64_t chunksDone);            // false when the sink failed

private:
    bool put(const void* bytes, std::size_t size);
    bool deflateSome(int flush);

    ByteSink m_sink;
    SumsHeader m_header;
    z_stream m_z{};
    std::uint32_t m_crc;
    std::uint32_t m_rows = 0;
    std::vector<std::uint8_t> m_encoded, m_out;
    bool m_ok = true;
};

// Reads a sums file row by row. Every failure is a sentence for the user;
// the checksum is known good only once the last row was read (atEnd).
class SumsReader {
public:
    explicit SumsReader(std::istream& in);
    ~SumsReader();
    SumsReader(const SumsReader&) = delete;
    SumsReader& operator=(const SumsReader&) = delete;

    const std::optional<SumsHeader>& header() const { return m_header; }
    // The next row into `row` (width pixels). False at the end or on a failure.
    bool readRow(std::span<render::Sums> row);
    // After the rows: the trailer, when the file was whole and its checksum right.
    const std::optional<SumsTrailer>& trailer() const { return m_trailer; }
    const std::string& error() const { return m_error; }

private:
    bool fail(const std::string& why);
    bool fill(std::size_t wanted);
    void readTrailer();

    std::istream& m_in;
    std::optional<SumsHeader> m_header;
    std::optional<SumsTrailer> m_trailer;
    std::string m_error;
    z_stream m_z{};
    bool m_zOpen = false;
    bool m_streamEnded = false;
    std::uint32_t m_crc;
    std::uint32_t m_rows = 0;
    std::vector<std::uint8_t> m_compressed;
    std::vector<std::uint8_t> m_plain;   // inflated, not yet read
    std::size_t m_plainAt = 0;
};

// Why a set of part files cannot be merged, naming the file; empty when they
// are one request's shares 1 to N, each once, all finished.
struct NamedHeader {
    std::string name;
    SumsHeader header;
};
std::string mergeRefusal(const std::vector<NamedHeader>& parts);

}   // namespace fenra::files
