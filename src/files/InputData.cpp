#include "files/InputData.h"

#include "engine/NumberText.h"
#include "files/DataRecord.h"
#include "files/InputKind.h"
#include "files/PngChunks.h"
#include "platform/DescriptorInput.h"
#include "render/RenderPicture.h"

#include <QFileInfo>

namespace fenra {

LoadedData loadDataSets(const QString& path, FileStore& files, std::istream* standardInput)
{
    const bool fromStream = path == QStringLiteral("-") && standardInput;
    const QString name = fromStream ? QStringLiteral("standard input") : u'"' + path + u'"';
    LoadedData loaded;
    const auto refused = [&](const QString& why) {
        loaded = {};
        loaded.error = QStringLiteral("cannot read %1: %2").arg(name, why);
        return loaded;
    };
    // Read on from what is there: a stream cannot be read twice.
    const auto readUpTo = [&](const QByteArray& start, qint64 most) -> FileStore::ReadResult {
        if (!fromStream)
            return files.readPrefix(path, most);
        FileStore::ReadResult rest = readInPieces(*standardInput, most - start.size());
        if (rest.bytes)
            rest.bytes->prepend(start);
        return rest;
    };
    FileStore::ReadResult head = readUpTo({}, 8);
    if (!head.bytes)
        return refused(head.error);
    InputKind kind = sniffInput(path, *head.bytes);
    if (kind == InputKind::NotPng)
        return refused(QStringLiteral("it is not a PNG"));
    if (kind == InputKind::Png) {
        const FileStore::ReadResult png =
            readUpTo(*head.bytes, fromStream ? kMaxStreamedPngBytes + 1 : QFileInfo(path).size());
        if (!png.bytes)
            return refused(png.error);
        if (png.bytes->size() > kMaxStreamedPngBytes)
            return refused(QStringLiteral("a PNG of more than %1 MB").arg(kMaxStreamedPngBytes >> 20));
        const ReadPngTexts chunks = readPngTexts(*png.bytes);
        if (!chunks.fault.isEmpty())
            return refused(chunks.fault);
        const auto text = [&](const char* key) {
            const auto found = chunks.texts.find(key);
            return found == chunks.texts.end() ? std::nullopt : std::optional(found->second);
        };
        // The record keeps the texts and the count exactly; the maps stand in only without one.
        if (const auto record = text(kRecordKey)) {
            loaded.dataSets = parseDataRecord(*record);
        } else if (const auto maps = text(kMapsKey)) {
            loaded.collection = parseIfsCollection(*maps);
            if (!loaded.collection->ok() || !loaded.collection->firstDrawable())
                return refused(
                    QStringLiteral("its maps cannot be read: %1")
                        .arg(loaded.collection->ok() ? QStringLiteral("they are 3D") : loaded.collection->error));
        } else {
            return refused(QStringLiteral("this PNG holds no Fenra data record"));
        }
        if (const auto stored = text(kSettingsKey)) {
            const ReadPictureSettings settings = readPictureSettings(*stored);
            if (!settings.settings)
                return refused(QStringLiteral("its stored settings are not valid: %1").arg(settings.error));
            loaded.settings = settings.settings;
            if (!settings.ignored.isEmpty())
                loaded.warnings << QStringLiteral("%1 stores what a picture may not set, which is ignored: %2")
                                       .arg(name, settings.ignored.join(u' '));
        }
        return loaded;
    }
    // A name not ending in .tfg may hold a collection: enough is read to tell, and to read one whole.
    const bool record = path.endsWith(QStringLiteral(".tfg"), Qt::CaseInsensitive);
    head = readUpTo(*head.bytes, record ? kRecordLength : kMaxCollectionBytes + 1);
    if (!head.bytes)
        return refused(head.error);
    kind = sniffInput(path, *head.bytes);
    if (kind == InputKind::Collection) {
        if (head.bytes->size() > kMaxCollectionBytes)
            return refused(QStringLiteral("a collection of more than %1 MB").arg(kMaxCollectionBytes >> 20));
        loaded.collection = parseIfsCollection(*head.bytes);
        return loaded;
    }
    // A bitmap would be read as a record of nonsense and draw nothing; say so instead.
    if (kind == InputKind::Bitmap)
        return refused(QStringLiteral("a bitmap holds no data; give the .tfg saved with it"));

    loaded.dataSets = parseDataRecord(*head.bytes);
    bool anyNumber = false;
    for (const auto& set : loaded.dataSets->sets)
        for (const QString& coefficient : set)
            anyNumber = anyNumber || toDouble(coefficient, render::kDataFileDecimalPoint).has_value();
    if (head.bytes->isEmpty())
        loaded.warnings << QStringLiteral("%1 is empty: it holds no data sets").arg(name);
    else if (!anyNumber)
        loaded.warnings << QStringLiteral("%1 holds no numbers, so its data sets move no point").arg(name);
    return loaded;
}

}   // namespace fenra
