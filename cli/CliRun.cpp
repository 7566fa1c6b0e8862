#include "cli/CliRun.h"

#include "cli/AnimateRun.h"
#include "cli/PosterRun.h"
#include "cli/ProgressBar.h"
#include "command/CommandJob.h"
#include "files/BatchNames.h"
#include "files/InputData.h"
#include "files/MapsRecord.h"
#include "files/PictureFile.h"
#include "files/RandomBatch.h"
#include "files/SeededBatch.h"
#include "platform/QtFileStore.h"

#include <QFile>

#include <new>

namespace fenra::cli {

using render::RenderJob;

std::ostream& operator<<(std::ostream& stream, const QString& text)
{
    return stream << QFile::encodeName(text).constData();
}

void tellError(CliEnvironment& environment, const QString& text)
{
    environment.err << "fenra-render: " << text << '\n';
}

int told(CliEnvironment& environment, const QStringList& warnings, const std::optional<InputFault>& fault)
{
    for (const QString& warning : warnings)
        tellError(environment, warning);
    if (!fault)
        return kExitDone;
    if (fault->whole)
        environment.err << fault->line << '\n';
    else
        tellError(environment, fault->line);
    return fault->badOption ? kExitBadOption : kExitFileFailed;
}

int flushed(CliEnvironment& environment)
{
    if (environment.out.flush())
        return kExitDone;
    tellError(environment, QStringLiteral("standard output could not be written"));
    return kExitFileFailed;
}

namespace {

constexpr char kVersion[] = "fenra-render " FENRA_VERSION;   // the CMake project's version, as the window's

// Renders with a bar on the terminal; nothing is caught here.
render::Image renderWithProgress(const RenderJob& job, CliEnvironment& environment)
{
    ProgressBar bar(environment.err, environment.errIsTerminal, environment.secondsNow);
    render::Image picture =
        render::renderPicture(job, [&bar](std::int64_t done, std::int64_t total) { bar.update(done, total); });
    bar.finish();
    return picture;
}

// Refuses a render that cannot fit the memory there is, before it allocates: its exit status, or 0.
int memoryRefused(const RenderJob& job, CliEnvironment& environment)
{
    return told(environment, {},
                command::memoryFault(renderBytes(job), environment.memoryAvailable(),
                                     QStringLiteral("a picture of this size needs"),
                                     QStringLiteral("try a smaller --scale")));
}

// Writes `bytes` to `name`, or to standard output for "-"; the line said when it is written.
int writeFile(const QString& name, const QByteArray& bytes, const QString& line, CliEnvironment& environment)
{
    if (name == u"-") {
        // A closed pipe or a full disk is told in one line, without a seed for a picture no one got.
        if (!environment.out.write(bytes.constData(), bytes.size()).flush())
            return flushed(environment);
        environment.err << "-" << line << '\n' << std::flush;
        return kExitDone;
    }
    if (const std::optional<QString> failure = environment.files.writeWhole(name, bytes)) {
        tellError(environment, QStringLiteral("\"%1\" could not be written: %2").arg(name, *failure));
        return kExitFileFailed;
    }
    environment.out << name << line << '\n';
    return flushed(environment);
}

// --save-tfg: the maps as a data file the window loads, before any drawing; "-" writes it to standard output.
int saveDataFile(const CommandOptions& options, const RenderJob& job, CliEnvironment& environment)
{
    const MapsRecord record = recordOf(job);
    const std::optional<QString> problem = options.saveTfg == u"-" ? std::nullopt : outputProblem(options.saveTfg);
    if (problem || !record.refusal.isEmpty()) {
        tellError(environment, problem
                                   ? QStringLiteral("\"%1\" cannot be written: %2").arg(options.saveTfg, *problem)
                                   : QStringLiteral("\"%1\" is not written: %2").arg(options.saveTfg, record.refusal));
        return kExitFileFailed;
    }
    if (!record.warning.isEmpty())
        tellError(environment, QStringLiteral("warning: \"%1\": %2").arg(options.saveTfg, record.warning));
    if (options.saveTfg != u"-")
        return writeFile(options.saveTfg, record.bytes, {}, environment);
    environment.out.write(record.bytes.constData(), record.bytes.size());
    return flushed(environment);
}

int listEntries(const QString& input, const IfsCollection& collection, CliEnvironment& environment)
{
    if (!collection.ok()) {
        environment.err << collection.errorMessage(input) << '\n';
        return kExitFileFailed;
    }
    for (const QString& name : collection.names())
        environment.out << name << '\n';
    return flushed(environment);
}

int renderOne(const ParsedOptions& parsed, const RunPlan& givenPlan, CliEnvironment& environment)
{
    CommandOptions options = *parsed.options;
    if (const std::optional<InputFault> fault = command::outputFault(options)) {
        const int status = told(environment, {}, fault);
        if (fault->badOption)
            environment.err << "Try 'fenra-render --help'.\n";
        return status;
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
    if (options.list)
        return listEntries(options.input, *loaded.collection, environment);
    command::PreparedJob prepared = command::prepareJob(loaded, parsed.given, givenPlan, options, environment.cores);
    if (const int status = told(environment, prepared.warnings, prepared.fault))
        return status;
    RenderJob& job = prepared.job;
    if (!options.saveTfg.isEmpty()) {
        if (const int saved = saveDataFile(options, job, environment); saved != kExitDone || options.output.isEmpty())
            return saved != kExitDone ? saved : flushed(environment);
    }
    job.seed = options.seed ? *options.seed : environment.clockSeed();
    if (environment.seedChosen)
        environment.seedChosen(job.seed);
    job.fitToSize = options.size && options.fit.value_or(prepared.entry != nullptr);
    const std::optional<render::RenderRequest> request = render::requestFor(job);
    if (options.part && !request) {
        tellError(environment, QStringLiteral("these data sets are drawn by the window's one chain (their count picks "
                                              "no map), which cannot be split into parts"));
        return kExitBadOption;
    }
    const PictureFormat format = options.part ? PictureFormat::Png : *pictureFormatFor(options.output);
    if ((!request || format == PictureFormat::Bitmap) && memoryRefused(job, environment))
        return kExitFileFailed;
    QString missing;
    const PngTexts texts = command::pictureTexts(options, job, prepared.entry, format == PictureFormat::Png, missing);
    if (!missing.isEmpty())
        tellError(environment, QStringLiteral("the picture carries no data record: %1").arg(missing));
    if (request && format == PictureFormat::Png)
        return drawPosterCommand(options, *request, texts, job.threads, environment);
    const render::Image picture = renderWithProgress(job, environment);
    const std::optional<QByteArray> bytes = encodePicture(picture, format, texts, job.threads);
    if (!bytes) {
        tellError(environment, QStringLiteral("\"%1\" was not written: the encoder failed").arg(options.output));
        return kExitFileFailed;
    }
    return writeFile(options.output, *bytes, QStringLiteral(" seed %1").arg(job.seed), environment);
}

int renderBatch(const CommandOptions& options, const RunPlan& plan, CliEnvironment& environment)
{
    const std::uint64_t firstSeed = options.seed ? *options.seed : environment.clockSeed();
    const QString base = batchBaseName(options.prefix);
    if (const std::optional<QString> problem = outputProblem(batchDataName(base, 1))) {
        tellError(environment, QStringLiteral("the batch \"%1\" cannot be written: %2").arg(options.prefix, *problem));
        return kExitFileFailed;
    }
    RenderJob job = command::jobFor(options, plan, environment.cores);
    if (memoryRefused(job, environment))
        return kExitFileFailed;
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

int runCli(const QStringList& arguments, CliEnvironment& environment)
{
    const ParsedOptions parsed = parseOptions(arguments);
    if (!parsed.options) {
        tellError(environment, parsed.error);
        environment.err << "Try 'fenra-render --help'.\n";
        return kExitBadOption;
    }
    const CommandOptions& options = *parsed.options;
    if (options.help || options.version) {
        environment.out << (options.help ? usageText() : QString::fromLatin1(kVersion) + u'\n');
        return flushed(environment);
    }

    // The option parser has checked the offsets already; the window's own conversion makes the plan.
    const RunPlanResult planned = planRun(command::settingsTexts(options));
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
