#include "animate/Animation.h"

#include "animate/OnThreads.h"
#include "animate/Spin.h"
#include "animate/ViewBoxes.h"
#include "engine/Contraction.h"
#include "engine/WeightedMaps.h"

#include <QLocale>
#include <QTextStream>

#include <cstdlib>

namespace fenra::animate {

namespace {

QString number(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);   // reads back to the same double
}

// The seed of blur instant `instant`: the frame's own for the first, so the frame
// drawn alone from its PNG is the same picture; others far apart in the streams.
std::uint64_t instantSeed(std::uint64_t seed, int instant)
{
    return seed ^ (std::uint64_t(instant) * 0x9E3779B97F4A7C15ull);
}

// Whether the maps' points stay: a short run from a fixed point may stay there
// and be framed even when the maps send every other point off.
bool contracts(const KeyMaps& maps)
{
    std::vector<AffineMap> affine;
    std::vector<double> weights;
    for (const auto& m : maps) {
        affine.push_back(m.map);
        weights.push_back(m.weight);
    }
    return contractsOnAverage(affine, weights);
}

}   // namespace

std::optional<QString> requestProblem(const AnimationRequest& request)
{
    const Timeline& t = request.timeline;
    if (request.keys.size() < 2 && request.spin == 0)
        return QStringLiteral("an animation needs two keys or more, or --spin");
    if (t.frames < 2 || t.frames > kMaxFrames)
        return QStringLiteral("--frames must be from 2 to %1, not %2").arg(kMaxFrames).arg(t.frames);
    if (t.blur < 1 || t.blur > kMaxBlur)
        return QStringLiteral("--blur must be from 1 to %1, not %2").arg(kMaxBlur).arg(t.blur);
    if (std::abs(request.spin) > kMaxSpin)
        return QStringLiteral("--spin must be from -%1 to %1, not %2").arg(kMaxSpin).arg(request.spin);
    for (std::size_t k = 0; k < request.keys.size(); ++k) {
        double total = 0.0;
        for (const auto& m : request.keys[k])
            total += m.weight;
        if (request.keys[k].empty() || request.keys[k].size() > std::size_t(render::kMaxMaps) || !(total > 0.0))
            return QStringLiteral("the key \"%1\" has no map to pick").arg(request.keyNames.value(int(k)));
    }
    return std::nullopt;
}

KeyMaps animatedMaps(const AnimationRequest& request, Instant at)
{
    return spun(mapsAt(request.keys, request.timeline.loop, at), request.spin, at);
}

FrameBoxes frameBoxes(const AnimationRequest& request, int threads)
{
    FrameBoxes result;
    const int frames = request.timeline.frames;
    if (request.view) {
        result.boxes.assign(frames, *request.view);
        return result;
    }
    for (std::size_t k = 0; k < request.keys.size(); ++k)
        if (!contracts(request.keys[k])) {
            result.error = QStringLiteral("the key \"%1\" cannot be framed: its points run off")
                               .arg(request.keyNames.value(int(k)));
            return result;
        }
    const int width = request.still.frame.width, height = request.still.frame.height;
    std::vector<std::optional<render::ViewBox>> fits(static_cast<std::size_t>(frames));
    onThreads(frames, threads, [&](int f) {
        const KeyMaps maps = animatedMaps(request, request.timeline.instantsOf(f)[0]);
        if (contracts(maps))
            fits[std::size_t(f)] = render::fitBox(maps, width, height);
    });
    std::vector<render::ViewBox> boxes;
    for (int f = 0; f < frames; ++f) {
        if (!fits[std::size_t(f)]) {
            result.error = QStringLiteral("frame %1 cannot be framed: its points run off").arg(f);
            return result;
        }
        boxes.push_back(*fits[std::size_t(f)]);
    }
    if (request.follow)
        result.boxes = followedBoxes(boxes, request.timeline.loop, kFollowRadius, width, height);
    else
        result.boxes.assign(frames, unionBox(boxes, width, height));
    return result;
}

std::vector<render::RenderRequest> frameRequests(const AnimationRequest& request, const FrameBoxes& boxes, int frame)
{
    const auto instants = request.timeline.instantsOf(frame);
    const std::int64_t count = std::int64_t(instants.size());
    std::vector<render::RenderRequest> requests;
    for (std::int64_t j = 0; j < count; ++j) {
        render::RenderRequest r = request.still;
        r.maps = animatedMaps(request, instants[j]);
        // The weights as a picture's maps chunk gives them back, so the frame drawn
        // again from its PNG picks its maps exactly as here.
        std::vector<AffineMap> maps;
        std::vector<double> raw;
        for (const auto& m : r.maps) {
            maps.push_back(m.map);
            raw.push_back(m.weight);
        }
        const std::vector<double> picked = pickWeights(maps, raw);
        for (std::size_t k = 0; k < r.maps.size(); ++k)
            r.maps[k].weight = picked[k];
        r.frame = render::Frame::ofBox(boxes.boxes.at(frame), r.frame.width, r.frame.height);
        r.points = request.still.points / count + (j < request.still.points % count ? 1 : 0);
        r.seed = instantSeed(request.still.seed, int(j));
        requests.push_back(std::move(r));
    }
    return requests;
}

QString requestText(const AnimationRequest& request)
{
    QString text;
    QTextStream out(&text);
    const Timeline& t = request.timeline;
    const render::RenderRequest& s = request.still;
    out << "fenra animation 1\n"
        << "frames " << t.frames << " loop " << int(t.loop) << " blur " << t.blur << " spin " << request.spin
        << " follow " << int(request.follow) << '\n';
    if (request.view)
        out << "view " << number(request.view->x0) << ' ' << number(request.view->y0) << ' ' << number(request.view->x1)
            << ' ' << number(request.view->y1) << '\n';
    out << "picture " << s.frame.width << ' ' << s.frame.height << " oversample " << s.oversample << " points "
        << s.points << " seed " << s.seed << '\n'
        << "colour " << int(s.colour.colouring) << " density " << int(s.colour.density) << " gamma "
        << number(s.tone.gamma) << " brightness " << number(s.tone.brightness) << '\n';
    for (const auto& key : request.keys) {
        out << "key\n";
        for (const auto& m : key) {
            for (double c : m.map.c)
                out << number(c) << ' ';
            out << number(m.weight) << ' ' << Qt::hex << m.colour << Qt::dec << ' ' << int(m.shown) << '\n';
        }
    }
    out.flush();
    return text;
}

}   // namespace fenra::animate
