#include "support/ScriptedRandom.h"

#include <stdexcept>

namespace fenra::test {

ScriptedRandom::ScriptedRandom(std::vector<float> values)
{
    script(std::move(values));
}

void ScriptedRandom::script(std::vector<float> values)
{
    if (values.empty())
        throw std::invalid_argument("a script needs at least one value");
    m_values = std::move(values);
    m_next = 0;
}

float ScriptedRandom::nextUnit()
{
    const float value = m_values[m_next];
    m_next = (m_next + 1) % m_values.size();
    ++m_taken;
    return value;
}

void ScriptedRandom::reseed(double secondsSinceMidnight)
{
    m_reseeds.push_back(secondsSinceMidnight);
}

} // namespace fenra::test
