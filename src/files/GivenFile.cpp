#include "files/GivenFile.h"

#include "files/IfsCollection.h"
#include "files/PngChunks.h"

#include <QtEndian>

#include <initializer_list>

namespace fenra {
namespace {

// "BM", then behind the 14-byte file header the size of one of the known
// image headers: a data record, being text, never holds those zero bytes.
bool isBitmap(const QByteArray& head)
{
    if (!head.startsWith("BM") || head.size() < 18)
        return false;
    const std::uint32_t headerSize = qFromLittleEndian<std::uint32_t>(head.constData() + 14);
    for (std::uint32_t known : {12u, 40u, 52u, 56u, 64u, 108u, 124u})
        if (headerSize == known)
            return true;
    return false;
}

}   // namespace

GivenKind givenKind(const QString& name, const QByteArray& head)
{
    if (startsAsPng(head))
        return GivenKind::Png;
    if (isBitmap(head))
        return GivenKind::Bitmap;
    if (!name.endsWith(QLatin1String(".tfg"), Qt::CaseInsensitive) && isIfsCollection(name, head))
        return GivenKind::Collection;
    return GivenKind::DataRecord;
}

std::optional<QByteArray> recordInPng(const QByteArray& png)
{
    // A record whose own chunk is whole is taken even from a file damaged
    // elsewhere: it is the user's data, and the chunk's check value vouches for it.
    const ReadPngTexts read = readPngTexts(png);
    const auto record = read.texts.find(kRecordKey);
    if (record == read.texts.end())
        return std::nullopt;
    return record->second;
}

}   // namespace fenra
