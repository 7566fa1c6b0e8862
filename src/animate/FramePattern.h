#pragma once

#include <QString>

namespace fenra::animate {

// The name pattern of an animation's frames, as given to -o: one %d or %0Nd
// (N from 1 to 9) where the frame's number goes, %% for a percent sign. The
// pattern is read here once and never handed to a printf.
struct FramePattern {
    QString before, after;
    int digits = 0;          // at least this many, zeros in front
    bool numbered = false;   // false: one name for a single frame

    QString nameOf(int frame) const;
};

struct FramePatternReading {
    FramePattern pattern;
    QString error;   // set when refused: what is wrong with it
};

FramePatternReading readFramePattern(const QString& text);

}   // namespace fenra::animate
