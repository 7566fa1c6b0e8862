#pragma once

#include "engine/DataSets.h"
#include "engine/RandomSource.h"

// A generation: fresh random coefficients for the data sets that the count reaches.
namespace fenra {

// The text of a coefficient that no generation has filled.
inline constexpr char16_t kClearedCoefficient[] = u"0.0000";

// Every one of the 36 coefficient texts becomes "0.0000"; the count stays.
void ClearDataSets(DataSetTexts& sets);

// Clears all data sets, reseeds `random` from the clock, then fills data sets 1
// and 2 and every data set K = 3..6 for which the count, read as a number, is
// greater than K - 1 (so "3.5" fills 1 to 4 and "9" all six). One draw per
// coefficient, set by set, coefficient 1 to 6 within a set.
//
// A count text that is not a number has no fill rule: then nothing happens at
// all (no clear, no reseed, no draw) and the result is false, so the caller
// can tell the user and start no run. The count text is never changed.
//
// secondsSinceMidnight: the clock reading, with its fraction.
bool RandomizeDataSets(DataSetTexts& sets, RandomSource& random, double secondsSinceMidnight);

}   // namespace fenra
