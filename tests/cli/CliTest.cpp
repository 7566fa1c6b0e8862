#include "cli/CliRun.h"
#include "cli/PictureFiles.h"
#include "engine/RenderRun.h"
#include "files/Bitmap.h"
#include "files/DataRecord.h"
#include "platform/QtFileStore.h"
#include "support/FakePlatform.h"
#include "support/ScriptedRandom.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace fenra::cli {
namespace {

QString samplePath(const QString& name) { return QStringLiteral(FENRA_SAMPLES_DIR "/%1.tfg").arg(name); }

// fenra-render in a folder of its own, with what it prints kept.
struct CliHarness {
    QTemporaryDir folder;
    std::ostringstream out, err;
    QtFileStore disk;
    FileStore* files = &disk;

    QString path(const QString& name) const { return folder.filePath(name); }
    QByteArray read(const QString& n) { return disk.readPrefix(path(n), QFileInfo(path(n)).size()).bytes.value_or(""); }
    QString errors() const { return QString::fromStdString(err.str()); }
    // The words of `line`, where @name is a file in the folder and %name a sample.
    int run(const QString& line)
    {
        QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (QString& w : words)
            w = w.startsWith(u'@') ? path(w.mid(1)) : w.startsWith(u'%') ? samplePath(w.mid(1)) : w;
        out.str({}), err.str({});
        CliEnvironment environment{out, err, false, *files, [] { return std::uint64_t(777); }, [] { return 0.0; }, 2};
        return runCli(words, environment);
    }
};

TEST(CliOptions, EachOptionSetsItsSetting)
{
    const struct {
        const char* line;
        std::function<void(CliOptions&)> effect;   // on a render of in.tfg to out.png with the window's defaults
    } cases[] = {
        {"-o out.png in.tfg", [](CliOptions&) {}},
        {"in.tfg --output=out.png --points=0", [](CliOptions& o) { o.points = 0; }},
        {"in.tfg -o out.png --points 9223372036854775807", [](CliOptions& o) { o.points = INT64_MAX; }},
        {"in.tfg -o out.png --zoom none", [](CliOptions& o) { o.zoom.clear(); }},
        {"in.tfg -o out.png --color data", [](CliOptions& o) { o.colour = PictureColour::Data; }},
        {"in.tfg -o out.png --colour density --tint white",
         [](CliOptions& o) { o.colour = PictureColour::Density, o.tint = DensityTint::White; }},
        {"in.tfg -o out.png --scale 16 --threads 3", [](CliOptions& o) { o.scale = 16, o.threads = 3; }},
        {"in.tfg -o out.png --seed 18446744073709551615", [](CliOptions& o) { o.seed = UINT64_MAX; }},
        {"-o out.png -- -in.tfg", [](CliOptions& o) { o.input = QStringLiteral("-in.tfg"); }},
        {"--batch 4 --prefix out/fern", [](CliOptions& o) { o = CliOptions{}, o.batch = 4, o.prefix = "out/fern"; }},
        {"--help", [](CliOptions& o) { o = CliOptions{}, o.help = true; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        CliOptions expected;
        expected.input = QStringLiteral("in.tfg"), expected.output = QStringLiteral("out.png");
        c.effect(expected);
        const ParsedOptions parsed = parseOptions(QString::fromUtf8(c.line).split(QLatin1Char(' ')));
        ASSERT_TRUE(parsed.options.has_value()) << parsed.error.toStdString();
        EXPECT_EQ(*parsed.options, expected);
    }
}

TEST(CliOptions, BadCommandLinesExitWithTwoAndTheirReason)
{
    const struct {
        const char* line;
        const char* reason;
    } cases[] = {
        {"--points 9223372036854775808", "--points needs a whole number from 0 to 9223372036854775807"},
        {"--points 1e8", "--points needs a whole number"},
        {"--points", "--points needs a value"},
        {"--zoom 3x", "--zoom needs one of 0.25x, 0.5x, 1x, 2x, 4x, 8x or none"},
        {"--right east", "--right needs a number of twips, not \"east\""},
        {"--colour pink", "--colour needs random, white, data or density"},
        {"--tint red", "--tint needs data or white"},
        {"--hide 2,7", "--hide needs data set numbers from 1 to 6"},
        {"--scale 17", "--scale needs a whole number from 1 to 16"},
        {"--threads 0", "--threads needs a whole number from 1 to 256"},
        {"--count=", "--count needs the text"},
        {"--frobnicate 3", "unknown option --frobnicate"},
        {"a.tfg b.tfg -o out.png", "only one data file"},
        {"-o out.png", "give a data file"},
        {"in.tfg", "give the picture's name with --output"},
        {"in.tfg -o out.jpg", "must end in .bmp or .png"},
        {"in.tfg -o out.png --prefix fern", "--prefix belongs to --batch"},
        {"--batch 3", "--batch needs --prefix"},
        {"--batch 3 --prefix fern in.tfg", "reads no data file"},
        {"--batch 3 --prefix fern -o out.png", "leave out --output"},
        {"--batch 3 --prefix fern --count 10", "--count must be one character and a number"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        CliHarness h;
        EXPECT_EQ(h.run(QString::fromUtf8(c.line)), kExitBadOption);
        EXPECT_TRUE(h.errors().contains(QString::fromUtf8(c.reason))) << h.errors().toStdString();
        EXPECT_TRUE(h.errors().endsWith(QStringLiteral("Try 'fenra-render --help'.\n")) && h.out.str().empty());
    }
}

TEST(CliRun, TheSameSeedGivesTheSameBytesAndAnotherSeedAnotherPicture)
{
    // Above two million points the default of two cores gives two streams.
    for (const char* args : {"-o @a.bmp --threads 1", "-o @a.png --colour data",
                             "-o @a.png --points 2200000 --colour density", "-o @a.bmp --points 2200000 --scale 2"}) {
        SCOPED_TRACE(args);
        CliHarness h;
        const QString line = QStringLiteral("%dragon ") + QString::fromLatin1(args);
        const QString picture = QString::fromLatin1(args).section(QLatin1Char(' '), 1, 1).mid(1);
        ASSERT_EQ(h.run(line + QStringLiteral(" --seed 7")), kExitDone) << h.err.str();
        EXPECT_EQ(QString::fromStdString(h.out.str()), h.path(picture) + QStringLiteral(" seed 7\n"));
        const QByteArray first = h.read(picture);
        const QImage firstImage(h.path(picture));
        ASSERT_EQ(h.run(line + QStringLiteral(" --seed 7")), kExitDone);
        EXPECT_EQ(h.read(picture), first);
        ASSERT_EQ(h.run(line + QStringLiteral(" --seed 8")), kExitDone);
        EXPECT_NE(h.read(picture), first);
        // Two streams, from two million points on, draw other pixels than one stream.
        ASSERT_EQ(h.run(line + QStringLiteral(" --seed 7 --threads 1")), kExitDone);
        EXPECT_EQ(QImage(h.path(picture)) == firstImage, !line.contains(QStringLiteral("2200000")));
    }
}

TEST(CliRun, WithOneThreadItDrawsTheWindowsPicture)
{
    const struct {
        const char* options;
        RunSettingsTexts settings;
    } cases[] = {
        {"", RunSettingsTexts{}},
        // more than one chunk of work, still one stream
        {"--colour data --zoom 2x --right -300 --down 450 --hide 2,4 --points 2500000",
         {"2500000", "2x", "-300", "450", ColourMode::Data, {true, false, true, false, true, true}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        CliHarness h;
        ASSERT_EQ(h.run(QStringLiteral("%fern -o @f.bmp --threads 1 --seed 31337 ") + QString::fromLatin1(c.options)),
                  kExitDone) << h.errors().toStdString();
        // The window's run: a fresh current map, a Pcg32 source with the seed.
        Picture window{kDisplayWidth, kDisplayHeight, std::vector<std::uint32_t>(kDisplayWidth * kDisplayHeight)};
        CurrentMap map;
        Pcg32Source random(31337);
        renderRun(*loadDataSets(samplePath("fern")).dataSets, *planRun(c.settings).plan, map, random, window.view());
        EXPECT_EQ(h.read(QStringLiteral("f.bmp")), encodeBitmap(window.view()));
    }
}

TEST(CliRun, FilesThatCannotBeReadOrWrittenExitWithOneAndLeaveNoFile)
{
    const struct {
        const char* line;
        const char* message;
    } cases[] = {
        {"@missing.tfg -o @x.png", "cannot read"},
        {"%fern -o @x.png", "could not be written: No space left on device"},
        {"--batch 2 --prefix @b", "The batch stopped in run 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        CliHarness h;
        fenra::test::FakeFileStore full;
        full.failWrite = [](const QString&) { return true; };
        h.files = &full;
        EXPECT_EQ(h.run(QString::fromLatin1(c.line)), kExitFileFailed);
        EXPECT_TRUE(h.errors().contains(QString::fromLatin1(c.message)) && h.out.str().empty()) << h.err.str();
        EXPECT_TRUE(full.files.empty());
        EXPECT_TRUE(QDir(h.folder.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    }
}

TEST(CliRun, EachBatchPictureIsDrawnAgainFromItsDataFileAndSeed)
{
    CliHarness h;
    ASSERT_EQ(h.run(QStringLiteral("--batch 3 --prefix @leaf.tfg --seed 10 --count 3 --colour data")), kExitDone)
        << h.err.str();
    QString printed;
    for (int n = 1; n <= 3; ++n) {
        const QString picture = QStringLiteral("leaf(%1).bmp").arg(n), data = QStringLiteral("leaf(%1).tfg").arg(n);
        printed += QStringLiteral("%1 %2 seed %3\n").arg(h.path(picture), h.path(data)).arg(9 + n);

        const DataSetTexts sets = parseDataRecord(h.read(data));
        EXPECT_EQ(sets.count, QStringLiteral("3"));
        EXPECT_NE(sets.sets[2][0], QStringLiteral("0.0000"));   // the count reaches set 3 ...
        EXPECT_EQ(sets.sets[3][0], QStringLiteral("0.0000"));   // ... and no further

        CliHarness again;
        ASSERT_EQ(again.run(h.path(data) + QStringLiteral(" -o @b.bmp --colour data --seed %1").arg(9 + n)), kExitDone);
        EXPECT_EQ(again.read(QStringLiteral("b.bmp")), h.read(picture)) << n;
    }
    EXPECT_EQ(QString::fromStdString(h.out.str()), printed);
}

TEST(PictureFiles, APngKeepsItsPixelsRecordAndSettings)
{
    Picture picture{5, 3, std::vector<std::uint32_t>(15, kBlack)};
    picture.pixels[0] = rgb(255, 0, 0);
    picture.pixels[7] = rgb(1, 2, 3);
    DataSetTexts sets;   // texts as a user may leave them: short, negative, blank
    sets.count = QStringLiteral("3");
    sets.sets[0] = {"-0.123", "0.5", "1", "0.9999", "", "-1.000"};
    const QByteArray record = BuildDataText(sets).bytes;

    CliHarness h;
    const QString path = h.path(QStringLiteral("p.png"));
    ASSERT_EQ(h.disk.writeWhole(path, *encodePicture(picture, PictureFormat::Png, record, "--points 9")),
              std::nullopt);
    const QImage image(path);
    ASSERT_EQ(image.size(), QSize(5, 3));
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(image.pixel(i % 5, i / 5), picture.pixels[std::size_t(i)]) << i;
    EXPECT_EQ(QImageReader(path).text(QString::fromLatin1(kSettingsKey)), QStringLiteral("--points 9"));

    // The record comes back byte for byte: short texts padded with blanks, as in a .tfg.
    const std::optional<DataSetTexts> loaded = loadDataSets(path).dataSets;
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(*loaded, parseDataRecord(record));
}

TEST(PictureFiles, APngItWroteRendersLikeItsDataFile)
{
    CliHarness h;
    const QString options = QStringLiteral(" --seed 3 --colour data --points 40000 --count 4");
    ASSERT_EQ(h.run(QStringLiteral("%maple -o @first.png") + options), kExitDone) << h.err.str();
    ASSERT_EQ(h.run(QStringLiteral("@first.png -o @second.png") + options), kExitDone) << h.err.str();
    EXPECT_EQ(h.read(QStringLiteral("second.png")), h.read(QStringLiteral("first.png")));
    // It carries the maple's data sets with the count it was drawn with.
    DataSetTexts maple = *loadDataSets(samplePath(QStringLiteral("maple"))).dataSets;
    maple.count = QStringLiteral("4");
    EXPECT_EQ(loadDataSets(h.path(QStringLiteral("second.png"))).dataSets, maple);

    // A bitmap has no room for the record, and is not read as one.
    ASSERT_EQ(h.run(QStringLiteral("%maple -o @third.bmp")), kExitDone);
    EXPECT_EQ(h.run(QStringLiteral("@third.bmp -o @fourth.png")), kExitFileFailed);
    EXPECT_TRUE(h.errors().contains(QStringLiteral("a bitmap holds no data"))) << h.err.str();
}

TEST(RenderPicture, DensityShadesByLogOfHitsOverLogOfMostHits)
{
    // Set 1 sends every point to (0, 1), pixel (333, 51); set 2 to (0.3, 0.5), pixel (433, 218).
    // Picks 1, 1, 2 over and over: 6 hits on the first (set 1: red), 3 on the second (set 2: green),
    // which gets 255 * log(4) / log(7) = 181.66 of its tint.
    const struct {
        DensityTint tint;
        std::uint32_t first, second;
    } cases[] = {{DensityTint::Data, rgb(255, 0, 0), rgb(0, 182, 0)},
                 {DensityTint::White, rgb(255, 255, 255), rgb(182, 182, 182)}};
    for (const auto& c : cases) {
        const RenderJob job{.dataSets = {"2", {{{"0", "0", "0", "0", "0", "1"}, {"0", "0", "0.3", "0", "0", "0.5"}}}},
                            .plan = *planRun(RunSettingsTexts{}).plan, .points = 9, .density = true, .tint = c.tint};
        const Picture picture = renderPicture(job, [](int) {
            return std::make_unique<fenra::test::ScriptedRandom>(std::vector<float>{0.25f, 0.25f, 0.75f});
        });
        EXPECT_EQ(std::count(picture.pixels.begin(), picture.pixels.end(), kBlack), picture.pixels.size() - 2);
        EXPECT_EQ(picture.pixels[51 * kDisplayWidth + 333], c.first);
        EXPECT_EQ(picture.pixels[218 * kDisplayWidth + 433], c.second);
    }
}

TEST(Samples, EachLoadsAndDrawsInsideThePictureFillingIt)
{
    const QDir folder(QStringLiteral(FENRA_SAMPLES_DIR));
    const QStringList samples = folder.entryList({QStringLiteral("*.tfg")});
    ASSERT_GE(samples.size(), 6);
    for (const QString& name : samples) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(QFileInfo(folder.filePath(name)).size(), kRecordLength);
        const LoadedData loaded = loadDataSets(folder.filePath(name));
        ASSERT_TRUE(loaded.dataSets.has_value()) << loaded.error.toStdString();
        const PreparedRun run(*loaded.dataSets, *planRun({}).plan, CurrentMap{});   // the window's defaults
        LoopState state(run);
        Pcg32Source random(11);
        HitGrid hits(PixelGrid{1});
        countHits(run, state, random, 20, hits);   // the origin's first images may still be on their way
        std::fill(hits.cells.begin(), hits.cells.end(), HitCell{});
        EXPECT_EQ(countHits(run, state, random, 200000, hits), 200000);
        int left = kDisplayWidth, right = -1, top = kDisplayHeight, bottom = -1;
        for (int i = 0; i < kDisplayWidth * kDisplayHeight; ++i)
            if (hits.cells[std::size_t(i)].hits > 0) {
                left = std::min(left, i % kDisplayWidth), right = std::max(right, i % kDisplayWidth);
                top = std::min(top, i / kDisplayWidth), bottom = std::max(bottom, i / kDisplayWidth);
            }
        // A margin at each edge, and most of the height or of the width filled.
        EXPECT_TRUE(left > 0 && right < kDisplayWidth - 1 && top > 0 && bottom < kDisplayHeight - 1
                    && (bottom - top > kDisplayHeight * 85 / 100 || right - left > kDisplayWidth * 85 / 100))
            << left << ".." << right << " x " << top << ".." << bottom;
    }
}

} // namespace
} // namespace fenra::cli
