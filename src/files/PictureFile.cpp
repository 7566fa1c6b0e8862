#include "files/PictureFile.h"

#include "files/Bitmap.h"

namespace fenra {

std::optional<PictureFormat> pictureFormatFor(const QString& path)
{
    if (path == u"-" || path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        return PictureFormat::Png;
    if (path.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive))
        return PictureFormat::Bitmap;
    return std::nullopt;
}

std::optional<QByteArray> encodePicture(const render::Image& picture, PictureFormat format, const PngTexts& texts,
                                        int threads)
{
    if (format == PictureFormat::Bitmap)
        return encodeBitmap(picture.view());
    return encodePng(picture.view(), texts, threads);
}

}   // namespace fenra
