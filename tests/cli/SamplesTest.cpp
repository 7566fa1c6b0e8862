#include "CliTestSupport.h"
#include "cli/RenderPicture.h"
#include "engine/NumberText.h"
#include "engine/PointLoop.h"
#include "files/DataRecord.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace fenra::cli {
namespace {

TEST(Samples, EachLoadsWithNumbersForEveryMapItUses)
{
    const struct {
        const char* name;
        int maps;
    } cases[] = {{"sierpinski", 3}, {"fern", 6}, {"dragon", 2}, {"maple", 6}, {"spiral", 6}, {"tree", 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = QString::fromLatin1(c.name);
        EXPECT_EQ(test::readAll(test::samplePath(name)).size(), kRecordLength);
        const DataSetTexts sets = test::sampleDataSets(name);
        EXPECT_EQ(sets.count, QString::number(c.maps));
        for (int k = 1; k <= 6; ++k) {
            for (const QString& text : sets.sets[std::size_t(k - 1)]) {
                EXPECT_EQ(text.size(), kCoefficientWidth) << "set " << k;
                if (k <= c.maps)
                    EXPECT_TRUE(toDouble(text, QLatin1Char('.')).has_value()) << "set " << k << ": " << text.toStdString();
                else
                    EXPECT_EQ(text, QStringLiteral("0.0000")) << "set " << k;
            }
        }
    }
}

TEST(Samples, EachDrawsInsideThePictureAndFillsIt)
{
    for (const char* sample : {"sierpinski", "fern", "dragon", "maple", "spiral", "tree"}) {
        SCOPED_TRACE(sample);
        const RunPlan plan = *planRun(RunSettingsTexts{}).plan;   // the window's defaults: 1x, no offsets
        const CurrentMap map;
        const PreparedRun run(test::sampleDataSets(QString::fromLatin1(sample)), plan, map);
        LoopState state(run);
        Pcg32Source random(11);
        HitGrid hits(PixelGrid{1});
        // The origin's first images may still be on their way to the picture.
        countHits(run, state, random, 20, hits);
        std::fill(hits.cells.begin(), hits.cells.end(), HitCell{});

        constexpr std::int64_t kPoints = 200000;
        EXPECT_EQ(countHits(run, state, random, kPoints, hits), kPoints);
        int left = kDisplayWidth, right = -1, top = kDisplayHeight, bottom = -1;
        for (int row = 0; row < kDisplayHeight; ++row)
            for (int column = 0; column < kDisplayWidth; ++column)
                if (hits.cells[std::size_t(row * kDisplayWidth + column)].hits > 0) {
                    left = std::min(left, column);
                    right = std::max(right, column);
                    top = std::min(top, row);
                    bottom = std::max(bottom, row);
                }
        // Fills the picture's height, or its width, with a margin at each edge.
        EXPECT_GT(left, 0);
        EXPECT_LT(right, kDisplayWidth - 1);
        EXPECT_GT(top, 0);
        EXPECT_LT(bottom, kDisplayHeight - 1);
        EXPECT_TRUE(bottom - top > kDisplayHeight * 85 / 100 || right - left > kDisplayWidth * 85 / 100)
            << left << ".." << right << " x " << top << ".." << bottom;
    }
}

} // namespace
} // namespace fenra::cli
