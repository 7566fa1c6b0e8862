#include "engine/PickDataSet.h"

#include "support/ScriptedRandom.h"

#include "Printing.h"

#include <gtest/gtest.h>

using namespace fenra;
using namespace Qt::StringLiterals;
using fenra::test::ScriptedRandom;

namespace {

constexpr float kAlmostOne = 1.0f - 0x1p-24f;   // the largest draw

// Six sets whose texts say where they come from: set k, coefficient j is "kj".
DataSetTexts labelledSets(const QString& count)
{
    DataSetTexts sets{count, {}};
    for (int k = 1; k <= kDataSetCount; ++k)
        for (int j = 1; j <= kCoefficientCount; ++j)
            sets.sets[std::size_t(k - 1)][std::size_t(j - 1)] = QString::number(k * 10 + j);
    return sets;
}

const CurrentMap kEarlierPick{u"9"_s, {u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s}};

TEST(PickDataSet, WritesFloorOfNTimesUPlusOneAndCopiesOnlyForCountsTwoToSix)
{
    const struct {
        QString count;
        float u;
        QString setNumber;
        int copiedSet;   // 0: the earlier texts stay
    } cases[] = {
        {u"2"_s, 0.0f, u"1"_s, 1},          {u"2"_s, 0.5f, u"2"_s, 2},       {u"2"_s, kAlmostOne, u"2"_s, 2},
        {u"6"_s, kAlmostOne, u"6"_s, 6},    {u"6"_s, 0.5f, u"4"_s, 4},       {u"4"_s, 0.25f, u"2"_s, 2},
        // read as a number, not compared as text
        {u"3.0"_s, 0.9f, u"3"_s, 3},        {u" 3 "_s, 0.9f, u"3"_s, 3},     {u"03"_s, 0.9f, u"3"_s, 3},
        {u"2.5"_s, 0.9f, u"2"_s, 2},        {u"3.5"_s, 0.9f, u"4"_s, 4},
        {u"1"_s, 0.9f, u"1"_s, 0},          {u"7"_s, 0.9f, u"7"_s, 0},       {u"7"_s, 0.0f, u"1"_s, 0},
        {u"0"_s, 0.7f, u"1"_s, 0},          {u"-3"_s, 0.0f, u"1"_s, 0},
        {u"-3"_s, 0.5f, u"-1"_s, 0},        // floor(-0.5): down, not towards zero
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count.toStdString() + " u=" + std::to_string(c.u));
        const DataSetTexts sets = labelledSets(c.count);
        CurrentMap map = kEarlierPick;
        ScriptedRandom random({c.u});
        PickDataSet(sets, map, random);
        EXPECT_EQ(random.taken(), 1u);
        EXPECT_EQ(map.setNumber, c.setNumber);
        EXPECT_EQ(map.coefficients, c.copiedSet ? sets.sets[std::size_t(c.copiedSet - 1)] : kEarlierPick.coefficients);
    }
}

TEST(PickDataSet, ACountThatIsNotANumberWritesNothingAndDrawsNothing)
{
    for (const QString& count : {u""_s, u"abc"_s, u"2x"_s, u"40000"_s, u"-32769"_s, u"32767.5"_s}) {
        SCOPED_TRACE(count.toStdString());
        CurrentMap map = kEarlierPick;
        ScriptedRandom random({0.5f});
        PickDataSet(labelledSets(count), map, random);
        EXPECT_TRUE(map == kEarlierPick);
        EXPECT_EQ(random.taken(), 0u);
    }
}

TEST(PickDataSet, CopiesTheTextsCharacterForCharacter)
{
    DataSetTexts sets = labelledSets(u"4"_s);
    sets.sets[3] = {u" 1 "_s, u"abc"_s, QString(), u"1e2"_s, u"-0,5"_s, u"x y"_s};
    CurrentMap map;   // empty before the first pick
    ScriptedRandom random({0.8f});   // floor(4 * 0.8 + 1) = 4
    PickDataSet(sets, map, random);
    EXPECT_EQ(map.setNumber, u"4"_s);
    EXPECT_EQ(map.coefficients, sets.sets[3]);
}

} // namespace
