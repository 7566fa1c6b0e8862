#include "cli/CliRun.h"

#include "CliTestSupport.h"
#include "cli/PictureFiles.h"
#include "engine/RenderRun.h"
#include "files/Bitmap.h"
#include "files/DataRecord.h"

#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace fenra::cli {
namespace {

using test::CliHarness;
using test::readAll;

QStringList words(const char* line)
{
    return QString::fromUtf8(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

TEST(CliRun, WithOneThreadItDrawsTheWindowsPictureByteForByte)
{
    // The window's run: a fresh current map, a Pcg32 source with the seed.
    const struct {
        const char* options;
        RunSettingsTexts settings;
    } cases[] = {
        {"", RunSettingsTexts{}},
        {"--colour data --zoom 2x --right -300 --down 450 --points 20000",
         {QStringLiteral("20000"), QStringLiteral("2x"), QStringLiteral("-300"), QStringLiteral("450"),
          ColourMode::Data, {true, true, true, true, true, true}}},
        {"--colour white --hide 2,4 --points 99999",
         {QStringLiteral("99999"), QStringLiteral("1x"), QStringLiteral("0"), QStringLiteral("0"), ColourMode::White,
          {true, false, true, false, true, true}}},
        // more than one chunk of work, still one stream
        {"--colour random --points 2500000 --zoom 0.5x",
         {QStringLiteral("2500000"), QStringLiteral("0.5x"), QStringLiteral("0"), QStringLiteral("0"),
          ColourMode::Random, {true, true, true, true, true, true}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        CliHarness h;
        const QString out = h.path(QStringLiteral("fern.bmp"));
        ASSERT_EQ(h.run(QStringList{test::samplePath(QStringLiteral("fern")), QStringLiteral("-o"), out,
                                    QStringLiteral("--threads"), QStringLiteral("1"), QStringLiteral("--seed"),
                                    QStringLiteral("31337")}
                        + words(c.options)),
                  kExitDone)
            << h.errors().toStdString();

        std::vector<std::uint32_t> window(std::size_t(kDisplayWidth) * kDisplayHeight);
        const RasterView view{window.data(), kDisplayWidth, kDisplayHeight, kDisplayWidth};
        CurrentMap map;
        Pcg32Source random(31337);
        renderRun(test::sampleDataSets(QStringLiteral("fern")), *planRun(c.settings).plan, map, random, view);
        EXPECT_EQ(readAll(out), encodeBitmap(view));
    }
}

TEST(CliRun, TheSameSeedGivesTheSameBytesAndAnotherSeedAnotherPicture)
{
    const char* cases[] = {
        "--points 50000 -o a.png",
        "--points 50000 -o a.bmp --colour data",
        "--points 2200000 --threads 2 --colour density -o a.png",
        "--points 2200000 --threads 2 --colour random --scale 2 -o a.bmp",
    };
    for (const char* options : cases) {
        SCOPED_TRACE(options);
        CliHarness h;
        QStringList arguments = QStringList{test::samplePath(QStringLiteral("dragon"))} + words(options);
        arguments.replaceInStrings(QRegularExpression(QStringLiteral("^a\\.")), h.path(QStringLiteral("a.")));
        const QString out = arguments.filter(h.folder.path()).first();

        ASSERT_EQ(h.run(arguments + words("--seed 7")), kExitDone) << h.errors().toStdString();
        const QByteArray first = readAll(out);
        ASSERT_EQ(h.run(arguments + words("--seed 7")), kExitDone);
        EXPECT_EQ(readAll(out), first);
        ASSERT_EQ(h.run(arguments + words("--seed 8")), kExitDone);
        EXPECT_NE(readAll(out), first);
    }
}

TEST(CliRun, TheSeedIsPrintedAndTheClockGivesOneWhenNoneIsAsked)
{
    CliHarness h;
    const QString out = h.path(QStringLiteral("t.bmp"));
    const QString tree = test::samplePath(QStringLiteral("tree"));
    ASSERT_EQ(h.run({tree, QStringLiteral("-o"), out, QStringLiteral("--seed"), QStringLiteral("42")}), kExitDone);
    EXPECT_EQ(h.output(), out + QStringLiteral(" seed 42\n"));

    h.clockSeed = 123456789;
    ASSERT_EQ(h.run({tree, QStringLiteral("-o"), out}), kExitDone);
    EXPECT_EQ(h.output(), out + QStringLiteral(" seed 123456789\n"));
    const QByteArray fromClock = readAll(out);
    ASSERT_EQ(h.run({tree, QStringLiteral("-o"), out, QStringLiteral("--seed"), QStringLiteral("123456789")}),
              kExitDone);
    EXPECT_EQ(readAll(out), fromClock);
}

TEST(CliRun, APngItWroteRendersLikeItsDataFile)
{
    CliHarness h;
    const QString maple = test::samplePath(QStringLiteral("maple"));
    const QStringList options = words("--seed 3 --colour data --points 40000");
    ASSERT_EQ(h.run(QStringList{maple, QStringLiteral("-o"), h.path(QStringLiteral("first.png"))} + options), kExitDone);
    ASSERT_EQ(h.run(QStringList{h.path(QStringLiteral("first.png")), QStringLiteral("-o"),
                                h.path(QStringLiteral("second.png"))}
                    + options),
              kExitDone)
        << h.errors().toStdString();
    EXPECT_EQ(readAll(h.path(QStringLiteral("second.png"))), readAll(h.path(QStringLiteral("first.png"))));
    EXPECT_EQ(loadDataSets(h.path(QStringLiteral("second.png"))).dataSets, test::sampleDataSets(QStringLiteral("maple")));
}

TEST(CliRun, TheCountOptionReplacesTheFilesCount)
{
    // The fern drawn with only its first two maps: its stalk and its main frond,
    // not the two lower leaflets.
    CliHarness h;
    const QString fern = test::samplePath(QStringLiteral("fern"));
    ASSERT_EQ(h.run({fern, QStringLiteral("-o"), h.path(QStringLiteral("two.png")), QStringLiteral("--count"),
                     QStringLiteral("2"), QStringLiteral("--seed"), QStringLiteral("1")}),
              kExitDone);
    const LoadedData loaded = loadDataSets(h.path(QStringLiteral("two.png")));
    ASSERT_TRUE(loaded.dataSets.has_value());
    EXPECT_EQ(loaded.dataSets->count, QStringLiteral("2"));
    EXPECT_EQ(loaded.dataSets->sets, test::sampleDataSets(QStringLiteral("fern")).sets);
}

TEST(CliRun, FailuresSayWhatAndExitNonZero)
{
    CliHarness h;
    const QString fern = test::samplePath(QStringLiteral("fern"));
    const struct {
        QStringList arguments;
        int status;
        const char* message;
    } cases[] = {
        {{h.path(QStringLiteral("missing.tfg")), QStringLiteral("-o"), h.path(QStringLiteral("x.png"))},
         kExitFileFailed, "cannot read"},
        {{fern, QStringLiteral("-o"), h.path(QStringLiteral("no/folder/x.png"))}, kExitFileFailed,
         "could not be written"},
        {{fern, QStringLiteral("-o"), h.folder.path() + QStringLiteral("/.png")}, kExitDone, ""},
        {{fern, QStringLiteral("--points"), QStringLiteral("many")}, kExitBadOption, "--points needs a whole number"},
        {{QStringLiteral("--batch"), QStringLiteral("2"), QStringLiteral("--prefix"),
          h.path(QStringLiteral("no/folder/b"))},
         kExitFileFailed, "The batch stopped in run 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        EXPECT_EQ(h.run(c.arguments), c.status);
        EXPECT_TRUE(h.errors().contains(QString::fromLatin1(c.message))) << h.errors().toStdString();
        if (c.status != kExitDone) {
            EXPECT_TRUE(h.output().isEmpty());
        }
    }
    EXPECT_FALSE(QFileInfo::exists(h.path(QStringLiteral("x.png"))));
    EXPECT_EQ(h.run({QStringLiteral("--bogus")}), kExitBadOption);
    EXPECT_TRUE(h.errors().contains(QStringLiteral("Try 'fenra-render --help'")));
}

TEST(CliRun, BatchWritesTheWindowsNamesEachPictureWithItsSeed)
{
    CliHarness h;
    ASSERT_EQ(h.run({QStringLiteral("--batch"), QStringLiteral("3"), QStringLiteral("--prefix"),
                     h.path(QStringLiteral("leaf.tfg")), QStringLiteral("--seed"), QStringLiteral("10"),
                     QStringLiteral("--count"), QStringLiteral("3"), QStringLiteral("--colour"), QStringLiteral("data")}),
              kExitDone)
        << h.errors().toStdString();

    QString expectedOutput;
    for (int n = 1; n <= 3; ++n) {
        const QString picture = h.path(QStringLiteral("leaf(%1).bmp").arg(n));
        const QString data = h.path(QStringLiteral("leaf(%1).tfg").arg(n));
        expectedOutput += QStringLiteral("%1 %2 seed %3\n").arg(picture, data).arg(9 + n);

        const QByteArray record = readAll(data);
        ASSERT_EQ(record.size(), kRecordLength);
        const DataSetTexts sets = parseDataRecord(record);
        EXPECT_EQ(sets.count, QStringLiteral("3"));
        EXPECT_NE(sets.sets[2][0], QStringLiteral("0.0000"));   // the count reaches set 3 ...
        EXPECT_EQ(sets.sets[3][0], QStringLiteral("0.0000"));   // ... and no further

        // The printed seed and the data file draw the same picture again.
        CliHarness again;
        ASSERT_EQ(again.run({data, QStringLiteral("-o"), again.path(QStringLiteral("again.bmp")), QStringLiteral("--seed"),
                             QString::number(9 + n), QStringLiteral("--colour"), QStringLiteral("data")}),
                  kExitDone);
        EXPECT_EQ(readAll(again.path(QStringLiteral("again.bmp"))), readAll(picture)) << n;
    }
    EXPECT_EQ(h.output(), expectedOutput);
    EXPECT_NE(readAll(h.path(QStringLiteral("leaf(1).tfg"))), readAll(h.path(QStringLiteral("leaf(2).tfg"))));
}

} // namespace
} // namespace fenra::cli
