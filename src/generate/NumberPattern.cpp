#include "generate/NumberPattern.h"

#include "engine/DataSets.h"

#include <QtGlobal>

#include <array>
#include <charconv>
#include <cmath>
#include <string>

namespace fenra {
namespace {

constexpr int kSignificantDigits = 7;   // what a single-precision value is written with
constexpr int kMinDecimals = 3;         // the pattern's "0.000"
constexpr int kMaxDecimals = 14;        // "0.000" plus eleven "#"

// Adds one unit in the last place of a string of decimal digits; returns true
// when the carry runs out of the front (all digits were 9).
bool incrementDigits(std::string& digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return false;
        }
        *it = '0';
    }
    return true;
}

}   // namespace

// Which digits: a single-precision value is first rounded to seven significant
// digits, as the classic number formatter does for it, and the pattern is laid
// over those digits. The exact binary expansion would give more digits, but the
// two readings differ only where the seventh digit's rounding carries into the
// four decimals a coefficient box keeps, and then only in the last kept digit.
QString formatPattern(float value)
{
    Q_ASSERT(std::isfinite(value));

    // The magnitude as d.dddddde±x: the shortest route to exactly seven
    // correctly rounded significant digits, independent of the locale.
    std::array<char, 32> buffer{};
    const double magnitude = std::fabs(double(value));
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                            std::chars_format::scientific, kSignificantDigits - 1);
    Q_ASSERT(error == std::errc());
    const std::string scientific(buffer.data(), end);
    const std::size_t ePos = scientific.find('e');
    std::string digits = scientific.substr(0, 1) + scientific.substr(2, ePos - 2);   // 7 digits
    const int exponent = std::stoi(scientific.substr(ePos + 1));

    // Lay the digits out in fixed notation: the point sits after exponent + 1 digits.
    std::string integerPart;
    std::string fraction;
    if (exponent >= 0) {
        const std::size_t integerDigits = std::size_t(exponent) + 1;
        if (digits.size() <= integerDigits) {
            integerPart = digits + std::string(integerDigits - digits.size(), '0');
        } else {
            integerPart = digits.substr(0, integerDigits);
            fraction = digits.substr(integerDigits);
        }
    } else {
        integerPart = "0";
        fraction = std::string(std::size_t(-exponent - 1), '0') + digits;
    }

    // Round half away from zero at the last decimal the pattern allows. Only
    // values below 1e-8 have that many decimals.
    if (fraction.size() > std::size_t(kMaxDecimals)) {
        const bool roundUp = fraction[kMaxDecimals] >= '5';
        fraction.resize(kMaxDecimals);
        if (roundUp && incrementDigits(fraction) && incrementDigits(integerPart))
            integerPart.insert(integerPart.begin(), '1');
    }

    while (fraction.size() > std::size_t(kMinDecimals) && fraction.back() == '0')
        fraction.pop_back();
    if (fraction.size() < std::size_t(kMinDecimals))
        fraction.append(std::size_t(kMinDecimals) - fraction.size(), '0');

    // The sign follows the value, not its rounded text: a negative value too
    // small for fourteen decimals still reads "-0.000". Zero, -0 included, is
    // not negative.
    std::string text = (value < 0.0f ? "-" : "") + integerPart + '.' + fraction;
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

QString randomCoefficientText(float r)
{
    // Exact in single precision for every multiple of 2^-24 in [0, 1): -1 <= v < 1.
    const float v = r + r - 1.0f;
    return cutToCoefficientBox(formatPattern(v));
}

}   // namespace fenra
