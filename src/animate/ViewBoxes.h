#pragma once

#include "animate/PipelineTypes.h"

#include <vector>

namespace fenra::animate {

// The box grown about its centre to the picture's aspect, width × height.
ViewBox grownToAspect(ViewBox box, int width, int height);

// One box for the whole animation: the union of every frame's fitted box, at the
// picture's aspect, so that nothing jitters.
ViewBox unionBox(const std::vector<ViewBox>& fitted, int width, int height);

// Each frame's fitted box averaged with its neighbours up to `radius` frames away
// in a tent, nearer ones counting more, so that a followed picture glides; grown
// where needed to hold the frame's own box, so nothing is cut off. Past the ends
// the end box is held, or with a loop the other end's boxes are taken.
std::vector<ViewBox> followedBoxes(const std::vector<ViewBox>& fitted, bool loop, int radius, int width, int height);

}   // namespace fenra::animate
