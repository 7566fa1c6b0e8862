// The settings a picture carries: a whitelist of typed values with caps, and the PNG chunks that hold them.
#include "files/PictureSettings.h"
#include "files/PngChunks.h"

#include <gtest/gtest.h>

#include <cstring>

// Each case names only the settings it sets; the rest stay unset, which is the point.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace fenra {
namespace {

using namespace Qt::StringLiterals;

// Only the record's keys are read, each through its own type; anything else is set aside to be warned about,
// a bad value refuses the whole text, and pictures written before the version key read as version 1.
TEST(PictureSettings, ReadsOnlyItsOwnKeysAndRefusesABadValue)
{
    const PictureSettings old{.version = 1,
                              .points = 40000,
                              .zoom = u"1x"_s,
                              .right = u"0"_s,
                              .down = u"20.5"_s,
                              .colour = u"data"_s,
                              .scale = 1,
                              .seed = 3};
    const struct {
        const char* text;
        std::optional<PictureSettings> read;
        const char* ignoredOrError;
    } cases[] = {
        {"--points 40000 --zoom 1x --right 0 --down 20.5 --colour data --scale 1 --seed 3", old, ""},
        {"--settings-version 1 --points 40000 --zoom 1x --right 0 --down 20.5 --colour data --scale 1 --seed 3", old,
         ""},
        {"--save-tfg /any/file --points 7 --batch 3 --threads 2 -o x.png --prefix p --frobnicate",
         PictureSettings{.version = 1, .points = 7},
         "--save-tfg /any/file --batch 3 --threads 2 -o x.png --prefix p --frobnicate"},
        {"--settings-version 2 --memory 2G --fit --exact --hide 2,5 --weights 1,0.5",
         PictureSettings{.version = 2,
                         .zoom = u"fit"_s,
                         .exact = true,
                         .weights = std::vector<double>{1, 0.5},
                         .hide = std::vector<int>{2, 5}},
         "--memory 2G"},
        {"--points 9223372036854775807", PictureSettings{.version = 1, .points = 9223372036854775807}, ""},
        {"--points abc", {}, "--points needs a whole number from 0 to 9223372036854775807, not \"abc\""},
        {"--scale 17", {}, "--scale needs a whole number from 1 to 16"},
        {"--colour", {}, "--colour needs random, white, data or density, not \"\""},
        {"--gamma 0", {}, "--gamma needs a number above 0"},
        {"--weights 0,0", {}, "--weights needs up to 64"},
        {"--seed -1", {}, "--seed needs a whole number"},
        {"--settings-version 0", {}, "--settings-version needs"},
        {"--settings-version 2 --view -1,-0.5,2,1.25",
         PictureSettings{.version = 2, .view = std::array{-1.0, -0.5, 2.0, 1.25}}, ""},
        {"--settings-version 3 --size 640x480 --depth 16", PictureSettings{.size = std::array{640, 480}, .depth = 16},
         ""},
        {"--size 15x480", {}, "--size needs WxH, 16 to 65535"},
        {"--size 640x", {}, "--size needs"},
        {"--depth 12", {}, "--depth needs 8 or 16"},
        {"--view 1,0,0,1", {}, "--view needs x0,y0,x1,y1 with x0 < x1"},
        {"--view 0,0,1,inf", {}, "--view needs"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const ReadPictureSettings read = readPictureSettings(c.text);
        EXPECT_EQ(read.settings, c.read);
        const QString said = c.read ? read.ignored.join(u' ') : read.error;
        EXPECT_EQ(said.left(qsizetype(std::strlen(c.ignoredOrError))), QLatin1String(c.ignoredOrError))
            << said.toStdString();
        if (read.settings) {   // what is written reads back the same
            EXPECT_EQ(readPictureSettings(pictureSettingsText(*read.settings)).settings, read.settings);
        }
    }
}

// Values from a file are capped: points at 1e10, scale × oversample at 16, oversample lowered first; a value
// the command line gives is dropped from the file's record, so it wins and is never capped.
TEST(PictureSettings, CapsWhatAFileAsksForAndLeavesTheCommandLinesOwn)
{
    const struct {
        PictureSettings file;
        QStringList given;
        int scale, oversample;
        PictureSettings capped;
        int said;
    } cases[] = {
        {{.points = 9223372036854775807}, {}, 1, 1, {.points = 10'000'000'000}, 1},
        {{.oversample = 4, .scale = 16}, {}, 1, 1, {.oversample = 1, .scale = 16}, 1},
        {{.oversample = 4, .scale = 6}, {}, 1, 1, {.oversample = 2, .scale = 6}, 1},
        {{.scale = 16}, {}, 1, 4, {.scale = 4}, 1},   // the command line's oversample stays
        {{.oversample = 4, .scale = 16}, {u"scale"_s}, 16, 1, {.oversample = 1}, 1},
        {{.points = 9223372036854775807, .oversample = 4, .scale = 16},
         {u"points"_s, u"oversample"_s, u"scale"_s},
         16,
         4,
         {},
         0},
        {{.zoom = u"fit"_s, .seed = 5}, {u"zoom"_s}, 1, 1, {.seed = 5}, 0},
        {{.zoom = u"2x"_s, .oversample = 2, .scale = 8}, {u"fit"_s}, 1, 1, {.oversample = 2, .scale = 8}, 0},
        {{.oversample = 4, .size = std::array{32768, 16384}},
         {},
         1,
         1,
         {.oversample = 1, .size = std::array{32768, 16384}},
         1},
        {{.size = std::array{30000, 60000}}, {}, 1, 1, {.size = std::array{23170, 46340}}, 1},   // its shape kept
        {{.size = std::array{65535, 65535}, .depth = 16},
         {u"scale"_s},
         1,
         1,
         {.depth = 16},
         0},   // a size given replaces both
    };
    for (const auto& c : cases) {
        PictureSettings file = c.file;
        dropSettings(file, c.given);
        EXPECT_EQ(capStoredSettings(file, c.scale, c.oversample).size(), c.said);
        EXPECT_EQ(file, c.capped) << pictureSettingsText(file).toStdString();
    }
}

// Text chunks come back byte for byte; a PNG that is not whole is a fault, not half its settings.
TEST(PngChunks, TextsComeBackAndAFileThatIsNotWholeIsAFault)
{
    std::uint32_t pixels[6] = {};
    const QByteArray record = "6  0.5  "_ba, settings = "--seed 1"_ba;
    const QByteArray png = encodePng({pixels, 3, 2, 3}, {{kRecordKey, record}, {kSettingsKey, settings}}).value();
    const ReadPngTexts whole = readPngTexts(png);
    EXPECT_TRUE(whole.fault.isEmpty() && whole.texts.at(kRecordKey) == record
                && whole.texts.at(kSettingsKey) == settings);
    QByteArray badCrc = png, longer = png;
    badCrc[40] = char(badCrc[40] ^ 1);
    longer[35] = char(0x7f);   // the record chunk's length runs past the end
    for (const auto& [bytes, fault] : {std::pair{png.left(png.size() - 6), "cut short"},
                                       {badCrc, "fails its CRC check"},
                                       {longer, "cut short"},
                                       {png.left(50), "cut short"}}) {
        const ReadPngTexts read = readPngTexts(bytes);
        EXPECT_TRUE(read.texts.empty() && read.fault.contains(QLatin1String(fault))) << read.fault.toStdString();
    }
}

}   // namespace
}   // namespace fenra
