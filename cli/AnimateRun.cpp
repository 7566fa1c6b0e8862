#include "cli/AnimateRun.h"

#include "animate/FrameFiles.h"
#include "animate/FramePattern.h"
#include "animate/FrameRunner.h"
#include "animate/KeySources.h"
#include "animate/VideoArguments.h"
#include "cli/ProgressBar.h"
#include "files/ShownText.h"
#include "platform/ExternalProgram.h"

#include <map>
#include <mutex>

namespace fenra::cli {
namespace {

// Every key read as its single picture would be; the first key's options (its
// stored settings among them) are the animation's.
int readKeys(const ParsedOptions& parsed, const RunPlan& plan, CliEnvironment& environment,
             animate::AnimationRequest& request, CliOptions& first)
{
    std::map<QString, LoadedData> loaded;   // each file once: standard input cannot be read twice
    const CliOptions& given = *parsed.options;
    for (const animate::KeySource& key : animate::keySources(given.animate, given.inputs, given.input, given.name)) {
        auto [file, fresh] = loaded.try_emplace(key.file);
        if (fresh)
            file->second = loadDataSets(key.file, environment.files, &environment.in);
        if (!file->second.dataSets && !file->second.collection) {
            tellError(environment, file->second.error);
            return kExitFileFailed;
        }
        if (key.name && !file->second.collection) {
            tellError(environment,
                      QStringLiteral("the key \"%1\" names an entry, and \"%2\" is not a collection (.ifs)")
                          .arg(shownText(key.shown), shownText(key.file)));
            return kExitBadOption;
        }
        CliOptions options = *parsed.options;
        options.input = key.file;
        options.name = key.name;
        render::RenderJob job;
        const IfsEntry* entry = nullptr;
        if (const int status = prepareJob(file->second, parsed.given, plan, options, environment, job, entry))
            return status;
        const std::optional<render::RenderRequest> drawn = render::requestFor(job);
        if (!drawn) {
            tellError(environment,
                      QStringLiteral("the key \"%1\" picks no map: only counts 2 to 6 do").arg(shownText(key.shown)));
            return kExitFileFailed;
        }
        if (request.keys.empty()) {
            first = options;
            request.still = *drawn;
            request.still.maps.clear();
            request.still.seed = options.seed.value_or(0);   // not the clock: a run must find its own frames again
        }
        request.keys.push_back(drawn->maps);
        request.keyNames << shownText(key.shown);
    }
    return kExitDone;
}

int makeVideo(const CliOptions& o, const animate::FramePattern& pattern, CliEnvironment& environment)
{
    const ProgramRun run = runProgram(QStringLiteral("ffmpeg"), animate::videoArguments(pattern, o.frames, o.video));
    if (!run.found) {
        tellError(environment, QStringLiteral("warning: ffmpeg is not installed (Debian package ffmpeg), so \"%1\" is "
                                              "not made; the frames are written")
                                   .arg(o.video));
        return kExitDone;
    }
    if (!run.succeeded) {
        tellError(environment, QStringLiteral("ffmpeg could not make \"%1\": %2").arg(o.video, run.lastLine));
        return kExitFileFailed;
    }
    environment.out << o.video << '\n';
    return kExitDone;
}

}   // namespace

int renderAnimation(const ParsedOptions& parsed, const RunPlan& plan, CliEnvironment& environment)
{
    const CliOptions& o = *parsed.options;
    animate::AnimationRequest request;
    CliOptions first;
    if (const int read = readKeys(parsed, plan, environment, request, first))
        return read;
    request.timeline = {o.frames, o.loop || request.keys.size() == 1, o.blur};   // one key spins as a loop
    request.spin = o.spin;
    request.follow = o.follow;
    // A frame given on the command line, by --view or the window's zoom, is every frame's.
    if (o.view || (parsed.given.contains(QStringLiteral("zoom")) && !o.fit.value_or(false)))
        request.view = request.still.frame.box();
    if (const std::optional<QString> problem = animate::requestProblem(request)) {
        tellError(environment, *problem);
        return kExitBadOption;
    }
    const animate::FramePattern pattern = animate::readFramePattern(o.output).pattern;
    const animate::FramesToDraw toDraw = animate::framesToDraw(environment.files, pattern, request, o.frame.value_or(0),
                                                               o.frame ? *o.frame + 1 : o.frames, o.overwrite);
    if (!toDraw.refusal.isEmpty()) {
        tellError(environment, toDraw.refusal);
        return kExitFileFailed;
    }
    const std::vector<int>& frames = toDraw.frames;
    const int threads = std::max(1, o.threads.value_or(environment.cores));
    const animate::FrameBoxes boxes = animate::frameBoxes(request, threads);
    if (!boxes.error.isEmpty()) {
        tellError(environment, boxes.error);
        return kExitFileFailed;
    }
    if (!frames.empty()) {
        const std::optional<std::uint64_t> available = environment.memoryAvailable();
        const int workers = std::min(threads, int(frames.size()));
        const std::uint64_t needed =
            std::uint64_t(workers) * render::bytesNeeded(animate::frameRequests(request, boxes, frames[0])[0], 1);
        if (available && needed > *available) {
            tellError(environment, QStringLiteral("frames of this size need about %1 MB of memory, and only %2 MB are "
                                                  "available; try a smaller --scale or fewer --threads")
                                       .arg(needed >> 20)
                                       .arg(*available >> 20));
            return kExitFileFailed;
        }
    }

    const PictureSettings settings = storedSettings(first, request.still.seed);
    ProgressBar bar(environment.err, environment.errIsTerminal, environment.secondsNow);
    animate::FrameRun run;
    run.frames = frames;
    run.threads = threads;
    run.cancel = environment.stop ? &environment.stop->asked : nullptr;
    run.write = [&](int frame, const render::Image& picture,
                    const std::vector<render::RenderRequest>&) -> std::optional<QString> {
        const QString name = pattern.nameOf(frame);
        const std::optional<QByteArray> bytes =
            encodePng(picture.view(), animate::frameTexts(request, boxes, frame, settings));
        if (!bytes)
            return QStringLiteral("\"%1\" was not written: the encoder failed").arg(name);
        if (const std::optional<QString> failure = environment.files.writeWhole(name, *bytes))
            return QStringLiteral("\"%1\" could not be written: %2").arg(name, *failure);
        return std::nullopt;
    };
    int done = 0;
    run.onWritten = [&](int frame) {
        bar.update(++done, std::int64_t(frames.size()));
        environment.out << pattern.nameOf(frame) << " seed " << request.still.seed << '\n';
    };
    if (environment.seedChosen)
        environment.seedChosen(request.still.seed);
    if (environment.stop)
        environment.stop->waits = true;   // a signal now lets the frames under way finish whole
    const animate::FramesDrawn drawn = animate::drawFrames(request, boxes, run);
    if (environment.stop)
        environment.stop->waits = false;
    bar.finish();
    if (!drawn.failure.isEmpty()) {
        tellError(environment, drawn.failure);
        return kExitFileFailed;
    }
    if (drawn.cancelled) {
        tellError(environment, QStringLiteral("interrupted; %1 frames are written whole, and the same command goes on "
                                              "from there")
                                   .arg(drawn.written));
        return 128 + environment.stop->signal;
    }
    if (!o.video.isEmpty())
        if (const int made = makeVideo(o, pattern, environment))
            return made;
    return flushed(environment);
}

}   // namespace fenra::cli
