#include "files/PngChunks.h"

#include "files/PngStream.h"

#include <zlib.h>

namespace fenra {
namespace {

const QByteArray kPngSignature("\x89PNG\r\n\x1a\n", 8);

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

}   // namespace

bool startsAsPng(const QByteArray& bytes) { return bytes.startsWith(kPngSignature); }

std::vector<std::pair<std::string, std::string>> streamTexts(const PngTexts& texts)
{
    std::vector<std::pair<std::string, std::string>> converted;
    for (const auto& [key, value] : texts)
        converted.emplace_back(key.toStdString(), value.toStdString());
    return converted;
}

std::optional<QByteArray> encodePng(const RasterView& pixels, const PngTexts& texts, int threads)
{
    // Every PNG goes through the one row-streaming writer, so a picture's bytes are the same whichever
    // program drew it, whole or in bands, on any number of threads.
    QByteArray png;
    files::PngStreamWriter writer(
        [&](const void* bytes, std::size_t size) {
            return png.append(static_cast<const char*>(bytes), qsizetype(size)), true;
        },
        {pixels.width, pixels.height, 8}, streamTexts(texts), threads);
    for (int y = 0; y < pixels.height; ++y)
        writer.addRows(std::span<const std::uint32_t>(pixels.pixels + std::size_t(y) * std::size_t(pixels.stride),
                                                      std::size_t(pixels.width)));
    if (!writer.finish())
        return std::nullopt;
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

}   // namespace fenra
