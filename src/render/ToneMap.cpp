#include "render/ToneMap.h"

#include "render/ToneMapRows.h"

namespace fenra::render {

Image toneMap(const HitSums& sums, const RenderRequest& request, int threads)
{
    const int n = std::max(1, request.oversample);
    Image image{sums.width() / n, sums.height() / n, {}};
    image.pixels.reserve(std::size_t(image.width) * std::size_t(image.height));
    ToneMapRows rows(
        sums.width(), sums.height(), ToneSettings::of(request), sums.mostHits(threads), threads,
        [&](const PictureRows& done) { image.pixels.insert(image.pixels.end(), done.argb.begin(), done.argb.end()); });
    if (n == 1) {   // each pixel from its own sums, straight into the picture
        image.pixels.resize(std::size_t(image.width) * std::size_t(image.height));
        forEachRow(image.height, threads, [&](int y) {
            const std::size_t first = std::size_t(y) * std::size_t(image.width);
            for (std::size_t i = first; i < first + std::size_t(image.width); ++i)
                image.pixels[i] = rows.pixelOf(sums.at(i));
        });
        return image;
    }
    // A few rows at a time (enough to share among the threads): only those a picture row is filtered from are held.
    const int rowsAtOnce = 16 * std::max(1, threads);
    for (int row = 0; row < sums.height(); row += rowsAtOnce)
        rows.addRows(rowsAtOnce, [&](int fineRow, std::span<Sums> out) {
            for (std::size_t x = 0; x < out.size(); ++x)
                out[x] = sums.at(std::size_t(fineRow) * out.size() + x);
        });
    return image;
}

}   // namespace fenra::render
