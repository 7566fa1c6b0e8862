#include "files/Bitmap.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

namespace fenra {

QByteArray encodeBitmap(const RasterView& image)
{
    // 96 dots per inch, as the screen the picture was drawn on: 96 / 0.0254 m, rounded.
    constexpr int kPixelsPerMetre = 3780;
    // The pixels are 0xFFRRGGBB, which is what RGB32 holds; the image only borrows them.
    QImage borrowed(reinterpret_cast<const uchar*>(image.pixels), image.width, image.height, image.stride * 4,
                    QImage::Format_RGB32);
    borrowed.setDotsPerMeterX(kPixelsPerMetre);
    borrowed.setDotsPerMeterY(kPixelsPerMetre);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!QImageWriter(&buffer, "bmp").write(borrowed))
        return {};
    return bytes;
}

}   // namespace fenra
