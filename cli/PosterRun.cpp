#include "cli/PosterRun.h"

#include "cli/ProgressBar.h"
#include "files/InputData.h"
#include "platform/OutputFile.h"
#include "poster/Merge.h"
#include "poster/Poster.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

namespace fenra::cli {

int drawPosterCommand(const CliOptions& options, const render::RenderRequest& request, const PngTexts& texts,
                      int threads, CliEnvironment& environment)
{
    poster::PosterJob job;
    job.request = request;
    job.finishing = {render::ToneSettings::of(request, options.depth), {}};
    job.finishing.pngTexts = streamTexts(texts);
    job.threads = threads;
    job.memory = options.memory.value_or(poster::defaultMemory(environment.memoryAvailable()));
    job.share = options.part.value_or(poster::Share{});
    job.checkpoint = QFile::encodeName(options.checkpoint).toStdString();
    job.secondsNow = environment.secondsNow;
    if (poster::rowsPerBand(request, job.memory, threads) < 1) {
        tellError(environment, QStringLiteral("--memory holds less than one row of the sums (%1 bytes at this size)")
                                   .arg(render::HitSums::bytesFor(request.sumsFrame().width, 1)));
        environment.err << "Try 'fenra-render --help'.\n";
        return kExitBadOption;
    }
    const QString outputName = options.part ? options.sums : options.output;
    const QString scratchBeside =
        outputName == QStringLiteral("-") ? QDir::tempPath() + QStringLiteral("/fenra") : outputName;
    job.scratch = QFile::encodeName(scratchBeside).toStdString() + ".bands-" + std::to_string(getpid());
    // Stops are noted, so the render ends itself: its files tidied, its checkpoint kept.
    if (environment.stop) {
        job.stop = &environment.stop->asked;
        environment.stop->waits = true;
    }
    ProgressBar bar(environment.err, environment.errIsTerminal, environment.secondsNow);
    job.progress = [&bar](std::int64_t done, std::int64_t total) { bar.update(done, total); };
    poster::PosterResult result;
    const std::optional<QString> failure =
        writeOutput(outputName, environment.files, environment.out, [&](const FileStore::WriteBytes& sink) {
            result = poster::drawPoster(job, sink);
            return result.status == poster::PosterStatus::Done;
        });
    if (result.status == poster::PosterStatus::Stopped) {
        if (ProgressBar::lineOpen())
            environment.err << '\n';
        tellError(environment, options.checkpoint.isEmpty()
                                   ? QStringLiteral("interrupted; its seed was %1").arg(request.seed)
                                   : QStringLiteral("interrupted; its seed was %1; the sums so far are in \"%2\", and "
                                                    "the same command goes on from them")
                                         .arg(request.seed)
                                         .arg(options.checkpoint));
        return 128 + environment.stop->signal.load();
    }
    bar.finish();
    if (failure) {
        tellError(environment, outputName == QStringLiteral("-")
                                   ? *failure
                                   : QStringLiteral("\"%1\" could not be written: %2").arg(outputName, *failure));
        return kExitFileFailed;
    }
    if (result.status == poster::PosterStatus::Failed) {
        tellError(environment, QString::fromStdString(result.error));
        return kExitFileFailed;
    }
    if (!options.checkpoint.isEmpty())
        QFile::remove(options.checkpoint);   // finished: the next run starts afresh
    (outputName == QStringLiteral("-") ? environment.err : environment.out)
        << QFile::encodeName(outputName).constData() << " seed " << request.seed << '\n';
    return flushed(environment);
}

int mergeCommand(const CliOptions& options, CliEnvironment& environment)
{
    std::vector<std::string> paths;
    for (const QString& path : options.merge)
        paths.push_back(QFile::encodeName(path).toStdString());
    std::string refusal;
    const std::optional<QString> failure =
        writeOutput(options.output, environment.files, environment.out, [&](const FileStore::WriteBytes& sink) {
            refusal = poster::mergeParts(paths, std::max(1, options.threads.value_or(environment.cores)), sink);
            return refusal.empty();
        });
    if (failure) {
        tellError(environment, options.output == QStringLiteral("-")
                                   ? *failure
                                   : QStringLiteral("\"%1\" could not be written: %2").arg(options.output, *failure));
        return kExitFileFailed;
    }
    if (!refusal.empty()) {
        tellError(environment, QStringLiteral("nothing merged: %1").arg(QString::fromStdString(refusal)));
        return kExitFileFailed;
    }
    if (options.output != QStringLiteral("-"))
        environment.out << QFile::encodeName(options.output).constData() << '\n';
    return flushed(environment);
}

}   // namespace fenra::cli
