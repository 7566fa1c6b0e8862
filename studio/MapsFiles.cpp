#include "studio/MapsFiles.h"

#include "engine/NumberText.h"
#include "engine/WeightedMaps.h"
#include "files/DataRecord.h"
#include "files/IfsEntryText.h"
#include "files/MapsRecord.h"
#include "files/PngChunks.h"

#include <QFileInfo>

namespace fenra::studio {
namespace {

// A data record's maps: sets 1 to its count, texts read as the window reads a
// data file (a comma works as the decimal point; a text that is no number is 0).
ReadFile mapsOfRecord(const QByteArray& bytes, const QString& path)
{
    ReadFile result;
    result.kind = FileKind::DataFile;
    const DataSetTexts texts = parseDataRecord(bytes);
    const std::optional<std::int32_t> count = toInt32(texts.count, u',');
    if (!count || *count < 1 || *count > kDataSetCount) {
        result.error = QObject::tr("%1 holds no maps: its count \"%2\" is not 1 to 6").arg(path, texts.count);
        return result;
    }
    for (int k = 0; k < *count; ++k) {
        StudioMap map;
        for (int j = 0; j < kCoefficientCount; ++j)
            map.map.c[j] = toDouble(texts.sets[std::size_t(k)][std::size_t(j)], u',').value_or(0.0);
        result.maps.push_back(map);
    }
    return result;
}

// A picture's maps: its maps chunk (exact, with their weights), else its data record.
ReadFile mapsOfPicture(const QByteArray& bytes, const QString& path)
{
    const ReadPngTexts png = readPngTexts(bytes);
    ReadFile result;
    result.kind = FileKind::Picture;
    if (!png.fault.isEmpty()) {
        result.error = QObject::tr("%1 cannot be read: %2").arg(path, png.fault);
    } else if (const auto maps = png.texts.find(kMapsKey); maps != png.texts.end()) {
        const IfsCollection collection = parseIfsCollection(maps->second);
        if (collection.ok() && !collection.entries.front().maps.empty())
            result.maps = mapsOfEntry(collection.entries.front());
        else
            result.error = QObject::tr("%1 carries maps that cannot be read").arg(path);
    } else if (const auto record = png.texts.find(kRecordKey); record != png.texts.end()) {
        result = mapsOfRecord(record->second, path);
        result.kind = FileKind::Picture;
    } else {
        result.error = QObject::tr("%1 carries no maps: it was not drawn by Fenra").arg(path);
    }
    return result;
}

SaveResult saveCollection(FileStore& files, const MapsSource& target, const MapList& maps)
{
    const FileStore::ReadResult read = files.readPrefix(target.path, kMaxMapsFileBytes);
    const QByteArray text = read.bytes.value_or(QByteArray());
    if (read.bytes && !parseIfsCollection(text).ok() && !text.trimmed().isEmpty())
        return {false, QObject::tr("%1 is not a collection that can be added to: %2")
                           .arg(target.path, parseIfsCollection(text).errorMessage(target.path))};
    const std::vector<IfsMap> rows = ifsMaps(maps);
    const QByteArray out = replaceEntryRows(text, target.entry, rows).value_or(appendEntry(text, target.entry, rows));
    if (const std::optional<QString> failure = files.writeWhole(target.path, out))
        return {false, *failure};
    return {true, {}};
}

SaveResult saveDataFile(FileStore& files, const MapsSource& target, const MapList& maps)
{
    if (maps.size() > std::size_t(kDataSetCount))
        return {false,
                QObject::tr("A data file holds at most six maps; these are %1. Save them as a collection (.ifs).")
                    .arg(maps.size())};
    for (const StudioMap& m : maps) {
        if (m.weight != maps.front().weight)
            return {false,
                    QObject::tr("A data file picks every map equally often; these maps have weights of their own. "
                                "Save them as a collection (.ifs).")};
    }
    const MapsRecord record = recordOfMaps(affineMaps(maps), {});
    if (record.bytes.isEmpty())
        return {false, record.refusal};
    QStringList rounded;
    for (std::size_t k = 0; k < maps.size(); ++k) {
        for (int j = 0; j < kCoefficientCount; ++j) {
            const double value = maps[k].map.c[j];
            const QString text = closestCoefficientText(value);
            if (toDouble(text, u'.') != value)
                rounded +=
                    QObject::tr("map %1 value %2: %3 as %4").arg(k + 1).arg(j + 1).arg(value, 0, 'g', 17).arg(text);
        }
    }
    if (const std::optional<QString> failure = files.writeWhole(target.path, record.bytes))
        return {false, *failure};
    if (rounded.isEmpty())
        return {true, {}};
    return {true, QObject::tr("Saved. A data file keeps six characters a value, so these were rounded:\n%1")
                      .arg(rounded.join(u'\n'))};
}

}   // namespace

std::vector<IfsMap> ifsMaps(const MapList& maps)
{
    std::vector<IfsMap> out;
    for (const StudioMap& m : maps)
        out.push_back({m.map, m.weight});
    return out;
}

ReadFile readMapsFile(FileStore& files, const QString& path)
{
    const FileStore::ReadResult read = files.readPrefix(path, kMaxMapsFileBytes + 1);
    if (!read.bytes)
        return {FileKind::DataFile, {}, {}, QObject::tr("%1 cannot be read: %2").arg(path, read.error)};
    const QByteArray& bytes = *read.bytes;
    if (bytes.size() > kMaxMapsFileBytes)
        return {FileKind::DataFile, {}, {}, QObject::tr("%1 is too large to hold maps").arg(path)};
    if (startsAsPng(bytes))
        return mapsOfPicture(bytes, path);
    if (isIfsCollection(path, bytes)) {
        ReadFile result;
        result.collection = parseIfsCollection(bytes);
        if (!result.collection->ok())
            result.error = result.collection->errorMessage(path);
        return result;
    }
    return mapsOfRecord(bytes, path);
}

MapList mapsOfEntry(const IfsEntry& entry)
{
    std::vector<double> p;
    std::vector<AffineMap> maps;
    for (const IfsMap& m : entry.maps) {
        maps.push_back(m.map);
        p.push_back(m.p);
    }
    // Where every p is 0 the entry is drawn by area: show those weights, which a save then keeps.
    bool anyP = false;
    for (const double value : p)
        anyP = anyP || value > 0.0;
    if (!anyP)
        p = pickWeights(maps, p);
    MapList out;
    for (std::size_t k = 0; k < maps.size(); ++k)
        out.push_back({maps[k], p[k]});
    return out;
}

std::optional<FileKind> kindForName(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("ifs"))
        return FileKind::Collection;
    if (suffix == QLatin1String("tfg"))
        return FileKind::DataFile;
    return std::nullopt;
}

SaveResult saveMaps(FileStore& files, const MapsSource& target, const MapList& maps)
{
    if (maps.empty())
        return {false, QObject::tr("There are no maps to save")};
    switch (target.kind) {
    case FileKind::Collection:
        return saveCollection(files, target, maps);
    case FileKind::DataFile:
        return saveDataFile(files, target, maps);
    case FileKind::Picture:
        break;
    }
    return {false, QObject::tr("Maps are saved as a collection (.ifs) or a data file (.tfg)")};
}

bool collectionHasEntry(FileStore& files, const QString& path, const QString& name)
{
    const FileStore::ReadResult read = files.readPrefix(path, kMaxMapsFileBytes);
    return read.bytes && parseIfsCollection(*read.bytes).find(name) != nullptr;
}

}   // namespace fenra::studio
