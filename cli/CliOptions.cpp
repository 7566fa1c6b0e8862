#include "cli/CliOptions.h"

#include "animate/Animation.h"
#include "animate/FramePattern.h"
#include "animate/VideoArguments.h"
#include "engine/NumberText.h"
#include "files/ShownText.h"

#include <QCommandLineParser>

#include <algorithm>
#include <charconv>
#include <functional>
#include <limits>

namespace fenra::cli {
namespace {

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
        const std::optional<double> n = positiveNumber(v, most);
        if (n)
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

// An option of an animation: it makes the command one.
Setter animation(Setter set)
{
    return [=](CliOptions& o, const QString& v) { return o.animation = true, set(o, v); };
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
        {{"o", "output"},
         "FILE",
         "the picture: .bmp or .png by its extension, or - for a PNG on standard output",
         text(&CliOptions::output, "needs a file name")},
        {{"points"},
         "N",
         "points to compute (5000)",
         whole<std::int64_t>(0, std::numeric_limits<std::int64_t>::max(), &CliOptions::points)},
        {{"zoom"},
         "TEXT",
         "0.25x, 0.5x, 1x, 2x, 4x, 8x, or none (1x; a collection: --fit)",
         oneOf<QString>(kZoomNames, {"0.25x", "0.5x", "1x", "2x", "4x", "8x", ""}, &CliOptions::zoom)},
        {{"fit"},
         "",
         "frames the picture around its attractor, with a margin (the default for a collection)",
         [](CliOptions&, const QString&) { return QString(); }},   // set below: the last of --fit and --zoom counts
        {{"right"},
         "X",
         "twips added to every x position, with a full stop as decimal point (0)",
         twips(&CliOptions::right)},
        {{"down"},
         "Y",
         "twips added to every y position, with a full stop as decimal point (0)",
         twips(&CliOptions::down)},
        {{"colour", "color"},
         "MODE",
         "random, white, data or density (random)",
         oneOf<C>(kColourNames, {C::Random, C::White, C::Data, C::Density}, &CliOptions::colour)},
        {{"tint"},
         "data|white|palette",
         "what colours a density picture: the data sets' colours, white, or a "
         "palette each point walks through from map to map (data)",
         oneOf<DensityTint>(kTintNames, {DensityTint::Data, DensityTint::White, DensityTint::Palette},
                            &CliOptions::tint)},
        {{"gamma"},
         "G",
         "density pictures: above 1 lifts the faint parts (2.2)",
         positive(&CliOptions::gamma, kMaxToneValue)},
        {{"brightness"},
         "B",
         "density pictures: multiplies the light of every pixel (1)",
         positive(&CliOptions::brightness, kMaxToneValue)},
        {{"oversample"},
         "N",
         "draws N times finer each way and filters down, for smooth edges, 1 to 4 (1)",
         whole<int>(1, kMaxOversample, &CliOptions::oversample)},
        {{"exact"},
         "",
         "the window's own sequence: one chain of points, exactly as a run in the window draws it "
         "(slower; one thread)",
         [](CliOptions& o, const QString&) { return o.exact = true, QString(); }},
        {{"hide"},
         "LIST",
         "data sets not drawn, e.g. 2,5 (none)",
         [](CliOptions& o, const QString& v) {
             const std::optional<std::vector<int>> sets = setList(v);
             o.show.fill(true);
             for (const int set : sets.value_or(std::vector<int>{}))
                 o.show[std::size_t(set - 1)] = false;
             return sets ? QString() : QStringLiteral("needs data set numbers from 1 to 6, separated by commas");
         }},
        {{"count"},
         "TEXT",
         "replaces the data file's \"Random #'s:\" text",
         [](CliOptions& o, const QString& v) {
             o.count = v;
             return v.isEmpty() ? QStringLiteral("needs the text of \"Random #'s:\", such as 3") : QString();
         }},
        {{"name"},
         "NAME",
         "the collection's entry to draw (its first)",
         [](CliOptions& o, const QString& v) {
             o.name = v;
             return v.isEmpty() ? QStringLiteral("needs an entry's name; --list names them") : QString();
         }},
        {{"list"},
         "",
         "prints the collection's entry names, one a line",
         [](CliOptions& o, const QString&) { return o.list = true, QString(); }},
        {{"weights"},
         "W1,W2,...",
         "how often each map is picked, in proportion, e.g. 1,85,7,7 (a collection: its p "
         "values; a data file: equally often)",
         [](CliOptions& o, const QString& v) {
             o.weights = weightList(v).value_or(std::vector<double>{});
             return o.weights.empty() ? QStringLiteral("needs up to 64 numbers of 0 or more, separated by commas, "
                                                       "one above 0")
                                      : QString();
         }},
        {{"save-tfg"},
         "FILE",
         "writes the maps (at most six) as a data file the window loads; - writes it to "
         "standard output",
         text(&CliOptions::saveTfg, "needs a file name")},
        {{"scale"},
         "K",
         "K times the window's 794 x 381 pixels, 1 to 16 (1)",
         whole<int>(1, kMaxScale, &CliOptions::scale)},
        {{"seed"},
         "S",
         "the random sequence; the same seed gives the same picture (default: from the clock; always printed)",
         whole<std::uint64_t>(0, std::numeric_limits<std::uint64_t>::max(), &CliOptions::seed)},
        {{"threads"},
         "T",
         "threads (default: every core); the picture is the same for any number",
         whole<int>(1, kMaxThreads, &CliOptions::threads)},
        {{"batch"},
         "N",
         "N random pictures NAME(n).bmp with data files NAME(n).tfg, like the window's Random Batch",
         whole<int>(1, kMaxBatch, &CliOptions::batch)},
        {{"prefix"},
         "NAME",
         "the batch's name (a trailing .tfg is dropped)",
         text(&CliOptions::prefix, "needs a name")},
        {{"view"},
         "X0,Y0,X1,Y1",
         "the box of the plane the picture shows, in map units, y up (instead of --zoom or --fit)",
         [](CliOptions& o, const QString& v) {
             o.view = viewBox(v);
             return o.view ? QString() : QStringLiteral("needs four numbers x0,y0,x1,y1 with x0 < x1 and y0 < y1");
         }},
        {{"animate"},
         "KEYS",
         "an animation through the collection's entries, e.g. fern,tree,fern (with several "
         "files instead: the files in order); -o names its frames, e.g. frame%04d.png",
         [](CliOptions& o, const QString& v) {
             o.animation = true;
             o.animate = v.split(u',');
             return o.animate.contains(QString()) ? QStringLiteral("needs entry names separated by commas") : QString();
         }},
        {{"frames"},
         "N",
         "the animation's frames, 2 to 100000 (48)",
         animation(whole<int>(2, animate::kMaxFrames, &CliOptions::frames))},
        {{"loop"},
         "",
         "the animation's last key leads back to the first: a seamless loop",
         animation([](CliOptions& o, const QString&) { return o.loop = true, QString(); })},
        {{"spin"},
         "K",
         "every map turns K full turns (negative: clockwise) about its fixed point over the animation",
         animation([](CliOptions& o, const QString& v) {
             bool ok = false;
             o.spin = v.toInt(&ok);
             return ok && std::abs(o.spin) <= animate::kMaxSpin
                        ? QString()
                        : QStringLiteral("needs a whole number from -%1 to %1").arg(animate::kMaxSpin);
         })},
        {{"blur"},
         "S",
         "motion blur: a frame's points spread over S instants of its time, 1 to 64 (1)",
         animation(whole<int>(1, animate::kMaxBlur, &CliOptions::blur))},
        {{"frame"},
         "K",
         "draws frame K of the animation alone, the same bytes as in the whole run",
         animation(whole<int>(0, animate::kMaxFrames - 1, &CliOptions::frame))},
        {{"follow"},
         "",
         "fits every frame of the animation, smoothed, instead of one box for all",
         animation([](CliOptions& o, const QString&) { return o.follow = true, QString(); })},
        {{"overwrite"},
         "",
         "replaces frames on disk that another animation (or anything else) wrote",
         animation([](CliOptions& o, const QString&) { return o.overwrite = true, QString(); })},
        {{"video"},
         "FILE",
         "also encodes the frames with ffmpeg (when installed) into .mp4, .webm or .gif at 24 frames a second",
         animation(text(&CliOptions::video, "needs a file name"))},
        {{"size"},
         "WxH",
         "a picture of W x H pixels, 16 to 65535 each way, instead of the window's shape times --scale",
         posterWord(&poster::parseSize, &CliOptions::size)},
        {{"depth"}, "8|16", "bits a channel of a PNG (8)", oneOf<int>({"8", "16"}, {8, 16}, &CliOptions::depth)},
        {{"memory"},
         "LIMIT",
         "most memory the sums take at once, e.g. 512M or 2G (what the machine has); a "
         "picture beyond it is drawn in bands of rows, to the same bytes",
         posterWord(&poster::parseMemory, &CliOptions::memory)},
        {{"part"},
         "K/N",
         "draws the K-th of N equal shares of the work into --sums FILE, for --merge",
         posterWord(&poster::parseShare, &CliOptions::part)},
        {{"sums"}, "FILE", "where --part writes its sums", text(&CliOptions::sums, "needs a file name")},
        {{"merge"},
         "",
         "adds the sums files of every part given (in place of DATA) into the picture -o",
         [](CliOptions&, const QString&) { return QString(); }},   // the files are the positional arguments
        {{"checkpoint"},
         "FILE",
         "keeps the sums so far in FILE every few minutes and when stopped; the same "
         "command continues from them",
         text(&CliOptions::checkpoint, "needs a file name")},
        {{"h", "help"}, "", "this text", [](CliOptions& o, const QString&) { return o.help = true, QString(); }},
        {{"version"},
         "",
         "the program's version",
         [](CliOptions& o, const QString&) { return o.version = true, QString(); }},
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
    parser.addPositionalArgument(
        QStringLiteral("DATA"),
        QStringLiteral("a data file (.tfg), a PNG that fenra-render "
                       "wrote, a collection (.ifs), or - for standard input; several: the keys of an animation"));
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
    if (!o.merge.isEmpty()
        && (o.part || !o.checkpoint.isEmpty() || !o.saveTfg.isEmpty() || o.output.isEmpty() || bitmap))
        return QStringLiteral("--merge adds sums files into the PNG given with --output, and does nothing else");
    return {};
}

QString animationError(const CliOptions& o)
{
    if (o.inputs.isEmpty())
        return QStringLiteral("give the collection (.ifs) of the --animate keys, or the files that are the keys");
    if (o.exact || o.list || !o.saveTfg.isEmpty() || !o.weights.empty())
        return QStringLiteral("--exact, --list, --save-tfg and --weights belong to a single picture, not an animation");
    if (o.size || o.depth != 8 || o.memory || o.part || !o.checkpoint.isEmpty() || !o.merge.isEmpty())
        return QStringLiteral("--size, --depth, --memory, --part, --checkpoint and --merge belong to a single picture, "
                              "not an animation");
    if (!o.animate.isEmpty() && (o.inputs.size() > 1 || o.name))
        return QStringLiteral("--animate names entries of one collection; with several files the files are the keys, "
                              "and --name is one of them");
    if (o.output.isEmpty() || o.output == u"-" || !o.output.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        return QStringLiteral("give the frames' names with --output, a PNG with a number such as frame%04d.png");
    const animate::FramePatternReading pattern = animate::readFramePattern(o.output);
    if (!pattern.error.isEmpty())
        return QStringLiteral("--output \"%1\": %2").arg(shownText(o.output), pattern.error);
    if (!pattern.pattern.numbered && !o.frame)
        return QStringLiteral("--output \"%1\" needs %d or %04d where each frame's number goes")
            .arg(shownText(o.output));
    if (o.frame && *o.frame >= o.frames)
        return QStringLiteral("--frame %1 is not a frame of %2 (they are numbered from 0)").arg(*o.frame).arg(o.frames);
    if (!o.video.isEmpty() && (o.frame || !animate::isVideoName(o.video)))
        return o.frame ? QStringLiteral("--video needs every frame; leave out --frame")
                       : QStringLiteral("--video makes .mp4, .webm or .gif, not \"%1\"").arg(shownText(o.video));
    return {};
}

}   // namespace

// What a whole command line must hold besides well-formed values.
QString combinationError(const CliOptions& o)
{
    if (o.help || o.version)
        return {};
    if (o.batch > 0) {
        if (o.animation)
            return QStringLiteral("--batch makes single pictures, not an animation");
        if (o.prefix.isEmpty())
            return QStringLiteral("--batch needs --prefix NAME for the names of its files");
        if (!o.input.isEmpty())
            return QStringLiteral("--batch makes its own random data sets and reads no data file");
        if (!o.output.isEmpty())
            return QStringLiteral("--batch names its pictures after --prefix; leave out --output");
        if (o.name || o.list || !o.weights.empty() || o.fit || !o.saveTfg.isEmpty())
            return QStringLiteral(
                "--name, --list, --weights, --fit and --save-tfg belong to a single picture, not --batch");
        // Each data file holds the count in one character, and the generator reads it as a number.
        if (o.count && (o.count->size() != 1 || !toDouble(*o.count)))
            return QStringLiteral("--count must be one character and a number for a batch, such as 3");
        return {};
    }
    if (!o.prefix.isEmpty())
        return QStringLiteral("--prefix belongs to --batch");
    if (const QString error = posterError(o); !error.isEmpty())
        return error;
    if (o.animation)
        return animationError(o);
    if (!o.merge.isEmpty())
        return {};
    if (o.input.isEmpty())
        return QStringLiteral("give a data file (.tfg), a PNG that fenra-render wrote, or - for standard input");
    if (o.exact && o.view)
        return QStringLiteral("--view frames the kernel's picture; --exact draws the window's, framed by --zoom");
    if (o.exact && !o.weights.empty())
        return QStringLiteral("--exact picks every map equally often, as the window does; leave out --weights");
    if (o.list || o.part || (o.output.isEmpty() && !o.saveTfg.isEmpty()))
        return {};
    if (o.output.isEmpty())
        return QStringLiteral("give the picture's name with --output NAME.png or NAME.bmp, or - for standard output");
    if (!pictureFormatFor(o.output))
        return QStringLiteral("the picture's name must end in .bmp or .png");
    if (o.saveTfg == u"-" && o.output == u"-")
        return QStringLiteral("--save-tfg - and -o - would both write to standard output");
    return {};
}

ParsedOptions parseOptions(const QStringList& arguments)
{
    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(QStringList{QStringLiteral("fenra-render")} + arguments)) {
        if (!parser.unknownOptionNames().isEmpty())
            return {std::nullopt,
                    QStringLiteral("unknown option %1").arg(shownText(dashed(parser.unknownOptionNames().first()))),
                    {}};
        const QString error = parser.errorText();   // "Missing value after '--points'."
        if (error.startsWith(QStringLiteral("Missing value after '")))
            return {std::nullopt, QStringLiteral("%1 needs a value").arg(error.section(u'\'', 1, 1)), {}};
        return {std::nullopt, error, {}};
    }
    CliOptions result;
    for (const Option& option : options()) {
        if (!parser.isSet(option.names.first()))
            continue;
        const QString value = parser.value(option.names.first());
        if (const QString error = option.set(result, value); !error.isEmpty())
            return {
                std::nullopt, QStringLiteral("%1 %2, not \"%3\"").arg(longName(option), error, shownText(value)), {}};
    }
    // Of --fit and --zoom, the last given counts, so options typed after a PNG's stored ones win.
    const QStringList named = parser.optionNames();
    if (named.contains(QStringLiteral("fit")) || named.contains(QStringLiteral("zoom")))
        result.fit = named.lastIndexOf(QStringLiteral("fit")) > named.lastIndexOf(QStringLiteral("zoom"));
    QStringList given;
    for (const Option& option : options())
        if (parser.isSet(option.names.first()))
            given += option.names;
    const QStringList files = parser.positionalArguments();
    if (parser.isSet(QStringLiteral("merge"))) {
        result.merge = files.isEmpty() ? QStringList{QString()} : files;   // an empty name: none given
        if (result.merge.contains(QString()))
            return {std::nullopt, QStringLiteral("--merge needs the sums files of the parts"), {}};
    } else {
        result.inputs = files;
        result.animation = result.animation || files.size() > 1;   // several files are an animation's keys
        result.input = files.value(0);
    }
    if (const QString error = combinationError(result); !error.isEmpty())
        return {std::nullopt, error, {}};
    return {result, QString(), given};
}

QString usageText()
{
    QCommandLineParser parser;
    addOptions(parser);
    parser.setApplicationDescription(
        QStringLiteral("Renders a Fenra data file without a window, or with --batch N --prefix NAME\n"
                       "a batch of random pictures and their data files. Many chains of points are\n"
                       "drawn at once on every core and vector unit; --exact draws the window's own\n"
                       "single chain instead, pixel for pixel as a run in the window.\n\n"
                       "A PNG written by fenra-render carries its data record and the settings it\n"
                       "was drawn with. Given as the input, it is drawn again as it was made: its\n"
                       "settings are the defaults, and options given here override them.\n"
                       "A data file may use a full stop or a comma as the decimal point.\n\n"
                       "A classic IFS collection (.ifs, or text of the form  name { a b c d e f p ... })\n"
                       "holds many entries of up to 64 maps, each (x, y) -> (a x + b y + e, c x + d y + f)\n"
                       "picked with probability p; --name picks an entry, and it is framed to fit.\n\n"
                       "--animate A,B,... (or several files, or --spin) draws the frames of an animation\n"
                       "between keys, named by -o with one %d or %04d, such as frame%04d.png."));
    return parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("fenra-render"))
           + QStringLiteral(
               "\nExit status: 0 done, 1 a file could not be read or written, or the memory is too small,\n"
               "2 a bad option or an unknown --name. Interrupted: 130 (SIGINT) or 143 (SIGTERM).\n");
}

}   // namespace fenra::cli

namespace fenra::cli {

void applyStoredSettings(const PictureSettings& s, CliOptions& o)
{
    if (s.points)
        o.points = *s.points;
    if (s.zoom) {
        o.fit = *s.zoom == u"fit";
        if (!*o.fit)
            o.zoom = *s.zoom == u"none" ? QString() : *s.zoom;
    }
    o.right = s.right.value_or(o.right);
    o.down = s.down.value_or(o.down);
    if (s.colour)
        o.colour = PictureColour(kColourNames.indexOf(*s.colour));
    if (s.tint)
        o.tint = DensityTint(kTintNames.indexOf(*s.tint));
    o.exact = s.exact.value_or(o.exact);
    o.gamma = s.gamma.value_or(o.gamma);
    o.brightness = s.brightness.value_or(o.brightness);
    o.weights = s.weights.value_or(o.weights);
    o.oversample = s.oversample.value_or(o.oversample);
    if (s.hide) {
        o.show.fill(true);
        for (const int set : *s.hide)
            o.show[std::size_t(set - 1)] = false;
    }
    o.scale = s.scale.value_or(o.scale);
    if (s.size)
        o.size = poster::PictureSize{(*s.size)[0], (*s.size)[1]};
    o.depth = s.depth.value_or(o.depth);
    if (s.seed)
        o.seed = s.seed;
    if (s.view)
        o.view = s.view;
}

PictureSettings storedSettings(const CliOptions& o, std::uint64_t seed)
{
    // Only what differs from the defaults besides the frame, the colour, the scale and the seed.
    // Not the threads: they do not change the picture, so the file is the same for any number.
    const CliOptions defaults;
    PictureSettings s;
    s.points = o.points;
    s.zoom = o.fit.value_or(false) ? QStringLiteral("fit") : o.zoom.isEmpty() ? QStringLiteral("none") : o.zoom;
    s.right = o.right;
    s.down = o.down;
    s.colour = kColourNames[int(o.colour)];
    if (o.colour == PictureColour::Density && o.tint != DensityTint::Data)
        s.tint = kTintNames[int(o.tint)];
    if (o.exact)
        s.exact = true;
    if (o.gamma != defaults.gamma)
        s.gamma = o.gamma;
    if (o.brightness != defaults.brightness)
        s.brightness = o.brightness;
    if (!o.weights.empty())
        s.weights = o.weights;
    if (o.oversample != 1)
        s.oversample = o.oversample;
    std::vector<int> hidden;
    for (int k = 1; k <= 6; ++k)
        if (!o.show[std::size_t(k - 1)])
            hidden.push_back(k);
    if (!hidden.empty())
        s.hide = hidden;
    if (o.size)
        s.size = std::array{o.size->width, o.size->height};
    else
        s.scale = o.scale;
    s.depth = o.depth;
    s.seed = seed;
    s.view = o.view;
    return s;
}

}   // namespace fenra::cli
