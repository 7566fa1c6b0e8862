#include "engine/Contraction.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace fenra {

double largestStretch(const AffineMap& map)
{
    // The singular values of [[a b] [c d]] are the square roots of the
    // eigenvalues of its Gram matrix; the larger one, in a form that stays
    // accurate when the two are close.
    const double a = map.c[0], b = map.c[1], c = map.c[3], d = map.c[4];
    const double sum = a * a + b * b + c * c + d * d;
    const double det = a * d - b * c;
    const double gap = std::sqrt(std::max(0.0, sum * sum - 4.0 * det * det));
    return std::sqrt((sum + gap) / 2.0);
}

bool contractsOnAverage(const std::vector<AffineMap>& maps, const std::vector<double>& weights)
{
    if (maps.empty())
        return false;
    const bool equal = weights.size() != maps.size();
    const double total = equal ? double(maps.size()) : std::accumulate(weights.begin(), weights.end(), 0.0);
    if (!(total > 0.0) || !std::isfinite(total))
        return false;
    double mean = 0.0;
    for (std::size_t k = 0; k < maps.size(); ++k) {
        const double p = (equal ? 1.0 : weights[k]) / total;
        if (p <= 0.0)
            continue;   // a map never picked cannot push the point away
        const double stretch = largestStretch(maps[k]);
        if (!std::isfinite(stretch))
            return false;
        mean += p * std::log(stretch);   // a map onto a point gives -inf: it contracts
    }
    return mean < 0.0;
}

}   // namespace fenra
