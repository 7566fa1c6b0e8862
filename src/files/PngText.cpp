#include "files/PngText.h"

#include <zlib.h>

namespace fenra {
namespace {

std::uint32_t bigEndianAt(const QByteArray& bytes, qsizetype at)
{
    std::uint32_t value = 0;
    for (qsizetype i = 0; i < 4; ++i)
        value = value << 8 | std::uint8_t(bytes[at + i]);
    return value;
}

} // namespace

std::uint32_t pngChunkCrc(const QByteArray& typeAndData)
{
    return std::uint32_t(crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(typeAndData.data()),
                               uInt(typeAndData.size())));
}

std::optional<QByteArray> pngText(const QByteArray& png, const char* key)
{
    const QByteArray wanted = QByteArray(key) + '\0';
    for (qsizetype at = kPngSignature.size(); at + 12 <= png.size();) {
        const qsizetype length = bigEndianAt(png, at);
        const QByteArray type = png.mid(at + 4, 4);
        if (type == "IEND" || length > png.size() - at - 12)
            break;
        const QByteArray data = png.mid(at + 8, length);
        if (type == "tEXt" && data.startsWith(wanted) && bigEndianAt(png, at + 8 + length) == pngChunkCrc(type + data))
            return data.mid(wanted.size());
        at += 12 + length;
    }
    return std::nullopt;
}

} // namespace fenra
