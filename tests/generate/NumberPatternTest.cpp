#include "generate/NumberPattern.h"

#include "engine/NumberText.h"
#include "support/ScriptedRandom.h"

#include <QLocale>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cmath>

namespace fenra {
namespace {

using test::ScriptedRandom;

struct Case { float value; const char* text; };

TEST(FormatPattern, WritesChosenValuesInFixedNotationWithAFullStop)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));   // comma locale must not leak in
    const Case cases[] = {
        {0.0f, "0.000"}, {-0.0f, "0.000"}, {0.5f, "0.500"}, {-0.25f, "-0.250"}, {-1.0f, "-1.000"},
        {0.1234568f, "0.1234568"}, {-0.1234568f, "-0.1234568"},
        {0.99999994f, "0.9999999"},            // seven significant digits, not 0.99999994039536
        {1234.5f, "1234.500"}, {123456789.0f, "123456800.000"},
        {3e-9f, "0.000000003"},                // no exponent for tiny values
        {1.234567e-10f, "0.00000000012346"},   // rounded at the fourteenth decimal
        {4e-15f, "0.000"}, {-4e-15f, "-0.000"}, {6e-15f, "0.00000000000001"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatPattern(c.value), QString::fromLatin1(c.text)) << c.value;
    QLocale::setDefault(QLocale::c());
}

TEST(RandomCoefficientText, CutsChosenDrawsToTheBox)
{
    const Case cases[] = {
        {0.5f, "0.000"},                               // v = 0
        {0.0f, "-1.000"},                              // v = -1
        {0.5f + 0x1p-24f, "0.0000"},                   // 0 < v < 0.0001
        {0.5f - 0x1p-24f, "-0.000"},                   // -0.001 < v < 0
        {ScriptedRandom::unitFor(0.1234568), "0.1234"},
        {ScriptedRandom::unitFor(-0.1234568), "-0.123"},
        {ScriptedRandom::unitFor(0.75), "0.750"},
        {1.0f - 0x1p-24f, "0.9999"},                   // the largest draw, never 1.000
        {0x1p-24f, "-0.999"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(randomCoefficientText(c.value), QString::fromLatin1(c.text)) << c.value;
}

TEST(RandomCoefficientText, EveryDrawFitsTheBoxAndCutsTowardZero)
{
    static const QRegularExpression shape(QStringLiteral("^(0\\.\\d{3,4}|-0\\.\\d{3}|-1\\.000)$"));
    for (std::uint32_t step = 0; step < (1u << 24); step += 97) {
        const float r = float(step) * 0x1p-24f;
        const double v = 2.0 * r - 1.0;
        const QString text = randomCoefficientText(r);
        ASSERT_TRUE(shape.match(text).hasMatch()) << r << " " << text.toStdString();
        const double back = *toDouble(text, u'.');
        // The cut drops digits (0.0001 steps when positive, 0.001 when negative);
        // the seventh digit's rounding may add at most half a unit above |v|.
        EXPECT_LT(std::fabs(v - back), v >= 0 ? 1e-4 : 1e-3) << text.toStdString();
        EXPECT_LE(std::fabs(back), std::fabs(v) + 5e-8) << text.toStdString();
        EXPECT_TRUE(back >= -1.0 && back < 1.0) << text.toStdString();
    }
}

} // namespace
} // namespace fenra
