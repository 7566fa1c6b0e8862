#include "cli/CliOptions.h"

#include "engine/NumberText.h"

#include <QCommandLineParser>

#include <algorithm>
#include <charconv>
#include <functional>
#include <limits>

namespace fenra::cli {
namespace {

// Whole decimal numbers only: no sign, no fraction, no exponent, so a typo
// never turns into a different count.
template <class Integer>
std::optional<Integer> wholeNumber(const QString& text, Integer low, Integer high)
{
    const QByteArray digits = text.toLatin1();
    Integer value{};
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.isEmpty() || digits[0] == '-' || error != std::errc() || end != digits.data() + digits.size()
        || value < low || value > high)
        return std::nullopt;
    return value;
}

// What an option does with its value, or why it refuses it.
using Setter = std::function<QString(CliOptions&, const QString&)>;

template <class Integer, class Field>
Setter whole(Integer low, Integer high, Field CliOptions::*field)
{
    return [=](CliOptions& o, const QString& v) {
        const std::optional<Integer> n = wholeNumber<Integer>(v, low, high);
        if (n)
            o.*field = *n;
        return n ? QString() : QStringLiteral("needs a whole number from %1 to %2").arg(low).arg(high);
    };
}

// Twips, with a full stop as the decimal point whatever the locale, so a command line means the same everywhere.
Setter twips(QString CliOptions::*field)
{
    return [=](CliOptions& o, const QString& v) {
        o.*field = v;
        if (toDouble(v, u'.'))
            return QString();
        return v.contains(u',') ? QStringLiteral("needs a full stop as the decimal point (not a comma)")
                                : QStringLiteral("needs a number of twips");
    };
}

// A positive number, with a full stop as the decimal point.
Setter positive(double CliOptions::*field, double most)
{
    return [=](CliOptions& o, const QString& v) {
        const std::optional<double> n = toDouble(v, u'.');
        if (n && *n > 0.0 && *n <= most)
            o.*field = *n;
        else if (v.contains(u','))
            return QStringLiteral("needs a full stop as the decimal point (not a comma)");
        else
            return QStringLiteral("needs a number above 0 and at most %1").arg(most);
        return QString();
    };
}

Setter text(QString CliOptions::*field, const char* refusal)
{
    return [=](CliOptions& o, const QString& v) {
        o.*field = v;
        return v.isEmpty() ? QString::fromLatin1(refusal) : QString();
    };
}

template <class Value>
Setter oneOf(const QStringList& names, const std::vector<Value>& values, Value CliOptions::*field)
{
    return [=](CliOptions& o, const QString& v) {
        if (!names.contains(v))
            return QStringLiteral("needs %1 or %2").arg(names.mid(0, names.size() - 1).join(u", "), names.last());
        o.*field = values[std::size_t(names.indexOf(v))];
        return QString();
    };
}

// A poster's word (--size, --memory, --part), read by its own parser.
template <class Value>
Setter posterWord(poster::Parsed<Value> (*parse)(std::string_view), std::optional<Value> CliOptions::*field)
{
    return [=](CliOptions& o, const QString& v) {
        const std::string word = v.toStdString();
        poster::Parsed<Value> parsed = parse(word);
        o.*field = parsed.value;
        return QString::fromStdString(parsed.error);
    };
}

struct Option {
    QStringList names;
    const char* valueName;   // empty for a switch
    const char* help;
    Setter set;
};

const std::vector<Option>& options()
{
    using C = PictureColour;
    static const std::vector<Option> all{
        {{"o", "output"}, "FILE", "the picture: .bmp or .png by its extension, or - for a PNG on standard output",
         text(&CliOptions::output, "needs a file name")},
        {{"points"}, "N", "points to compute (5000)",
         whole<std::int64_t>(0, std::numeric_limits<std::int64_t>::max(), &CliOptions::points)},
        {{"zoom"}, "TEXT", "0.25x, 0.5x, 1x, 2x, 4x, 8x, or none (1x; a collection: --fit)",
         oneOf<QString>({"0.25x", "0.5x", "1x", "2x", "4x", "8x", "none"}, {"0.25x", "0.5x", "1x", "2x", "4x", "8x", ""},
                        &CliOptions::zoom)},
        {{"fit"}, "", "frames the picture around its attractor, with a margin (the default for a collection)",
         [](CliOptions&, const QString&) { return QString(); }},   // set below: the last of --fit and --zoom counts
        {{"right"}, "X", "twips added to every x position, with a full stop as decimal point (0)", twips(&CliOptions::right)},
        {{"down"}, "Y", "twips added to every y position, with a full stop as decimal point (0)", twips(&CliOptions::down)},
        {{"colour", "color"}, "MODE", "random, white, data or density (random)",
         oneOf<C>(kColourNames, {C::Random, C::White, C::Data, C::Density}, &CliOptions::colour)},
        {{"tint"}, "data|white|palette", "what colours a density picture: the data sets' colours, white, or a "
                                         "palette each point walks through from map to map (data)",
         oneOf<DensityTint>(kTintNames, {DensityTint::Data, DensityTint::White, DensityTint::Palette},
                            &CliOptions::tint)},
        {{"gamma"}, "G", "density pictures: above 1 lifts the faint parts (2.2)", positive(&CliOptions::gamma, 100)},
        {{"brightness"}, "B", "density pictures: multiplies the light of every pixel (1)",
         positive(&CliOptions::brightness, 100)},
        {{"oversample"}, "N", "draws N times finer each way and filters down, for smooth edges, 1 to 4 (1)",
         whole<int>(1, kMaxOversample, &CliOptions::oversample)},
        {{"exact"}, "", "the window's own sequence: one chain of points, exactly as a run in the window draws it "
                        "(slower; one thread)",
         [](CliOptions& o, const QString&) { return o.exact = true, QString(); }},
        {{"hide"}, "LIST", "data sets not drawn, e.g. 2,5 (none)",
         [](CliOptions& o, const QString& v) {
             o.show.fill(true);
             for (const QString& item : v.split(u','))
                 if (const auto set = wholeNumber<int>(item.trimmed(), 1, 6))
                     o.show[std::size_t(*set - 1)] = false;
                 else
                     return QStringLiteral("needs data set numbers from 1 to 6, separated by commas");
             return QString();
         }},
        {{"count"}, "TEXT", "replaces the data file's \"Random #'s:\" text",
         [](CliOptions& o, const QString& v) {
             o.count = v;
             return v.isEmpty() ? QStringLiteral("needs the text of \"Random #'s:\", such as 3") : QString();
         }},
        {{"name"}, "NAME", "the collection's entry to draw (its first)", [](CliOptions& o, const QString& v) {
             o.name = v;
             return v.isEmpty() ? QStringLiteral("needs an entry's name; --list names them") : QString();
         }},
        {{"list"}, "", "prints the collection's entry names, one a line", [](CliOptions& o, const QString&) {
             return o.list = true, QString();
         }},
        {{"weights"}, "W1,W2,...", "how often each map is picked, in proportion, e.g. 1,85,7,7 (a collection: its p "
                                   "values; a data file: equally often)",
         [](CliOptions& o, const QString& v) {
             o.weights.clear();
             for (const QString& item : v.split(u','))
                 if (const auto w = toDouble(item.trimmed(), u'.'); w && *w >= 0.0 && o.weights.size() < 64)
                     o.weights.push_back(*w);
                 else
                     return QStringLiteral("needs up to 64 numbers of 0 or more, separated by commas");
             return std::any_of(o.weights.begin(), o.weights.end(), [](double w) { return w > 0.0; })
                 ? QString() : QStringLiteral("needs a weight above 0");
         }},
        {{"save-tfg"}, "FILE", "writes the maps (at most six) as a data file the window loads",
         text(&CliOptions::saveTfg, "needs a file name")},
        {{"scale"}, "K", "K times the window's 794 x 381 pixels, 1 to 16 (1)", whole<int>(1, kMaxScale, &CliOptions::scale)},
        {{"seed"}, "S", "the random sequence; the same seed gives the same picture (default: from the clock; always printed)",
         whole<std::uint64_t>(0, std::numeric_limits<std::uint64_t>::max(), &CliOptions::seed)},
        {{"threads"}, "T", "threads (default: every core); the picture is the same for any number",
         whole<int>(1, kMaxThreads, &CliOptions::threads)},
        {{"batch"}, "N", "N random pictures NAME(n).bmp with data files NAME(n).tfg, like the window's Random Batch",
         whole<int>(1, kMaxBatch, &CliOptions::batch)},
        {{"prefix"}, "NAME", "the batch's name (a trailing .tfg is dropped)", text(&CliOptions::prefix, "needs a name")},
        {{"size"}, "WxH", "a picture of W x H pixels, 16 to 65535 each way, instead of the window's shape times --scale",
         posterWord(&poster::parseSize, &CliOptions::size)},
        {{"depth"}, "8|16", "bits a channel of a PNG (8)", oneOf<int>({"8", "16"}, {8, 16}, &CliOptions::depth)},
        {{"memory"}, "LIMIT", "most memory the sums take at once, e.g. 512M or 2G (what the machine has); a "
                              "picture beyond it is drawn in bands of rows, to the same bytes",
         posterWord(&poster::parseMemory, &CliOptions::memory)},
        {{"part"}, "K/N", "draws the K-th of N equal shares of the work into --sums FILE, for --merge",
         posterWord(&poster::parseShare, &CliOptions::part)},
        {{"sums"}, "FILE", "where --part writes its sums", text(&CliOptions::sums, "needs a file name")},
        {{"merge"}, "", "adds the sums files of every part given (in place of DATA) into the picture -o",
         [](CliOptions&, const QString&) { return QString(); }},   // the files are the positional arguments
        {{"checkpoint"}, "FILE", "keeps the sums so far in FILE every few minutes and when stopped; the same "
                                 "command continues from them",
         text(&CliOptions::checkpoint, "needs a file name")},
        {{"h", "help"}, "", "this text", [](CliOptions& o, const QString&) { return o.help = true, QString(); }},
        {{"version"}, "", "the program's version", [](CliOptions& o, const QString&) { return o.version = true, QString(); }},
    };
    return all;
}

QString dashed(const QString& name) { return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name; }

// The long name: --output, --colour.
QString longName(const Option& option)
{
    return dashed(option.names.first().size() == 1 ? option.names.last() : option.names.first());
}

void addOptions(QCommandLineParser& parser)
{
    for (const Option& option : options())
        parser.addOption({option.names, QString::fromUtf8(option.help), QString::fromLatin1(option.valueName)});
    parser.addPositionalArgument(QStringLiteral("DATA"), QStringLiteral("a data file (.tfg), a PNG that fenra-render "
                                                                        "wrote, a collection (.ifs), or - for standard input"));
}

// What posters, parts and their merge must hold.
QString posterError(const CliOptions& o)
{
    const bool bitmap = pictureFormatFor(o.output) == PictureFormat::Bitmap;
    if (o.exact && (o.part || !o.checkpoint.isEmpty() || o.size))
        return QStringLiteral("--exact draws the window's one chain, which cannot be split, resumed or resized; "
                              "leave out --part, --checkpoint and --size");
    if (o.depth == 16 && bitmap)
        return QStringLiteral("--depth 16 needs a PNG; a bitmap holds 8 bits a channel");
    if (bitmap && (o.memory || o.part || !o.checkpoint.isEmpty()))
        return QStringLiteral("--memory, --part and --checkpoint write a PNG (or sums), not a bitmap");
    if (o.size && o.scale != 1)
        return QStringLiteral("--size and --scale both say how big the picture is; give one");
    if (o.part.has_value() != !o.sums.isEmpty())
        return QStringLiteral("--part K/N writes its sums to --sums FILE; give both");
    if (o.part && !o.output.isEmpty())
        return QStringLiteral("a part writes sums, not a picture: leave out --output, and --merge the parts into one");
    if (!o.merge.isEmpty() && (o.part || !o.checkpoint.isEmpty() || !o.saveTfg.isEmpty() || o.output.isEmpty() || bitmap))
        return QStringLiteral("--merge adds sums files into the PNG given with --output, and does nothing else");
    return {};
}

// What a whole command line must hold besides well-formed values.
QString combinationError(const CliOptions& o)
{
    if (o.help || o.version)
        return {};
    if (o.batch > 0) {
        if (o.prefix.isEmpty())
            return QStringLiteral("--batch needs --prefix NAME for the names of its files");
        if (!o.input.isEmpty())
            return QStringLiteral("--batch makes its own random data sets and reads no data file");
        if (!o.output.isEmpty())
            return QStringLiteral("--batch names its pictures after --prefix; leave out --output");
        if (o.name || o.list || !o.weights.empty() || o.fit || !o.saveTfg.isEmpty())
            return QStringLiteral("--name, --list, --weights, --fit and --save-tfg belong to a single picture, not --batch");
        // Each data file holds the count in one character, and the generator reads it as a number.
        if (o.count && (o.count->size() != 1 || !toDouble(*o.count)))
            return QStringLiteral("--count must be one character and a number for a batch, such as 3");
        return {};
    }
    if (!o.prefix.isEmpty())
        return QStringLiteral("--prefix belongs to --batch");
    if (const QString error = posterError(o); !error.isEmpty())
        return error;
    if (!o.merge.isEmpty())
        return {};
    if (o.input.isEmpty())
        return QStringLiteral("give a data file (.tfg), a PNG that fenra-render wrote, or - for standard input");
    if (o.exact && !o.weights.empty())
        return QStringLiteral("--exact picks every map equally often, as the window does; leave out --weights");
    if (o.list || o.part || (o.output.isEmpty() && !o.saveTfg.isEmpty()))
        return {};
    if (o.output.isEmpty())
        return QStringLiteral("give the picture's name with --output NAME.png or NAME.bmp, or - for standard output");
    if (!pictureFormatFor(o.output))
        return QStringLiteral("the picture's name must end in .bmp or .png");
    return {};
}

} // namespace

std::optional<PictureFormat> pictureFormatFor(const QString& path)
{
    if (path == u"-" || path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        return PictureFormat::Png;
    if (path.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive))
        return PictureFormat::Bitmap;
    return std::nullopt;
}

ParsedOptions parseOptions(const QStringList& arguments)
{
    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(QStringList{QStringLiteral("fenra-render")} + arguments)) {
        if (!parser.unknownOptionNames().isEmpty())
            return {std::nullopt, QStringLiteral("unknown option %1").arg(dashed(parser.unknownOptionNames().first()))};
        const QString error = parser.errorText();   // "Missing value after '--points'."
        if (error.startsWith(QStringLiteral("Missing value after '")))
            return {std::nullopt, QStringLiteral("%1 needs a value").arg(error.section(u'\'', 1, 1))};
        return {std::nullopt, error};
    }
    CliOptions result;
    for (const Option& option : options()) {
        if (!parser.isSet(option.names.first()))
            continue;
        const QString value = parser.value(option.names.first());
        if (const QString error = option.set(result, value); !error.isEmpty())
            return {std::nullopt, QStringLiteral("%1 %2, not \"%3\"").arg(longName(option), error, value)};
    }
    // Of --fit and --zoom, the last given counts, so options typed after a PNG's stored ones win.
    const QStringList given = parser.optionNames();
    if (given.contains(QStringLiteral("fit")) || given.contains(QStringLiteral("zoom")))
        result.fit = given.lastIndexOf(QStringLiteral("fit")) > given.lastIndexOf(QStringLiteral("zoom"));
    const QStringList files = parser.positionalArguments();
    if (parser.isSet(QStringLiteral("merge")))
        result.merge = files.isEmpty() ? QStringList{QString()} : files;   // an empty name: none given
    else if (files.size() > 1)
        return {std::nullopt, QStringLiteral("only one data file can be rendered at a time (\"%1\" and \"%2\")")
                                  .arg(files[0], files[1])};
    if (result.merge.isEmpty())
        result.input = files.value(0);
    else if (result.merge.contains(QString()))
        return {std::nullopt, QStringLiteral("--merge needs the sums files of the parts")};
    if (const QString error = combinationError(result); !error.isEmpty())
        return {std::nullopt, error};
    return {result, QString()};
}

QString usageText()
{
    QCommandLineParser parser;
    addOptions(parser);
    parser.setApplicationDescription(QStringLiteral(
        "Renders a Fenra data file without a window, or with --batch N --prefix NAME\n"
        "a batch of random pictures and their data files. Many chains of points are\n"
        "drawn at once on every core and vector unit; --exact draws the window's own\n"
        "single chain instead, pixel for pixel as a run in the window.\n\n"
        "A PNG written by fenra-render carries its data record and the settings it\n"
        "was drawn with. Given as the input, it is drawn again as it was made: its\n"
        "settings are the defaults, and options given here override them.\n"
        "A data file may use a full stop or a comma as the decimal point.\n\n"
        "A classic IFS collection (.ifs, or text of the form  name { a b c d e f p ... })\n"
        "holds many entries of up to 64 maps, each (x, y) -> (a x + b y + e, c x + d y + f)\n"
        "picked with probability p; --name picks an entry, and it is framed to fit."));
    return parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("fenra-render"))
        + QStringLiteral("\nExit status: 0 done, 1 a file could not be read or written, or the memory is too small,\n"
                         "2 a bad option or an unknown --name. Interrupted: 130 (SIGINT) or 143 (SIGTERM).\n");
}

} // namespace fenra::cli
