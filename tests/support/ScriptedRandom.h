#pragma once

#include "engine/RandomSource.h"

#include <cstddef>
#include <stdexcept>
#include <vector>

namespace fenra::test {

// Hands out exactly the values a test scripts, in order, and then starts over.
// Records reseeds and how many values were taken.
struct ScriptedRandom final : RandomSource {
    explicit ScriptedRandom(std::vector<float> values = {0.0f}) { script(std::move(values)); }

    float nextUnit() override
    {
        ++m_taken;
        return m_values[(m_taken - 1 - m_start) % m_values.size()];
    }
    void reseed(double secondsSinceMidnight) override { m_reseeds.push_back(secondsSinceMidnight); }

    void script(std::vector<float> values)
    {
        if (values.empty())
            throw std::invalid_argument("a script needs at least one value");
        m_values = std::move(values);
        m_start = m_taken;
    }
    std::size_t taken() const { return m_taken; }
    const std::vector<double>& reseeds() const { return m_reseeds; }

private:
    std::vector<float> m_values;
    std::size_t m_start = 0;
    std::size_t m_taken = 0;
    std::vector<double> m_reseeds;
};

}   // namespace fenra::test
