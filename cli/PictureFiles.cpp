#include "cli/PictureFiles.h"

#include "engine/NumberText.h"
#include "files/Bitmap.h"
#include "files/DataRecord.h"
#include "files/PngStream.h"
#include "files/PngText.h"
#include "render/RenderPicture.h"

#include <QFileInfo>
#include <QImage>

#include <iterator>

namespace fenra::cli {
namespace {

QByteArray readStream(std::istream& in, std::size_t most)
{
    std::string bytes(most, '\0');
    in.read(bytes.data(), std::streamsize(most));
    return QByteArray(bytes.data(), qsizetype(in.gcount()));
}

} // namespace

std::vector<std::pair<std::string, std::string>> pictureTexts(const QByteArray& record, const QString& settings)
{
    std::vector<std::pair<std::string, std::string>> texts;
    if (!record.isEmpty())
        texts.emplace_back(kRecordKey, record.toStdString());
    texts.emplace_back(kSettingsKey, settings.toLatin1().toStdString());
    return texts;
}

std::optional<QByteArray> encodePicture(const render::Image& picture, PictureFormat format, const QByteArray& record,
                                        const QString& settings, int threads)
{
    if (format == PictureFormat::Bitmap)
        return encodeBitmap(picture.view());
    QByteArray png;
    files::PngStreamWriter writer([&](const void* p, std::size_t n) { png.append(static_cast<const char*>(p), qsizetype(n)); return true; },
                                  {picture.width, picture.height, 8}, pictureTexts(record, settings), threads);
    writer.addRows(std::span<const std::uint32_t>(picture.pixels));
    return writer.finish() ? std::optional(png) : std::nullopt;
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
