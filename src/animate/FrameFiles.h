#pragma once

#include "animate/Animation.h"
#include "animate/FramePattern.h"
#include "files/PictureSettings.h"
#include "files/PngChunks.h"
#include "platform/FileStore.h"

#include <QByteArray>
#include <QString>

// The PNG files of an animation's frames: what each carries, and whether one
// on disk is a frame of the same request.
namespace fenra::animate {

// The chunk that holds the animation request and the frame's number.
inline constexpr char kAnimationKey[] = "fenra-animation";

QByteArray frameText(const AnimationRequest& request, int frame);

enum class FrameOnDisk { Missing, Ours, Other };
// Whether `path` holds frame `frame` of `request` whole: a file that is not a
// PNG, is cut short or carries another request is Other.
FrameOnDisk frameOnDisk(FileStore& files, const QString& path, const AnimationRequest& request, int frame);

// The frames from `first` up to `end` that a run draws: those not on disk from
// this very request. A name that cannot be written, or that holds another
// request's file (unless `overwrite`), stops the run before any work: `refusal`
// says why, naming the file.
struct FramesToDraw {
    std::vector<int> frames;
    QString refusal;
};
FramesToDraw framesToDraw(FileStore& files, const FramePattern& pattern, const AnimationRequest& request, int first,
                          int end, bool overwrite);

// A frame's chunks: its maps as a collection entry (the blended weights as its
// p, which read back to the frame's weights), `settings` with the frame's view
// box in place of any zoom, and the request. Given as input, the file draws the
// frame again as a still (without its blur: the same bytes when there is none).
PngTexts frameTexts(const AnimationRequest& request, const FrameBoxes& boxes, int frame, PictureSettings settings);

}   // namespace fenra::animate
