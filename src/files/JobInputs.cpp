#include "files/JobInputs.h"

#include "engine/Contraction.h"
#include "engine/WeightedMaps.h"
#include "files/DataRecord.h"
#include "files/IfsEntryText.h"
#include "files/ShownText.h"
#include "render/WindowFraming.h"

namespace fenra {

EntryChoice chooseEntry(const IfsCollection& collection, const QString& input, const std::optional<QString>& name,
                        bool exact)
{
    if (!collection.ok())
        return {nullptr, InputFault{collection.errorMessage(input), false, true}};
    const IfsEntry* entry = name ? collection.find(*name) : collection.firstDrawable();
    if (!entry) {
        QStringList names;
        for (const QString& name : collection.names().mid(0, 20))
            names << shownText(name);
        if (!name)
            return {nullptr,
                    InputFault{QStringLiteral("\"%1\" holds only 3D entries, which are not drawn").arg(input)}};
        return {nullptr, InputFault{QStringLiteral("\"%1\" has no entry \"%2\"; its entries are: %3%4")
                                        .arg(input, shownText(*name), names.join(QStringLiteral(", ")),
                                             collection.entries.size() > 20 ? QStringLiteral(", ...") : QString()),
                                    true}};
    }
    if (entry->threeD)
        return {nullptr,
                InputFault{
                    QStringLiteral("\"%1\" is a 3D entry, and 3D entries are not drawn").arg(shownText(entry->name))}};
    if (exact)
        return {nullptr,
                InputFault{QStringLiteral("--exact draws a data file as the window does; a collection is drawn "
                                          "by the kernel"),
                           true}};
    return {entry, std::nullopt};
}

Framing weighAndFrame(const std::vector<double>& weights, std::optional<bool> fit, bool viewGiven, bool collection,
                      render::RenderJob& job)
{
    Framing framing;
    const std::vector<AffineMap> maps = collection ? job.maps : render::dataSetMaps(job);
    if (!weights.empty()) {
        if (weights.size() != maps.size()) {
            framing.fault = InputFault{
                QStringLiteral("--weights gives %1 weights for %2 maps").arg(weights.size()).arg(maps.size()), true};
            return framing;
        }
        job.weights = pickWeights(maps, weights);
    }
    // Maps that stretch on average send the points off; the picture is drawn all the same, unframed.
    const bool contracts = maps.empty() || contractsOnAverage(maps, job.weights);
    if (!contracts)
        framing.warnings << QStringLiteral("warning: its points run off; the picture may be empty");
    if (fit.value_or(collection) && contracts && !viewGiven) {
        const std::optional<ZoomStep> zoom =
            maps.empty()
                ? std::nullopt
                : render::fitFrame(maps, job.weights.empty() ? std::vector<double>(maps.size(), 1.0) : job.weights);
        if (!zoom) {
            framing.fault = InputFault{
                maps.empty() ? QStringLiteral("--fit needs a count of 2 to 6: no other picks a map")
                             : QStringLiteral("the picture cannot be framed: its points run off to infinity")};
            return framing;
        }
        job.plan.zoom = zoom;
    }
    return framing;
}

MapsRecord recordOf(const render::RenderJob& job)
{
    if (!job.maps.empty())
        return recordOfMaps(job.maps, job.weights);
    const BuiltRecord built = BuildDataText(job.dataSets);
    const bool dropped = !equalWeights(job.weights);
    return {built.bytes,
            dropped ? QStringLiteral("the maps' weights are dropped: the window picks every map equally often")
                    : QString(),
            built.refusal};
}

QByteArray mapsText(const std::vector<double>& weights, const IfsEntry* entry, const render::RenderJob& job)
{
    std::vector<IfsMap> maps;
    const std::vector<AffineMap> drawn = entry ? job.maps : render::dataSetMaps(job);
    for (std::size_t k = 0; k < drawn.size(); ++k)
        maps.push_back({drawn[k], !weights.empty() ? weights[k] : entry ? entry->maps[k].p : 1.0});
    return maps.empty() ? QByteArray() : ifsEntryText(entry ? entry->name : QStringLiteral("picture"), maps);
}

}   // namespace fenra
