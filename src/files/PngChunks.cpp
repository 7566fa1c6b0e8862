#include "files/PngChunks.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include <zlib.h>

namespace fenra {
namespace {

const QByteArray kPngSignature("\x89PNG\r\n\x1a\n", 8);
constexpr qsizetype kHeaderChunkEnd = 8 + 25;   // signature, then IHDR with its 13 bytes of data

void appendBigEndian(QByteArray& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(char((value >> shift) & 0xffu));
}

std::uint32_t bigEndianAt(const QByteArray& bytes, qsizetype at)
{
    std::uint32_t value = 0;
    for (qsizetype i = 0; i < 4; ++i)
        value = value << 8 | std::uint8_t(bytes[at + i]);
    return value;
}

std::uint32_t crcOf(const char* bytes, qsizetype size)
{
    return std::uint32_t(crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(bytes), uInt(size)));
}

// An uncompressed text chunk, written here: Qt's own text support tidies the
// blanks of a value, and the record's blank padding must come back byte for byte.
QByteArray textChunk(const QByteArray& key, const QByteArray& value)
{
    const QByteArray typeAndData = QByteArray("tEXt") + key + '\0' + value;
    QByteArray chunk;
    appendBigEndian(chunk, std::uint32_t(typeAndData.size() - 4));
    chunk += typeAndData;
    appendBigEndian(chunk, crcOf(typeAndData.constData(), typeAndData.size()));
    return chunk;
}

} // namespace

bool startsAsPng(const QByteArray& bytes)
{
    return bytes.startsWith(kPngSignature);
}

std::optional<QByteArray> encodePng(const RasterView& pixels, const PngTexts& texts)
{
    // The pixels are 0xFFRRGGBB, which is what RGB32 holds; the image only borrows them.
    const QImage image(reinterpret_cast<const uchar*>(pixels.pixels), pixels.width, pixels.height,
                       qsizetype(pixels.stride) * 4, QImage::Format_RGB32);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!QImageWriter(&buffer, "png").write(image) || !png.startsWith(kPngSignature) || png.mid(12, 4) != "IHDR")
        return std::nullopt;
    QByteArray chunks;
    for (const auto& [key, value] : texts)
        chunks += textChunk(key, value);
    png.insert(kHeaderChunkEnd, chunks);
    return png;
}

ReadPngTexts readPngTexts(const QByteArray& png)
{
    ReadPngTexts result;
    for (qsizetype at = kPngSignature.size();;) {
        if (png.size() - at < 12) {
            result.fault = QStringLiteral("the PNG ends before its last chunk: it is cut short");
            break;
        }
        const qsizetype length = bigEndianAt(png, at);
        const QByteArray type = png.mid(at + 4, 4);
        if (length > png.size() - at - 12) {
            result.fault = QStringLiteral("its chunk at byte %1 is cut short").arg(at);
            break;
        }
        if (bigEndianAt(png, at + 8 + length) != crcOf(png.constData() + at + 4, length + 4)) {
            result.fault = QStringLiteral("its chunk at byte %1 fails its CRC check").arg(at);
            break;
        }
        if (type == "IEND")
            break;
        if (type == "tEXt") {
            const QByteArray data = png.mid(at + 8, length);
            const qsizetype end = data.indexOf('\0');
            if (end > 0)
                result.texts.try_emplace(data.left(end), data.mid(end + 1));
        }
        at += 12 + length;
    }
    if (!result.fault.isEmpty())
        result.texts.clear();
    return result;
}

} // namespace fenra
