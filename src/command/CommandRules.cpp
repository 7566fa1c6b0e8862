#include "command/CommandRules.h"

#include "animate/FramePattern.h"
#include "animate/VideoArguments.h"
#include "engine/NumberText.h"
#include "files/PictureFile.h"
#include "files/ShownText.h"

namespace fenra::command {
namespace {

// What posters, parts and their merge must hold.
QString posterError(const CommandOptions& o)
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

QString animationError(const CommandOptions& o)
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
QString combinationError(const CommandOptions& o)
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

}   // namespace fenra::command
