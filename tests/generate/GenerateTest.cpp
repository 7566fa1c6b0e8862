// The text of random coefficients, and a generation that fills the data sets with them.
#include "engine/NumberText.h"
#include "generate/NumberPattern.h"
#include "generate/RandomizeDataSets.h"
#include "support/ScriptedRandom.h"

#include <QLocale>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace fenra {
namespace {

using test::ScriptedRandom;

struct Case { float value; const char* text; };

TEST(NumberPattern, WritesChosenValuesInFixedNotationWithAFullStopAndCutsDrawsToTheBox)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));   // its comma must not leak in
    const Case patterns[] = {
        {-0.0f, "0.000"}, {-0.25f, "-0.250"}, {-0.1234568f, "-0.1234568"},
        {0.99999994f, "0.9999999"},   // seven significant digits, not 0.99999994039536
        {123456789.0f, "123456800.000"}, {3e-9f, "0.000000003"}, {1.234567e-10f, "0.00000000012346"},
        {-4e-15f, "-0.000"}, {6e-15f, "0.00000000000001"},   // rounded at the fourteenth decimal
    };
    for (const Case& c : patterns)
        EXPECT_EQ(formatPattern(c.value).toStdString(), c.text) << c.value;
    QLocale::setDefault(QLocale::c());

    // A draw r stands for v = 2r - 1, written as above and cut to the box's six characters.
    const Case boxes[] = {
        {0.5f, "0.000"}, {0.0f, "-1.000"}, {0.5f + 0x1p-24f, "0.0000"}, {0.5f - 0x1p-24f, "-0.000"},
        {ScriptedRandom::unitFor(0.1234568), "0.1234"}, {ScriptedRandom::unitFor(-0.1234568), "-0.123"},
        {1.0f - 0x1p-24f, "0.9999"}, {0x1p-24f, "-0.999"},   // the largest draw gives no 1.000
    };
    for (const Case& c : boxes)
        EXPECT_EQ(randomCoefficientText(c.value).toStdString(), c.text) << c.value;
}

TEST(NumberPattern, EveryDrawFitsTheBoxAndCutsTowardZero)
{
    static const QRegularExpression shape(QStringLiteral("^(0\\.\\d{3,4}|-0\\.\\d{3}|-1\\.000)$"));
    for (std::uint32_t step = 0; step < (1u << 24); step += 97) {
        const float r = float(step) * 0x1p-24f;
        const double v = 2.0 * r - 1.0;
        const QString text = randomCoefficientText(r);
        const double back = toDouble(text, u'.').value_or(99.0);
        // cut by 0.0001 when positive, 0.001 when negative; rounding the 7th digit adds at most half a unit
        ASSERT_TRUE(shape.match(text).hasMatch() && std::fabs(v - back) < (v >= 0 ? 1e-4 : 1e-3)
                    && std::fabs(back) <= std::fabs(v) + 5e-8) << r << " " << text.toStdString();
    }
}

constexpr double kClock = 45296.75;   // seconds since midnight, 12:34:56.75

// Sets 1 and 2 always, set K when the count is a number above K - 1, the rest cleared; the count stays.
// A count that is no number changes nothing, reseeds nothing and draws nothing.
TEST(RandomizeDataSets, FillsSetsOneAndTwoAndThoseTheCountReaches)
{
    std::vector<float> draws;   // 36 distinct draws, none of whose texts is "0.0000"
    for (int i = 0; i < 36; ++i)
        draws.push_back(ScriptedRandom::unitFor(0.1 + 0.02 * i));
    const struct { const char* count; int filled; } cases[] = {   // filled 0: refused
        {"2", 2}, {"6", 6}, {"1", 2}, {"0", 2}, {"-3", 2}, {"3.5", 4}, {"9", 6}, {"", 0}, {"2x", 0}, {" ", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        ScriptedRandom random(draws);
        DataSetTexts sets{QString::fromLatin1(c.count), {}};
        for (Coefficients& set : sets.sets)
            set.fill(QStringLiteral("7"));   // a user's texts, so clearing shows
        EXPECT_EQ(RandomizeDataSets(sets, random, kClock), c.filled > 0);
        EXPECT_EQ(sets.count.toStdString(), c.count);
        EXPECT_EQ(random.taken(), std::size_t(6 * c.filled));
        EXPECT_EQ(random.reseeds(), c.filled ? std::vector<double>{kClock} : std::vector<double>{});
        for (int i = 0; i < 36; ++i) {
            const QString expected = !c.filled ? QStringLiteral("7")
                                   : i < 6 * c.filled ? randomCoefficientText(draws[i]) : QStringLiteral("0.0000");
            EXPECT_EQ(sets.sets[i / 6][i % 6], expected) << "set " << i / 6 + 1 << " coefficient " << i % 6 + 1;
        }
    }
}

// The clock reseeds the source before the first draw, so two sources alike give another
// first generation at another time; one source gives new texts at the same time too.
TEST(RandomizeDataSets, RealSourceIsReseededFromTheClockAndStillChangesWithinOneTick)
{
    Pcg32Source random, twin;
    DataSetTexts first{QStringLiteral("6"), {}}, later = first;
    ASSERT_TRUE(RandomizeDataSets(first, random, kClock) && RandomizeDataSets(later, twin, kClock + 0.05));
    EXPECT_TRUE(first.sets != later.sets);
    DataSetTexts again = first;
    ASSERT_TRUE(RandomizeDataSets(again, random, kClock));
    EXPECT_TRUE(first.sets != again.sets);
}

} // namespace
} // namespace fenra
