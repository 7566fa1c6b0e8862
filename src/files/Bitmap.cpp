#include "files/Bitmap.h"

#include <cstdint>

namespace fenra {
namespace {

constexpr int kFileHeaderSize = 14;   // bytes, BITMAPFILEHEADER
constexpr int kInfoHeaderSize = 40;   // bytes, BITMAPINFOHEADER
constexpr int kBytesPerPixel = 3;
// 96 dots per inch, as the screen the picture was drawn on: 96 / 0.0254 m, rounded.
constexpr std::int32_t kPixelsPerMetre = 3780;

// The format is little-endian whatever the machine.
void appendLittleEndian(QByteArray& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xFFu));
}

} // namespace

QByteArray encodeBitmap(const RasterView& image)
{
    const int width = image.width > 0 ? image.width : 0;
    const int height = image.height > 0 ? image.height : 0;
    const std::uint32_t rowBytes = (std::uint32_t(width) * kBytesPerPixel + 3u) & ~3u;
    const std::uint32_t pixelBytes = rowBytes * std::uint32_t(height);
    const std::uint32_t pixelOffset = kFileHeaderSize + kInfoHeaderSize;

    QByteArray out;
    out.reserve(qsizetype(pixelOffset + pixelBytes));

    // BITMAPFILEHEADER
    out.append("BM", 2);
    appendLittleEndian(out, pixelOffset + pixelBytes, 4);   // file size
    appendLittleEndian(out, 0, 4);                           // two reserved words
    appendLittleEndian(out, pixelOffset, 4);

    // BITMAPINFOHEADER; a positive height means the rows run bottom-up.
    appendLittleEndian(out, kInfoHeaderSize, 4);
    appendLittleEndian(out, std::uint32_t(width), 4);
    appendLittleEndian(out, std::uint32_t(height), 4);
    appendLittleEndian(out, 1, 2);                           // planes
    appendLittleEndian(out, kBytesPerPixel * 8, 2);          // bits per pixel
    appendLittleEndian(out, 0, 4);                           // BI_RGB, uncompressed
    appendLittleEndian(out, pixelBytes, 4);
    appendLittleEndian(out, std::uint32_t(kPixelsPerMetre), 4);
    appendLittleEndian(out, std::uint32_t(kPixelsPerMetre), 4);
    appendLittleEndian(out, 0, 4);                           // colours used: no palette
    appendLittleEndian(out, 0, 4);                           // important colours: all

    const int padding = int(rowBytes) - width * kBytesPerPixel;
    for (int row = height - 1; row >= 0; --row) {
        for (int column = 0; column < width; ++column) {
            const std::uint32_t pixel = image.at(column, row);   // 0xAARRGGBB
            out.append(char(pixel & 0xFFu));
            out.append(char((pixel >> 8) & 0xFFu));
            out.append(char((pixel >> 16) & 0xFFu));
        }
        out.append(padding, '\0');
    }
    return out;
}

} // namespace fenra
