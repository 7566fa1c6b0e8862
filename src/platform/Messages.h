#pragma once

#include <QString>

namespace fenra {

// Short messages to the user, each answered with OK.
class Messages {
public:
    virtual ~Messages() = default;
    virtual void tell(const QString& text) = 0;
};

}   // namespace fenra
