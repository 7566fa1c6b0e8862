#pragma once

#include "engine/Raster.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The PNG files Fenra writes and reads back: pixels plus uncompressed text
// chunks that say how the picture was made.
namespace fenra {

// The text chunks a picture carries: the 217-byte data record, the settings
// it was drawn with, and its maps as a collection entry.
inline constexpr char kRecordKey[] = "fenra-record";
inline constexpr char kSettingsKey[] = "fenra-settings";
inline constexpr char kMapsKey[] = "fenra-maps";

bool startsAsPng(const QByteArray& bytes);

using PngTexts = std::vector<std::pair<QByteArray, QByteArray>>;   // key, value

// The pixels as a PNG with `texts` right after its header, before the image
// data, where readers meet them first; its image data deflated on `threads`
// to the same bytes for any number. Nothing when the encoder fails.
std::optional<QByteArray> encodePng(const RasterView& pixels, const PngTexts& texts, int threads = 1);

// The texts as the row-streaming writer takes them.
std::vector<std::pair<std::string, std::string>> streamTexts(const PngTexts& texts);

struct ReadPngTexts {
    std::map<QByteArray, QByteArray> texts;   // each tEXt chunk's value by its key, the first of a key
    QString fault;                            // why the file is not whole; empty when it is
};

// Every tEXt chunk of a PNG, wherever it stands. Every chunk up to IEND is
// checked, so a truncated file, a chunk cut short or a bad CRC is a fault
// rather than a picture drawn with half its settings.
ReadPngTexts readPngTexts(const QByteArray& png);

}   // namespace fenra
