#include "cli/CliRun.h"
#include "engine/RenderRun.h"
#include "files/Bitmap.h"
#include "files/DataRecord.h"
#include "files/InputData.h"
#include "files/PngChunks.h"
#include "platform/FileNames.h"
#include "platform/QtFileStore.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>

#include <csignal>

#include <fcntl.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace fenra::cli {
namespace {

using namespace Qt::StringLiterals;

QString samplePath(const QString& name)   // a data file unless named with its extension
{
    return QStringLiteral(FENRA_SAMPLES_DIR "/%1%2").arg(name, name.contains(u'.') ? u""_s : u".tfg"_s);
}
LoadedData load(const QString& path)
{
    QtFileStore disk;
    return loadDataSets(path, disk);
}

// fenra-render in a folder of its own, with what it prints kept.
struct CliHarness {
    QTemporaryDir folder;
    std::istringstream in;
    std::ostringstream out, err;
    QtFileStore disk;
    FileStore* files = &disk;

    CliHarness()   // things no file may be read from or written over
    {
        mkfifo(QFile::encodeName(path(u"pipe.png"_s)), 0600);
        QFile::link(path(u"loop.tfg"_s), path(u"loop.tfg"_s));
        QFile::link(path(u"gone.tfg"_s), path(u"dangling.tfg"_s));
    }

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
        CliEnvironment environment{in,
                                   out,
                                   err,
                                   false,
                                   *files,
                                   [] { return std::uint64_t(777); },
                                   [] { return 0.0; },
                                   2,
                                   [] { return std::uint64_t(512) << 20; },
                                   {}};
        return runCli(words, environment);
    }
};

// Reads from the disk; every write fails as on a full one.
struct FullDisk final : FileStore {
    QtFileStore disk;
    ReadResult readPrefix(const QString& path, qint64 most) override { return disk.readPrefix(path, most); }
    std::optional<QString> writeWhole(const QString&, const QByteArray&) override
    {
        return u"No space left on device"_s;
    }
    std::optional<WriteFailure> writeTogether(const std::vector<FileBytes>& f) override
    {
        return {{f[0].path, *writeWhole({}, {})}};
    }
};

// A value after '=' or as the next argument, even one that starts with '-'; a file name after "--".
TEST(CliOptions, ValuesAfterEqualsOrNextAndFileNamesAsBytes)
{
    const ParsedOptions p = parseOptions({"--output=out.png", "--down", "-150", "--color", "data", "--", "-in.tfg"});
    ASSERT_TRUE(p.options.has_value()) << p.error.toStdString();
    EXPECT_TRUE(p.options->output == u"out.png" && p.options->down == u"-150" && p.options->input == u"-in.tfg"
                && p.options->colour == PictureColour::Data);
    // Names are the system's bytes; one that would not come back the same is refused.
    EXPECT_EQ(decodeArguments({"caf\xc3\xa9.tfg"}).arguments, QStringList{u"café.tfg"_s});
    EXPECT_TRUE(decodeArguments({"caf\xe9.tfg"}).error.contains(u"rename it"_s));
}

// Every write fails here, and nothing on disk may change. A bad command line exits with 2, a file
// that cannot be read or written, or a picture too big for the memory, with 1; each says why, before any work.
TEST(CliRun, BadCommandLinesAndFilesThatCannotBeReadOrWrittenExitWithTheirReason)
{
    const struct {
        const char *line, *reason;
        int exit = kExitBadOption;
    } cases[] = {
        {"--points 9223372036854775808", "--points needs a whole number from 0 to 9223372036854775807"},
        {"--points", "--points needs a value"},
        {"--zoom 3x", "--zoom needs 0.25x, 0.5x, 1x, 2x, 4x, 8x or none"},
        {"--down 1,5", "full stop as the decimal"},
        {"--right east", "--right needs a number of twips, not \"east\""},
        {"-o out.png", "give a data file"},
        {"--hide 2,7", "--hide needs data set numbers from 1 to 6"},
        {"in.tfg -o out.jpg", "must end in .bmp or .png"},
        {"--threads 0", "--threads needs a whole number from 1 to 256"},
        {"--batch 3", "--batch needs --prefix"},
        {"--gamma 0", "--gamma needs a number above 0 and at most 100"},
        {"--brightness 1,5", "full stop as the decimal"},
        {"--oversample 5", "--oversample needs a whole number from 1 to 4"},
        {"--frobnicate 3", "unknown option --frobnicate"},
        {"a.tfg b.tfg -o out.png", "needs %d or %04d where each frame"},
        {"in.tfg", "give the picture's name with --output"},
        {"--batch 3 --prefix fern in.tfg", "reads no data file"},
        {"--batch 3 --prefix fern --count 10", "--count must be one character and a number"},
        {"@missing.tfg -o @x.png", "cannot read", kExitFileFailed},
        {"@loop.tfg -o @x.png", "a link that leads round in a loop", kExitFileFailed},
        {"@dangling.tfg -o @x.png", "a link to a file that does not exist", kExitFileFailed},
        {"%fern -o @pipe.png", "pipe.png\" cannot be written: it is not an ordinary file", kExitFileFailed},
        {"%fern -o @nowhere/x.png", "cannot be written: there is no folder", kExitFileFailed},
        {"--batch 2 --prefix @nowhere/b", "there is no folder", kExitFileFailed},
        {"%fern -o @x.bmp --scale 16 --colour density", "MB of memory, and only 512 MB", kExitFileFailed},
        {"%fern -o @x.png --memory 1K", "--memory holds less than one row of the sums (12704 bytes at this size)"},
        {"in.tfg -o x.png --size 0x10", "--size needs WIDTHxHEIGHT"},
        {"in.tfg -o x.png --size 70000x10", "--size needs"},
        {"in.tfg -o x.png --size 12x", "--size needs"},
        {"in.tfg --part 0/3 --sums s", "--part needs K/N"},
        {"in.tfg --part 4/3 --sums s", "--part needs K/N"},
        {"in.tfg --part 1/0 --sums s", "--part needs K/N"},
        {"in.tfg -o x.png --memory 2GB", "--memory needs an amount"},
        {"in.tfg --part 1/2", "give both"},
        {"in.tfg -o x.bmp --depth 16", "--depth 16 needs a PNG"},
        {"in.tfg --exact --part 1/2 --sums s", "cannot be split"},
        {"in.tfg -o x.png --exact --checkpoint c", "cannot be split"},
        {"--merge -o x.png", "--merge needs the sums files"},
        {"%fern -o @x.png", "could not be written: No space left on device", kExitFileFailed},
        {"--batch 2 --prefix @b", "The batch stopped in run 1", kExitFileFailed},
        {"%fern -o @x.png --save-tfg @x.png", "--save-tfg \"%1/x.png\" would write over the picture"},
        {"%fern --save-tfg %fern", "would write over the input"},
        {"%fern -o - --save-tfg -", "--save-tfg - and -o - would both write to standard output"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        CliHarness h;
        const QStringList before = QDir(h.folder.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden);
        FullDisk full;
        h.files = &full;
        EXPECT_EQ(h.run(QString::fromUtf8(c.line)), c.exit);
        EXPECT_TRUE(h.errors().contains(QString::fromUtf8(c.reason).replace(u"%1"_s, h.folder.path()))
                    && h.out.str().empty())
            << h.err.str();
        EXPECT_EQ(h.errors().endsWith(u"Try 'fenra-render --help'.\n"_s), c.exit == kExitBadOption);
        EXPECT_EQ(QDir(h.folder.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden), before);
    }
}

// A seed draws the same bytes every time and for any number of threads, another seed another picture.
// --exact draws the window's picture (a Pcg32 source with the seed, a fresh current map), over several chunks of work too.
TEST(CliRun, TheSameSeedGivesTheSameBytesForAnyThreadsAndExactTheWindowsPicture)
{
    const struct {
        const char* options;
        std::optional<RunSettingsTexts> window;
    } cases[] = {
        // none: the kernel's
        {"-o @a.bmp --exact", RunSettingsTexts{}},
        {"-o @a.png --exact --colour data --zoom 2x --right -300 --down 450 --hide 2,4 --points 250000",
         RunSettingsTexts{"250000", "2x", "-300", "450", ColourMode::Data, {true, false, true, false, true, true}}},
        {"-o @a.png --points 2200000 --colour density --tint palette", {}},
        {"-o @a.bmp --points 600000 --scale 2", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        CliHarness h;
        const QString picture = QString::fromLatin1(c.options).section(QLatin1Char(' '), 1, 1).mid(1);
        const auto render = [&](int seed, const char* threads) {
            EXPECT_EQ(h.run(u"%fern %1 --seed %2 "_s.arg(c.options).arg(seed) + threads), kExitDone) << h.err.str();
            EXPECT_EQ(QString::fromStdString(h.out.str()), h.path(picture) + u" seed %1\n"_s.arg(seed));
            return h.read(picture);
        };
        const QByteArray one = render(7, "--threads 1");
        EXPECT_TRUE(render(7, "") == one && render(7, "--threads 3") == one && render(8, "") != one);
        if (c.window) {
            render::Image window{kDisplayWidth, kDisplayHeight,
                                 std::vector<std::uint32_t>(kDisplayWidth * kDisplayHeight)};
            CurrentMap map;
            Pcg32Source random(7);
            renderRun(*load(samplePath("fern")).dataSets, *planRun(*c.window).plan, map, random, window.view());
            EXPECT_EQ(QImage::fromData(one), QImage::fromData(encodeBitmap(window.view())));
        }
    }
}

TEST(CliRun, EachBatchPictureIsDrawnAgainFromItsDataFileAndSeed)
{
    CliHarness h;
    ASSERT_EQ(h.run(u"--batch 3 --prefix @leaf.tfg --seed 10 --count 3 --colour data"_s), kExitDone) << h.err.str();
    QString printed;
    for (int n = 1; n <= 3; ++n) {
        const QString picture = u"leaf(%1).bmp"_s.arg(n), data = u"leaf(%1).tfg"_s.arg(n);
        printed += u"%1 %2 seed %3\n"_s.arg(h.path(picture), h.path(data)).arg(9 + n);
        const DataSetTexts sets = parseDataRecord(h.read(data));   // the count, which reaches set 3 and no further
        EXPECT_TRUE(sets.count == u"3" && sets.sets[2][0] != u"0.0000" && sets.sets[3][0] == u"0.0000") << n;
        CliHarness again;
        ASSERT_EQ(again.run(h.path(data) + u" -o @b.bmp --colour data --seed %1"_s.arg(9 + n)), kExitDone);
        EXPECT_EQ(again.read(u"b.bmp"_s), h.read(picture)) << n;
    }
    EXPECT_EQ(QString::fromStdString(h.out.str()), printed);
}

// A PNG carries the data record byte for byte (short texts padded with blanks, as in a .tfg), with the count
// it was drawn with, and its settings. Given as the input it draws itself again: its settings are the
// defaults, and options override them. A bitmap is refused.
TEST(PictureFiles, APngCarriesItsRecordAndSettingsAndDrawsItselfAgain)
{
    DataSetTexts sets = *load(samplePath(u"maple"_s)).dataSets;
    sets.sets[0] = {"-0.123", "0.5", "1", "0.9999", "", "-1.000"};   // short, negative, blank
    const QByteArray record = BuildDataText(sets).bytes;
    DataSetTexts carried = parseDataRecord(record);
    carried.count = u"4"_s;
    CliHarness h;
    ASSERT_EQ(h.disk.writeWhole(h.path(u"leaf.tfg"_s), record), std::nullopt);
    ASSERT_EQ(h.run(u"@leaf.tfg -o @first.png --seed 3 --colour data --points 40000 --count 4 --down 20.5"_s),
              kExitDone);
    const struct {
        const char* options;
        bool same;
        const char* settings;
    } cases[] = {
        {"", true,
         "--settings-version 3 --points 40000 --zoom 1x --right 0 --down 20.5 --colour data --scale 1 --seed 3"},
        {"--points 300 --colour density --tint palette --gamma 1.25 --oversample 2", false,
         "--settings-version 3 --points 300 --zoom 1x --right 0 "
         "--down 20.5 --colour density --tint palette --gamma 1.25 --oversample 2 --scale 1 --seed 3"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(h.run(u"@first.png -o @again.png "_s + QString::fromLatin1(c.options)), kExitDone) << h.err.str();
        EXPECT_EQ(h.read(u"again.png"_s) == h.read(u"first.png"_s), c.same);
        EXPECT_EQ(load(h.path(u"again.png"_s)).dataSets, carried);
        EXPECT_EQ(QImageReader(h.path(u"again.png"_s)).text(QString::fromLatin1(kSettingsKey)),
                  QString::fromLatin1(c.settings));
    }
    ASSERT_EQ(h.run(u"%maple -o @third.bmp"_s), kExitDone);
    EXPECT_TRUE(h.run(u"@third.bmp -o @fourth.png"_s) == kExitFileFailed
                && h.errors().contains(u"bitmap holds no data"_s));
}

// A picture's stored settings are data: what a picture may not set is ignored in one line, values from the file
// are capped, a bad value or a file that is not whole is refused naming the file; and a .png must be a PNG of ours.
TEST(PictureFiles, APicturesSettingsNeverActAsACommandLine)
{
    CliHarness h;
    const QByteArray fern = h.disk.readPrefix(samplePath(u"fern"_s), 217).bytes.value();
    std::uint32_t black[4] = {kBlack, kBlack, kBlack, kBlack};
    const auto picture = [&](const QByteArray& settings) {
        return encodePng({black, 2, 2, 2}, {{kRecordKey, fern}, {kSettingsKey, settings}}).value();
    };
    const QByteArray good = picture("--points 1000 --seed 2");
    QByteArray badCrc = good;
    badCrc[60] = char(badCrc[60] ^ 4);
    const struct {
        QByteArray file;
        const char* options;
        int exit;
        const char* said;
    } cases[] = {
        {picture("--save-tfg " + QFile::encodeName(h.path(u"owned.tfg"_s)) + " --points 1000 --batch 2 --threads 3"),
         "-o @x.png", kExitDone, "stores what a picture may not set, which is ignored: --save-tfg /"},
        {picture("--points 9223372036854775807"), "--save-tfg @s.tfg", kExitDone,
         "its 9223372036854775807 points are more than a picture may ask for; 10000000000 are drawn"},
        {picture("--scale 6 --oversample 4"), "--save-tfg @s.tfg", kExitDone, "--scale 6 --oversample 2 are used"},
        {picture("--scale 6 --oversample 4"), "--save-tfg @s.tfg --oversample 4", kExitDone,
         "--scale 4 --oversample 4 are used"},
        {picture("--points abc"), "-o @x.png", kExitFileFailed,
         "its stored settings are not valid: --points needs a whole"},
        {good.left(good.size() - 5), "-o @x.png", kExitFileFailed, "in.png\": the PNG ends before its last chunk"},
        {badCrc, "-o @x.png", kExitFileFailed, "in.png\": its chunk at byte 33 fails its CRC check"},
        {"\xff\xd8\xff\xe0\0\x10JFIF", "-o @x.png", kExitFileFailed, "cannot read \"%1/in.png\": it is not a PNG"},
        {encodePng({black, 2, 2, 2}, {}).value(), "-o @x.png", kExitFileFailed, "this PNG holds no Fenra data record"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.said);
        ASSERT_EQ(h.disk.writeWhole(h.path(u"in.png"_s), c.file), std::nullopt);
        EXPECT_EQ(h.run(u"@in.png "_s + QString::fromLatin1(c.options)), c.exit);
        EXPECT_TRUE(h.errors().contains(QString::fromLatin1(c.said).replace(u"%1"_s, h.folder.path()))) << h.err.str();
        EXPECT_FALSE(QFileInfo::exists(h.path(u"owned.tfg"_s)));
    }
}

// Every PNG carries its maps: one of seven or more maps, which no data record holds, draws itself again byte
// for byte; where a PNG holds both, the record wins.
TEST(PictureFiles, APngOfAnyNumberOfMapsDrawsItselfAgain)
{
    CliHarness h;
    ASSERT_EQ(h.run(u"%classic.ifs --name crystal -o @first.png --seed 4 --points 30000"_s), kExitDone);
    ASSERT_EQ(h.run(u"@first.png -o @again.png"_s), kExitDone) << h.err.str();
    EXPECT_EQ(h.read(u"again.png"_s), h.read(u"first.png"_s));
    ASSERT_EQ(h.run(u"%fern -o @fern.png --seed 4 --points 30000"_s), kExitDone);
    ReadPngTexts texts = readPngTexts(h.read(u"fern.png"_s));
    EXPECT_TRUE(texts.texts[kMapsKey].startsWith(
        "picture {\n0.135 0.0779 0.0779 0.045 -0.838 0.2958 1\n"));   // the first of the fern's six maps
    std::uint32_t pixel = kBlack;
    ASSERT_EQ(h.disk.writeWhole(h.path(u"both.png"_s),
                                encodePng({&pixel, 1, 1, 1}, {{kRecordKey, texts.texts[kRecordKey]},
                                                              {kMapsKey, "other {\n1 0 0 1 0 0 1\n}"},
                                                              {kSettingsKey, texts.texts[kSettingsKey]}})
                                    .value()),
              std::nullopt);
    ASSERT_EQ(h.run(u"@both.png -o @again.png"_s), kExitDone);
    EXPECT_EQ(h.read(u"again.png"_s), h.read(u"fern.png"_s));
}

// A collection: its names, an entry by name, weights for its maps, a frame around a single point, and
// its way back to the window; a file is a collection by its content too.
TEST(CliRun, ACollectionIsListedPickedWeighedFramedAndSavedForTheWindow)
{
    CliHarness h;
    ASSERT_EQ(h.disk.writeWhole(h.path(u"bad"_s), "a {\n0 0 0 0.5 0 0 1\n1 2 3\n}"), std::nullopt);
    // 3D entries among 2D ones, two sets that do not contract and one that does.
    ASSERT_EQ(h.disk.writeWhole(h.path(u"mixed.ifs"_s),
                                "3dfern(3D) { ; 3D\n .5 0 0 0 .5 0 0 0 .5 0 -.5 0 1\n}\n"
                                "shift {\n 1 0 0 1 .5 0 1\n}\ngrow {\n 1.5 0 0 1.5 0 0 1\n 1.2 0 0 1.2 1 0 1\n}\n"
                                "half {\n .5 0 0 .5 0 0 1\n .5 0 0 .5 1 0 1\n}\n"),
              std::nullopt);
    ASSERT_EQ(
        h.disk.writeWhole(h.path(u"twice.ifs"_s), "a { 1 0 0 1 0 0 1 }\nb { 1 0 0 1 0 0 1 }\na { .5 0 0 .5 0 0 1 }"),
        std::nullopt);
    const struct {
        std::string line;
        int exit;
        const char* said;
    } cases[] = {
        {"%classic.ifs --list", kExitDone, "fern\nsierpinski\ndragon\n"},
        {"%classic.ifs --name nope -o @x.png", kExitBadOption,
         "has no entry \"nope\"; its entries are: fern, sierpinski,"},
        {"@bad -o @x.png", kExitFileFailed, "bad:3: a row of 3 numbers"},
        {"%classic.ifs --name crystal --save-tfg @c.tfg", kExitFileFailed, "7 maps cannot be saved as a data file"},
        {"%classic.ifs --exact -o @x.png", kExitBadOption, "a collection is drawn by the kernel"},
        {"%fern --weights 1,2 -o @x.png", kExitBadOption, "--weights gives 2 weights for 6 maps"},
        {"%fern --list", kExitBadOption, "need a collection"},
        {"%classic.ifs --name fern --save-tfg @fern.tfg", kExitDone, "weights are dropped"},
        {"@mixed.ifs --list", kExitDone, "3dfern\t(3D)\nshift\ngrow\nhalf\n"},
        {"@mixed.ifs --name 3dfern -o @x.png", kExitFileFailed,
         "\"3dfern\" is a 3D entry, and 3D entries are not drawn"},
        {"@mixed.ifs -o @x.png --points 100", kExitDone, "warning: its points run off; the picture may be empty\n"},
        {"@mixed.ifs --name grow --zoom 1x -o @x.png --points 100", kExitDone, "warning: its points run off;"},
        {"@twice.ifs --list", kExitFileFailed, "twice.ifs:3: a second entry \"a\""},
        {"%classic.ifs --name \x1b]0;\x07" + std::string(100, 'y') + " -o @x.png", kExitBadOption,
         "has no entry \"\\x1b]0;\\x07yyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyy...\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(h.run(QString::fromStdString(c.line)), c.exit);
        EXPECT_TRUE(QString::fromStdString(h.out.str() + h.err.str()).contains(QString::fromUtf8(c.said)))
            << h.err.str();
    }
    ASSERT_EQ(h.run(u"@mixed.ifs --name half -o @x.png --points 100"_s), kExitDone);
    EXPECT_TRUE(h.errors().isEmpty()) << h.err.str();   // it contracts: no warning
    ASSERT_EQ(h.run(u"%fern --save-tfg -"_s), kExitDone);
    EXPECT_EQ(QByteArray::fromStdString(h.out.str()), h.disk.readPrefix(samplePath(u"fern"_s), 217).bytes);
    EXPECT_EQ(load(h.path(u"fern.tfg"_s)).dataSets->sets[1],
              (Coefficients{"0.8500", "0.0400", "0.0000", "-0.040", "0.8500", "1.6000"}));
    // Only the first map, which keeps every point at the origin: one pixel, in the middle of the fitted picture.
    ASSERT_EQ(h.run(u"%classic.ifs --name sierpinski --weights 1,0,0 --colour white --points 10000 -o @one.png"_s),
              kExitDone);
    const QImage one(h.path(u"one.png"_s));
    int lit = 0;
    for (int row = 0; row < one.height(); ++row)
        for (int column = 0; column < one.width(); ++column)
            lit += one.pixel(column, row) != qRgb(0, 0, 0);
    EXPECT_TRUE(lit == 1 && one.pixel(397, 190) != qRgb(0, 0, 0)) << lit;
}

// "-" reads standard input and "-o -" writes the PNG to standard output, the seed line then going to
// standard error; a data file draws the same with commas for decimal points, under any locale; an empty
// input or one without numbers is warned about. A failed write to standard output is exit 1.
TEST(CliRun, StreamsCommasAndWarnings)
{
    CliHarness h;
    QByteArray fern = h.disk.readPrefix(samplePath(u"fern"_s), 217).bytes.value();
    ASSERT_EQ(h.run(u"%fern -o @file.png --seed 5"_s), kExitDone);
    const struct {
        QByteArray input;
        const char* warning;
    } cases[] = {{fern, ""},
                 {fern.replace('.', ','), ""},
                 {"", "standard input is empty"},
                 {"3 x", "standard input holds no numbers"}};
    for (const auto& c : cases) {
        h.in.clear(), h.in.str(c.input.toStdString());
        EXPECT_EQ(h.run(u"- -o - --seed 5"_s), kExitDone);
        EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(h.out.str())) == QImage::fromData(h.read(u"file.png"_s)),
                  !*c.warning)
            << c.warning;
        EXPECT_TRUE(h.errors().startsWith(*c.warning ? u"fenra-render: warning: "_s : u"- seed 5\n"_s)
                    && h.errors().contains(QLatin1String(c.warning)) && h.errors().endsWith(u"- seed 5\n"_s))
            << h.err.str();
    }
    h.in.setstate(std::ios::badbit);   // closed, a folder: read(2) fails
    EXPECT_TRUE(h.run(u"- -o @file.png"_s) == kExitFileFailed
                && h.errors().startsWith(u"fenra-render: cannot read standard input: "_s));
    h.out.setstate(std::ios::badbit);
    EXPECT_TRUE(h.run(u"%fern -o @file.png"_s) == kExitFileFailed
                && h.errors().endsWith(u"output could not be written\n"_s));
}

// A map at +80° and at -80°, a second map to make a picture, and keys that cannot be drawn.
constexpr char kTurns[] = "plus80 { 0.0868241 -0.492404 0.492404 0.0868241 0 0 1\n 0.5 0 0 0.5 0.5 0 1 }\n"
                          "minus80 { 0.0868241 0.492404 -0.492404 0.0868241 0 0 1\n 0.5 0 0 0.5 0.5 0 1 }\n"
                          "grow { 2 0 0 2 0 0 1 }\n";

QStringList framesIn(const CliHarness& h) { return QDir(h.folder.path()).entryList({u"f*"_s, u"g*"_s}, QDir::Files); }

// Bad animations stop before any frame is written, each with its reason.
TEST(Animation, BadKeysFramesAndPatternsWriteNothing)
{
    CliHarness h;
    ASSERT_EQ(h.disk.writeWhole(h.path(u"turn.ifs"_s), kTurns), std::nullopt);
    const struct {
        const char* line;
        int exit;
        const char* said;
    } cases[] = {
        {"--animate plus80,nope -o @f%d.png", kExitBadOption, "has no entry \"nope\""},
        {"--animate plus80 -o @f%d.png", kExitBadOption, "two keys or more, or --spin"},
        {"--animate plus80,minus80 --frames 1 -o @f%d.png", kExitBadOption,
         "--frames needs a whole number from 2 to 100000"},
        {"--animate plus80,minus80 --frames 100001 -o @f%d.png", kExitBadOption, "from 2 to 100000"},
        {"--animate plus80,minus80 -o @f.png", kExitBadOption, "needs %d or %04d"},
        {"--animate plus80,minus80 -o @f%s%d.png", kExitBadOption, "\"%s\" at"},
        {"--animate plus80,minus80 --frames 5 --frame 5 -o @f%d.png", kExitBadOption, "--frame 5 is not a frame of 5"},
        {"--animate plus80,minus80 --video @f.avi -o @f%d.png", kExitBadOption, "makes .mp4, .webm or .gif"},
        {"--animate plus80,grow -o @f%d.png", kExitFileFailed, "the key \"grow\" cannot be framed"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(h.run(u"@turn.ifs "_s + QString::fromUtf8(c.line)), c.exit) << c.line;
        EXPECT_TRUE(h.errors().contains(QString::fromUtf8(c.said))) << h.err.str();
    }
    EXPECT_EQ(framesIn(h), QStringList());
}

// The frames of a run: frame 2 of 5 holds the map turned to 0° at its scale; one frame alone, a run
// again, and the frame as a still give the same; another request's frames are kept without --overwrite.
TEST(Animation, FramesAreTheirOwnStillsAndARunResumesButReplacesNothingElse)
{
    CliHarness h;
    ASSERT_EQ(h.disk.writeWhole(h.path(u"turn.ifs"_s), kTurns), std::nullopt);
    const QString run = u"@turn.ifs --animate plus80,minus80 --frames 5 --points 30000 --colour density "_s;
    ASSERT_EQ(h.run(run + u"-o @f%d.png"_s), kExitDone) << h.err.str();
    EXPECT_EQ(framesIn(h).size(), 5);
    const IfsCollection stored = parseIfsCollection(readPngTexts(h.read(u"f2.png"_s)).texts[kMapsKey]);
    ASSERT_TRUE(stored.ok());
    const AffineMap turned = stored.entries[0].maps[0].map;
    EXPECT_NEAR(turned.c[0], std::hypot(0.0868241, 0.492404), 1e-12);
    EXPECT_NEAR(turned.c[4], turned.c[0], 1e-12);
    EXPECT_NEAR(turned.c[1], 0.0, 1e-12);
    EXPECT_NEAR(turned.c[3], 0.0, 1e-12);
    ASSERT_EQ(h.run(run + u"--frame 3 -o @g%d.png"_s), kExitDone);
    EXPECT_EQ(h.read(u"g3.png"_s), h.read(u"f3.png"_s));
    EXPECT_TRUE(h.run(run + u"-o @f%d.png"_s) == kExitDone && h.out.str().empty()) << h.out.str();
    ASSERT_EQ(h.run(u"@f2.png -o @still.png"_s), kExitDone);
    EXPECT_EQ(QImage(h.path(u"still.png"_s)), QImage(h.path(u"f2.png"_s)));
    const QByteArray first = h.read(u"f0.png"_s);
    EXPECT_EQ(h.run(run + u"--seed 1 -o @f%d.png"_s), kExitFileFailed);
    EXPECT_TRUE(h.errors().contains(u"f0.png\" is not frame 0 of this animation; --overwrite replaces it"_s)
                && h.read(u"f0.png"_s) == first);
    EXPECT_TRUE(h.run(run + u"--seed 1 --overwrite -o @f%d.png"_s) == kExitDone && h.read(u"f0.png"_s) != first);
}

// ffmpeg makes the video from the frames; without it, one warning and the frames; its failure is exit 1.
TEST(Animation, AVideoIsMadeByFfmpegOrWarnedAbout)
{
    CliHarness h;
    const QString run = u"%fern %sierpinski --frames 3 --points 3000 -o @f%02d.png --video "_s;
    EXPECT_TRUE(h.run(run + u"@v.gif"_s) == kExitDone && h.read(u"v.gif"_s).startsWith("GIF8")) << h.err.str();
    EXPECT_TRUE(h.run(run + u"@no/v.gif"_s) == kExitFileFailed && h.errors().contains(u"ffmpeg could not make"_s));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", h.folder.path().toUtf8());
    EXPECT_EQ(h.run(run + u"@w.mp4"_s), kExitDone);
    qputenv("PATH", path);
    EXPECT_TRUE(h.errors().contains(u"ffmpeg is not installed (Debian package ffmpeg)"_s)
                && !QFileInfo::exists(h.path(u"w.mp4"_s)));
}

}   // namespace
}   // namespace fenra::cli

namespace fenra::cli {
namespace {

struct Ran {
    int exit;    // -1 when a signal ended it
    long peak;   // the peak memory of the largest child so far, kB
    QByteArray errors;
};

// The real program drawing `words` (the fern unless they start with an input), with stderr on `errorTo`
// or kept, and stdout into `outputTo`. `inChild` sets up its descriptors and limits; `whileRunning` sees it run.
Ran runProgram(QStringList words, const std::function<void()>& inChild = {}, int errorTo = -1,
               const QString& outputTo = {}, const std::function<void(QProcess&)>& whileRunning = {})
{
    QProcess program;
    program.setStandardOutputFile(outputTo.isEmpty() ? QProcess::nullDevice() : outputTo);
    program.setChildProcessModifier([errorTo, inChild] {
        errorTo < 0 || dup2(errorTo, STDERR_FILENO);
        if (inChild)
            inChild();
    });
    if (words.value(0).startsWith(u'-') && words.value(0) != u"-")
        words.prepend(samplePath(u"fern"_s));
    program.start(QStringLiteral(FENRA_RENDER), words);
    if (program.waitForStarted() && whileRunning)
        whileRunning(program);
    EXPECT_TRUE(program.waitForFinished(120000));
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1, usage.ru_maxrss,
            program.readAllStandardError()};
}

// Threads add into one picture: four take at most a quarter more memory than one, plus 64 MB.
TEST(RealProgram, MemoryDoesNotGrowWithThreads)
{
    QTemporaryDir folder;
    const QString render =
        u"-o %1 --scale 8 --colour density --points 4200000 --threads "_s.arg(folder.filePath(u"x.png"_s));
    const auto [oneExit, one, oneSaid] = runProgram((render + u'1').split(u' '));
    const auto [fourExit, four, fourSaid] = runProgram((render + u'4').split(u' '));
    EXPECT_TRUE(oneExit == 0 && fourExit == 0 && four <= one * 5 / 4 + 65536) << one << " kB, four threads " << four;
}

// On SIGINT or SIGTERM a progress line on a terminal is ended, the seed is said and the exit status is
// 128 + the signal, with no picture left; a failed write to standard output is exit 1.
TEST(RealProgram, ASignalEndsTheProgressLineAndAFullStandardOutputFails)
{
    for (const int signal : {SIGINT, SIGTERM}) {
        int terminal = -1, errorTo = -1;
        ASSERT_EQ(openpty(&terminal, &errorTo, nullptr, nullptr, nullptr), 0);
        QTemporaryDir folder;
        QByteArray seen;
        char bytes[256];
        const auto readSome = [&] {
            const auto n = read(terminal, bytes, sizeof bytes);
            return n > 0 && (seen.append(bytes, n), true);
        };
        const int exit =
            runProgram({u"-o"_s, folder.filePath(u"x.png"_s), u"--points"_s, u"9000000000"_s}, {}, errorTo, {},
                       [&](QProcess& program) {
                           close(errorTo);   // the child's alone: its end ends the reads
                           while (!seen.contains('%') && readSome()) {
                           }
                           kill(pid_t(program.processId()), signal);
                       })
                .exit;
        while (readSome()) {
        }
        close(terminal);
        EXPECT_EQ(exit, 128 + signal);
        EXPECT_TRUE(seen.startsWith("\r[") && seen.contains("%\r\nfenra-render: interrupted; its seed was ")
                    && seen.endsWith('\n') && QDir(folder.path()).isEmpty())
            << seen.toStdString();
    }
    EXPECT_EQ(runProgram({u"-o"_s, u"-"_s}, {}, -1, u"/dev/full"_s).exit, 1);
}

// A closed pipe, a file-size limit and a standard input that is a folder or closed end with exit 1 and one
// line, the older file whole; a PNG on standard input takes no more memory than the same file by name.
TEST(RealProgram, ClosedPipesLimitsAndUnreadableInputsEndWithOneLine)
{
    QTemporaryDir folder;
    const QString old = folder.filePath(u"old.png"_s), small = folder.filePath(u"small.png"_s);
    ASSERT_EQ(runProgram({u"-o"_s, small, u"--points"_s, u"3000"_s}).exit, 0);
    QFile(small).copy(old);
    const QByteArray oldBytes = QtFileStore().readPrefix(old, 1 << 20).bytes.value();
    const auto onInput = [](const QString& path) {
        return [name = QFile::encodeName(path)] { dup2(open(name.constData(), O_RDONLY), STDIN_FILENO); };
    };
    // First, while the largest child so far is one of these small ones.
    const long byName = runProgram({small, u"-o"_s, folder.filePath(u"again.png"_s)}).peak;
    const long fromInput = runProgram({u"-"_s, u"-o"_s, folder.filePath(u"again.png"_s)}, onInput(small)).peak;
    EXPECT_LE(fromInput, byName + 2048) << "kB by name " << byName;
    const struct {
        QStringList words;
        std::function<void()> inChild;
        const char* said;
    } cases[] = {
        {{u"-o"_s, u"-"_s, u"--points"_s, u"100000"_s},
         [] {
             int ends[2];
             (void)!pipe(ends);
             close(ends[0]);
             dup2(ends[1], STDOUT_FILENO);
         },
         "standard output could not be written"},
        {{u"-o"_s, old, u"--scale"_s, u"4"_s},
         [] {
             const rlimit five{5000, 5000};
             setrlimit(RLIMIT_FSIZE, &five);
         },
         "could not be written: File too large"},
        {{u"-"_s, u"-o"_s, old}, onInput(folder.path()), "cannot read standard input: it is a folder"},
        {{u"-"_s, u"-o"_s, old}, [] { close(STDIN_FILENO); }, "cannot read standard input: it is closed"},
    };
    for (const auto& c : cases) {
        const Ran ran = runProgram(c.words, c.inChild);
        EXPECT_TRUE(ran.exit == 1 && ran.errors.count('\n') == 1 && ran.errors.contains(c.said))
            << ran.exit << ran.errors.toStdString();
    }
    EXPECT_EQ(QtFileStore().readPrefix(old, 1 << 20).bytes, oldBytes);
}

}   // namespace
}   // namespace fenra::cli

namespace fenra::cli {
namespace {

// An address-space limit (ulimit -v) counts in the memory check of a picture held whole (a bitmap; a PNG is
// drawn in bands within it instead), which refuses before any work. Left out of the sanitizer pass, whose
// runtime needs an unlimited address space.
TEST(RealProgramLimits, AnAddressSpaceLimitIsCountedBeforeAnyWork)
{
    QTemporaryDir folder;
    const Ran ran =
        runProgram({u"-o"_s, folder.filePath(u"x.bmp"_s), u"--scale"_s, u"16"_s, u"--colour"_s, u"density"_s}, [] {
            const rlimit space{700 << 20, 700 << 20};
            setrlimit(RLIMIT_AS, &space);
        });
    EXPECT_TRUE(ran.exit == 1 && ran.errors.contains("MB of memory, and only") && QDir(folder.path()).isEmpty())
        << ran.errors.toStdString();
}

// An animation stopped by SIGINT leaves only whole frames, and the same command finishes it.
TEST(RealProgram, AnInterruptedAnimationLeavesWholeFramesAndResumes)
{
    QTemporaryDir folder;
    const QStringList run{samplePath(u"fern"_s),
                          samplePath(u"sierpinski"_s),
                          u"--frames"_s,
                          u"40"_s,
                          u"--points"_s,
                          u"1000000"_s,
                          u"--threads"_s,
                          u"2"_s,
                          u"-o"_s,
                          folder.filePath(u"f%02d.png"_s)};
    const int exit = runProgram(run, {}, -1, {}, [&](QProcess& program) {
                         while (QDir(folder.path()).entryList(QDir::Files).size() < 3)
                             QThread::msleep(5);
                         kill(pid_t(program.processId()), SIGINT);
                     }).exit;
    EXPECT_EQ(exit, 128 + SIGINT);
    const QStringList written = QDir(folder.path()).entryList(QDir::Files);
    EXPECT_LT(written.size(), 40);
    for (const QString& name : written) {
        const QFile file(folder.filePath(name));
        EXPECT_TRUE(
            name.startsWith(u'f')
            && readPngTexts(QtFileStore().readPrefix(file.fileName(), file.size()).bytes.value()).fault.isEmpty())
            << name.toStdString();
    }
    EXPECT_EQ(runProgram(run, {}, -1, folder.filePath(u"said.txt"_s)).exit, 0);
    EXPECT_EQ(QDir(folder.path()).entryList({u"f*.png"_s}).size(), 40);
    QFile said(folder.filePath(u"said.txt"_s));
    EXPECT_TRUE(said.open(QIODevice::ReadOnly) && said.readAll().count('\n') == 40 - written.size());
}

}   // namespace
}   // namespace fenra::cli
