#include "cli/CliRun.h"

#include "cli/PictureFiles.h"
#include "cli/PosterRun.h"
#include "cli/ProgressBar.h"
#include "files/BatchNames.h"
#include "files/Bitmap.h"
#include "files/DataRecord.h"
#include "files/MapsRecord.h"
#include "files/RandomBatch.h"
#include "engine/WeightedMaps.h"
#include "generate/RandomizeDataSets.h"
#include "platform/QtFileStore.h"
#include "render/WindowFraming.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <new>

namespace fenra::cli {

using render::RenderJob;

namespace {

constexpr char kVersion[] = "fenra-render " FENRA_VERSION;   // the CMake project's version, as the window's

std::ostream& operator<<(std::ostream& stream, const QString& text)
{
    return stream << QFile::encodeName(text).constData();
}

void tellError(CliEnvironment& environment, const QString& text)
{
    environment.err << "fenra-render: " << text << '\n';
}

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
    render::Image picture = render::renderPicture(job, [&bar](std::int64_t done, std::int64_t total) { bar.update(done, total); });
    bar.finish();
    return picture;
}

// Why a file cannot be written at `path`, checked before any work: its
// folder must exist and take new files, and the name must not be a folder,
// a pipe, a device or a socket.
std::optional<QString> outputProblem(const QString& path)
{
    const QFileInfo folder(QFileInfo(path).path());
    if (!folder.exists())
        return QStringLiteral("there is no folder \"%1\"").arg(folder.filePath());
    if (!folder.isDir())
        return QStringLiteral("\"%1\" is not a folder").arg(folder.filePath());
    if (!folder.isWritable())
        return QStringLiteral("the folder \"%1\" is not writable").arg(folder.filePath());
    return notAnOrdinaryFile(path, true);
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
                               .arg(needed >> 20).arg(*available >> 20));
    return false;
}

// What is printed to standard output must get there.
int flushed(CliEnvironment& environment)
{
    if (environment.out.flush())
        return kExitDone;
    tellError(environment, QStringLiteral("standard output could not be written"));
    return kExitFileFailed;
}

// The entry of a collection that --name asks for, or its first. Null when the
// command cannot go on, with the exit status in `status`.
const IfsEntry* chosenEntry(const CliOptions& options, const IfsCollection& collection, CliEnvironment& environment,
                            int& status)
{
    if (!collection.ok()) {
        environment.err << collection.errorMessage(options.input) << '\n';
        status = kExitFileFailed;
        return nullptr;
    }
    const IfsEntry* entry = options.name ? collection.find(*options.name) : &collection.entries.front();
    if (!entry) {
        tellError(environment, QStringLiteral("\"%1\" has no entry \"%2\"; its entries are: %3")
                                   .arg(options.input, *options.name, collection.names().join(QStringLiteral(", "))));
        status = kExitBadOption;
    } else if (options.exact) {
        tellError(environment, QStringLiteral("--exact draws a data file as the window does; a collection is drawn "
                                              "by the kernel"));
        status = kExitBadOption;
        entry = nullptr;
    }
    return entry;
}

// Weights from --weights and the frame of --fit (the default for a collection) go into the job.
int weighAndFrame(const CliOptions& options, bool collection, RenderJob& job, CliEnvironment& environment)
{
    const std::vector<AffineMap> maps = collection ? job.maps : render::dataSetMaps(job);
    if (!options.weights.empty()) {
        if (options.weights.size() != maps.size()) {
            tellError(environment, QStringLiteral("--weights gives %1 weights for %2 maps").arg(options.weights.size()).arg(maps.size()));
            return kExitBadOption;
        }
        job.weights = pickWeights(maps, options.weights);
    }
    if (options.fit.value_or(collection)) {
        const std::optional<ZoomStep> zoom = maps.empty() ? std::nullopt
            : render::fitFrame(maps, job.weights.empty() ? std::vector<double>(maps.size(), 1.0) : job.weights);
        if (!zoom) {
            tellError(environment, maps.empty() ? QStringLiteral("--fit needs a count of 2 to 6: no other picks a map")
                                                : QStringLiteral("the picture cannot be framed: its points run off to infinity"));
            return kExitFileFailed;
        }
        job.plan.zoom = zoom;
    }
    return kExitDone;
}

// The data record of the job's maps: an entry of up to six as the window would
// hold it, or the data sets as read. Empty, with the reason, when there is none.
MapsRecord recordOf(const RenderJob& job)
{
    if (!job.maps.empty())
        return recordOfMaps(job.maps, job.weights);
    const BuiltRecord built = BuildDataText(job.dataSets);
    const bool dropped = !equalWeights(job.weights);
    return {built.bytes, dropped ? QStringLiteral("the maps' weights are dropped: the window picks every map equally often") : QString(),
            built.refusal};
}

// --save-tfg: the maps as a data file the window loads, before any drawing.
int saveDataFile(const CliOptions& options, const RenderJob& job, CliEnvironment& environment)
{
    if (const std::optional<QString> problem = outputProblem(options.saveTfg)) {
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
    if (const std::optional<QString> failure = environment.files.writeWhole(options.saveTfg, record.bytes)) {
        tellError(environment, QStringLiteral("\"%1\" could not be written: %2").arg(options.saveTfg, *failure));
        return kExitFileFailed;
    }
    environment.out << options.saveTfg << '\n';
    return kExitDone;
}

int renderOne(const QStringList& arguments, CliOptions options, const RunPlan& givenPlan, CliEnvironment& environment)
{
    const bool toStream = options.output == QStringLiteral("-");
    if (const std::optional<QString> problem = toStream || options.output.isEmpty() ? std::nullopt : outputProblem(options.output)) {
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
    int status = kExitDone;
    const IfsEntry* entry = loaded.collection ? chosenEntry(options, *loaded.collection, environment, status) : nullptr;
    if (status != kExitDone)
        return status;
    if (options.list) {
        for (const QString& name : loaded.collection->names())
            environment.out << name << '\n';
        return flushed(environment);
    }
    if (!loaded.warning.isEmpty())
        tellError(environment, QStringLiteral("warning: ") + loaded.warning);
    RunPlan plan = givenPlan;
    if (!loaded.settings.isEmpty()) {
        // A PNG is drawn again as it was made: its settings first, so the command line overrides them.
        const ParsedOptions stored = parseOptions(loaded.settings + arguments);
        const RunPlanResult planned = stored.options ? planRun(settingsTexts(*stored.options)) : RunPlanResult{};
        if (!planned.plan) {
            tellError(environment, QStringLiteral("the settings stored in \"%1\" cannot be used: %2")
                                       .arg(options.input, stored.error));
            return kExitFileFailed;
        }
        options = *stored.options;
        plan = *planned.plan;
    }
    RenderJob job = jobFor(options, plan, environment.cores);
    if (entry) {
        EntryMaps maps = entryMaps(*entry);
        job.maps = std::move(maps.maps);
        job.weights = std::move(maps.weights);
    } else {
        job.dataSets = *loaded.dataSets;
        if (options.count)
            job.dataSets.count = *options.count;
    }
    if (const int framed = weighAndFrame(options, entry != nullptr, job, environment); framed != kExitDone)
        return framed;
    if (!options.saveTfg.isEmpty()) {
        if (const int saved = saveDataFile(options, job, environment); saved != kExitDone)
            return saved;
        if (options.output.isEmpty())
            return flushed(environment);
    }
    job.seed = options.seed ? *options.seed : environment.clockSeed();
    job.fitToSize = options.size && options.fit.value_or(entry != nullptr);
    const std::optional<render::RenderRequest> request = render::requestFor(job);
    if (options.part && !request) {
        tellError(environment, QStringLiteral("these data sets are drawn by the window's one chain (their count picks "
                                              "no map), which cannot be split into parts"));
        return kExitBadOption;
    }
    const PictureFormat format = options.part ? PictureFormat::Png : *pictureFormatFor(options.output);
    if (!request || format == PictureFormat::Bitmap) {
        if (!fitsMemory(job, environment))
            return kExitFileFailed;
    }
    QByteArray record;
    if (format == PictureFormat::Png) {
        const MapsRecord built = recordOf(job);
        if (built.refusal.isEmpty())
            record = built.bytes;
        else
            tellError(environment, QStringLiteral("the picture carries no data record: %1").arg(built.refusal));
    }

    // The PNG remembers the frame and the weights, so its record draws the same picture again.
    options.fit = options.fit.value_or(entry != nullptr);
    if (options.weights.empty() && !equalWeights(job.weights))
        options.weights = job.weights;   // a collection's own; weights given stay as given
    if (request && format == PictureFormat::Png)
        return drawPosterCommand(options, *request, record, settingsText(options, job.seed), job.threads, environment);
    const render::Image picture = renderWithProgress(job, environment);
    const std::optional<QByteArray> bytes =
        encodePicture(picture, format, record, settingsText(options, job.seed), job.threads);
    if (!bytes) {
        tellError(environment, QStringLiteral("\"%1\" was not written: the encoder failed").arg(options.output));
        return kExitFileFailed;
    }
    if (toStream) {
        environment.out.write(bytes->constData(), bytes->size());
        environment.err << "- seed " << job.seed << '\n' << std::flush;
        return flushed(environment);
    }
    if (const std::optional<QString> failure = environment.files.writeWhole(options.output, *bytes)) {
        tellError(environment, QStringLiteral("\"%1\" could not be written: %2").arg(options.output, *failure));
        return kExitFileFailed;
    }
    environment.out << options.output << " seed " << job.seed << '\n';
    return flushed(environment);
}

// The window's Random command, once per picture, each with its own seed:
// the data sets are generated from the seed and the picture is rendered with
// it, so "fenra-render NAME(n).tfg --seed S" with the same options draws the
// same picture again.
class CliBatchSteps final : public BatchSteps {
public:
    CliBatchSteps(const CliOptions& options, RenderJob job, std::uint64_t firstSeed, const QString& base,
                  CliEnvironment& environment)
        : m_job(std::move(job))
        , m_nextSeed(firstSeed)
        , m_base(base)
        , m_environment(environment)
    {
        m_job.dataSets.count = options.count.value_or(QStringLiteral("2"));
    }

    void randomRun() override
    {
        m_job.seed = m_nextSeed++;
        Pcg32Source generator(m_job.seed);
        // The seed stands in for the clock: the generator's own reseed gets a fixed time.
        RandomizeDataSets(m_job.dataSets, generator, 0.0);
        m_picture = renderWithProgress(m_job, m_environment);
    }
    DataSetTexts currentDataSets() override { return m_job.dataSets; }
    QByteArray currentPictureBitmap() override { return encodeBitmap(m_picture.view()); }
    void setProgress(int run) override
    {
        m_environment.out << batchPictureName(m_base, run) << ' ' << batchDataName(m_base, run) << " seed "
                          << m_job.seed << '\n'
                          << std::flush;
    }

private:
    RenderJob m_job;
    std::uint64_t m_nextSeed;
    QString m_base;
    CliEnvironment& m_environment;
    render::Image m_picture;
};

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
    CliBatchSteps steps(options, jobFor(options, plan, environment.cores), firstSeed, base, environment);
    const BatchResult result = runRandomBatch(options.batch, base, steps, environment.files);
    if (!result.failure.isEmpty()) {
        tellError(environment, result.failure);
        return kExitFileFailed;
    }
    return flushed(environment);
}

} // namespace

DecodedArguments decodeArguments(const QList<QByteArray>& raw)
{
    DecodedArguments decoded;
    for (const QByteArray& bytes : raw) {
        decoded.arguments << QFile::decodeName(bytes);
        if (QFile::encodeName(decoded.arguments.last()) != bytes)
            decoded.error = QStringLiteral("\"%1\" is not valid in the system's encoding of names (UTF-8), so no "
                                           "file of exactly that name can be reached; rename it")
                                .arg(decoded.arguments.last());
    }
    return decoded;
}

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

QString settingsText(const CliOptions& options, std::uint64_t seed)
{
    QStringList parts{QStringLiteral("--points %1").arg(options.points),
                      options.fit.value_or(false)
                          ? QStringLiteral("--fit")
                          : QStringLiteral("--zoom %1").arg(options.zoom.isEmpty() ? QStringLiteral("none") : options.zoom),
                      QStringLiteral("--right %1").arg(options.right), QStringLiteral("--down %1").arg(options.down),
                      QStringLiteral("--colour %1").arg(kColourNames[int(options.colour)])};
    if (options.colour == PictureColour::Density && options.tint != DensityTint::Data)
        parts << QStringLiteral("--tint %1").arg(kTintNames[int(options.tint)]);
    // Only what differs from the defaults, which a PNG's settings fall back on.
    if (options.exact)
        parts << QStringLiteral("--exact");
    if (options.gamma != CliOptions{}.gamma)
        parts << QStringLiteral("--gamma %1").arg(QString::number(options.gamma, 'g', QLocale::FloatingPointShortest));
    if (options.brightness != CliOptions{}.brightness)
        parts << QStringLiteral("--brightness %1").arg(QString::number(options.brightness, 'g', QLocale::FloatingPointShortest));
    if (!options.weights.empty()) {
        QStringList weights;
        for (double w : options.weights)
            weights << QString::number(w, 'g', QLocale::FloatingPointShortest);
        parts << QStringLiteral("--weights %1").arg(weights.join(QLatin1Char(',')));
    }
    if (options.oversample != 1)
        parts << QStringLiteral("--oversample %1").arg(options.oversample);
    QStringList hidden;
    for (int k = 1; k <= 6; ++k)
        if (!options.show[std::size_t(k - 1)])
            hidden << QString::number(k);
    if (!hidden.isEmpty())
        parts << QStringLiteral("--hide %1").arg(hidden.join(QLatin1Char(',')));
    // Not the threads: they do not change the picture, so the file is the same for any number.
    if (options.size)
        parts << QStringLiteral("--size %1x%2").arg(options.size->width).arg(options.size->height);
    else
        parts << QStringLiteral("--scale %1").arg(options.scale);
    if (options.depth != 8)
        parts << QStringLiteral("--depth %1").arg(options.depth);
    parts << QStringLiteral("--seed %1").arg(seed);
    return parts.join(QLatin1Char(' '));
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
        return options.batch > 0 ? renderBatch(options, *planned.plan, environment)
                                 : renderOne(arguments, options, *planned.plan, environment);
    } catch (const std::bad_alloc&) {
        tellError(environment, QStringLiteral("not enough memory for a picture of this size; try a smaller --scale "
                                              "or fewer --threads"));
        return kExitFileFailed;
    }
}

} // namespace fenra::cli
