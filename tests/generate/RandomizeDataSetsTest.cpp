#include "generate/RandomizeDataSets.h"

#include "generate/NumberPattern.h"
#include "support/ScriptedRandom.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fenra {
namespace {

using test::ScriptedRandom;

constexpr double kClock = 45296.75;   // seconds since midnight, 12:34:56.75

// All 36 boxes hold a user's text, so clearing shows.
DataSetTexts typedSets(const char* count)
{
    DataSetTexts sets{QString::fromLatin1(count), {}};
    for (Coefficients& coefficients : sets.sets)
        coefficients.fill(QStringLiteral("7"));
    return sets;
}

TEST(ClearDataSets, ClearsAllCoefficientsAndKeepsTheCount)
{
    DataSetTexts sets = typedSets("abc");
    ClearDataSets(sets);
    DataSetTexts cleared{QStringLiteral("abc"), {}};
    for (Coefficients& coefficients : cleared.sets)
        coefficients.fill(QStringLiteral("0.0000"));
    EXPECT_EQ(sets, cleared);
}

TEST(RandomizeDataSets, FillsSetsOneAndTwoAndThoseTheCountReaches)
{
    std::vector<float> draws;   // 36 distinct draws, none of whose texts is "0.0000"
    for (int i = 0; i < 36; ++i)
        draws.push_back(ScriptedRandom::unitFor(0.1 + 0.02 * i));

    const struct { const char* count; int filled; } cases[] = {
        {"2", 2}, {"6", 6}, {"1", 2}, {"0", 2}, {"-3", 2}, {"3.5", 4}, {"9", 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        ScriptedRandom random(draws);
        DataSetTexts sets = typedSets(c.count);
        ASSERT_TRUE(RandomizeDataSets(sets, random, kClock));

        EXPECT_EQ(sets.count, QString::fromLatin1(c.count));
        EXPECT_EQ(random.taken(), std::size_t(6 * c.filled));
        EXPECT_EQ(random.reseeds(), std::vector<double>{kClock});
        for (int k = 0; k < kDataSetCount; ++k)
            for (int j = 0; j < kCoefficientCount; ++j)
                EXPECT_EQ(sets.sets[k][j], k < c.filled ? randomCoefficientText(draws[6 * k + j])
                                                        : QStringLiteral("0.0000"))
                    << "set " << k + 1 << " coefficient " << j + 1;
    }
}

TEST(RandomizeDataSets, CountThatIsNotANumberChangesNothing)
{
    for (const char* count : {"", "abc", "2x", " ", "-"}) {
        SCOPED_TRACE(count);
        ScriptedRandom random;
        DataSetTexts sets = typedSets(count);
        EXPECT_FALSE(RandomizeDataSets(sets, random, kClock));
        EXPECT_EQ(sets, typedSets(count));
        EXPECT_EQ(random.taken(), 0u);
        EXPECT_TRUE(random.reseeds().empty());
    }
}

// Logs what a generation asks of its source, in order: R reseed, d draw.
struct LoggingRandom final : RandomSource {
    std::string log;
    float nextUnit() override { log += 'd'; return 0.25f; }
    void reseed(double) override { log += 'R'; }
};

TEST(RandomizeDataSets, ReseedsOnceBeforeTheFirstDrawOfEveryGeneration)
{
    LoggingRandom random;
    DataSetTexts sets = typedSets("3");
    RandomizeDataSets(sets, random, kClock);
    RandomizeDataSets(sets, random, kClock);
    const std::string generation = "R" + std::string(18, 'd');
    EXPECT_EQ(random.log, generation + generation);
}

TEST(RandomizeDataSets, RealSourceGivesNewCoefficientsWithinOneClockTick)
{
    Pcg32Source random;
    DataSetTexts first = typedSets("6");
    ASSERT_TRUE(RandomizeDataSets(first, random, kClock));
    DataSetTexts second = first;
    ASSERT_TRUE(RandomizeDataSets(second, random, kClock));

    int same = 0;
    for (int k = 0; k < kDataSetCount; ++k)
        for (int j = 0; j < kCoefficientCount; ++j)
            same += first.sets[k][j] == second.sets[k][j];
    EXPECT_LT(same, 4);   // 36 texts of some 15000 possible each: a few chance matches at most
}

} // namespace
} // namespace fenra
