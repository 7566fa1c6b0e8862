#pragma once

#include "files/PngChunks.h"
#include "render/ToneMap.h"

#include <QByteArray>
#include <QString>

#include <optional>

// A picture's file: a bitmap, or a PNG that carries how it was made.
namespace fenra {

enum class PictureFormat { Bitmap, Png };

// By the name's extension, in any case: .bmp or .png; "-" (standard output) is a PNG.
std::optional<PictureFormat> pictureFormatFor(const QString& path);

// The picture's file bytes. A PNG carries `texts` as text chunks; a bitmap
// has no room for them. Returns nothing when the encoder fails.
std::optional<QByteArray> encodePicture(const render::Image& picture, PictureFormat format, const PngTexts& texts,
                                        int threads = 1);

}   // namespace fenra
