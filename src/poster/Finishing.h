#pragma once

#include "files/PngStream.h"
#include "render/ToneMapRows.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace fenra::poster {

using Texts = std::vector<std::pair<std::string, std::string>>;

// What turns a render's sums into its PNG: the tone, the bits a channel and
// the PNG's text chunks. A part's sums file carries it, so their merge writes
// the very file the whole render writes.
struct Finishing {
    render::ToneSettings tone;
    Texts pngTexts;
    bool operator==(const Finishing&) const = default;

    // As the notes of a sums file, numbers exactly; and back (nothing when one is missing or bad).
    Texts toNotes() const;
    static std::optional<Finishing> fromNotes(const Texts& notes);
};

// Sums rows in, a PNG out: the tone map and the encoder both on `threads` threads.
class PictureWriter {
public:
    PictureWriter(int fineWidth, int fineHeight, std::uint64_t mostHits, const Finishing& finishing, int threads,
                  files::ByteSink sink);
    void addRows(int count, const render::ToneMapRows::RowSource& source) { m_tone.addRows(count, source); }
    bool finish() { return m_png.finish(); }   // false unless every row came and the sink took every byte

private:
    files::PngStreamWriter m_png;
    render::ToneMapRows m_tone;
};

}   // namespace fenra::poster
