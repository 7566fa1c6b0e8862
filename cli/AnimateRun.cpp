#include "cli/AnimateRun.h"

#include "animate/FramePattern.h"
#include "animate/VideoArguments.h"
#include "cli/ProgressBar.h"
#include "command/AnimationPlan.h"
#include "platform/ExternalProgram.h"

namespace fenra::cli {
namespace {

int makeVideo(const CommandOptions& o, const animate::FramePattern& pattern, CliEnvironment& environment)
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
    const CommandOptions& o = *parsed.options;
    const command::AnimationPlan planned = command::planAnimation(
        o, parsed.given, plan, environment.files, &environment.in, environment.cores, environment.memoryAvailable());
    if (const int status = told(environment, planned.warnings, planned.fault))
        return status;
    const animate::AnimationRequest& request = planned.request;
    ProgressBar bar(environment.err, environment.errIsTerminal, environment.secondsNow);
    animate::FrameRun run;
    run.frames = planned.frames;
    run.threads = planned.threads;
    run.cancel = environment.stop ? &environment.stop->asked : nullptr;
    run.write = command::frameWriter(planned, environment.files);
    int done = 0;
    run.onWritten = [&](int frame) {
        bar.update(++done, std::int64_t(planned.frames.size()));
        environment.out << planned.pattern.nameOf(frame) << " seed " << request.still.seed << '\n';
    };
    if (environment.seedChosen)
        environment.seedChosen(request.still.seed);
    if (environment.stop)
        environment.stop->waits = true;   // a signal now lets the frames under way finish whole
    const animate::FramesDrawn drawn = animate::drawFrames(request, planned.boxes, run);
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
        if (const int made = makeVideo(o, planned.pattern, environment))
            return made;
    return flushed(environment);
}

}   // namespace fenra::cli
