// The generator's number-to-text pattern fed any single-precision value: the
// text has the pattern's form and reads back within its rounding; what a
// coefficient box keeps of it is a prefix of at most six characters that reads
// back within the cut's tolerance; and a random coefficient's text has one of
// the few forms the data file and the runs expect.
#include "FuzzCheck.h"

#include "engine/DataSets.h"
#include "engine/NumberText.h"
#include "generate/NumberPattern.h"

#include <QRegularExpression>

#include <cmath>
#include <cstring>

using namespace fenra;

namespace {

std::optional<double> readBack(const QString& text)
{
    // The full stop is written in every locale, so it must read with either separator.
    const std::optional<double> value = toDouble(text, u'.');
    FUZZ_CHECK(toDouble(text, u',') == value);
    return value;
}

void checkPattern(float value)
{
    static const QRegularExpression form(QStringLiteral("\\A-?(?:0|[1-9][0-9]*)\\.[0-9]{3}(?:[0-9]{0,10}[1-9])?\\z"));
    const QString text = formatPattern(value);
    FUZZ_CHECK(form.match(text).hasMatch());
    FUZZ_CHECK(text.startsWith(u'-') == (value < 0.0f));

    // Seven significant digits, then at most fourteen decimals.
    const std::optional<double> read = readBack(text);
    FUZZ_CHECK(read.has_value());
    const double exact = double(value);
    const double magnitude = std::fabs(exact);
    const double sevenDigits = magnitude > 0.0 ? 0.5 * std::pow(10.0, std::floor(std::log10(magnitude)) - 6.0) : 0.0;
    FUZZ_CHECK(std::fabs(*read - exact) <= (sevenDigits + 0.5e-14) * (1.0 + 1e-9));

    // The box keeps a prefix: never further from zero, and short of the whole
    // text by less than one unit of its last kept decimal.
    const QString kept = cutToCoefficientBox(text);
    FUZZ_CHECK(kept.size() <= kCoefficientWidth && text.startsWith(kept));
    const std::optional<double> keptValue = readBack(kept);
    FUZZ_CHECK(keptValue.has_value());
    FUZZ_CHECK(std::fabs(*keptValue) <= std::fabs(*read));
    const qsizetype point = kept.indexOf(u'.');
    if (point >= 0 && point < kept.size() - 1) {
        const double unit = std::pow(10.0, -double(kept.size() - 1 - point));
        FUZZ_CHECK(std::fabs(*read) - std::fabs(*keptValue) < unit * (1.0 + 1e-9));
    }
}

void checkRandomCoefficient(std::uint32_t bits)
{
    static const QRegularExpression form(QStringLiteral("\\A(?:0\\.[0-9]{3,4}|-0\\.[0-9]{3}|-1\\.000)\\z"));
    const float r = float(bits & 0xFFFFFFu) * 0x1p-24f;
    const QString text = randomCoefficientText(r);
    FUZZ_CHECK(form.match(text).hasMatch());

    // Cut toward zero to 0.0001 for a positive value, to 0.001 for a negative
    // one, give or take the rounding at the seventh significant digit.
    const double v = double(r + r - 1.0f);
    const std::optional<double> read = readBack(text);
    FUZZ_CHECK(read.has_value() && *read >= -1.0 && *read < 1.0);
    const double cut = v < 0.0 ? 1e-3 : 1e-4;
    FUZZ_CHECK(std::fabs(v - *read) < cut + 1e-7);
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    for (std::size_t at = 0; at + 4 <= size; at += 4) {
        std::uint32_t bits;
        std::memcpy(&bits, data + at, 4);
        float value;
        std::memcpy(&value, &bits, 4);
        if (std::isfinite(value))
            checkPattern(value);
        checkRandomCoefficient(bits);
    }
    return 0;
}
