#include "poster/Merge.h"

#include "files/SumsFile.h"
#include "poster/Finishing.h"

#include <algorithm>
#include <fstream>
#include <memory>

namespace fenra::poster {
namespace {

constexpr int kRowsAtOnce = 64;

struct OpenParts {
    std::vector<std::unique_ptr<std::ifstream>> files;
    std::vector<std::unique_ptr<files::SumsReader>> readers;
};

// Opens every part and reads its header; the first failure, naming its file.
std::string open(const std::vector<std::string>& paths, OpenParts& parts)
{
    for (const std::string& path : paths) {
        auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
        if (!*file)
            return "cannot read " + path;
        auto reader = std::make_unique<files::SumsReader>(*file);
        if (!reader->header())
            return path + ": " + reader->error();
        parts.files.push_back(std::move(file));
        parts.readers.push_back(std::move(reader));
    }
    return {};
}

// The next `count` rows of every part, added into `rows`; the first failure, naming its file.
std::string readRows(const std::vector<std::string>& paths, OpenParts& parts, int count, std::size_t width,
                     std::vector<render::Sums>& rows)
{
    rows.assign(std::size_t(count) * width, render::Sums{});
    std::vector<render::Sums> row(width);
    for (std::size_t p = 0; p < parts.readers.size(); ++p)
        for (int r = 0; r < count; ++r) {
            if (!parts.readers[p]->readRow(row))
                return paths[p] + ": "
                       + (parts.readers[p]->error().empty() ? "fewer rows than its height" : parts.readers[p]->error());
            for (std::size_t x = 0; x < width; ++x) {
                render::Sums& s = rows[std::size_t(r) * width + x];
                s.hits += row[x].hits;
                s.r += row[x].r;
                s.g += row[x].g;
                s.b += row[x].b;
            }
        }
    return {};
}

// After the last row: every part ends there, its checksum right.
std::string checkEnds(const std::vector<std::string>& paths, OpenParts& parts, std::size_t width)
{
    std::vector<render::Sums> row(width);
    for (std::size_t p = 0; p < parts.readers.size(); ++p)
        if (parts.readers[p]->readRow(row) || !parts.readers[p]->trailer())
            return paths[p] + ": "
                   + (parts.readers[p]->error().empty() ? "more rows than its height" : parts.readers[p]->error());
    return {};
}

}   // namespace

std::string mergeParts(const std::vector<std::string>& paths, int threads, const files::ByteSink& png)
{
    // First every part read through: its checks, and the most hits of the sum.
    OpenParts parts;
    if (std::string refusal = open(paths, parts); !refusal.empty())
        return refusal;
    std::vector<files::NamedHeader> headers;
    for (std::size_t p = 0; p < paths.size(); ++p)
        headers.push_back({paths[p], *parts.readers[p]->header()});
    if (std::string refusal = files::mergeRefusal(headers); !refusal.empty())
        return refusal;
    const files::SumsHeader& header = headers.front().header;
    const std::optional<Finishing> finishing = Finishing::fromNotes(header.about);
    if (!finishing || header.width % std::uint32_t(finishing->tone.oversample) != 0
        || header.height % std::uint32_t(finishing->tone.oversample) != 0)
        return paths.front() + ": damaged (it does not say how its picture is finished)";
    const std::size_t width = header.width;
    const int height = int(header.height);
    std::vector<render::Sums> rows;
    std::uint64_t most = 0;
    for (int y = 0; y < height; y += kRowsAtOnce) {
        if (std::string refusal = readRows(paths, parts, std::min(kRowsAtOnce, height - y), width, rows);
            !refusal.empty())
            return refusal;
        for (const render::Sums& s : rows)
            most = std::max(most, s.hits);
    }
    if (std::string refusal = checkEnds(paths, parts, width); !refusal.empty())
        return refusal;

    // Then again, into the picture.
    parts = {};
    if (std::string refusal = open(paths, parts); !refusal.empty())
        return refusal;
    PictureWriter picture(int(width), height, most, *finishing, threads, png);
    for (int y = 0; y < height; y += kRowsAtOnce) {
        const int count = std::min(kRowsAtOnce, height - y);
        if (std::string refusal = readRows(paths, parts, count, width, rows); !refusal.empty())
            return refusal;   // a file changed under us: the caller drops what was written
        picture.addRows(count, [&](int fineRow, std::span<render::Sums> out) {
            std::copy_n(rows.begin() + std::ptrdiff_t(std::size_t(fineRow - y) * width), width, out.begin());
        });
    }
    return picture.finish() ? std::string() : "cannot write the picture";
}

}   // namespace fenra::poster
