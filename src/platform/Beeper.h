#pragma once

namespace fenra {

// The system beep that ends a run.
class Beeper {
public:
    virtual ~Beeper() = default;
    virtual void beep() = 0;
};

}   // namespace fenra
