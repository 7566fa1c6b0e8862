#pragma once

#include "engine/Raster.h"

#include <QByteArray>

namespace fenra {

// The image as a Windows bitmap file: BITMAPFILEHEADER and BITMAPINFOHEADER,
// 24 bits per pixel (blue, green, red), rows from the bottom up, each row
// padded with zeros to a multiple of 4 bytes. The alpha byte is dropped.
// Precondition: width and height are not negative.
QByteArray encodeBitmap(const RasterView& image);

} // namespace fenra
