#include "cli/PictureFiles.h"

#include "files/Bitmap.h"
#include "files/DataRecord.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>

#include <array>

namespace fenra::cli {
namespace {

const QByteArray kPngSignature("\x89PNG\r\n\x1a\n", 8);
constexpr qint64 kChunkFrameBytes = 12;      // length, type and CRC around a chunk's data
constexpr qint64 kLongestTextChunk = 65536;  // ours are a few hundred bytes
constexpr qsizetype kHeaderChunkEnd = 8 + 25;   // signature, then IHDR with its 13 bytes of data

QString readError(const QString& path, const QString& why)
{
    return QStringLiteral("cannot read \"%1\": %2").arg(path, why);
}

std::uint32_t crc32Of(const QByteArray& bytes)
{
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1u) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xffffffffu;
    for (const char byte : bytes)
        c = table[(c ^ std::uint8_t(byte)) & 0xffu] ^ (c >> 8);
    return c ^ 0xffffffffu;
}

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

// An uncompressed text chunk, written by hand: Qt's own text support tidies
// the blanks of a value, and the record's blank padding must come back byte
// for byte.
QByteArray textChunk(const char* key, const QByteArray& value)
{
    const QByteArray typeAndData = QByteArray("tEXt") + key + '\0' + value;
    QByteArray chunk;
    appendBigEndian(chunk, std::uint32_t(typeAndData.size() - 4));
    chunk += typeAndData;
    appendBigEndian(chunk, crc32Of(typeAndData));
    return chunk;
}

// The value of the text chunk `key`. Every chunk is looked at, so an editor
// that moves it behind the image data still leaves it readable.
std::optional<QByteArray> pngText(QFile& file, const char* key)
{
    const QByteArray wanted = QByteArray(key) + '\0';
    qint64 at = kPngSignature.size();
    while (at + kChunkFrameBytes <= file.size()) {
        if (!file.seek(at))
            return std::nullopt;
        const QByteArray head = file.read(8);
        if (head.size() != 8)
            return std::nullopt;
        const qint64 length = bigEndianAt(head, 0);
        const QByteArray type = head.mid(4);
        if (type == "IEND")
            break;
        if (type == "tEXt" && length >= wanted.size() && length <= kLongestTextChunk) {
            const QByteArray data = file.read(length);
            const QByteArray crc = file.read(4);
            if (data.startsWith(wanted) && crc.size() == 4 && bigEndianAt(crc, 0) == crc32Of(type + data))
                return data.mid(wanted.size());
        }
        at += kChunkFrameBytes + length;
    }
    return std::nullopt;
}

} // namespace

std::optional<PictureFormat> pictureFormatFor(const QString& path)
{
    if (path.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive))
        return PictureFormat::Bitmap;
    if (path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        return PictureFormat::Png;
    return std::nullopt;
}

std::optional<QByteArray> encodePicture(const Picture& picture, PictureFormat format, const QByteArray& record,
                                        const QString& settings)
{
    if (format == PictureFormat::Bitmap)
        return encodeBitmap(picture.view());

    // The pixels are 0xFFRRGGBB, which is what RGB32 holds; the image only borrows them.
    const QImage image(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width, picture.height,
                       qsizetype(picture.width) * 4, QImage::Format_RGB32);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image) || !png.startsWith(kPngSignature) || png.mid(12, 4) != "IHDR")
        return std::nullopt;

    // Right after the header, before the image data, where readers meet them first.
    QByteArray texts;
    if (!record.isEmpty())
        texts += textChunk(kRecordKey, record);
    texts += textChunk(kSettingsKey, settings.toLatin1());
    png.insert(kHeaderChunkEnd, texts);
    return png;
}

LoadedData loadDataSets(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {std::nullopt, readError(path, QStringLiteral("there is no such file"))};
    // Pipes and devices might never end.
    if (!info.isFile())
        return {std::nullopt, readError(path, QStringLiteral("it is not an ordinary file"))};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, readError(path, file.errorString())};
    const QByteArray head = file.read(kRecordLength);
    if (file.error() != QFileDevice::NoError)
        return {std::nullopt, readError(path, file.errorString())};

    if (head.startsWith(kPngSignature)) {
        const std::optional<QByteArray> record = pngText(file, kRecordKey);
        if (!record)
            return {std::nullopt, readError(path, QStringLiteral("this PNG holds no Fenra data record"))};
        return {parseDataRecord(*record), QString()};
    }
    // A bitmap would be read as a record of nonsense and draw nothing; say so instead.
    if (head.startsWith("BM") && path.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive))
        return {std::nullopt, readError(path, QStringLiteral("a bitmap holds no data; give the .tfg saved with it"))};
    return {parseDataRecord(head), QString()};
}

} // namespace fenra::cli
