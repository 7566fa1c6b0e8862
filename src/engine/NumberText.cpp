#include "engine/NumberText.h"

#include <QLocale>

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include <locale.h>

namespace fenra {
namespace {

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

// strtod under the "C" locale, whatever the process locale says.
double parseCanonical(const std::string& text, bool* overflow)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    char* end = nullptr;
    const double value = strtod_l(text.c_str(), &end, cLocale);
    *overflow = std::isinf(value);
    return value;
}

}   // namespace

QChar systemDecimalPoint()
{
    const QString point = QLocale::system().decimalPoint();
    return point.size() == 1 ? point.front() : QChar(u'.');
}

std::optional<double> toDouble(QStringView text, QChar localeDecimalPoint)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;

    // Rewrite the accepted form as plain ASCII with a full stop, then let the
    // C library do the correctly rounded conversion.
    std::string canonical;
    canonical.reserve(std::size_t(end - begin));
    qsizetype i = begin;
    if (i < end && (text[i] == u'+' || text[i] == u'-'))
        canonical.push_back(char(text[i++].unicode()));

    int mantissaDigits = 0;
    while (i < end && isDigit(text[i])) {
        canonical.push_back(char(text[i++].unicode()));
        ++mantissaDigits;
    }
    if (i < end && (text[i] == u'.' || text[i] == localeDecimalPoint)) {
        canonical.push_back('.');
        ++i;
        while (i < end && isDigit(text[i])) {
            canonical.push_back(char(text[i++].unicode()));
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return std::nullopt;

    if (i < end && (text[i] == u'e' || text[i] == u'E')) {
        canonical.push_back('e');
        ++i;
        if (i < end && (text[i] == u'+' || text[i] == u'-'))
            canonical.push_back(char(text[i++].unicode()));
        int exponentDigits = 0;
        while (i < end && isDigit(text[i])) {
            canonical.push_back(char(text[i++].unicode()));
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != end)
        return std::nullopt;

    bool overflow = false;
    const double value = parseCanonical(canonical, &overflow);
    if (overflow)
        return std::nullopt;
    return value;
}

std::optional<double> toDouble(QStringView text) { return toDouble(text, systemDecimalPoint()); }

double roundHalfEven(double value)
{
    const double nearest = std::round(value);   // halves away from zero
    if (std::fabs(value - std::trunc(value)) == 0.5)
        return 2.0 * std::round(value / 2.0);
    return nearest;
}

namespace {

template <typename Int>
std::optional<Int> toWhole(QStringView text, QChar localeDecimalPoint)
{
    const std::optional<double> value = toDouble(text, localeDecimalPoint);
    if (!value)
        return std::nullopt;
    const double rounded = roundHalfEven(*value);
    if (rounded < double(std::numeric_limits<Int>::min()) || rounded > double(std::numeric_limits<Int>::max()))
        return std::nullopt;
    return Int(rounded);
}

}   // namespace

std::optional<std::int32_t> toInt32(QStringView text, QChar localeDecimalPoint)
{
    return toWhole<std::int32_t>(text, localeDecimalPoint);
}

std::optional<std::int32_t> toInt32(QStringView text) { return toInt32(text, systemDecimalPoint()); }

std::optional<std::int16_t> toInt16(QStringView text, QChar localeDecimalPoint)
{
    return toWhole<std::int16_t>(text, localeDecimalPoint);
}

std::optional<std::int16_t> toInt16(QStringView text) { return toInt16(text, systemDecimalPoint()); }

}   // namespace fenra

namespace fenra {

QString exactNumberText(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value == 0.0 ? 0.0 : value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

}   // namespace fenra
