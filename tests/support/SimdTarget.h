#pragma once

#include "render/Kernel.h"

#include <hwy/targets.h>

#include <algorithm>
#include <string>

namespace fenra::test {

// Makes the kernel run on the named vector target, one of render::simdTargets(), from now on; an empty
// name returns to the best one. False for a name the CPU or the program lacks.
inline bool useSimdTarget(const std::string& name)
{
    const std::vector<std::string> names = render::simdTargets();   // listed once, before any target is forced
    if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
        return false;
    std::int64_t chosen = 0;   // none: every target
    for (int bit = 0; bit < 63 && !name.empty(); ++bit)
        if (((std::int64_t(1) << bit) & HWY_TARGETS) && name == hwy::TargetName(std::int64_t(1) << bit))
            chosen = std::int64_t(1) << bit;
    hwy::SetSupportedTargetsForTest(chosen);
    hwy::GetChosenTarget().DeInit();
    return true;
}

}   // namespace fenra::test
