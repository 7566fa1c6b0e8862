#pragma once

#include "render/Pipeline.h"

// How the threads of accumulate share the sums, for tests that must cover both.
namespace fenra::render {

enum class Sharing {
    ByMemory,   // private sums per thread while they fit beside the one (see bytesNeeded), else queues
    Queues,     // every thread adds into the one sums through its queues
};

Accumulated accumulate(const RenderRequest& request, HitSums& into, const AccumulateControl& control, Sharing sharing);

}   // namespace fenra::render
