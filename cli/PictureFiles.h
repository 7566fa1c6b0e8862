#pragma once

#include "cli/CliOptions.h"
#include "engine/DataSets.h"
#include "files/IfsCollection.h"
#include "files/PngText.h"
#include "platform/FileStore.h"
#include "render/ToneMap.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <istream>
#include <optional>

// The files fenra-render reads and writes: data records in, pictures out.
namespace fenra::cli {

// The picture's file bytes. A PNG carries `record` (when not empty) and
// `settings` as text chunks; a bitmap has no room for them. Returns nothing
// when the encoder fails.
std::optional<QByteArray> encodePicture(const render::Image& picture, PictureFormat format, const QByteArray& record,
                                        const QString& settings, int threads = 1);

// A PNG's text chunks: the record (when not empty) and the settings.
std::vector<std::pair<std::string, std::string>> pictureTexts(const QByteArray& record, const QString& settings);

// A collection larger than this is refused: the largest sensible one is a few hundred kilobytes.
inline constexpr qint64 kMaxCollectionBytes = 16 << 20;

struct LoadedData {
    std::optional<DataSetTexts> dataSets;
    std::optional<IfsCollection> collection;   // instead of data sets: read, or refused at a line
    QStringList settings;   // a PNG's options, as the words of a command line
    QString error;          // why there are no data sets, for the user
    QString warning;        // data sets that draw nothing: an empty input, or one without numbers
};

// The data sets of a .tfg record, or of the record chunk of a PNG that
// fenra-render wrote; `path` "-" reads standard input. A record is read as
// the window reads one: its first 217 bytes, shorter ones leaving empty fields.
// A name ending in .ifs, or text that reads as a collection (and a name not
// ending in .tfg), gives the collection instead.
LoadedData loadDataSets(const QString& path, FileStore& files, std::istream* standardInput = nullptr);

} // namespace fenra::cli
