#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

// Reading numbers out of the texts the user types.
//
// A number is an optional sign, digits with an optional decimal separator and
// more digits, and an optional exponent (e or E, optional sign, digits); blanks
// around it are ignored. The full stop always works as the separator; where the
// user's locale writes another one (a comma), that one works too. Anything
// else, the empty text included, is not a number.
namespace fenra {

// The decimal separator of the user's locale.
QChar systemDecimalPoint();

std::optional<double> toDouble(QStringView text, QChar localeDecimalPoint);
std::optional<double> toDouble(QStringView text);

// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value);

// Whole-number readings: the text as a number, rounded half to even, and
// refused outside the 32-bit or 16-bit signed range.
std::optional<std::int32_t> toInt32(QStringView text, QChar localeDecimalPoint);
std::optional<std::int32_t> toInt32(QStringView text);
std::optional<std::int16_t> toInt16(QStringView text, QChar localeDecimalPoint);
std::optional<std::int16_t> toInt16(QStringView text);

}   // namespace fenra

namespace fenra {

// The shortest text that reads back as exactly `value` ("0.85", "1e-07"),
// with the full stop; "0" for either zero.
QString exactNumberText(double value);

}   // namespace fenra
