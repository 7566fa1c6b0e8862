#pragma once

#include "animate/Keyframes.h"
#include "animate/Timeline.h"
#include "render/Pipeline.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// An animation as one value, and the render requests of each of its frames.
namespace fenra::animate {

inline constexpr int kMaxFrames = 100000;
inline constexpr int kMaxBlur = 64;
inline constexpr int kMaxSpin = 1000;
// How many frames each side a followed frame's box is averaged over.
inline constexpr int kFollowRadius = 6;

struct AnimationRequest {
    std::vector<KeyMaps> keys;             // 1 (spinning) or more, each 1 to kMaxMaps maps
    QStringList keyNames;                  // as the user named them, for messages
    Timeline timeline;                     // a single key spins as a loop
    int spin = 0;                          // full turns over the run, either way
    bool follow = false;                   // each frame fitted (smoothed) rather than one box for all
    std::optional<render::ViewBox> view;   // a box given for every frame instead of a fit
    render::RenderRequest still;   // every frame's picture but its maps and box: size, colour, tone, points, seed

    bool operator==(const AnimationRequest&) const = default;
};

// What is wrong with the request as given, in one line; none when it can be drawn.
std::optional<QString> requestProblem(const AnimationRequest& request);

// Every frame's box, fitted once for the whole run, on `threads` threads. Fails,
// naming the key or the frame, when some key's or frame's points run off.
struct FrameBoxes {
    std::vector<render::ViewBox> boxes;   // one per frame
    QString error;
};
FrameBoxes frameBoxes(const AnimationRequest& request, int threads = 1);

// Frame `frame`'s requests, one for each instant of its blur, the frame's own
// first: its maps and box are the frame's, and drawn alone they make the frame
// again without its blur. Weights are as pickWeights gives them from the
// blended ones (animatedMaps), which is how a maps chunk of those reads back. The frame's points are shared out among them; each
// instant after the first draws from streams of its own, and every frame from
// the same ones, so still parts do not shimmer.
std::vector<render::RenderRequest> frameRequests(const AnimationRequest& request, const FrameBoxes& boxes, int frame);

// The maps at an instant: blended between the keys, then spun.
KeyMaps animatedMaps(const AnimationRequest& request, Instant at);

// The request as text, the same for the same request on every machine: a
// frame carries it, so a later run knows the frame is its own.
QString requestText(const AnimationRequest& request);

}   // namespace fenra::animate
