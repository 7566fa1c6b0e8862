#include "render/AliasTable.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace fenra::render {

AliasTable::AliasTable(const std::vector<double>& weights)
{
    const std::size_t n = weights.size();
    double sum = 0.0;
    for (double w : weights) {
        if (!(w >= 0.0) || !std::isfinite(w))
            throw std::invalid_argument("a weight is negative or not a number");
        sum += w;
    }
    if (n == 0 || !(sum > 0.0) || !std::isfinite(sum))
        throw std::invalid_argument("the weights add up to nothing");

    // Each map's share in units of 1 / (n · kScale), rounded; the rounding's
    // rest goes to the largest shares so the units add up exactly.
    const std::int64_t total = std::int64_t(n) * kScale;
    std::vector<std::int64_t> units(n);
    std::int64_t given = 0;
    for (std::size_t k = 0; k < n; ++k) {
        units[k] = std::llround(weights[k] / sum * double(total));
        given += units[k];
    }
    for (std::int64_t rest = total - given; rest != 0;) {
        const std::size_t k = std::size_t(std::max_element(units.begin(), units.end()) - units.begin());
        const std::int64_t step = rest > 0 ? 1 : -1;
        units[k] += step;
        rest -= step;
    }

    threshold.assign(n, std::int32_t(kScale));
    alias.resize(n);
    std::vector<std::size_t> small, large;
    for (std::size_t k = 0; k < n; ++k) {
        alias[k] = std::int32_t(k);
        (units[k] < kScale ? small : large).push_back(k);
    }
    while (!small.empty() && !large.empty()) {
        const std::size_t s = small.back();
        small.pop_back();
        const std::size_t l = large.back();
        threshold[s] = std::int32_t(units[s]);
        alias[s] = std::int32_t(l);
        units[l] -= kScale - units[s];
        if (units[l] < kScale) {
            large.pop_back();
            small.push_back(l);
        }
    }
    // Whatever is left holds exactly one bucket's worth (whole-number arithmetic).
}

bool AliasTable::uniform() const
{
    return std::all_of(threshold.begin(), threshold.end(), [](std::int32_t t) { return t == kScale; });
}

}   // namespace fenra::render
