#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>

// The text chunks of a PNG file, where fenra-render keeps how a picture was made.
namespace fenra {

inline const QByteArray kPngSignature("\x89PNG\r\n\x1a\n", 8);

// The text chunk that holds the 217-byte data record, so a picture remembers
// how it was made; and the one that says with which settings.
inline constexpr char kRecordKey[] = "fenra-record";
inline constexpr char kSettingsKey[] = "fenra-settings";

// A chunk's check value, over its type and data.
std::uint32_t pngChunkCrc(const QByteArray& typeAndData);

// The value of the text chunk `key` in a whole PNG file. Every chunk is
// looked at, so an editor that moves it behind the image data still leaves it
// readable; one whose check value is wrong is passed over.
std::optional<QByteArray> pngText(const QByteArray& png, const char* key);

} // namespace fenra
