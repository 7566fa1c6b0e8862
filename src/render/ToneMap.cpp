#include "render/ToneMap.h"

#include "render/ToneMapRows.h"

namespace fenra::render {

Image toneMap(const HitSums& sums, const RenderRequest& request)
{
    const int n = std::max(1, request.oversample);
    Image image{sums.width() / n, sums.height() / n, {}};
    image.pixels.reserve(std::size_t(image.width) * std::size_t(image.height));
    ToneMapRows rows(
        sums.width(), sums.height(), ToneSettings::of(request), sums.mostHits(), 1,
        [&](const PictureRows& done) { image.pixels.insert(image.pixels.end(), done.argb.begin(), done.argb.end()); });
    // A few rows at a time: only those a picture row is filtered from are held.
    for (int row = 0; row < sums.height(); row += 16)
        rows.addRows(16, [&](int fineRow, std::span<Sums> out) {
            for (std::size_t x = 0; x < out.size(); ++x)
                out[x] = sums.at(std::size_t(fineRow) * out.size() + x);
        });
    return image;
}

}   // namespace fenra::render
