#include "poster/Poster.h"

#include "files/SumsFile.h"
#include "poster/Merge.h"
#include "render/Accumulate.h"
#include "render/Kernel.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>

namespace fenra::poster {
namespace {

constexpr int kRowsAtOnce = 64;

std::string exactly(double v)
{
    char text[64];
    return std::string(text, std::to_chars(text, text + sizeof text, v, std::chars_format::hex).ptr);
}

files::ByteSink sinkTo(std::ofstream& out)
{
    return [&out](const void* bytes, std::size_t size) {
        return bool(out.write(static_cast<const char*>(bytes), std::streamsize(size)));
    };
}

void forEachSumsRow(const render::HitSums& sums, int first, int count, std::vector<render::Sums>& row,
                    const std::function<void(const std::vector<render::Sums>&)>& fn)
{
    const std::size_t width = std::size_t(sums.width());
    row.resize(width);
    for (int y = first; y < first + count; ++y) {
        for (std::size_t x = 0; x < width; ++x)
            row[x] = sums.at(std::size_t(y) * width + x);
        fn(row);
    }
}

// Writes a file whole under a temporary name, then puts it in place: a reader
// never meets half of it, and a stop while it is written leaves the old one.
bool writeAtomically(const std::string& path, const std::function<bool(const files::ByteSink&)>& write)
{
    const std::string temporary = path + ".tmp";
    bool ok;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        ok = out && write(sinkTo(out)) && out.flush();
    }
    if (ok && std::rename(temporary.c_str(), path.c_str()) == 0)
        return true;
    std::remove(temporary.c_str());
    return false;
}

// The sums of a render, a share or a band, in a file: its rows copied into `into`, or added to `sums`.
struct Checkpoint {
    std::uint32_t rows = 0;
    std::uint64_t chunksDone = 0;
};

class Drawing {
public:
    Drawing(const PosterJob& job, const files::ByteSink& out) : m_job(job), m_out(out), m_grid(job.request.sumsFrame())
    {
        const auto [first, end] = chunksOfShare(render::chunksFor(job.request.points), job.share);
        m_firstChunk = first;
        m_endChunk = end;
        m_header = {files::requestHash(canonicalText(job.request)),
                    std::uint32_t(job.share.part),
                    std::uint32_t(job.share.parts),
                    std::uint32_t(m_grid.width),
                    std::uint32_t(m_grid.height),
                    false,
                    job.finishing.toNotes()};
        m_lastKept = now();
    }

    PosterResult run()
    {
        const int rows = rowsPerBand(m_job.request, m_job.memory, m_job.threads);
        if (rows < 1)
            return failed("not even one row of the sums fits within the memory given");
        return rows >= m_grid.height ? whole() : banded(rows);
    }

private:
    double now() const { return m_job.secondsNow ? m_job.secondsNow() : 0.0; }
    bool stopped() const { return m_job.stop && m_job.stop->load(); }
    bool partOnly() const { return m_job.share.parts > 1; }
    static PosterResult failed(std::string why) { return {PosterStatus::Failed, std::move(why)}; }
    // Points of the chunks [first, end of the share).
    std::int64_t pointsOf(std::int64_t first) const
    {
        return std::max<std::int64_t>(0, std::min(m_job.request.points, m_endChunk * render::kChunkPoints)
                                             - first * render::kChunkPoints);
    }
    bool keepingDue() const { return !m_job.checkpoint.empty() && now() - m_lastKept >= m_job.checkpointSeconds; }

    // The checkpoint left by an earlier run of this command, when there is one.
    std::optional<Checkpoint> resume(const std::function<void(int row, const std::vector<render::Sums>&)>& take,
                                     std::string& error)
    {
        if (m_job.checkpoint.empty() || !std::filesystem::exists(m_job.checkpoint))
            return std::nullopt;
        std::ifstream in(m_job.checkpoint, std::ios::binary);
        files::SumsReader reader(in);
        files::SumsHeader expected = m_header;
        if (reader.header()) {
            expected.checkpoint = reader.header()->checkpoint;
            if (!(*reader.header() == expected)) {
                error = m_job.checkpoint + " holds the sums of another render; remove it or name another checkpoint";
                return std::nullopt;
            }
        }
        std::vector<render::Sums> row(std::size_t(m_grid.width));
        for (int y = 0; reader.readRow(row); ++y)
            take(y, row);
        if (!reader.trailer()) {
            error = m_job.checkpoint + ": " + reader.error();
            return std::nullopt;
        }
        return Checkpoint{reader.trailer()->rows, reader.trailer()->chunksDone};
    }

    void report(std::int64_t done, std::int64_t total) const
    {
        if (m_job.progress)
            m_job.progress(done, total);
    }

    // -------- the sums held whole --------

    PosterResult whole()
    {
        render::HitSums sums(m_grid.width, m_grid.height);
        std::string error;
        const std::optional<Checkpoint> kept = resume(
            [&](int y, const std::vector<render::Sums>& row) {
                for (std::size_t x = 0; x < row.size(); ++x)
                    sums.addSums(std::size_t(y) * row.size() + x, row[x]);
            },
            error);
        if (!error.empty())
            return failed(error);
        if (kept && kept->rows != std::uint32_t(m_grid.height))
            return failed(m_job.checkpoint + " was kept while drawing in bands: give the --memory it was made with");
        const std::int64_t resumeAt = m_firstChunk + std::int64_t(kept ? kept->chunksDone : 0);

        render::AccumulateControl control;
        control.threads = m_job.threads;
        control.cancel = m_job.stop;
        control.firstChunk = resumeAt;
        control.endChunk = m_endChunk;
        const auto chunksDone = [&](std::int64_t points) {
            return resumeAt - m_firstChunk + render::chunksFor(points);
        };
        const std::int64_t sharePoints = pointsOf(m_firstChunk), keptPoints = sharePoints - pointsOf(resumeAt);
        std::int64_t done = 0;   // by this run; the chunks done are always the first of those it had to do
        // Rounds end with every thread waiting for the last and the threads' sums added on one: only a
        // checkpoint, which needs sums that hold whole chunks, is worth them.
        if (m_job.checkpoint.empty())
            control.onProgress = [&](std::int64_t points, std::int64_t) { report(points, sharePoints); };
        else
            control.onRound = [&](std::int64_t points, std::int64_t) {
                done = points;
                report(keptPoints + points, sharePoints);
                if (keepingDue())
                    keepWhole(sums, chunksDone(points));
            };
        control.onCancel = [&](std::int64_t points) { done = points; };
        if (render::accumulate(m_job.request, sums, control) == render::Accumulated::Cancelled || stopped()) {
            if (!m_job.checkpoint.empty() && !keepWhole(sums, chunksDone(done)))
                return failed("the checkpoint " + m_job.checkpoint + " could not be written");
            return {PosterStatus::Stopped, {}};
        }
        if (partOnly()) {
            files::SumsWriter writer(m_out, m_header);
            std::vector<render::Sums> row;
            forEachSumsRow(sums, 0, m_grid.height, row, [&](const std::vector<render::Sums>& r) { writer.addRow(r); });
            return writer.finish(std::uint64_t(m_endChunk - m_firstChunk)) ? PosterResult{}
                                                                           : failed("the sums could not be written");
        }
        PictureWriter picture(m_grid.width, m_grid.height, sums.mostHits(m_job.threads), m_job.finishing, m_job.threads,
                              m_out);
        for (int y = 0; y < m_grid.height; y += kRowsAtOnce)
            picture.addRows(kRowsAtOnce, [&](int row, std::span<render::Sums> out) {
                for (std::size_t x = 0; x < out.size(); ++x)
                    out[x] = sums.at(std::size_t(row) * out.size() + x);
            });
        return picture.finish() ? PosterResult{} : failed("the picture could not be written");
    }

    // The sums of the chunks done so far, whole, as a checkpoint.
    bool keepWhole(const render::HitSums& sums, std::int64_t chunksDone)
    {
        files::SumsHeader header = m_header;
        header.checkpoint = true;
        m_lastKept = now();
        return writeAtomically(m_job.checkpoint, [&](const files::ByteSink& sink) {
            files::SumsWriter writer(sink, header);
            std::vector<render::Sums> row;
            forEachSumsRow(sums, 0, m_grid.height, row, [&](const std::vector<render::Sums>& r) { writer.addRow(r); });
            return writer.finish(std::uint64_t(chunksDone));
        });
    }

    // -------- in bands --------

    PosterResult banded(int rows)
    {
        const int bands = (m_grid.height + rows - 1) / rows;
        const std::int64_t shareChunks = m_endChunk - m_firstChunk;
        // The finished bands' rows go to a scratch file, whose rows come back for the picture.
        auto scratch = std::make_unique<std::ofstream>(m_job.scratch, std::ios::binary | std::ios::trunc);
        if (!*scratch)
            return failed("cannot write " + m_job.scratch);
        const ScratchRemoved removed{m_job.scratch};
        auto writer = std::make_unique<files::SumsWriter>(sinkTo(*scratch), m_header);
        std::string error;
        const std::optional<Checkpoint> kept =
            resume([&](int, const std::vector<render::Sums>& row) { writer->addRow(row); }, error);
        if (!error.empty())
            return failed(error);
        if (kept && (kept->chunksDone != std::uint64_t(shareChunks) || kept->rows % std::uint32_t(rows) != 0))
            return failed(m_job.checkpoint + " was kept with another --memory: give the one it was made with");
        const int firstBand = kept ? int(kept->rows) / rows : 0;

        // A checkpoint: the scratch file so far, finished, becomes it; a new scratch file continues from it.
        const auto keep = [&](int bandsDone) {
            writer->finish(std::uint64_t(shareChunks));
            writer.reset();
            scratch.reset();
            m_lastKept = now();
            std::error_code failure;
            std::filesystem::copy_file(m_job.scratch, m_job.checkpoint + ".tmp",
                                       std::filesystem::copy_options::overwrite_existing, failure);
            if (failure || std::rename((m_job.checkpoint + ".tmp").c_str(), m_job.checkpoint.c_str()) != 0)
                return false;
            if (bandsDone == bands)
                return true;
            scratch = std::make_unique<std::ofstream>(m_job.scratch, std::ios::binary | std::ios::trunc);
            writer = std::make_unique<files::SumsWriter>(sinkTo(*scratch), m_header);
            std::string again;
            resume([&](int, const std::vector<render::Sums>& row) { writer->addRow(row); }, again);
            return again.empty();
        };

        const std::int64_t sharePoints = pointsOf(m_firstChunk);
        std::vector<render::Sums> row;
        for (int band = firstBand; band < bands; ++band) {
            const int first = band * rows;
            render::HitSums sums(m_grid.width, std::min(rows, m_grid.height - first));
            render::AccumulateControl control;
            control.threads = m_job.threads;
            control.cancel = m_job.stop;
            control.firstChunk = m_firstChunk;
            control.endChunk = m_endChunk;
            control.firstRow = first;
            control.onProgress = [&](std::int64_t done, std::int64_t) {
                report(band * sharePoints + done, bands * sharePoints);
            };
            if (render::accumulate(m_job.request, sums, control, render::Sharing::Queues)
                    == render::Accumulated::Cancelled
                || stopped()) {
                if (!m_job.checkpoint.empty() && !keep(band))
                    return failed("the checkpoint " + m_job.checkpoint + " could not be written");
                return {PosterStatus::Stopped, {}};
            }
            forEachSumsRow(sums, 0, sums.height(), row, [&](const std::vector<render::Sums>& r) { writer->addRow(r); });
            report((band + 1) * sharePoints, bands * sharePoints);
            if (keepingDue() && band + 1 < bands && !keep(band + 1))
                return failed("the checkpoint " + m_job.checkpoint + " could not be written");
        }
        if (!writer->finish(std::uint64_t(shareChunks)) || !scratch->flush())
            return failed("cannot write " + m_job.scratch);
        writer.reset();
        scratch.reset();
        if (partOnly()) {   // the scratch file is the part's sums file
            std::ifstream in(m_job.scratch, std::ios::binary);
            std::vector<char> bytes(1 << 20);
            while (in.read(bytes.data(), std::streamsize(bytes.size())) || in.gcount() > 0)
                if (!m_out(bytes.data(), std::size_t(in.gcount())))
                    return failed("the sums could not be written");
            return {};
        }
        const std::string refusal = mergeParts({m_job.scratch}, m_job.threads, m_out);
        return refusal.empty() ? PosterResult{} : failed(refusal);
    }

    struct ScratchRemoved {
        std::string path;
        ~ScratchRemoved() { std::remove(path.c_str()); }
    };

    const PosterJob& m_job;
    const files::ByteSink& m_out;
    render::Frame m_grid;
    std::int64_t m_firstChunk = 0, m_endChunk = 0;
    files::SumsHeader m_header;
    double m_lastKept = 0;
};

}   // namespace

std::string canonicalText(const render::RenderRequest& r)
{
    std::string text = "fenra-request 1\n";
    for (const render::WeightedMap& m : r.maps) {
        text += "map";
        for (double c : m.map.c)
            text += ' ' + exactly(c);
        text += ' ' + exactly(m.weight) + ' ' + std::to_string(m.colour) + (m.shown ? " shown\n" : " hidden\n");
    }
    const render::Frame& f = r.frame;
    text += "frame " + std::to_string(f.width) + ' ' + std::to_string(f.height) + ' ' + exactly(f.sx) + ' '
            + exactly(f.tx) + ' ' + exactly(f.sy) + ' ' + exactly(f.ty) + '\n';
    text += std::string("colour ") + (r.colour.colouring == render::Colouring::Palette ? "palette" : "maps")
            + (r.colour.density ? " density\n" : " flat\n");
    text += "tone " + exactly(r.tone.gamma) + ' ' + exactly(r.tone.brightness) + '\n';
    text += "oversample " + std::to_string(r.oversample) + "\npoints " + std::to_string(r.points) + "\nseed "
            + std::to_string(r.seed) + '\n';
    return text;
}

int rowsPerBand(const render::RenderRequest& request, std::uint64_t memory, int threads)
{
    const render::Frame grid = request.sumsFrame();
    if (memory == 0 || render::bytesNeeded(request, threads) <= memory)
        return grid.height;
    const std::uint64_t row = render::HitSums::bytesFor(grid.width, 1);
    const std::uint64_t queues =
        std::uint64_t(std::max(1, threads)) * render::HitSums::queueBytesFor(grid.width, grid.height);
    return memory <= queues ? 0 : int(std::min<std::uint64_t>(grid.height, (memory - queues) / row));
}

std::pair<std::int64_t, std::int64_t> chunksOfShare(std::int64_t chunks, const Share& share)
{
    return {chunks * (share.part - 1) / share.parts, chunks * share.part / share.parts};
}

PosterResult drawPoster(const PosterJob& job, const files::ByteSink& out) { return Drawing(job, out).run(); }

}   // namespace fenra::poster
