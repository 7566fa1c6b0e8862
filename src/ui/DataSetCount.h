#pragma once

#include <QStringView>

#include <optional>

namespace fenra {

// How many data-set frames a count text shows: only the exact texts "2" to
// "6" (no blanks, no other notation) say; any other text leaves the frames
// as they were.
std::optional<int> framesShownFor(QStringView countText);

}   // namespace fenra
