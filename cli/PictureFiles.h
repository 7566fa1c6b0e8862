#pragma once

#include "cli/RenderPicture.h"
#include "engine/DataSets.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The files fenra-render reads and writes: data records in, pictures out.
namespace fenra::cli {

enum class PictureFormat { Bitmap, Png };

// By the name's extension, in any case: .bmp or .png.
std::optional<PictureFormat> pictureFormatFor(const QString& path);

// The PNG text chunk that holds the 217-byte data record, so a picture
// remembers how it was made; and the one that says with which settings.
inline constexpr char kRecordKey[] = "fenra-record";
inline constexpr char kSettingsKey[] = "fenra-settings";

// The picture's file bytes. A PNG carries `record` (when not empty) and
// `settings` as text chunks; a bitmap has no room for them. Returns nothing
// when the PNG encoder fails.
std::optional<QByteArray> encodePicture(const Picture& picture, PictureFormat format, const QByteArray& record,
                                        const QString& settings);

struct LoadedData {
    std::optional<DataSetTexts> dataSets;
    QString error;   // why not, for the user
};

// The data sets of a .tfg record, or of the record chunk of a PNG that
// fenra-render wrote. A record is read as the window reads one: its first 217
// bytes, shorter ones leaving empty fields.
LoadedData loadDataSets(const QString& path);

} // namespace fenra::cli
