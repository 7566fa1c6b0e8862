#pragma once

#include "animate/Animation.h"
#include "animate/FramePattern.h"
#include "animate/FrameRunner.h"
#include "command/CommandOptions.h"
#include "engine/RunSettings.h"
#include "files/JobInputs.h"
#include "files/PictureSettings.h"
#include "platform/FileStore.h"

#include <QStringList>

#include <istream>
#include <optional>

// An animation command made into its request: every key read as its single
// picture would be, the first key's options (its stored settings among them)
// the animation's.
namespace fenra::command {

struct AnimationPlan {
    animate::AnimationRequest request;
    PictureSettings settings;        // what each frame stores: the first key's options
    animate::FramePattern pattern;   // the frames' names
    std::vector<int> frames;         // those still to draw
    animate::FrameBoxes boxes;       // every frame's
    int threads = 1;
    QStringList warnings;              // lines for the user, in the order they arose
    std::optional<InputFault> fault;   // why it cannot be drawn
};

// `given`: the names of the options given; `in` is read for the input "-";
// `memoryAvailable` in bytes, when known.
AnimationPlan planAnimation(const CommandOptions& options, const QStringList& given, const RunPlan& plan,
                            FileStore& files, std::istream* in, int cores,
                            std::optional<std::uint64_t> memoryAvailable);

// Encodes a frame of the plan into its PNG and writes it; says why when it could not.
animate::FrameWriter frameWriter(const AnimationPlan& plan, FileStore& files);

}   // namespace fenra::command
