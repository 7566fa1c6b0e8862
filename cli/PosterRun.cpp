#include "cli/PosterRun.h"

#include "cli/ProgressBar.h"
#include "command/CommandJob.h"
#include "platform/OutputFile.h"
#include "poster/Merge.h"
#include "poster/Poster.h"

#include <QFile>

namespace fenra::cli {
namespace {

// Writes `name` (or standard output for "-") through `write`; says why when the file could not be written.
bool writtenTo(const QString& name, CliEnvironment& environment,
               const std::function<bool(const FileStore::WriteBytes&)>& write)
{
    const std::optional<QString> failure = writeOutput(name, environment.files, environment.out, write);
    if (failure)
        tellError(environment, name == QStringLiteral("-")
                                   ? *failure
                                   : QStringLiteral("\"%1\" could not be written: %2").arg(name, *failure));
    return !failure;
}

}   // namespace

int drawPosterCommand(const CommandOptions& options, const render::RenderRequest& request, const PngTexts& texts,
                      int threads, CliEnvironment& environment)
{
    const QString outputName = options.part ? options.sums : options.output;
    poster::PosterJob job =
        command::posterJobFor(options, request, texts, threads, environment.memoryAvailable(), outputName);
    if (const std::optional<InputFault> fault = command::posterFault(job)) {
        tellError(environment, fault->line);
        environment.err << "Try 'fenra-render --help'.\n";
        return kExitBadOption;
    }
    // Stops are noted, so the render ends itself: its files tidied, its checkpoint kept.
    if (environment.stop) {
        job.stop = &environment.stop->asked;
        environment.stop->waits = true;
    }
    ProgressBar bar(environment.err, environment.errIsTerminal, environment.secondsNow);
    job.secondsNow = environment.secondsNow;
    job.progress = [&bar](std::int64_t done, std::int64_t total) { bar.update(done, total); };
    poster::PosterResult result;
    const bool written = writtenTo(outputName, environment, [&](const FileStore::WriteBytes& sink) {
        result = poster::drawPoster(job, sink);
        return result.status == poster::PosterStatus::Done;
    });
    if (result.status == poster::PosterStatus::Stopped) {
        if (ProgressBar::lineOpen())
            environment.err << '\n';
        const QString kept = QStringLiteral("; the sums so far are in \"%1\", and the same command goes on from them");
        tellError(environment, QStringLiteral("interrupted; its seed was %1%2")
                                   .arg(request.seed)
                                   .arg(options.checkpoint.isEmpty() ? QString() : kept.arg(options.checkpoint)));
        return 128 + environment.stop->signal.load();
    }
    bar.finish();
    if (written && result.status == poster::PosterStatus::Failed)
        tellError(environment, QString::fromStdString(result.error));
    if (!written || result.status == poster::PosterStatus::Failed)
        return kExitFileFailed;
    if (!options.checkpoint.isEmpty())
        QFile::remove(options.checkpoint);   // finished: the next run starts afresh
    (outputName == QStringLiteral("-") ? environment.err : environment.out)
        << outputName << " seed " << request.seed << '\n';
    return flushed(environment);
}

int mergeCommand(const CommandOptions& options, CliEnvironment& environment)
{
    std::vector<std::string> paths;
    for (const QString& path : options.merge)
        paths.push_back(QFile::encodeName(path).toStdString());
    std::string refusal;
    if (!writtenTo(options.output, environment, [&](const FileStore::WriteBytes& sink) {
            refusal = poster::mergeParts(paths, std::max(1, options.threads.value_or(environment.cores)), sink);
            return refusal.empty();
        }))
        return kExitFileFailed;
    if (!refusal.empty()) {
        tellError(environment, QStringLiteral("nothing merged: %1").arg(QString::fromStdString(refusal)));
        return kExitFileFailed;
    }
    if (options.output != QStringLiteral("-"))
        environment.out << options.output << '\n';
    return flushed(environment);
}

}   // namespace fenra::cli
