#pragma once

#include <cstddef>
#include <cstdint>

#include <pcg_random.hpp>

// The one pseudo-random source of the program. Map selection, the random
// colours and the data-set generator all continue the same sequence.
namespace fenra {

class RandomSource {
public:
    virtual ~RandomSource() = default;

    // The next value u, 0 <= u < 1, a whole multiple of 2^-24.
    virtual float nextUnit() = 0;

    // The next `count` values, exactly as that many calls of nextUnit() give them.
    virtual void fillUnits(float* out, std::size_t count);

    // A new state from the time of day mixed with the current state, so two
    // reseeds within one tick of the clock still lead to different sequences.
    virtual void reseed(double secondsSinceMidnight) = 0;
};

// The program's source: pcg32, its top 24 bits per value.
class Pcg32Source final : public RandomSource {
public:
    explicit Pcg32Source(std::uint64_t seed = 0x853c49e6748fea9bULL);

    float nextUnit() override { return unitFrom(m_engine()); }
    void fillUnits(float* out, std::size_t count) override;
    void reseed(double secondsSinceMidnight) override;

    // For the iteration loop, which draws inline: the engine and its value rule.
    pcg32& engine() { return m_engine; }
    static float unitFrom(std::uint32_t bits) { return float(bits >> 8) * 0x1p-24f; }

private:
    pcg32 m_engine;
};

}   // namespace fenra
