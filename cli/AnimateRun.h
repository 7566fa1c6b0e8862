#pragma once

#include "cli/CliRun.h"

namespace fenra::cli {

// fenra-render --animate (or several files, or --spin): the keys read as single
// pictures are, the frames drawn by src/animate, written beside the ones already
// there, and the video made.
int renderAnimation(const ParsedOptions& parsed, const RunPlan& plan, CliEnvironment& environment);

}   // namespace fenra::cli
