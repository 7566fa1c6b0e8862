#pragma once

namespace fenra {

// The time of day that seeds the random source.
class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since midnight, with their fraction.
    virtual double secondsSinceMidnight() = 0;
};

}   // namespace fenra
