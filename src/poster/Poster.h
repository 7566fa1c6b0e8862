#pragma once

#include "files/PngStream.h"
#include "poster/Finishing.h"
#include "poster/PosterOptions.h"
#include "render/Pipeline.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

// A render of any size into a PNG, or a share of it into a sums file: within
// a memory limit (in bands of rows, each over every chunk, kept on disk until
// the picture is finished), stopped and resumed from a checkpoint. Whatever
// the limit, the threads or the stops, the bytes are those of the render
// drawn whole in one go.
namespace fenra::poster {

struct PosterJob {
    render::RenderRequest request;
    Finishing finishing;   // the tone, bits a channel and the PNG's texts
    int threads = 1;
    std::uint64_t memory = 0;                  // bytes the sums may take at once; 0: no limit
    Share share;                               // of the chunks; more than one share writes sums, not a picture
    std::string checkpoint;                    // where the sums so far are kept; empty: nowhere
    double checkpointSeconds = 300;            // how often they are kept
    std::string scratch;                       // a file name for the bands' sums while the picture is drawn
    const std::atomic<bool>* stop = nullptr;   // once set: keep the sums so far, and stop
    std::function<void(std::int64_t done, std::int64_t total)> progress;
    std::function<double()> secondsNow;   // steady
};

// The request as text, every number exactly: two requests with the same text
// draw the same sums. Its hash names the render in a sums file.
std::string canonicalText(const render::RenderRequest& request);

// Rows of the sums' grid a band may hold within `memory` (all of them when
// it fits, or there is no limit); 0 when not even one row fits.
int rowsPerBand(const render::RenderRequest& request, std::uint64_t memory, int threads);

// The chunks [first, end) of a share.
std::pair<std::int64_t, std::int64_t> chunksOfShare(std::int64_t chunks, const Share& share);

enum class PosterStatus { Done, Stopped, Failed };
struct PosterResult {
    PosterStatus status = PosterStatus::Done;
    std::string error;   // Failed: why, naming the file
};

// Draws the job and writes its PNG (one share) or its sums file (a share of
// several) to `out`. Stopped: the sums so far are in the checkpoint (when
// one is named), and `out` got nothing or a part of the file, to be dropped.
PosterResult drawPoster(const PosterJob& job, const files::ByteSink& out);

}   // namespace fenra::poster
