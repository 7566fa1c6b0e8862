#pragma once

#include "engine/Raster.h"

#include <QByteArray>

namespace fenra {

// The image as a Windows bitmap file, by Qt's writer: 24 bits per pixel, rows
// from the bottom up, 96 dots per inch; the alpha byte is dropped. Empty when
// the image is empty or the writer fails.
QByteArray encodeBitmap(const RasterView& image);

}   // namespace fenra
