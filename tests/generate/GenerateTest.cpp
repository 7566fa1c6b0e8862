// The text of random coefficients, and a generation that fills the data sets with them.
#include "generate/NumberPattern.h"
#include "generate/RandomizeDataSets.h"
#include "support/ScriptedRandom.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <vector>

namespace fenra {
namespace {

using namespace Qt::StringLiterals;

// What a box keeps of a draw r, which stands for v = 2r - 1: v with seven significant digits and a
// full stop in any locale, cut to six characters. The pattern's form for any value, and how closely
// it reads back, the fuzz corpus checks (fuzz/number_pattern).
TEST(NumberPattern, ADrawIsWrittenWithSevenSignificantDigitsAndAFullStopAndCutToTheBox)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));   // its comma must not leak in
    for (const auto& [r, text] : {std::pair{0.5f, "0.000"},
                                  {0.0f, "-1.000"},
                                  {0x1p-24f, "-0.999"},
                                  {0.5f + 0x1p-24f, "0.0000"},
                                  {0.5f - 0x1p-24f, "-0.000"},
                                  {1.0f - 0x1p-24f, "0.9999"},       // the largest draw gives no 1.000
                                  {9424601 * 0x1p-24f, "0.1235"}})   // 0.12349998951 to seven digits
        EXPECT_EQ(randomCoefficientText(r).toStdString(), text) << r;
    QLocale::setDefault(QLocale::c());
}

constexpr double kClock = 45296.75;   // seconds since midnight, 12:34:56.75

// Sets 1 and 2 always, set K when the count is a number above K - 1, the rest cleared; the count stays.
// A count that is no number changes nothing, reseeds nothing and draws nothing.
TEST(RandomizeDataSets, FillsSetsOneAndTwoAndThoseTheCountReaches)
{
    std::vector<float> draws;   // 36 draws of distinct texts, none of them "0.0000"
    for (int i = 0; i < 36; ++i)
        draws.push_back(0.55f + 0.01f * float(i));
    for (const auto& [count, filled] : {std::pair{"2", 2},
                                        {"6", 6},
                                        {"1", 2},
                                        {"-3", 2},
                                        {"3.5", 4},
                                        {"9", 6},
                                        {"", 0},
                                        {"2x", 0}}) {   // filled 0: refused
        test::ScriptedRandom random(draws);
        DataSetTexts sets{QString::fromLatin1(count), {}}, expected = sets;
        for (int i = 0; i < 36; ++i) {
            sets.sets[i / 6][i % 6] = u"7"_s;   // a user's texts, so clearing shows
            expected.sets[i / 6][i % 6] = !filled          ? u"7"_s
                                          : i < 6 * filled ? randomCoefficientText(draws[i])
                                                           : u"0.0000"_s;
        }
        EXPECT_EQ(RandomizeDataSets(sets, random, kClock), filled > 0) << count;
        EXPECT_EQ(sets, expected) << count;   // the count stays
        EXPECT_EQ(random.taken(), std::size_t(6 * filled)) << count;
        EXPECT_EQ(random.reseeds(), filled ? std::vector<double>{kClock} : std::vector<double>{}) << count;
    }
}

// The clock reseeds the source before the first draw, so two sources alike give another
// first generation at another time; one source gives new texts at the same time too.
TEST(RandomizeDataSets, RealSourceIsReseededFromTheClockAndStillChangesWithinOneTick)
{
    Pcg32Source random, twin;
    DataSetTexts first{u"6"_s, {}}, later = first, again = first;
    ASSERT_TRUE(RandomizeDataSets(first, random, kClock) && RandomizeDataSets(later, twin, kClock + 0.05)
                && RandomizeDataSets(again, random, kClock));
    EXPECT_TRUE(first.sets != later.sets);
    EXPECT_TRUE(first.sets != again.sets);
}

}   // namespace
}   // namespace fenra
