#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <span>
#include <string>
#include <utility>
#include <vector>

// A PNG written as its rows come, never the whole image in memory.
namespace fenra::files {

// Where the file's bytes go, in order; false when they could not be written.
using ByteSink = std::function<bool(const void* bytes, std::size_t size)>;

struct PngShape {
    int width = 1, height = 1;   // 1 to 2^31 - 1 each
    int depth = 8;               // bits a channel: 8 or 16. RGB, no alpha
};

// Rows to a PNG file: the header and text chunks first, then the image data,
// deflated in pieces of a fixed number of rows. Each piece is a deflate stream
// of its own ended by a full flush, so pieces are compressed on several
// threads at once and joined as they are; the checksum of the whole is
// combined from theirs. The pieces depend only on the shape, so the file's
// bytes are the same for any thread count and however the rows are handed in.
class PngStreamWriter {
public:
    // Rows a piece holds for this shape: about a megabyte of image data.
    static int rowsPerPiece(const PngShape& shape);

    // Writes the signature, the header and `texts` (tEXt chunks of a key and
    // its Latin-1 value, written byte for byte). `threads` at least 1.
    PngStreamWriter(ByteSink sink, const PngShape& shape, const std::vector<std::pair<std::string, std::string>>& texts,
                    int threads, int rowsInPiece = 0);
    ~PngStreamWriter();
    PngStreamWriter(const PngStreamWriter&) = delete;
    PngStreamWriter& operator=(const PngStreamWriter&) = delete;

    // The next rows, whole: 8 bits, 0xFFRRGGBB pixels (alpha dropped); or
    // 16 bits, R, G, B a pixel. Rows beyond the height are an error.
    void addRows(std::span<const std::uint32_t> argb);
    void addRows(std::span<const std::uint16_t> rgb);

    // Writes what is left and the end. False when a row is missing or the sink
    // failed (then the file is not whole, and the caller discards it).
    bool finish();

private:
    void addBytes(const std::uint8_t* rows, std::size_t rowCount);
    void submit(bool last);
    void writeOldest();
    bool writeChunk(const char type[4], const void* data, std::size_t size);

    ByteSink m_sink;
    PngShape m_shape;
    int m_threads;
    int m_rowsInPiece;
    std::size_t m_inputRowBytes;               // as handed in: 4 or 6 bytes a pixel
    std::vector<std::uint8_t> m_rows;          // the piece being filled, as handed in
    std::vector<std::uint8_t> m_previousRow;   // the row before it, for the filters
    int m_rowsTaken = 0;
    bool m_firstPiece = true;
    bool m_ok = true;
    bool m_finished = false;
    std::uint32_t m_adler;
    std::deque<std::future<std::pair<std::vector<std::uint8_t>, std::uint32_t>>>
        m_inFlight;                            // deflated bytes, adler32
    std::deque<std::size_t> m_inFlightBytes;   // the raw bytes of each, for the combined checksum
};

}   // namespace fenra::files
