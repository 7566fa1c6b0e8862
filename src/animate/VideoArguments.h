#pragma once

#include "animate/FramePattern.h"

#include <QStringList>

#include <optional>

namespace fenra::animate {

inline constexpr int kVideoFramesPerSecond = 24;

// Whether ffmpeg is asked for this kind of video: .mp4, .webm or .gif, any case.
bool isVideoName(const QString& video);

// ffmpeg's arguments that encode frames 0 to frames - 1, named by `pattern`, into
// `video` (replaced), at kVideoFramesPerSecond; a GIF loops and gets a palette of
// its own, the others even sides (which their pixel format needs) and 4:2:0 colour.
QStringList videoArguments(const FramePattern& pattern, int frames, const QString& video);

}   // namespace fenra::animate
