#include "animate/VideoArguments.h"

#include <QFileInfo>

namespace fenra::animate {

namespace {

QString suffixOf(const QString& video) { return QFileInfo(video).suffix().toLower(); }

// The pattern in ffmpeg's own words (%0Nd, %%), from an absolute path so that no
// name is read as an option.
QString ffmpegPattern(const FramePattern& pattern)
{
    auto escaped = [](QString text) { return text.replace(u'%', QStringLiteral("%%")); };
    const QString number =
        pattern.digits ? QStringLiteral("%0") + QString::number(pattern.digits) + u'd' : QStringLiteral("%d");
    return QFileInfo(escaped(pattern.before)).absoluteFilePath() + number + escaped(pattern.after);
}

}   // namespace

bool isVideoName(const QString& video)
{
    const QString suffix = suffixOf(video);
    return suffix == u"mp4" || suffix == u"webm" || suffix == u"gif";
}

QStringList videoArguments(const FramePattern& pattern, int frames, const QString& video)
{
    QStringList arguments{"-hide_banner",
                          "-nostdin",
                          "-loglevel",
                          "error",
                          "-y",
                          "-framerate",
                          QString::number(kVideoFramesPerSecond),
                          "-start_number",
                          "0",
                          "-i",
                          ffmpegPattern(pattern),
                          "-frames:v",
                          QString::number(frames)};
    if (suffixOf(video) == u"gif")
        arguments << "-vf"
                  << "split[a][b];[a]palettegen[p];[b][p]paletteuse"
                  << "-loop"
                  << "0";
    else
        arguments << "-vf"
                  << "pad=ceil(iw/2)*2:ceil(ih/2)*2"
                  << "-pix_fmt"
                  << "yuv420p";
    arguments << QFileInfo(video).absoluteFilePath();
    return arguments;
}

}   // namespace fenra::animate
