#include "studio/PictureRequest.h"

namespace fenra::studio {

std::vector<render::WeightedMap> weightedMaps(const MapList& maps, const std::vector<bool>& shown)
{
    std::vector<render::WeightedMap> out;
    for (std::size_t k = 0; k < maps.size(); ++k)
        out.push_back({maps[k].map, maps[k].weight, render::setColour(int(k) + 1), k >= shown.size() || shown[k]});
    return out;
}

render::RenderRequest liveRequest(const MapList& maps, const std::vector<bool>& shown, const PlaneBox& box,
                                  QSize devicePixels)
{
    render::RenderRequest request;
    request.maps = weightedMaps(maps, shown);
    request.frame = render::Frame::ofBox({box.x0, box.y0, box.x1, box.y1}, devicePixels.width(), devicePixels.height());
    request.colour = {render::Colouring::MapColours, true};
    request.points = kLivePointsCap;
    request.seed = kLiveSeed;
    return request;
}

std::optional<PlaneBox> attractorBox(const MapList& maps, QSize canvas)
{
    const std::optional<render::ViewBox> box =
        render::fitBox(weightedMaps(maps, {}), std::max(1, canvas.width()), std::max(1, canvas.height()));
    if (!box)
        return std::nullopt;
    return PlaneBox{box->x0, box->y0, box->x1, box->y1};
}

}   // namespace fenra::studio
