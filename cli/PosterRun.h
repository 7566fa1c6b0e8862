#pragma once

#include "cli/CliRun.h"
#include "files/PngChunks.h"
#include "render/RenderRequest.h"

// The kernel's PNGs and sums files, drawn by the poster path: any size,
// within --memory, --part, --checkpoint; and --merge.
namespace fenra::cli {

// Draws `request` into the PNG -o (or, with --part, its sums into --sums).
int drawPosterCommand(const CommandOptions& options, const render::RenderRequest& request, const PngTexts& texts,
                      int threads, CliEnvironment& environment);

// --merge: the parts' sums added into the PNG -o.
int mergeCommand(const CommandOptions& options, CliEnvironment& environment);

}   // namespace fenra::cli
