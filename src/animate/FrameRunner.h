#pragma once

#include "animate/Animation.h"

#include <QString>

#include <atomic>
#include <functional>
#include <optional>
#include <vector>

namespace fenra::animate {

// Writes one finished frame (its picture and its requests, the frame's own
// first); the reason when it could not. Called on any of the pool's threads.
using FrameWriter =
    std::function<std::optional<QString>(int frame, const render::Image&, const std::vector<render::RenderRequest>&)>;

struct FrameRun {
    std::vector<int> frames;                     // to draw, in order
    int threads = 1;                             // the pool's, shared by every frame
    const std::atomic<bool>* cancel = nullptr;   // stops the run between chunks; frames written stay whole
    FrameWriter write;
    std::function<void(int frame)> onWritten;   // under a lock, in the order frames finish
};

struct FramesDrawn {
    int written = 0;
    bool cancelled = false;
    QString failure;   // the first frame that could not be written, or memory that ran out
};

// Draws the frames on one pool of threads. A frame is accumulated by as many of
// them as there are for each frame still to come, so many frames keep every
// thread busy (the frames' encoding too) and a single frame uses them all; the
// bytes do not depend on it. After a failure or a cancel no new frame starts.
FramesDrawn drawFrames(const AnimationRequest& request, const FrameBoxes& boxes, const FrameRun& run);

// The picture of a frame's requests: all their points in one sum, lit as the first.
std::optional<render::Image> drawFrame(const std::vector<render::RenderRequest>& requests,
                                       const render::AccumulateControl& control);

}   // namespace fenra::animate
