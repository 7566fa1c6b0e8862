#pragma once

#include "engine/DataSets.h"
#include "files/IfsCollection.h"
#include "files/PictureSettings.h"
#include "platform/FileStore.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <istream>
#include <optional>

// What a render reads: a data record, a collection, or a PNG that carries its maps and settings.
namespace fenra {

// A collection larger than this is refused: the largest sensible one is a few hundred kilobytes.
inline constexpr qint64 kMaxCollectionBytes = 16 << 20;
// A PNG on standard input larger than this is refused: the largest picture's file is far smaller.
inline constexpr qint64 kMaxStreamedPngBytes = qint64(1) << 30;

struct LoadedData {
    std::optional<DataSetTexts> dataSets;
    std::optional<IfsCollection> collection;   // instead of data sets: read, or refused at a line
    std::optional<PictureSettings> settings;   // a PNG's, when it carries them
    QString error;                             // why there are no data sets, for the user
    QStringList warnings;                      // data sets that draw nothing; settings a picture may not give
};

// The data sets of a .tfg record, or of the record chunk of a PNG that
// fenra-render wrote (its maps chunk where it carries no record); `path` "-"
// reads standard input, in pieces as they come. A record is read as the
// window reads one: its first 217 bytes, shorter ones leaving empty fields.
// A name ending in .ifs, or text that reads as a collection (and a name not
// ending in .tfg), gives the collection instead. A PNG that is not whole, or
// whose settings hold a bad value, is refused.
LoadedData loadDataSets(const QString& path, FileStore& files, std::istream* standardInput = nullptr);

}   // namespace fenra
