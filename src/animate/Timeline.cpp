#include "animate/Timeline.h"

#include <algorithm>

namespace fenra::animate {

std::vector<Instant> Timeline::instantsOf(int frame) const
{
    const std::int64_t steps = loop ? frames : frames - 1;
    const std::int64_t den = steps * blur;
    std::vector<Instant> instants;
    for (int j = 0; j < blur; ++j)
        instants.push_back({std::min<std::int64_t>(std::int64_t(frame) * blur + j, den), den});
    return instants;
}

KeySpan keySpanAt(Instant at, int keys, bool loop)
{
    const std::int64_t spans = loop ? keys : keys - 1;
    if (spans <= 0)
        return {0, 0.0};
    const std::int64_t scaled = at.num * spans;
    std::int64_t from = scaled / at.den, rest = scaled % at.den;
    if (from == spans)   // the very end: the last key, or the first again after a loop
        return {loop ? 0 : int(spans), 0.0};
    return {int(from), double(rest) / double(at.den)};
}

}   // namespace fenra::animate
