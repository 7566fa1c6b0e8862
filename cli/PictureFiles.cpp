#include "cli/PictureFiles.h"

#include "files/Bitmap.h"
#include "files/DataRecord.h"
#include "render/RenderPicture.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>

#include <zlib.h>

#include <iterator>

namespace fenra::cli {
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

std::uint32_t crcOf(const QByteArray& bytes)
{
    return std::uint32_t(crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(bytes.data()), uInt(bytes.size())));
}

// An uncompressed text chunk, written here: Qt's own text support tidies the
// blanks of a value, and the record's blank padding must come back byte for byte.
QByteArray textChunk(const char* key, const QByteArray& value)
{
    const QByteArray typeAndData = QByteArray("tEXt") + key + '\0' + value;
    QByteArray chunk;
    appendBigEndian(chunk, std::uint32_t(typeAndData.size() - 4));
    chunk += typeAndData;
    appendBigEndian(chunk, crcOf(typeAndData));
    return chunk;
}

// The value of the text chunk `key`. Every chunk is looked at, so an editor
// that moves it behind the image data still leaves it readable.
std::optional<QByteArray> pngText(const QByteArray& png, const char* key)
{
    const QByteArray wanted = QByteArray(key) + '\0';
    for (qsizetype at = kPngSignature.size(); at + 12 <= png.size();) {
        const qsizetype length = bigEndianAt(png, at);
        const QByteArray type = png.mid(at + 4, 4);
        if (type == "IEND" || length > png.size() - at - 12)
            break;
        const QByteArray data = png.mid(at + 8, length);
        if (type == "tEXt" && data.startsWith(wanted) && bigEndianAt(png, at + 8 + length) == crcOf(type + data))
            return data.mid(wanted.size());
        at += 12 + length;
    }
    return std::nullopt;
}

QByteArray readStream(std::istream& in, std::size_t most)
{
    std::string bytes(most, '\0');
    in.read(bytes.data(), std::streamsize(most));
    return QByteArray(bytes.data(), qsizetype(in.gcount()));
}

} // namespace

std::optional<QByteArray> encodePicture(const render::Image& picture, PictureFormat format, const QByteArray& record,
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
    if (!QImageWriter(&buffer, "png").write(image) || !png.startsWith(kPngSignature) || png.mid(12, 4) != "IHDR")
        return std::nullopt;
    // Right after the header, before the image data, where readers meet them first.
    QByteArray texts;
    if (!record.isEmpty())
        texts += textChunk(kRecordKey, record);
    texts += textChunk(kSettingsKey, settings.toLatin1());
    png.insert(kHeaderChunkEnd, texts);
    return png;
}

LoadedData loadDataSets(const QString& path, FileStore& files, std::istream* standardInput)
{
    const bool fromStream = path == QStringLiteral("-") && standardInput;
    const QString name = fromStream ? QStringLiteral("standard input") : u'"' + path + u'"';
    const auto read = [&](qint64 most) -> FileStore::ReadResult {
        if (fromStream)
            return {readStream(*standardInput, std::size_t(most)), {}};
        return files.readPrefix(path, most);
    };
    FileStore::ReadResult head = read(kPngSignature.size());
    if (head.bytes && head.bytes->startsWith(kPngSignature)) {
        const FileStore::ReadResult rest = read(fromStream ? std::numeric_limits<int>::max() / 2 : QFileInfo(path).size());
        if (!rest.bytes)
            return {std::nullopt, {}, {}, QStringLiteral("cannot read %1: %2").arg(name, rest.error), {}};
        const QByteArray png = fromStream ? *head.bytes + *rest.bytes : *rest.bytes;
        const std::optional<QByteArray> record = pngText(png, kRecordKey);
        if (!record)
            return {std::nullopt, {}, {}, QStringLiteral("cannot read %1: this PNG holds no Fenra data record").arg(name), {}};
        const QString settings = QString::fromLatin1(pngText(png, kSettingsKey).value_or(QByteArray()));
        return {parseDataRecord(*record), {}, settings.split(u' ', Qt::SkipEmptyParts), {}, {}};
    }
    // A name not ending in .tfg may hold a collection: enough is read to tell, and to read one whole.
    const bool record = path.endsWith(QStringLiteral(".tfg"), Qt::CaseInsensitive);
    const qint64 most = record ? kRecordLength : kMaxCollectionBytes + 1;
    if (head.bytes)
        head = fromStream ? FileStore::ReadResult{*head.bytes + readStream(*standardInput, std::size_t(most - 8)), {}}
                          : read(most);
    if (!head.bytes)
        return {std::nullopt, {}, {}, QStringLiteral("cannot read %1: %2").arg(name, head.error), {}};
    if (!record && isIfsCollection(path, *head.bytes)) {
        if (head.bytes->size() > kMaxCollectionBytes)
            return {std::nullopt, {}, {}, QStringLiteral("cannot read %1: a collection of more than %2 MB").arg(name).arg(kMaxCollectionBytes >> 20), {}};
        return {std::nullopt, parseIfsCollection(*head.bytes), {}, {}, {}};
    }
    // A bitmap would be read as a record of nonsense and draw nothing; say so instead.
    if (head.bytes->startsWith("BM") && path.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive))
        return {std::nullopt, {}, {}, QStringLiteral("cannot read %1: a bitmap holds no data; give the .tfg saved with it").arg(name), {}};

    LoadedData loaded{parseDataRecord(*head.bytes), {}, {}, {}, {}};
    bool anyNumber = false;
    for (const auto& set : loaded.dataSets->sets)
        for (const QString& coefficient : set)
            anyNumber = anyNumber || toDouble(coefficient, render::kDataFileDecimalPoint).has_value();
    if (head.bytes->isEmpty())
        loaded.warning = QStringLiteral("%1 is empty: it holds no data sets").arg(name);
    else if (!anyNumber)
        loaded.warning = QStringLiteral("%1 holds no numbers, so its data sets move no point").arg(name);
    return loaded;
}

} // namespace fenra::cli
