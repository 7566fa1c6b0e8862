#include "cli/CliOptions.h"

#include "CliTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace fenra::cli {
namespace {

QStringList split(const char* line)
{
    return QString::fromUtf8(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// A render of in.tfg to out.png with the window's defaults.
CliOptions plainRender()
{
    CliOptions o;
    o.input = QStringLiteral("in.tfg");
    o.output = QStringLiteral("out.png");
    return o;
}

TEST(CliOptions, EachOptionSetsItsSetting)
{
    const struct {
        const char* line;
        std::function<void(CliOptions&)> expected;
    } cases[] = {
        {"in.tfg -o out.png", [](CliOptions&) {}},
        {"-o out.png in.tfg", [](CliOptions&) {}},
        {"in.tfg --output=out.png", [](CliOptions&) {}},
        {"in.tfg -o out.png --points 9223372036854775807", [](CliOptions& o) { o.points = 9223372036854775807LL; }},
        {"in.tfg -o out.png --points=0", [](CliOptions& o) { o.points = 0; }},
        {"in.tfg -o out.png --zoom 8x", [](CliOptions& o) { o.zoom = QStringLiteral("8x"); }},
        {"in.tfg -o out.png --zoom none", [](CliOptions& o) { o.zoom.clear(); }},
        // a value may start with a minus sign
        {"in.tfg -o out.png --right -150 --down 12.5", [](CliOptions& o) {
             o.right = QStringLiteral("-150");
             o.down = QStringLiteral("12.5");
         }},
        {"in.tfg -o out.png --colour white", [](CliOptions& o) { o.colour = PictureColour::White; }},
        {"in.tfg -o out.png --color data", [](CliOptions& o) { o.colour = PictureColour::Data; }},
        {"in.tfg -o out.png --colour density --tint white", [](CliOptions& o) {
             o.colour = PictureColour::Density;
             o.tint = DensityTint::White;
         }},
        {"in.tfg -o out.png --hide 2,5", [](CliOptions& o) { o.show = {true, false, true, true, false, true}; }},
        {"in.tfg -o out.png --scale 16", [](CliOptions& o) { o.scale = 16; }},
        {"in.tfg -o out.png --seed 18446744073709551615", [](CliOptions& o) { o.seed = 18446744073709551615ULL; }},
        {"in.tfg -o out.png --threads 3", [](CliOptions& o) { o.threads = 3; }},
        {"in.tfg -o out.png --count 4", [](CliOptions& o) { o.count = QStringLiteral("4"); }},
        {"-o out.png -- -in.tfg", [](CliOptions& o) { o.input = QStringLiteral("-in.tfg"); }},
        {"--batch 4 --prefix out/fern", [](CliOptions& o) {
             o = CliOptions{};
             o.batch = 4;
             o.prefix = QStringLiteral("out/fern");
         }},
        {"--help", [](CliOptions& o) {
             o = CliOptions{};
             o.help = true;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        CliOptions expected = plainRender();
        c.expected(expected);
        const ParsedOptions parsed = parseOptions(split(c.line));
        ASSERT_TRUE(parsed.options.has_value()) << parsed.error.toStdString();
        EXPECT_EQ(*parsed.options, expected);
    }
}

TEST(CliOptions, BadCommandLinesAreRefusedWithTheirReason)
{
    const struct {
        const char* line;
        const char* reason;
    } cases[] = {
        {"in.tfg -o out.png --points -1", "--points needs a whole number from 0 to 9223372036854775807"},
        {"in.tfg -o out.png --points 9223372036854775808", "--points needs a whole number"},
        {"in.tfg -o out.png --points 1e8", "--points needs a whole number"},
        {"in.tfg -o out.png --points", "--points needs a value"},
        {"in.tfg -o out.png --zoom 3x", "--zoom needs one of 0.25x, 0.5x, 1x, 2x, 4x, 8x or none"},
        {"in.tfg -o out.png --zoom 1X", "--zoom needs one of"},
        {"in.tfg -o out.png --right east", "--right needs a number of twips, not \"east\""},
        {"in.tfg -o out.png --down 1,2,3", "--down needs a number of twips"},
        {"in.tfg -o out.png --colour pink", "--colour needs random, white, data or density"},
        {"in.tfg -o out.png --tint red", "--tint needs data or white"},
        {"in.tfg -o out.png --hide 7", "--hide needs data set numbers"},
        {"in.tfg -o out.png --hide 2,,5", "--hide needs data set numbers"},
        {"in.tfg -o out.png --scale 17", "--scale needs a whole number from 1 to 16"},
        {"in.tfg -o out.png --seed -1", "--seed needs a whole number from 0 to 18446744073709551615"},
        {"in.tfg -o out.png --seed 18446744073709551616", "--seed needs a whole number"},
        {"in.tfg -o out.png --threads 0", "--threads needs a whole number from 1 to 256"},
        {"in.tfg -o out.png --frobnicate 3", "unknown option --frobnicate"},
        {"in.tfg -o out.png --help=yes", "--help takes no value"},
        {"a.tfg b.tfg -o out.png", "only one data file"},
        {"-o out.png", "give a data file"},
        {"in.tfg", "give the picture's name with --output"},
        {"in.tfg -o out.jpg", "must end in .bmp or .png"},
        {"in.tfg -o out.png --prefix fern", "--prefix belongs to --batch"},
        {"--batch 3", "--batch needs --prefix"},
        {"--batch 0 --prefix fern", "--batch needs a whole number from 1 to 32767"},
        {"--batch 3 --prefix fern in.tfg", "reads no data file"},
        {"--batch 3 --prefix fern -o out.png", "leave out --output"},
        {"--batch 3 --prefix fern --count 10", "--count must be one character and a number"},
        {"--batch 3 --prefix fern --count x", "--count must be one character and a number"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const ParsedOptions parsed = parseOptions(split(c.line));
        EXPECT_FALSE(parsed.options.has_value());
        EXPECT_TRUE(parsed.error.contains(QString::fromUtf8(c.reason))) << parsed.error.toStdString();
    }
}

TEST(CliOptions, EmptyValuesAreRefused)
{
    for (const char* option : {"--output", "--count", "--hide", "--right"}) {
        SCOPED_TRACE(option);
        const ParsedOptions parsed =
            parseOptions({QStringLiteral("in.tfg"), QStringLiteral("-o"), QStringLiteral("out.png"),
                          QString::fromLatin1(option), QString()});
        EXPECT_FALSE(parsed.options.has_value());
        EXPECT_TRUE(parsed.error.startsWith(QString::fromLatin1(option))) << parsed.error.toStdString();
    }
}

} // namespace
} // namespace fenra::cli
