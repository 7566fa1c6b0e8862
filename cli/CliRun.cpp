#include "cli/CliRun.h"

#include "cli/AnimateRun.h"
#include "cli/PosterRun.h"
#include "cli/ProgressBar.h"
#include "engine/WeightedMaps.h"
#include "files/BatchNames.h"
#include "files/Bitmap.h"
#include "files/DataRecord.h"
#include "files/InputData.h"
#include "files/JobInputs.h"
#include "files/MapsRecord.h"
#include "files/RandomBatch.h"
#include "files/SeededBatch.h"
#include "files/ShownText.h"
#include "platform/FileNames.h"
#include "platform/QtFileStore.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <new>

namespace fenra::cli {

using render::RenderJob;

namespace {

constexpr char kVersion[] = "fenra-render " FENRA_VERSION;   // the CMake project's version, as the window's

}   // namespace

std::ostream& operator<<(std::ostream& stream, const QString& text)
{
    return stream << QFile::encodeName(text).constData();
}

void tellError(CliEnvironment& environment, const QString& text)
{
    environment.err << "fenra-render: " << text << '\n';
}

namespace {

// The run settings as the window would hold them; they convert by its rules.
RunSettingsTexts settingsTexts(const CliOptions& options)
{
    RunSettingsTexts texts;
    texts.zoom = options.zoom;
    texts.moveX = options.right;
    texts.moveY = options.down;
    texts.show = options.show;
    return texts;
}

// Renders with a bar on the terminal; nothing is caught here.
render::Image renderWithProgress(const RenderJob& job, CliEnvironment& environment)
{
    ProgressBar bar(environment.err, environment.errIsTerminal, environment.secondsNow);
    render::Image picture =
        render::renderPicture(job, [&bar](std::int64_t done, std::int64_t total) { bar.update(done, total); });
    bar.finish();
    return picture;
}

// Refuses a render that cannot fit the memory there is, before it allocates.
bool fitsMemory(const RenderJob& job, CliEnvironment& environment)
{
    const std::optional<std::uint64_t> available = environment.memoryAvailable();
    const std::uint64_t needed = renderBytes(job);
    if (!available || needed <= *available)
        return true;
    tellError(environment, QStringLiteral("a picture of this size needs about %1 MB of memory, and only %2 MB are "
                                          "available; try a smaller --scale")
                               .arg(needed >> 20)
                               .arg(*available >> 20));
    return false;
}

}   // namespace

namespace {

int told(CliEnvironment& environment, const InputFault& fault)
{
    if (fault.whole)
        environment.err << fault.line << '\n';
    else
        tellError(environment, fault.line);
    return fault.badOption ? kExitBadOption : kExitFileFailed;
}

}   // namespace

int flushed(CliEnvironment& environment)
{
    if (environment.out.flush())
        return kExitDone;
    tellError(environment, QStringLiteral("standard output could not be written"));
    return kExitFileFailed;
}

namespace {

// --save-tfg: the maps as a data file the window loads, before any drawing; "-" writes it to standard output.
int saveDataFile(const CliOptions& options, const RenderJob& job, CliEnvironment& environment)
{
    const bool toStream = options.saveTfg == u"-";
    if (const std::optional<QString> problem = toStream ? std::nullopt : outputProblem(options.saveTfg)) {
        tellError(environment, QStringLiteral("\"%1\" cannot be written: %2").arg(options.saveTfg, *problem));
        return kExitFileFailed;
    }
    const MapsRecord record = recordOf(job);
    if (!record.refusal.isEmpty()) {
        tellError(environment, QStringLiteral("\"%1\" is not written: %2").arg(options.saveTfg, record.refusal));
        return kExitFileFailed;
    }
    if (!record.warning.isEmpty())
        tellError(environment, QStringLiteral("warning: \"%1\": %2").arg(options.saveTfg, record.warning));
    if (toStream) {
        environment.out.write(record.bytes.constData(), record.bytes.size());
        return flushed(environment);
    }
    if (const std::optional<QString> failure = environment.files.writeWhole(options.saveTfg, record.bytes)) {
        tellError(environment, QStringLiteral("\"%1\" could not be written: %2").arg(options.saveTfg, *failure));
        return kExitFileFailed;
    }
    environment.out << options.saveTfg << '\n';
    return kExitDone;
}

// A PNG is drawn again as it was made: its stored settings stand in for the
// options the command line does not give, capped where they ask too much.
int applyPictureSettings(const LoadedData& loaded, const QStringList& given, CliOptions& options, RunPlan& plan,
                         CliEnvironment& environment)
{
    PictureSettings stored = *loaded.settings;
    dropSettings(stored, given);
    if (given.contains(QStringLiteral("zoom")) || given.contains(QStringLiteral("fit")))
        stored.view.reset();   // a frame given here replaces the stored one
    for (const QString& change : capStoredSettings(stored, options.scale, options.oversample))
        tellError(environment, QStringLiteral("warning: \"%1\": %2").arg(options.input, change));
    applyStoredSettings(stored, options);
    if (const QString error = combinationError(options); !error.isEmpty()) {
        tellError(environment, QStringLiteral("with the settings stored in \"%1\": %2").arg(options.input, error));
        return kExitBadOption;
    }
    const RunPlanResult planned = planRun(settingsTexts(options));
    if (!planned.plan) {
        tellError(environment, QStringLiteral("the settings stored in \"%1\" cannot be used").arg(options.input));
        return kExitFileFailed;
    }
    plan = *planned.plan;
    return kExitDone;
}

}   // namespace

int prepareJob(const LoadedData& loaded, const QStringList& given, const RunPlan& givenPlan, CliOptions& options,
               CliEnvironment& environment, RenderJob& job, const IfsEntry*& entry)
{
    for (const QString& warning : loaded.warnings)
        tellError(environment, QStringLiteral("warning: ") + warning);
    RunPlan plan = givenPlan;
    if (loaded.settings) {
        if (const int applied = applyPictureSettings(loaded, given, options, plan, environment); applied != kExitDone)
            return applied;
    }
    if (loaded.collection) {
        const EntryChoice chosen = chooseEntry(*loaded.collection, options.input, options.name, options.exact);
        if (chosen.fault)
            return told(environment, *chosen.fault);
        entry = chosen.entry;
    }
    job = jobFor(options, plan, environment.cores);
    if (entry) {
        EntryMaps maps = entryMaps(*entry);
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
        weighAndFrame(options.weights, options.fit, options.view.has_value(), entry != nullptr, job);
    for (const QString& warning : framing.warnings)
        tellError(environment, warning);
    return framing.fault ? told(environment, *framing.fault) : kExitDone;
}

namespace {

int renderOne(const ParsedOptions& parsed, const RunPlan& givenPlan, CliEnvironment& environment)
{
    CliOptions options = *parsed.options;
    const bool toStream = options.output == QStringLiteral("-");
    if (!options.saveTfg.isEmpty()
        && (sameFile(options.saveTfg, options.output) || sameFile(options.saveTfg, options.input))) {
        tellError(environment,
                  QStringLiteral("--save-tfg \"%1\" would write over the %2")
                      .arg(options.saveTfg, sameFile(options.saveTfg, options.input) ? QStringLiteral("input")
                                                                                     : QStringLiteral("picture")));
        environment.err << "Try 'fenra-render --help'.\n";
        return kExitBadOption;
    }
    if (const std::optional<QString> problem =
            toStream || options.output.isEmpty() ? std::nullopt : outputProblem(options.output)) {
        tellError(environment, QStringLiteral("\"%1\" cannot be written: %2").arg(options.output, *problem));
        return kExitFileFailed;
    }
    const LoadedData loaded = loadDataSets(options.input, environment.files, &environment.in);
    if (!loaded.dataSets && !loaded.collection) {
        tellError(environment, loaded.error);
        return kExitFileFailed;
    }
    if ((options.list || options.name) && !loaded.collection) {
        tellError(environment, QStringLiteral("--list and --name need a collection (.ifs)"));
        return kExitBadOption;
    }
    if (options.list) {
        if (!loaded.collection->ok()) {
            environment.err << loaded.collection->errorMessage(options.input) << '\n';
            return kExitFileFailed;
        }
        for (const QString& name : loaded.collection->names())
            environment.out << name << '\n';
        return flushed(environment);
    }
    RenderJob job;
    const IfsEntry* entry = nullptr;
    if (const int prepared = prepareJob(loaded, parsed.given, givenPlan, options, environment, job, entry);
        prepared != kExitDone)
        return prepared;
    if (!options.saveTfg.isEmpty()) {
        if (const int saved = saveDataFile(options, job, environment); saved != kExitDone)
            return saved;
        if (options.output.isEmpty())
            return flushed(environment);
    }
    job.seed = options.seed ? *options.seed : environment.clockSeed();
    if (environment.seedChosen)
        environment.seedChosen(job.seed);
    job.fitToSize = options.size && options.fit.value_or(entry != nullptr);
    const std::optional<render::RenderRequest> request = render::requestFor(job);
    if (options.part && !request) {
        tellError(environment, QStringLiteral("these data sets are drawn by the window's one chain (their count picks "
                                              "no map), which cannot be split into parts"));
        return kExitBadOption;
    }
    const PictureFormat format = options.part ? PictureFormat::Png : *pictureFormatFor(options.output);
    if ((!request || format == PictureFormat::Bitmap) && !fitsMemory(job, environment))
        return kExitFileFailed;
    PngTexts texts;
    if (format == PictureFormat::Png) {
        const MapsRecord built = recordOf(job);
        if (built.refusal.isEmpty())
            texts.emplace_back(kRecordKey, built.bytes);
        texts.emplace_back(kMapsKey, mapsText(options.weights, entry, job));
        if (texts.back().second.isEmpty())
            texts.pop_back();
        if (texts.empty())
            tellError(environment, QStringLiteral("the picture carries no data record: %1").arg(built.refusal));
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
    if (request && format == PictureFormat::Png)
        return drawPosterCommand(options, *request, texts, job.threads, environment);
    const render::Image picture = renderWithProgress(job, environment);
    const std::optional<QByteArray> bytes = encodePicture(picture, format, texts, job.threads);
    if (!bytes) {
        tellError(environment, QStringLiteral("\"%1\" was not written: the encoder failed").arg(options.output));
        return kExitFileFailed;
    }
    if (toStream) {
        // A closed pipe or a full disk is told in one line, without a seed for a picture no one got.
        if (!environment.out.write(bytes->constData(), bytes->size()).flush())
            return flushed(environment);
        environment.err << "- seed " << job.seed << '\n' << std::flush;
        return kExitDone;
    }
    if (const std::optional<QString> failure = environment.files.writeWhole(options.output, *bytes)) {
        tellError(environment, QStringLiteral("\"%1\" could not be written: %2").arg(options.output, *failure));
        return kExitFileFailed;
    }
    environment.out << options.output << " seed " << job.seed << '\n';
    return flushed(environment);
}

int renderBatch(const CliOptions& options, const RunPlan& plan, CliEnvironment& environment)
{
    const std::uint64_t firstSeed = options.seed ? *options.seed : environment.clockSeed();
    const QString base = batchBaseName(options.prefix);
    if (const std::optional<QString> problem = outputProblem(batchDataName(base, 1))) {
        tellError(environment, QStringLiteral("the batch \"%1\" cannot be written: %2").arg(options.prefix, *problem));
        return kExitFileFailed;
    }
    if (!fitsMemory(jobFor(options, plan, environment.cores), environment))
        return kExitFileFailed;
    RenderJob job = jobFor(options, plan, environment.cores);
    job.dataSets.count = options.count.value_or(QStringLiteral("2"));
    SeededBatchSteps steps(std::move(job), firstSeed,
                           {environment.seedChosen,
                            [&](const RenderJob& run) { return renderWithProgress(run, environment); },
                            [&](int run, std::uint64_t seed) {
                                environment.out << batchPictureName(base, run) << ' ' << batchDataName(base, run)
                                                << " seed " << seed << '\n'
                                                << std::flush;
                            }});
    const BatchResult result = runRandomBatch(options.batch, base, steps, environment.files);
    if (!result.failure.isEmpty()) {
        tellError(environment, result.failure);
        return kExitFileFailed;
    }
    return flushed(environment);
}

}   // namespace

RenderJob jobFor(const CliOptions& options, const RunPlan& plan, int cores)
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

int runCli(const QStringList& arguments, CliEnvironment& environment)
{
    const ParsedOptions parsed = parseOptions(arguments);
    if (!parsed.options) {
        tellError(environment, parsed.error);
        environment.err << "Try 'fenra-render --help'.\n";
        return kExitBadOption;
    }
    const CliOptions& options = *parsed.options;
    if (options.help || options.version) {
        environment.out << (options.help ? usageText() : QString::fromLatin1(kVersion) + u'\n');
        return flushed(environment);
    }

    // The option parser has checked the offsets already; the window's own conversion makes the plan.
    const RunPlanResult planned = planRun(settingsTexts(options));
    if (!planned.plan) {
        tellError(environment, QStringLiteral("%1 is not a number").arg(captionOf(planned.refused)));
        return kExitBadOption;
    }
    if (!options.merge.isEmpty())
        return mergeCommand(options, environment);
    try {
        return options.batch > 0   ? renderBatch(options, *planned.plan, environment)
               : options.animation ? renderAnimation(parsed, *planned.plan, environment)
                                   : renderOne(parsed, *planned.plan, environment);
    } catch (const std::bad_alloc&) {
        tellError(environment, QStringLiteral("not enough memory for a picture of this size; try a smaller --scale "
                                              "or fewer --threads"));
        return kExitFileFailed;
    }
}

}   // namespace fenra::cli
