#pragma once

#include <cstdint>
#include <vector>

namespace fenra::animate {

// A moment of the animation as an exact fraction of its length, from 0 (the first
// key) to 1 (the last key, or with a loop the first again). Exact, so that a frame
// that falls on a key is that key, and a loop's end is its start, to the bit.
struct Instant {
    std::int64_t num = 0, den = 1;   // 0 <= num <= den, den > 0
    bool operator==(const Instant&) const = default;
};

struct Timeline {
    int frames = 2;   // 2 or more (a single frame is frame 0 of some run)
    bool loop = false;
    int blur = 1;   // instants per frame, 1 or more

    // The instants frame `frame` is drawn at: the frame's own and blur - 1 more
    // spread evenly up to the next frame's, so the frames' spans tile the run.
    // Without a loop the frames run from the first key to the last, both
    // included, and the last frame's span is held at the last key.
    std::vector<Instant> instantsOf(int frame) const;
    bool operator==(const Timeline&) const = default;
};

// Where an instant falls among keys: in the span from key `from` to the next,
// `fraction` of the way along; fraction 0 is the key itself. With a loop the
// span after the last key leads back to the first.
struct KeySpan {
    int from = 0;
    double fraction = 0.0;
    bool onKey() const { return fraction == 0.0; }
};
KeySpan keySpanAt(Instant at, int keys, bool loop);

}   // namespace fenra::animate
