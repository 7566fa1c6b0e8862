#include "animate/Keyframes.h"

#include "animate/CatmullRom.h"
#include "animate/MapPose.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

namespace fenra::animate {

namespace {

// The place's map of each key, taken from the nearest key that has one where
// a key has fewer maps (the earlier of two at the same distance).
struct Filled {
    WeightedMap map;   // weight: the key's share, 0 where the key has no such map
    MapPose pose;
};

int sourceKey(const std::vector<KeyMaps>& keys, int key, std::size_t place, bool loop)
{
    const int count = int(keys.size());
    for (int distance = 0; distance < count; ++distance)
        for (int candidate : {key - distance, key + distance}) {
            if (loop)
                candidate = (candidate % count + count) % count;
            if (candidate >= 0 && candidate < count && place < keys[candidate].size())
                return candidate;
        }
    return key;   // unreachable: some key has the place, or it would not exist
}

std::vector<std::vector<Filled>> fillKeys(const std::vector<KeyMaps>& keys, bool loop)
{
    std::size_t places = 0;
    for (const auto& key : keys)
        places = std::max(places, key.size());
    std::vector<std::vector<Filled>> filled(keys.size());
    for (std::size_t k = 0; k < keys.size(); ++k) {
        double total = 0.0;
        for (const auto& m : keys[k])
            total += m.weight;
        for (std::size_t place = 0; place < places; ++place) {
            const int source = sourceKey(keys, int(k), place, loop);
            WeightedMap map = keys[source][place];
            map.weight = source == int(k) ? map.weight / total : 0.0;
            filled[k].push_back({map, poseOf(map.map)});
        }
    }
    return filled;
}

// The turn that is `turn` give or take whole turns, within half a turn of `reference`.
double nearestTurn(double turn, double reference)
{
    constexpr double kTurn = 2.0 * std::numbers::pi;
    return turn - kTurn * std::round((turn - reference) / kTurn);
}

}   // namespace

KeyMaps mapsAt(const std::vector<KeyMaps>& keys, bool loop, Instant at)
{
    const int count = int(keys.size());
    const auto filled = fillKeys(keys, loop);
    const KeySpan span = keySpanAt(at, count, loop);
    KeyMaps maps;
    if (span.onKey()) {
        for (const auto& f : filled[span.from])
            maps.push_back(f.map);
        return maps;
    }
    // The four keys around the span; past an end without a loop, the key a
    // straight line through the last two would reach.
    int index[4];
    bool beyond[4];
    for (int k = 0; k < 4; ++k) {
        const int i = span.from - 1 + k;
        index[k] = loop ? (i % count + count) % count : std::clamp(i, 0, count - 1);
        beyond[k] = !loop && (i < 0 || i >= count);
    }
    const double u = span.fraction;
    auto blend = [&](auto value) {
        double p[4];
        for (int k = 0; k < 4; ++k)
            p[k] = value(k);
        if (beyond[0])
            p[0] = 2.0 * p[1] - p[2];
        if (beyond[3])
            p[3] = 2.0 * p[2] - p[1];
        return catmullRom(p[0], p[1], p[2], p[3], u);
    };
    for (std::size_t place = 0; place < filled[0].size(); ++place) {
        auto at = [&](int k) -> const Filled& { return filled[index[k]][place]; };
        MapPose pose;
        // The short way round between neighbours, counted from the span's start.
        double turns[4];
        turns[1] = at(1).pose.turn;
        turns[0] = nearestTurn(at(0).pose.turn, turns[1]);
        turns[2] = nearestTurn(at(2).pose.turn, turns[1]);
        turns[3] = nearestTurn(at(3).pose.turn, turns[2]);
        pose.turn = blend([&](int k) { return turns[k]; });
        for (int s = 0; s < 3; ++s)
            pose.logStretch[s] = blend([&](int k) { return at(k).pose.logStretch[s]; });
        pose.mirror = std::clamp(blend([&](int k) { return at(k).pose.mirror; }), -1.0, 1.0);
        for (int s = 0; s < 2; ++s)
            pose.shift[s] = blend([&](int k) { return at(k).pose.shift[s]; });
        // Colour and visibility are a place's, from the key nearer in time.
        WeightedMap map = (u < 0.5 ? at(1) : at(2)).map;
        map.map = mapOf(pose);
        map.weight = std::max(0.0, blend([&](int k) { return at(k).map.weight; }));
        maps.push_back(map);
    }
    return maps;
}

}   // namespace fenra::animate
