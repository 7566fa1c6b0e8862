#include "files/BatchNames.h"

#include <gtest/gtest.h>

namespace fenra {
namespace {

TEST(BatchNames, BaseLosesOnlyATfgExtensionInAnyCase)
{
    struct Case { const char* chosen; const char* base; };
    for (const Case c : {Case{"fern.tfg", "fern"}, {"FERN.TFG", "FERN"}, {"pics/fern.Tfg", "pics/fern"},
                         {"data/fern", "data/fern"}, {"ab", "ab"}, {"x.bmp", "x.bmp"}, {"fern.tfgx", "fern.tfgx"},
                         {".tfg", ""}}) {
        EXPECT_EQ(batchBaseName(QString::fromLatin1(c.chosen)), QString::fromLatin1(c.base)) << c.chosen;
    }
}

TEST(BatchNames, RunNumberIsPlainDecimalInBrackets)
{
    struct Case { int run; const char* picture; const char* data; };
    for (const Case c : {Case{1, "pics/fern(1).bmp", "pics/fern(1).tfg"},
                         {10, "pics/fern(10).bmp", "pics/fern(10).tfg"},
                         {12, "pics/fern(12).bmp", "pics/fern(12).tfg"}}) {
        EXPECT_EQ(batchPictureName(QStringLiteral("pics/fern"), c.run), QString::fromLatin1(c.picture));
        EXPECT_EQ(batchDataName(QStringLiteral("pics/fern"), c.run), QString::fromLatin1(c.data));
    }
}

} // namespace
} // namespace fenra
