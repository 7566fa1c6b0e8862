#pragma once

#include <QString>

#include <array>

// The six data sets as the window holds them: texts, converted only where used.
namespace fenra {

inline constexpr int kDataSetCount = 6;
inline constexpr int kCoefficientCount = 6;
// A coefficient box holds at most this many characters; longer texts are cut.
inline constexpr int kCoefficientWidth = 6;

using Coefficients = std::array<QString, kCoefficientCount>;

struct DataSetTexts {
    QString count;                                  // text of the "Random #'s:" box
    std::array<Coefficients, kDataSetCount> sets;   // sets[k - 1][j - 1] = set k, coefficient j

    bool operator==(const DataSetTexts&) const = default;
};

// What a coefficient box keeps of a text put into it.
inline QString cutToCoefficientBox(const QString& text) { return text.left(kCoefficientWidth); }

}   // namespace fenra
