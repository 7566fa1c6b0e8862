#include "render/RenderPlan.h"

#include "engine/Raster.h"

namespace fenra::render {

Frame Frame::window(double zoomScale, double shiftX, double shiftY, double moveX, double moveY, int pixelsPerPixel)
{
    const double perTwip = double(pixelsPerPixel) / kTwipsPerPixel;
    Frame f;
    f.sx = zoomScale * perTwip;
    f.tx = (shiftX + moveX) * perTwip;
    f.sy = -zoomScale * perTwip;
    f.ty = (kDisplayOuterHeightTwips - shiftY + moveY) * perTwip;
    f.width = kDisplayWidth * pixelsPerPixel;
    f.height = kDisplayHeight * pixelsPerPixel;
    return f;
}

} // namespace fenra::render
