#pragma once

#include "render/Kernel.h"

#include <hwy/targets.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace fenra::test {

// Makes the kernel run on the named vector target from now on (one of
// render::simdTargets()); an empty name returns to the best one. Returns false
// for a name the CPU or the program lacks.
inline bool useSimdTarget(const std::string& name)
{
    const std::vector<std::string> names = render::simdTargets();   // listed once, before any target is forced
    if (name.empty()) {
        hwy::SetSupportedTargetsForTest(0);
    } else {
        if (std::find(names.begin(), names.end(), name) == names.end())
            return false;
        for (int bit = 0; bit < 63; ++bit) {
            const std::int64_t target = std::int64_t(1) << bit;
            if ((target & HWY_TARGETS) && name == hwy::TargetName(target))
                hwy::SetSupportedTargetsForTest(target);
        }
    }
    hwy::GetChosenTarget().DeInit();
    return true;
}

} // namespace fenra::test
