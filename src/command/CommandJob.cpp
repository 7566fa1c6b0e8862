#include "command/CommandJob.h"

#include "command/CommandRules.h"
#include "command/StoredOptions.h"
#include "engine/WeightedMaps.h"
#include "files/DataRecord.h"
#include "files/MapsRecord.h"
#include "platform/FileNames.h"
#include "platform/QtFileStore.h"

#include <QDir>
#include <QFile>

#include <algorithm>

#include <unistd.h>

namespace fenra::command {

using render::RenderJob;

RunSettingsTexts settingsTexts(const CommandOptions& options)
{
    RunSettingsTexts texts;
    texts.zoom = options.zoom;
    texts.moveX = options.right;
    texts.moveY = options.down;
    texts.show = options.show;
    return texts;
}

std::optional<InputFault> outputFault(const CommandOptions& options)
{
    const QString& save = options.saveTfg;
    if (!save.isEmpty() && (sameFile(save, options.output) || sameFile(save, options.input)))
        return InputFault{
            QStringLiteral("--save-tfg \"%1\" would write over the %2")
                .arg(save, sameFile(save, options.input) ? QStringLiteral("input") : QStringLiteral("picture")),
            true};
    if (options.output == u"-" || options.output.isEmpty())
        return std::nullopt;
    if (const std::optional<QString> problem = outputProblem(options.output))
        return InputFault{QStringLiteral("\"%1\" cannot be written: %2").arg(options.output, *problem)};
    return std::nullopt;
}

RenderJob jobFor(const CommandOptions& options, const RunPlan& plan, int cores)
{
    RenderJob job;
    job.plan = plan;
    job.points = options.points;
    job.scale = options.scale;
    if (options.size) {
        job.width = options.size->width;
        job.height = options.size->height;
    }
    // The options' colour words, once, as the pipeline's colour plan.
    const bool density = options.colour == PictureColour::Density;
    const bool palette = density ? options.tint == DensityTint::Palette : options.colour == PictureColour::Random;
    job.colour = {palette ? render::Colouring::Palette : render::Colouring::MapColours, density};
    job.white = density ? options.tint == DensityTint::White : options.colour == PictureColour::White;
    job.threads = std::max(1, options.threads.value_or(cores));
    job.exact = options.exact;
    job.tone = render::Tone{options.gamma, options.brightness};
    job.oversample = options.oversample;
    return job;
}

namespace {

// A PNG is drawn again as it was made: its stored settings stand in for the
// options the command line does not give, capped where they ask too much.
std::optional<InputFault> applyPictureSettings(const LoadedData& loaded, const QStringList& given,
                                               CommandOptions& options, RunPlan& plan, QStringList& warnings)
{
    PictureSettings stored = *loaded.settings;
    dropSettings(stored, given);
    if (given.contains(QStringLiteral("zoom")) || given.contains(QStringLiteral("fit")))
        stored.view.reset();   // a frame given here replaces the stored one
    for (const QString& change : capStoredSettings(stored, options.scale, options.oversample))
        warnings << QStringLiteral("warning: \"%1\": %2").arg(options.input, change);
    applyStoredSettings(stored, options);
    if (const QString error = combinationError(options); !error.isEmpty())
        return InputFault{QStringLiteral("with the settings stored in \"%1\": %2").arg(options.input, error), true};
    const RunPlanResult planned = planRun(settingsTexts(options));
    if (!planned.plan)
        return InputFault{QStringLiteral("the settings stored in \"%1\" cannot be used").arg(options.input)};
    plan = *planned.plan;
    return std::nullopt;
}

}   // namespace

PreparedJob prepareJob(const LoadedData& loaded, const QStringList& given, const RunPlan& givenPlan,
                       CommandOptions& options, int cores)
{
    PreparedJob prepared;
    for (const QString& warning : loaded.warnings)
        prepared.warnings << QStringLiteral("warning: ") + warning;
    RunPlan plan = givenPlan;
    if (loaded.settings && (prepared.fault = applyPictureSettings(loaded, given, options, plan, prepared.warnings)))
        return prepared;
    if (loaded.collection) {
        const EntryChoice chosen = chooseEntry(*loaded.collection, options.input, options.name, options.exact);
        if ((prepared.fault = chosen.fault))
            return prepared;
        prepared.entry = chosen.entry;
    }
    RenderJob& job = prepared.job = jobFor(options, plan, cores);
    if (prepared.entry) {
        EntryMaps maps = entryMaps(*prepared.entry);
        job.maps = std::move(maps.maps);
        job.weights = std::move(maps.weights);
    } else {
        job.dataSets = *loaded.dataSets;
        if (options.count)
            job.dataSets.count = *options.count;
    }
    if (options.view)
        job.view = render::ViewBox{(*options.view)[0], (*options.view)[1], (*options.view)[2], (*options.view)[3]};
    const Framing framing =
        weighAndFrame(options.weights, options.fit, options.view.has_value(), prepared.entry != nullptr, job);
    prepared.warnings += framing.warnings;
    prepared.fault = framing.fault;
    return prepared;
}

PngTexts pictureTexts(CommandOptions& options, const RenderJob& job, const IfsEntry* entry, bool maps, QString& missing)
{
    PngTexts texts;
    if (maps) {
        const MapsRecord built = recordOf(job);
        if (built.refusal.isEmpty())
            texts.emplace_back(kRecordKey, built.bytes);
        if (const QByteArray entryText = mapsText(options.weights, entry, job); !entryText.isEmpty())
            texts.emplace_back(kMapsKey, entryText);
        if (texts.empty())
            missing = built.refusal;
    }
    // The PNG remembers the frame and the weights, so its record draws the same picture again.
    options.fit = options.fit.value_or(entry != nullptr);
    if (options.weights.empty() && !equalWeights(job.weights)) {
        // A collection's own p values, from which the same weights are computed again to the last bit;
        // where every p is 0 the weights come from the maps' areas, and are stored as they are.
        for (const IfsMap& map : entry ? entry->maps : std::vector<IfsMap>{})
            options.weights.push_back(map.p);
        if (std::none_of(options.weights.begin(), options.weights.end(), [](double p) { return p > 0.0; }))
            options.weights = job.weights;
    }
    texts.emplace_back(kSettingsKey, pictureSettingsText(storedSettings(options, job.seed)));
    return texts;
}

std::optional<InputFault> memoryFault(std::uint64_t needed, std::optional<std::uint64_t> available, const QString& what,
                                      const QString& advice)
{
    if (!available || needed <= *available)
        return std::nullopt;
    return InputFault{QStringLiteral("%1 about %2 MB of memory, and only %3 MB are available; %4")
                          .arg(what)
                          .arg(needed >> 20)
                          .arg(*available >> 20)
                          .arg(advice)};
}

poster::PosterJob posterJobFor(const CommandOptions& options, const render::RenderRequest& request,
                               const PngTexts& texts, int threads, std::optional<std::uint64_t> memoryAvailable,
                               const QString& outputName)
{
    poster::PosterJob job;
    job.request = request;
    job.finishing = {render::ToneSettings::of(request, options.depth), streamTexts(texts)};
    job.threads = threads;
    job.memory = options.memory.value_or(poster::defaultMemory(memoryAvailable));
    job.share = options.part.value_or(poster::Share{});
    job.checkpoint = QFile::encodeName(options.checkpoint).toStdString();
    const QString scratchBeside =
        outputName == QStringLiteral("-") ? QDir::tempPath() + QStringLiteral("/fenra") : outputName;
    job.scratch = QFile::encodeName(scratchBeside).toStdString() + ".bands-" + std::to_string(getpid());
    return job;
}

std::optional<InputFault> posterFault(const poster::PosterJob& job)
{
    if (poster::rowsPerBand(job.request, job.memory, job.threads) >= 1)
        return std::nullopt;
    return InputFault{QStringLiteral("--memory holds less than one row of the sums (%1 bytes at this size)")
                          .arg(render::HitSums::bytesFor(job.request.sumsFrame().width, 1)),
                      true};
}

}   // namespace fenra::command
