#include "files/Bitmap.h"

#include <QImage>

#include <gtest/gtest.h>

#include <vector>

namespace fenra {
namespace {

quint32 littleEndian(const QByteArray& bytes, int offset, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | quint8(bytes.at(offset + i));
    return value;
}

struct Picture {
    std::vector<std::uint32_t> pixels;
    RasterView view;
    Picture(int width, int height) : pixels(std::size_t(width) * height, kBlack)
    {
        view = RasterView{pixels.data(), width, height, width};
    }
};

TEST(Bitmap, HeadersDescribeA24BitBottomUpImageWithPaddedRows)
{
    struct Case { int width, height; quint32 rowBytes; };
    for (const Case c : {Case{kDisplayWidth, kDisplayHeight, 2384}, {5, 3, 16}, {4, 2, 12}, {1, 1, 4}}) {
        SCOPED_TRACE(c.width);
        Picture picture(c.width, c.height);
        const QByteArray bmp = encodeBitmap(picture.view);
        const quint32 pixelBytes = c.rowBytes * quint32(c.height);
        ASSERT_EQ(bmp.size(), qsizetype(54 + pixelBytes));
        EXPECT_EQ(bmp.left(2), QByteArray("BM"));
        EXPECT_EQ(littleEndian(bmp, 2, 4), quint32(bmp.size()));   // file size
        EXPECT_EQ(littleEndian(bmp, 10, 4), 54u);                   // pixels follow both headers
        EXPECT_EQ(littleEndian(bmp, 14, 4), 40u);                   // BITMAPINFOHEADER
        EXPECT_EQ(littleEndian(bmp, 18, 4), quint32(c.width));
        EXPECT_EQ(littleEndian(bmp, 22, 4), quint32(c.height));    // positive: bottom-up
        EXPECT_EQ(littleEndian(bmp, 26, 2), 1u);                    // planes
        EXPECT_EQ(littleEndian(bmp, 28, 2), 24u);                   // bits per pixel
        EXPECT_EQ(littleEndian(bmp, 30, 4), 0u);                    // uncompressed
        EXPECT_EQ(littleEndian(bmp, 34, 4), pixelBytes);
    }
}

TEST(Bitmap, PixelsAreStoredBlueGreenRedFromTheBottomRowUp)
{
    Picture picture(5, 3);   // 15 bytes of pixels + 1 of padding per row
    picture.view.at(1, 0) = rgb(0x12, 0x34, 0x56);   // top row
    picture.view.at(4, 2) = rgb(0xAB, 0xCD, 0xEF);   // bottom row, last column
    const QByteArray bmp = encodeBitmap(picture.view);

    EXPECT_EQ(bmp.mid(54 + 2 * 16 + 1 * 3, 3), QByteArray("\x56\x34\x12"));
    EXPECT_EQ(bmp.mid(54 + 0 * 16 + 4 * 3, 3), QByteArray("\xEF\xCD\xAB"));
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(bmp.at(54 + row * 16 + 15), '\0') << "padding of stored row " << row;

    // An independent reader sees the same picture.
    const QImage decoded = QImage::fromData(bmp, "BMP");
    ASSERT_FALSE(decoded.isNull());
    ASSERT_EQ(decoded.size(), QSize(5, 3));
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 5; ++column)
            EXPECT_EQ(decoded.pixel(column, row), picture.view.at(column, row)) << column << "," << row;
}

TEST(Bitmap, FollowsTheRasterStride)
{
    // A 2 x 2 picture inside rows of 3 pixels: the third column is not part of it.
    std::vector<std::uint32_t> pixels = {rgb(1, 2, 3), rgb(4, 5, 6), rgb(9, 9, 9),
                                         rgb(7, 8, 9), rgb(10, 11, 12), rgb(9, 9, 9)};
    const QByteArray bmp = encodeBitmap(RasterView{pixels.data(), 2, 2, 3});
    EXPECT_EQ(bmp.mid(54), QByteArray("\x09\x08\x07\x0C\x0B\x0A\0\0\x03\x02\x01\x06\x05\x04\0\0", 16));
}

} // namespace
} // namespace fenra
