#include "ui/DataSetCount.h"

#include <QString>

namespace fenra {

std::optional<int> framesShownFor(QStringView countText)
{
    for (int n = 2; n <= 6; ++n) {
        if (countText == QString::number(n))
            return n;
    }
    return std::nullopt;
}

}   // namespace fenra
