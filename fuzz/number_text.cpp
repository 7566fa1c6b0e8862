// Reading numbers from any text, with the full stop, a comma or an Arabic
// separator as the locale's decimal point: a text is a number exactly when it
// has the documented form, the number is finite, blanks around it change
// nothing, and the whole-number readings are its half-to-even rounding when
// that fits their range and refused otherwise.
#include "FuzzCheck.h"

#include "engine/NumberText.h"

#include <QRegularExpression>

#include <cmath>
#include <cstring>
#include <limits>

using namespace fenra;

namespace {

// The form of a number, written independently of the reader: sign, digits with
// a separator and more digits (at least one digit in all), optional exponent.
QRegularExpression numberForm(QChar point)
{
    const QString separator =
        point == u'.' ? QStringLiteral("[.]") : QStringLiteral("[.%1]").arg(QRegularExpression::escape(QString(point)));
    return QRegularExpression(
        QStringLiteral("\\A[ \\t]*[+-]?(?:[0-9]+(?:%1[0-9]*)?|%1[0-9]+)(?:[eE][+-]?[0-9]+)?[ \\t]*\\z").arg(separator));
}

constexpr QChar kPoints[] = {u'.', u',', u'\u066B'};

template <typename Int>
void checkWhole(std::optional<Int> whole, std::optional<double> value)
{
    if (!value) {
        FUZZ_CHECK(!whole);
        return;
    }
    const double rounded = roundHalfEven(*value);
    const bool fits =
        rounded >= double(std::numeric_limits<Int>::min()) && rounded <= double(std::numeric_limits<Int>::max());
    FUZZ_CHECK(whole.has_value() == fits);
    if (whole)
        FUZZ_CHECK(double(*whole) == rounded);
}

void checkRounding(double value)
{
    const double rounded = roundHalfEven(value);
    FUZZ_CHECK(rounded == std::trunc(rounded));
    const double distance = std::fabs(rounded - value);
    FUZZ_CHECK(distance <= 0.5);
    if (distance == 0.5)
        FUZZ_CHECK(std::fmod(rounded, 2.0) == 0.0);
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A leading byte-order mark selects raw UTF-16, to reach any character a box can hold.
    QString text;
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        text = QString(qsizetype((size - 2) / 2), Qt::Uninitialized);
        std::memcpy(text.data(), data + 2, std::size_t(text.size()) * 2);
    } else {
        text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    }
    if (text.size() > 400)
        return 0;

    static const QRegularExpression forms[] = {numberForm(kPoints[0]), numberForm(kPoints[1]), numberForm(kPoints[2])};
    for (int p = 0; p < 3; ++p) {
        const QChar point = kPoints[p];
        const bool hasForm = forms[p].match(text).hasMatch();
        const std::optional<double> value = toDouble(text, point);
        if (value) {
            FUZZ_CHECK(std::isfinite(*value));
            FUZZ_CHECK(hasForm);
            checkRounding(*value);
        } else if (hasForm) {
            // A number of the right form is refused only when it does not fit a double.
            FUZZ_CHECK(text.contains(u'e', Qt::CaseInsensitive) || text.size() > 300);
        }
        FUZZ_CHECK(toDouble(QStringLiteral(" \t") + text + QStringLiteral("\t "), point) == value);
        checkWhole(toInt32(text, point), value);
        checkWhole(toInt16(text, point), value);

        // The locale's separator reads exactly as a full stop would.
        QString withStop = text;
        withStop.replace(point, u'.');
        FUZZ_CHECK(toDouble(withStop, u'.') == value);
    }
    return 0;
}
