#include "cli/CliOptions.h"

#include "animate/Animation.h"
#include "command/CommandRules.h"
#include "files/PictureSettings.h"

#include <limits>

namespace fenra::cli {
namespace {

using namespace command;
using Table = OptionTable<CommandOptions>;

// An option of an animation: it makes the command one.
Setter<CommandOptions> animation(Setter<CommandOptions> set)
{
    return [=](CommandOptions& o, const QString& v) { return o.animation = true, set(o, v); };
}

const Table& table()
{
    using C = PictureColour;
    using O = CommandOptions;
    static const Table all(
        QStringLiteral("fenra-render"),
        {
            {{"o", "output"},
             "FILE",
             "the picture: .bmp or .png by its extension, or - for a PNG on standard output",
             text(&O::output, "needs a file name")},
            {{"points"},
             "N",
             "points to compute (5000)",
             whole<std::int64_t>(0, std::numeric_limits<std::int64_t>::max(), &O::points)},
            {{"zoom"},
             "TEXT",
             "0.25x, 0.5x, 1x, 2x, 4x, 8x, or none (1x; a collection: --fit)",
             oneOf<QString>(kZoomNames, {"0.25x", "0.5x", "1x", "2x", "4x", "8x", ""}, &O::zoom)},
            {{"fit"},
             "",
             "frames the picture around its attractor, with a margin (the default for a collection)",
             [](O&, const QString&) { return QString(); }},   // set below: the last of --fit and --zoom counts
            {{"right"},
             "X",
             "twips added to every x position, with a full stop as decimal point (0)",
             numberText(&O::right, "needs a number of twips")},
            {{"down"},
             "Y",
             "twips added to every y position, with a full stop as decimal point (0)",
             numberText(&O::down, "needs a number of twips")},
            {{"colour", "color"},
             "MODE",
             "random, white, data or density (random)",
             oneOf<C>(kColourNames, {C::Random, C::White, C::Data, C::Density}, &O::colour)},
            {{"tint"},
             "data|white|palette",
             "what colours a density picture: the data sets' colours, white, or a "
             "palette each point walks through from map to map (data)",
             oneOf<DensityTint>(kTintNames, {DensityTint::Data, DensityTint::White, DensityTint::Palette}, &O::tint)},
            {{"gamma"},
             "G",
             "density pictures: above 1 lifts the faint parts (2.2)",
             positive(&O::gamma, kMaxToneValue)},
            {{"brightness"},
             "B",
             "density pictures: multiplies the light of every pixel (1)",
             positive(&O::brightness, kMaxToneValue)},
            {{"oversample"},
             "N",
             "draws N times finer each way and filters down, for smooth edges, 1 to 4 (1)",
             whole<int>(1, kMaxOversample, &O::oversample)},
            {{"exact"},
             "",
             "the window's own sequence: one chain of points, exactly as a run in the window draws it "
             "(slower; one thread)",
             flag(&O::exact)},
            {{"hide"},
             "LIST",
             "data sets not drawn, e.g. 2,5 (none)",
             readBy(&shownButList, &O::show, "needs data set numbers from 1 to 6, separated by commas")},
            {{"count"},
             "TEXT",
             "replaces the data file's \"Random #'s:\" text",
             text(&O::count, "needs the text of \"Random #'s:\", such as 3")},
            {{"name"},
             "NAME",
             "the collection's entry to draw (its first)",
             text(&O::name, "needs an entry's name; --list names them")},
            {{"list"}, "", "prints the collection's entry names, one a line", flag(&O::list)},
            {{"weights"},
             "W1,W2,...",
             "how often each map is picked, in proportion, e.g. 1,85,7,7 (a collection: its p "
             "values; a data file: equally often)",
             readBy(&weightList, &O::weights, "needs up to 64 numbers of 0 or more, separated by commas, one above 0")},
            {{"save-tfg"},
             "FILE",
             "writes the maps (at most six) as a data file the window loads; - writes it to "
             "standard output",
             text(&O::saveTfg, "needs a file name")},
            {{"scale"}, "K", "K times the window's 794 x 381 pixels, 1 to 16 (1)", whole<int>(1, kMaxScale, &O::scale)},
            {{"seed"},
             "S",
             "the random sequence; the same seed gives the same picture (default: from the clock; always printed)",
             whole<std::uint64_t>(0, std::numeric_limits<std::uint64_t>::max(), &O::seed)},
            {{"threads"},
             "T",
             "threads (default: every core); the picture is the same for any number",
             whole<int>(1, kMaxThreads, &O::threads)},
            {{"batch"},
             "N",
             "N random pictures NAME(n).bmp with data files NAME(n).tfg, like the window's Random Batch",
             whole<int>(1, kMaxBatch, &O::batch)},
            {{"prefix"}, "NAME", "the batch's name (a trailing .tfg is dropped)", text(&O::prefix, "needs a name")},
            {{"view"},
             "X0,Y0,X1,Y1",
             "the box of the plane the picture shows, in map units, y up (instead of --zoom or --fit)",
             readBy(&viewBox, &O::view, "needs four numbers x0,y0,x1,y1 with x0 < x1 and y0 < y1")},
            {{"animate"},
             "KEYS",
             "an animation through the collection's entries, e.g. fern,tree,fern (with several "
             "files instead: the files in order); -o names its frames, e.g. frame%04d.png",
             animation(readBy(&keyList, &O::animate, "needs entry names separated by commas"))},
            {{"frames"},
             "N",
             "the animation's frames, 2 to 100000 (48)",
             animation(whole<int>(2, animate::kMaxFrames, &O::frames))},
            {{"loop"},
             "",
             "the animation's last key leads back to the first: a seamless loop",
             animation(flag(&O::loop))},
            {{"spin"},
             "K",
             "every map turns K full turns (negative: clockwise) about its fixed point over the animation",
             animation(signedWhole(animate::kMaxSpin, &O::spin))},
            {{"blur"},
             "S",
             "motion blur: a frame's points spread over S instants of its time, 1 to 64 (1)",
             animation(whole<int>(1, animate::kMaxBlur, &O::blur))},
            {{"frame"},
             "K",
             "draws frame K of the animation alone, the same bytes as in the whole run",
             animation(whole<int>(0, animate::kMaxFrames - 1, &O::frame))},
            {{"follow"},
             "",
             "fits every frame of the animation, smoothed, instead of one box for all",
             animation(flag(&O::follow))},
            {{"overwrite"},
             "",
             "replaces frames on disk that another animation (or anything else) wrote",
             animation(flag(&O::overwrite))},
            {{"video"},
             "FILE",
             "also encodes the frames with ffmpeg (when installed) into .mp4, .webm or .gif at 24 frames a second",
             animation(text(&O::video, "needs a file name"))},
            {{"size"},
             "WxH",
             "a picture of W x H pixels, 16 to 65535 each way, instead of the window's shape times --scale",
             parsedBy(&poster::parseSize, &O::size)},
            {{"depth"}, "8|16", "bits a channel of a PNG (8)", oneOf<int>({"8", "16"}, {8, 16}, &O::depth)},
            {{"memory"},
             "LIMIT",
             "most memory the sums take at once, e.g. 512M or 2G (what the machine has); a "
             "picture beyond it is drawn in bands of rows, to the same bytes",
             parsedBy(&poster::parseMemory, &O::memory)},
            {{"part"},
             "K/N",
             "draws the K-th of N equal shares of the work into --sums FILE, for --merge",
             parsedBy(&poster::parseShare, &O::part)},
            {{"sums"}, "FILE", "where --part writes its sums", text(&O::sums, "needs a file name")},
            {{"merge"},
             "",
             "adds the sums files of every part given (in place of DATA) into the picture -o",
             [](O&, const QString&) { return QString(); }},   // the files are the positional arguments
            {{"checkpoint"},
             "FILE",
             "keeps the sums so far in FILE every few minutes and when stopped; the same "
             "command continues from them",
             text(&O::checkpoint, "needs a file name")},
            {{"h", "help"}, "", "this text", flag(&O::help)},
            {{"version"}, "", "the program's version", flag(&O::version)},
        },
        QStringLiteral("DATA"),
        QStringLiteral("a data file (.tfg), a PNG that fenra-render wrote, a collection (.ifs), or - for "
                       "standard input; several: the keys of an animation"));
    return all;
}

}   // namespace

ParsedOptions parseOptions(const QStringList& arguments)
{
    ParsedOptions parsed = table().parse(arguments);
    if (!parsed.options)
        return parsed;
    CommandOptions& result = *parsed.options;
    // Of --fit and --zoom, the last given counts, so options typed after a PNG's stored ones win.
    if (parsed.order.contains(QStringLiteral("fit")) || parsed.order.contains(QStringLiteral("zoom")))
        result.fit = parsed.order.lastIndexOf(QStringLiteral("fit")) > parsed.order.lastIndexOf(QStringLiteral("zoom"));
    const QStringList& files = parsed.positional;
    if (parsed.given.contains(QStringLiteral("merge"))) {
        result.merge = files.isEmpty() ? QStringList{QString()} : files;   // an empty name: none given
        if (result.merge.contains(QString()))
            return {std::nullopt, QStringLiteral("--merge needs the sums files of the parts"), {}, {}, {}};
    } else {
        result.inputs = files;
        result.animation = result.animation || files.size() > 1;   // several files are an animation's keys
        result.input = files.value(0);
    }
    if (const QString error = combinationError(result); !error.isEmpty())
        return {std::nullopt, error, {}, {}, {}};
    return parsed;
}

QString usageText()
{
    return table().help(
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
                              "between keys, named by -o with one %d or %04d, such as frame%04d.png."))
           + QStringLiteral(
               "\nExit status: 0 done, 1 a file could not be read or written, or the memory is too small,\n"
               "2 a bad option or an unknown --name. Interrupted: 130 (SIGINT) or 143 (SIGTERM).\n");
}

}   // namespace fenra::cli
