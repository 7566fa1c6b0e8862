#pragma once

#include "cli/RenderPicture.h"
#include "engine/DataSets.h"
#include "platform/FileStore.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <istream>
#include <optional>

// The files fenra-render reads and writes: data records in, pictures out.
namespace fenra::cli {

// The PNG text chunk that holds the 217-byte data record, so a picture
// remembers how it was made; and the one that says with which settings.
inline constexpr char kRecordKey[] = "fenra-record";
inline constexpr char kSettingsKey[] = "fenra-settings";

// The picture's file bytes. A PNG carries `record` (when not empty) and
// `settings` as text chunks; a bitmap has no room for them. Returns nothing
// when the encoder fails.
std::optional<QByteArray> encodePicture(const Picture& picture, PictureFormat format, const QByteArray& record,
                                        const QString& settings);

struct LoadedData {
    std::optional<DataSetTexts> dataSets;
    QStringList settings;   // a PNG's options, as the words of a command line
    QString error;          // why there are no data sets, for the user
    QString warning;        // data sets that draw nothing: an empty input, or one without numbers
};

// The data sets of a .tfg record, or of the record chunk of a PNG that
// fenra-render wrote; `path` "-" reads standard input. A record is read as
// the window reads one: its first 217 bytes, shorter ones leaving empty fields.
LoadedData loadDataSets(const QString& path, FileStore& files, std::istream* standardInput = nullptr);

} // namespace fenra::cli
