#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// A file given to the window by name (its command line, a drop), told by its
// first bytes or its text, so that a picture or a collection is never read
// as a data record of nonsense.
namespace fenra {

enum class GivenKind {
    DataRecord,   // anything that is none of the others: read as Load Data reads a file
    Png,
    Bitmap,
    Collection,   // a classic IFS collection
};

// How many first bytes tell the kind.
inline constexpr qint64 kKindBytes = 4096;
// A PNG is read whole up to this size to find its record: fenra-render puts
// it near the start, an editor may move it behind the pixels.
inline constexpr qint64 kMaxPngBytes = qint64(256) << 20;

// The kind of the file `name` whose first bytes are `head`. A collection is
// one by its ".ifs" name, or, for a name not ending in ".tfg", by its text.
GivenKind givenKind(const QString& name, const QByteArray& head);

// The data record a PNG carries when fenra-render wrote it, else nothing.
std::optional<QByteArray> recordInPng(const QByteArray& png);

}   // namespace fenra
