#pragma once

#include <QString>

// The text form of random coefficients.
namespace fenra {

// `value` written with the pattern "0.000###########": a minus sign for a
// negative value, at least one integer digit, a full stop (in every locale, so
// the text reads back the same everywhere), then 3 to 14 decimals with no
// trailing zeros after the third, rounded at the fourteenth. Fixed notation
// always, never an exponent. The digits are those of the value's
// seven-significant-digit form. Precondition: `value` is finite.
QString formatPattern(float value);

// The text a coefficient box keeps for the draw `r` (0 <= r < 1, a multiple of
// 2^-24): v = r + r - 1 in single precision, formatted as above and cut to the
// box's six characters. So "0.dddd" or "0.ddd" for v >= 0, "-0.ddd" or
// "-1.000" for v < 0; never "1.000".
QString randomCoefficientText(float r);

}   // namespace fenra
