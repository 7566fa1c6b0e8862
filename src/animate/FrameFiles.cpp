#include "animate/FrameFiles.h"

#include "files/IfsCollection.h"
#include "platform/QtFileStore.h"

#include <QFileInfo>

namespace fenra::animate {

QByteArray frameText(const AnimationRequest& request, int frame)
{
    return (requestText(request) + QStringLiteral("frame %1\n").arg(frame)).toUtf8();
}

FrameOnDisk frameOnDisk(FileStore& files, const QString& path, const AnimationRequest& request, int frame)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return FrameOnDisk::Missing;
    constexpr qint64 kLargestFrame = qint64(1) << 30;
    const FileStore::ReadResult read = files.readPrefix(path, std::min(info.size(), kLargestFrame));
    if (!read.bytes || !startsAsPng(*read.bytes))
        return FrameOnDisk::Other;
    const ReadPngTexts png = readPngTexts(*read.bytes);
    const auto carried = png.texts.find(kAnimationKey);
    const bool ours = png.fault.isEmpty() && carried != png.texts.end() && carried->second == frameText(request, frame);
    return ours ? FrameOnDisk::Ours : FrameOnDisk::Other;
}

FramesToDraw framesToDraw(FileStore& files, const FramePattern& pattern, const AnimationRequest& request, int first,
                          int end, bool overwrite)
{
    FramesToDraw result;
    for (int f = first; f < end; ++f) {
        const QString name = pattern.nameOf(f);
        if (const std::optional<QString> problem = outputProblem(name)) {
            result.refusal = QStringLiteral("\"%1\" cannot be written: %2").arg(name, *problem);
            return result;
        }
        const FrameOnDisk found = frameOnDisk(files, name, request, f);
        if (found == FrameOnDisk::Other && !overwrite) {
            result.refusal =
                QStringLiteral("\"%1\" is not frame %2 of this animation; --overwrite replaces it").arg(name).arg(f);
            return result;
        }
        if (found != FrameOnDisk::Ours)
            result.frames.push_back(f);
    }
    return result;
}

PngTexts frameTexts(const AnimationRequest& request, const FrameBoxes& boxes, int frame, PictureSettings settings)
{
    std::vector<IfsMap> maps;
    for (const auto& m : animatedMaps(request, request.timeline.instantsOf(frame)[0]))
        maps.push_back({m.map, m.weight});
    const render::ViewBox& box = boxes.boxes.at(std::size_t(frame));
    settings.view = {box.x0, box.y0, box.x1, box.y1};
    settings.zoom.reset();
    settings.right.reset();
    settings.down.reset();
    settings.weights.reset();   // the maps' own p
    return {{kMapsKey, ifsEntryText(QStringLiteral("frame%1").arg(frame), maps)},
            {kSettingsKey, pictureSettingsText(settings)},
            {kAnimationKey, frameText(request, frame)}};
}

}   // namespace fenra::animate
