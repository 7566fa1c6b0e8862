#include "engine/RandomSource.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

TEST(RandomSource, BlocksContinueTheSequenceWithMultiplesOfTwoToTheMinus24BelowOne)
{
    fenra::Pcg32Source single(42);
    fenra::Pcg32Source block(42);
    std::array<float, 5000> draws{};
    block.fillUnits(draws.data(), draws.size());
    for (float fromBlock : draws) {
        const float u = single.nextUnit();
        ASSERT_EQ(fromBlock, u);
        ASSERT_TRUE(u >= 0.0f && u < 1.0f && std::ldexp(u, 24) == std::floor(std::ldexp(u, 24))) << u;
    }
}

} // namespace
