#include "generate/RandomizeDataSets.h"

#include "engine/NumberText.h"
#include "generate/NumberPattern.h"

#include <optional>

namespace fenra {
namespace {

// Data sets 1 and 2 are always filled; from the third on the count decides.
constexpr int kAlwaysFilled = 2;

void fillDataSet(Coefficients& coefficients, RandomSource& random)
{
    for (QString& text : coefficients)
        text = randomCoefficientText(random.nextUnit());
}

}   // namespace

void ClearDataSets(DataSetTexts& sets)
{
    const QString cleared = QString::fromUtf16(kClearedCoefficient);
    for (Coefficients& coefficients : sets.sets)
        coefficients.fill(cleared);
}

bool RandomizeDataSets(DataSetTexts& sets, RandomSource& random, double secondsSinceMidnight)
{
    // Checked before anything changes, so a refused count leaves no
    // half-generated data sets behind. The text cannot change during a
    // generation, so one reading serves all four tests below.
    const std::optional<double> count = toDouble(sets.count);
    if (!count)
        return false;

    ClearDataSets(sets);
    random.reseed(secondsSinceMidnight);

    for (int k = 1; k <= kDataSetCount; ++k) {
        // Independent tests against K - 1; a fraction counts (3.5 > 3).
        if (k <= kAlwaysFilled || *count > double(k - 1))
            fillDataSet(sets.sets[std::size_t(k - 1)], random);
    }
    return true;
}

}   // namespace fenra
