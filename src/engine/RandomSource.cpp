#include "engine/RandomSource.h"

#include <bit>

namespace fenra {

void RandomSource::fillUnits(float* out, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        out[i] = nextUnit();
}

Pcg32Source::Pcg32Source(std::uint64_t seed) : m_engine(seed) {}

void Pcg32Source::fillUnits(float* out, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        out[i] = unitFrom(m_engine());
}

void Pcg32Source::reseed(double secondsSinceMidnight)
{
    const std::uint64_t high = m_engine();
    const std::uint64_t low = m_engine();
    const std::uint64_t state = (high << 32 | low) ^ std::bit_cast<std::uint64_t>(secondsSinceMidnight);
    m_engine.seed(state, m_engine() | 1u);
}

}   // namespace fenra
