#pragma once

#include "engine/DataSets.h"

#include <QString>

#include <cstdint>

namespace fenra {

class RandomSource;

// The map of the current step, handed from map selection to the run. Empty
// until the first pick; afterwards it keeps its last contents, also from one
// run to the next.
struct CurrentMap {
    QString setNumber;           // the picked set as decimal text, e.g. "3"
    Coefficients coefficients;   // copies of the picked set's texts

    bool operator==(const CurrentMap&) const = default;
};

// The rule of map selection for one count text, worked out once so a run of
// many picks does not read the count again (it cannot change during a run).
class MapPicker {
public:
    explicit MapPicker(QStringView countText);

    // A count that is not a whole 16-bit number makes every pick fail before
    // it draws: nothing is written, no random value is used.
    bool countIsNumber() const { return m_countIsNumber; }

    // The set number for a draw u: floor(n*u + 1), which lies within the
    // 16-bit range for every 16-bit n. Only for a count that is a number.
    std::int16_t pick(float u) const
    {
        const double v = double(m_count) * double(u) + 1.0;
        const int truncated = int(v);
        return std::int16_t(truncated - (double(truncated) > v));   // floor, also below zero
    }

    // Whether a pick of set k copies its coefficient texts: only counts 2 to 6 do.
    bool copiesSet(int k) const { return m_copies && k >= 1 && k <= m_count; }
    // Whether picks copy at all; when they do, every pick k lies in 1..n and copies.
    bool copies() const { return m_copies; }
    std::int16_t count() const { return m_count; }

private:
    bool m_countIsNumber = false;
    bool m_copies = false;
    std::int16_t m_count = 0;
};

// Draws a set number among the active data sets and records it, with that
// set's six coefficient texts, in the current map.
void PickDataSet(const DataSetTexts& dataSets, CurrentMap& map, RandomSource& random);

}   // namespace fenra
