#include "studio/PictureExport.h"

#include "engine/Contraction.h"
#include "engine/Raster.h"
#include "engine/WeightedMaps.h"
#include "files/IfsCollection.h"
#include "files/MapsRecord.h"
#include "files/PictureSettings.h"
#include "files/PngChunks.h"
#include "render/Framing.h"
#include "render/RenderPicture.h"
#include "render/WindowFraming.h"
#include "studio/MapsFiles.h"

namespace fenra::studio {

QStringList exportSizeNames()
{
    QStringList names;
    for (int scale = 1; scale <= kMaxExportScale; ++scale)
        names += QStringLiteral("%1 × (%2 × %3)").arg(scale).arg(kDisplayWidth * scale).arg(kDisplayHeight * scale);
    return names;
}

std::int64_t exportPoints(int scale)
{
    return std::int64_t(10'000'000) * scale * scale;   // about 33 points a pixel
}

std::optional<QByteArray> picturePng(const MapList& maps, const QString& name, const PictureChoice& choice)
{
    // The entry as fenra-render reads it: its maps, weighed from their p values.
    const std::vector<AffineMap> affine = affineMaps(maps);
    const std::vector<double> p = weightsOf(maps);
    render::RenderJob job;
    job.maps = affine;
    job.weights = pickWeights(affine, p);
    if (!contractsOnAverage(affine, job.weights))
        return std::nullopt;
    job.plan.zoom = render::fitFrame(affine, job.weights);   // --fit, a collection's default
    if (!job.plan.zoom)
        return std::nullopt;
    job.plan.show.fill(true);
    job.colour = {render::Colouring::MapColours, true};   // --colour density
    job.points = choice.points;
    job.scale = choice.scale;
    job.seed = choice.seed;
    job.threads = choice.threads;

    PngTexts texts;
    if (const MapsRecord record = recordOfMaps(affine, job.weights); record.refusal.isEmpty())
        texts.emplace_back(kRecordKey, record.bytes);
    texts.emplace_back(kMapsKey, ifsEntryText(name, ifsMaps(maps)));
    PictureSettings settings;
    settings.points = choice.points;
    settings.zoom = QStringLiteral("fit");
    settings.right = settings.down = QStringLiteral("0");
    settings.colour = QStringLiteral("density");
    if (!equalWeights(job.weights))
        settings.weights = p;   // the entry's own p values, from which the weights come again to the last bit
    settings.scale = choice.scale;
    settings.seed = choice.seed;
    texts.emplace_back(kSettingsKey, pictureSettingsText(settings));
    return encodePng(render::renderPicture(job).view(), texts);
}

}   // namespace fenra::studio
