#include "files/InputKind.h"

#include "files/IfsCollection.h"
#include "files/PngChunks.h"

namespace fenra {

InputKind sniffInput(const QString& name, const QByteArray& bytes)
{
    if (startsAsPng(bytes))
        return InputKind::Png;
    if (name.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        return InputKind::NotPng;
    if (bytes.startsWith("BM") && name.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive))
        return InputKind::Bitmap;
    // A .tfg is a record whatever it holds, so a record is never taken for a collection.
    if (!name.endsWith(QLatin1String(".tfg"), Qt::CaseInsensitive) && isIfsCollection(name, bytes))
        return InputKind::Collection;
    return InputKind::Record;
}

}   // namespace fenra
