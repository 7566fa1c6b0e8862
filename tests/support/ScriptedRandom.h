#pragma once

#include "engine/RandomSource.h"

#include <cstddef>
#include <vector>

namespace fenra::test {

// Hands out exactly the values a test scripts, in order, and then starts over.
// Records reseeds and how many values were taken.
class ScriptedRandom final : public RandomSource {
public:
    explicit ScriptedRandom(std::vector<float> values = {0.0f});

    float nextUnit() override;
    void reseed(double secondsSinceMidnight) override;

    void script(std::vector<float> values);
    std::size_t taken() const { return m_taken; }
    const std::vector<double>& reseeds() const { return m_reseeds; }

private:
    std::vector<float> m_values;
    std::size_t m_next = 0;
    std::size_t m_taken = 0;
    std::vector<double> m_reseeds;
};

} // namespace fenra::test
