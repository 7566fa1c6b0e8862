#include "render/RenderRequest.h"

#include "engine/Raster.h"

namespace fenra::render {

Frame Frame::ofBox(const ViewBox& box, int width, int height)
{
    Frame f;
    f.width = width;
    f.height = height;
    f.sx = double(width) / (box.x1 - box.x0);
    f.tx = -box.x0 * f.sx;
    f.sy = -double(height) / (box.y1 - box.y0);   // rows count down from the top
    f.ty = -box.y1 * f.sy;
    return f;
}

ViewBox Frame::box() const
{
    return ViewBox{-tx / sx, (double(height) - ty) / sy, (double(width) - tx) / sx, -ty / sy};
}

Frame Frame::window(double zoomScale, double shiftX, double shiftY, double moveX, double moveY, int scale)
{
    const double perTwip = double(scale) / kTwipsPerPixel;
    Frame f;
    f.sx = zoomScale * perTwip;
    f.tx = (shiftX + moveX) * perTwip;
    f.sy = -zoomScale * perTwip;
    f.ty = (kDisplayOuterHeightTwips - shiftY + moveY) * perTwip;
    f.width = kDisplayWidth * scale;
    f.height = kDisplayHeight * scale;
    return f;
}

Frame Frame::finer(int factor) const
{
    const double n = factor;
    return Frame{width * factor, height * factor, sx * n, tx * n, sy * n, ty * n};
}

}   // namespace fenra::render
