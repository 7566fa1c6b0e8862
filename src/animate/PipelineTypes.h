#pragma once

#include "render/RenderRequest.h"

// The render pipeline's values that animation works with.
namespace fenra::animate {

using render::ViewBox;
using render::WeightedMap;

}   // namespace fenra::animate
