#include "command/AnimationPlan.h"

#include "animate/FrameFiles.h"
#include "animate/KeySources.h"
#include "command/CommandJob.h"
#include "command/StoredOptions.h"
#include "files/InputData.h"
#include "files/PictureFile.h"
#include "files/ShownText.h"

#include <map>

namespace fenra::command {
namespace {

// Reads the keys into the plan; false, with its fault, at the first that cannot be drawn.
bool readKeys(const CommandOptions& options, const QStringList& given, const RunPlan& runPlan, FileStore& files,
              std::istream* in, int cores, AnimationPlan& plan, CommandOptions& first)
{
    std::map<QString, LoadedData> loaded;   // each file once: standard input cannot be read twice
    for (const animate::KeySource& key :
         animate::keySources(options.animate, options.inputs, options.input, options.name)) {
        auto [file, fresh] = loaded.try_emplace(key.file);
        if (fresh)
            file->second = loadDataSets(key.file, files, in);
        if (!file->second.dataSets && !file->second.collection) {
            plan.fault = InputFault{file->second.error};
            return false;
        }
        if (key.name && !file->second.collection) {
            plan.fault =
                InputFault{QStringLiteral("the key \"%1\" names an entry, and \"%2\" is not a collection (.ifs)")
                               .arg(shownText(key.shown), shownText(key.file)),
                           true};
            return false;
        }
        CommandOptions keyOptions = options;
        keyOptions.input = key.file;
        keyOptions.name = key.name;
        PreparedJob prepared = prepareJob(file->second, given, runPlan, keyOptions, cores);
        plan.warnings += prepared.warnings;
        if ((plan.fault = prepared.fault))
            return false;
        const std::optional<render::RenderRequest> drawn = render::requestFor(prepared.job);
        if (!drawn) {
            plan.fault = InputFault{
                QStringLiteral("the key \"%1\" picks no map: only counts 2 to 6 do").arg(shownText(key.shown))};
            return false;
        }
        if (plan.request.keys.empty()) {
            first = keyOptions;
            plan.request.still = *drawn;
            plan.request.still.maps.clear();
            plan.request.still.seed =
                keyOptions.seed.value_or(0);   // not the clock: a run must find its own frames again
        }
        plan.request.keys.push_back(drawn->maps);
        plan.request.keyNames << shownText(key.shown);
    }
    return true;
}

}   // namespace

AnimationPlan planAnimation(const CommandOptions& o, const QStringList& given, const RunPlan& runPlan, FileStore& files,
                            std::istream* in, int cores, std::optional<std::uint64_t> memoryAvailable)
{
    AnimationPlan plan;
    CommandOptions first;
    if (!readKeys(o, given, runPlan, files, in, cores, plan, first))
        return plan;
    animate::AnimationRequest& request = plan.request;
    request.timeline = {o.frames, o.loop || request.keys.size() == 1, o.blur};   // one key spins as a loop
    request.spin = o.spin;
    request.follow = o.follow;
    // A frame given on the command line, by --view or the window's zoom, is every frame's.
    if (o.view || (given.contains(QStringLiteral("zoom")) && !o.fit.value_or(false)))
        request.view = request.still.frame.box();
    if (const std::optional<QString> problem = animate::requestProblem(request)) {
        plan.fault = InputFault{*problem, true};
        return plan;
    }
    plan.settings = storedSettings(first, request.still.seed);
    plan.pattern = animate::readFramePattern(o.output).pattern;
    animate::FramesToDraw toDraw = animate::framesToDraw(files, plan.pattern, request, o.frame.value_or(0),
                                                         o.frame ? *o.frame + 1 : o.frames, o.overwrite);
    plan.frames = std::move(toDraw.frames);
    plan.threads = std::max(1, o.threads.value_or(cores));
    plan.boxes =
        toDraw.refusal.isEmpty() ? animate::frameBoxes(request, plan.threads) : animate::FrameBoxes{{}, toDraw.refusal};
    if (!plan.boxes.error.isEmpty()) {
        plan.fault = InputFault{plan.boxes.error};
        return plan;
    }
    if (!plan.frames.empty()) {
        const std::uint64_t needed =
            std::uint64_t(std::min(plan.threads, int(plan.frames.size())))
            * render::bytesNeeded(animate::frameRequests(request, plan.boxes, plan.frames[0])[0], 1);
        plan.fault = memoryFault(needed, memoryAvailable, QStringLiteral("frames of this size need"),
                                 QStringLiteral("try a smaller --scale or fewer --threads"));
    }
    return plan;
}

animate::FrameWriter frameWriter(const AnimationPlan& plan, FileStore& files)
{
    return [&plan, &files](int frame, const render::Image& picture,
                           const std::vector<render::RenderRequest>&) -> std::optional<QString> {
        const QString name = plan.pattern.nameOf(frame);
        const std::optional<QByteArray> bytes =
            encodePng(picture.view(), animate::frameTexts(plan.request, plan.boxes, frame, plan.settings));
        if (!bytes)
            return QStringLiteral("\"%1\" was not written: the encoder failed").arg(name);
        if (const std::optional<QString> failure = files.writeWhole(name, *bytes))
            return QStringLiteral("\"%1\" could not be written: %2").arg(name, *failure);
        return std::nullopt;
    };
}

}   // namespace fenra::command
