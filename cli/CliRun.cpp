#include "cli/CliRun.h"

#include "cli/PictureFiles.h"
#include "cli/ProgressBar.h"
#include "files/BatchNames.h"
#include "files/Bitmap.h"
#include "files/DataRecord.h"
#include "files/RandomBatch.h"
#include "generate/RandomizeDataSets.h"
#include "platform/QtFileStore.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <new>

namespace fenra::cli {
namespace {

constexpr char kVersion[] = "fenra-render 1.0";

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
    // Density counts where points fall; only the window's three modes colour a run.
    texts.colour = options.colour == PictureColour::White ? ColourMode::White
                   : options.colour == PictureColour::Data ? ColourMode::Data
                                                           : ColourMode::Random;
    texts.show = options.show;
    return texts;
}

// Renders with a bar on the terminal; nothing is caught here.
Picture renderWithProgress(const RenderJob& job, CliEnvironment& environment)
{
    ProgressBar bar(environment.err, environment.errIsTerminal, environment.secondsNow);
    Picture picture = renderPicture(job, [&bar](std::int64_t done, std::int64_t total) { bar.update(done, total); });
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

int renderOne(const QStringList& arguments, CliOptions options, const RunPlan& givenPlan, CliEnvironment& environment)
{
    const bool toStream = options.output == QStringLiteral("-");
    if (const std::optional<QString> problem = toStream ? std::nullopt : outputProblem(options.output)) {
        tellError(environment, QStringLiteral("\"%1\" cannot be written: %2").arg(options.output, *problem));
        return kExitFileFailed;
    }
    const LoadedData loaded = loadDataSets(options.input, environment.files, &environment.in);
    if (!loaded.dataSets) {
        tellError(environment, loaded.error);
        return kExitFileFailed;
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
    job.dataSets = *loaded.dataSets;
    if (options.count)
        job.dataSets.count = *options.count;
    job.seed = options.seed ? *options.seed : environment.clockSeed();
    if (!fitsMemory(job, environment))
        return kExitFileFailed;

    const PictureFormat format = *pictureFormatFor(options.output);
    QByteArray record;
    if (format == PictureFormat::Png) {
        const BuiltRecord built = BuildDataText(job.dataSets);
        if (built.refusal.isEmpty())
            record = built.bytes;
        else
            tellError(environment, QStringLiteral("the picture carries no data record: %1").arg(built.refusal));
    }

    const Picture picture = renderWithProgress(job, environment);
    const std::optional<QByteArray> bytes =
        encodePicture(picture, format, record, settingsText(options, job.seed));
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
    Picture m_picture;
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
    job.density = options.colour == PictureColour::Density;
    job.tint = options.tint;
    job.threads = std::max(1, options.threads.value_or(cores));
    job.exact = options.exact;
    job.gamma = options.gamma;
    job.brightness = options.brightness;
    job.oversample = options.oversample;
    return job;
}

QString settingsText(const CliOptions& options, std::uint64_t seed)
{
    QStringList parts{QStringLiteral("--points %1").arg(options.points),
                      QStringLiteral("--zoom %1").arg(options.zoom.isEmpty() ? QStringLiteral("none") : options.zoom),
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
    if (options.oversample != 1)
        parts << QStringLiteral("--oversample %1").arg(options.oversample);
    QStringList hidden;
    for (int k = 1; k <= 6; ++k)
        if (!options.show[std::size_t(k - 1)])
            hidden << QString::number(k);
    if (!hidden.isEmpty())
        parts << QStringLiteral("--hide %1").arg(hidden.join(QLatin1Char(',')));
    // Not the threads: they do not change the picture, so the file is the same for any number.
    parts << QStringLiteral("--scale %1").arg(options.scale) << QStringLiteral("--seed %1").arg(seed);
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
