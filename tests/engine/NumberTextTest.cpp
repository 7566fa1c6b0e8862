#include "engine/NumberText.h"

#include "Printing.h"

#include <gtest/gtest.h>

using namespace fenra;
using namespace Qt::StringLiterals;

namespace {

constexpr QChar kPoint = u'.';
constexpr QChar kComma = u',';

TEST(NumberText, ReadsSignedDecimalsWithExponentsAndBlanksAndNothingElse)
{
    const struct {
        QString text;
        QChar localePoint;
        std::optional<double> expected;   // nullopt: not a number
    } cases[] = {
        {u"0.5"_s, kPoint, 0.5},   {u"-1"_s, kPoint, -1.0},      {u"+2.5"_s, kPoint, 2.5},  {u".25"_s, kPoint, 0.25},
        {u"0.1"_s, kPoint, 0.1},   {u"1e3"_s, kPoint, 1000.0},   {u"1E-2"_s, kPoint, 0.01}, {u"-2.5e+2"_s, kPoint, -250.0},
        {u"  3.25  "_s, kPoint, 3.25}, {u"1e308"_s, kPoint, 1e308},
        {u""_s, kPoint, {}},       {u"   "_s, kPoint, {}},       {u"abc"_s, kPoint, {}},    {u"1a"_s, kPoint, {}},
        {u"1 2"_s, kPoint, {}},    {u"-"_s, kPoint, {}},         {u"."_s, kPoint, {}},      {u"+-1"_s, kPoint, {}},
        {u"1..2"_s, kPoint, {}},   {u"1e"_s, kPoint, {}},        {u"e5"_s, kPoint, {}},     {u"1e2.5"_s, kPoint, {}},
        {u"0x10"_s, kPoint, {}},   {u"inf"_s, kPoint, {}},       {u"1e999"_s, kPoint, {}},  {u"-1e999"_s, kPoint, {}},
        // the full stop always, a comma only where the locale writes one
        {u"1,5"_s, kComma, 1.5},   {u"-0,25e1"_s, kComma, -2.5}, {u"1.5"_s, kComma, 1.5},   {u"1,5"_s, kPoint, {}},
        {u"1,2,3"_s, kComma, {}},  {u"1.5,2"_s, kComma, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(toDouble(c.text, c.localePoint), c.expected);
    }
}

TEST(NumberText, WholeNumbersRoundHalvesToEvenAndStayWithinTheirRange)
{
    const struct {
        QString text;
        std::optional<std::int32_t> as32;
        std::optional<std::int16_t> as16;
    } cases[] = {
        {u" 7 "_s, 7, 7},            {u"2.5"_s, 2, 2},             {u"3.5"_s, 4, 4},         {u"-2.5"_s, -2, -2},
        {u"1e3"_s, 1000, 1000},      {u""_s, {}, {}},              {u"abc"_s, {}, {}},       {u"1e999"_s, {}, {}},
        {u"32767"_s, 32767, 32767},  {u"32767.5"_s, 32768, {}},    {u"-32768.5"_s, -32768, -32768},
        {u"-32768.6"_s, -32769, {}}, {u"40000"_s, 40000, {}},
        {u"2147483647.4"_s, 2147483647, {}},  {u"2147483647.5"_s, {}, {}},
        {u"-2147483648.5"_s, -2147483647 - 1, {}}, {u"-2147483649"_s, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(toInt32(c.text, kPoint), c.as32);
        EXPECT_EQ(toInt16(c.text, kPoint), c.as16);
    }
    EXPECT_EQ(toInt16(u"2,5", kComma), 2);
    EXPECT_EQ(toInt32(u"2,5", kPoint), std::nullopt);
}

} // namespace
