#pragma once

#include "files/IfsCollection.h"
#include "platform/FileStore.h"
#include "studio/StudioDocument.h"

#include <QString>
#include <QStringList>

#include <optional>

// The files the studio reads maps from and writes them to.
namespace fenra::studio {

enum class FileKind { Collection, DataFile, Picture };

// Where a document's maps live on disk: a collection's entry or a data file.
struct MapsSource {
    QString path;
    FileKind kind = FileKind::Collection;
    QString entry;   // a collection's entry name

    bool operator==(const MapsSource&) const = default;
};

// A file as read: a collection (its entries still to be chosen from), or maps.
struct ReadFile {
    FileKind kind = FileKind::Collection;
    std::optional<IfsCollection> collection;
    MapList maps;
    QString error;   // for the user; nothing else is set then
};

// The kind by content: a PNG by its signature (its maps chunk, else its data
// record), a collection as isIfsCollection says, else a data record (one
// with a count of 1 to 6).
ReadFile readMapsFile(FileStore& files, const QString& path);

// The maps as a collection's rows, their weights as p.
std::vector<IfsMap> ifsMaps(const MapList& maps);

// The maps of a collection's entry, weighted by its p values (by area when all are 0).
MapList mapsOfEntry(const IfsEntry& entry);

// The kind a new file's name asks for: .ifs, .tfg (any case), or nothing.
std::optional<FileKind> kindForName(const QString& path);

struct SaveResult {
    bool saved = false;
    QString message;   // why it was refused, or what the user should know about what was written
};

// Writes the maps to `target`. A collection keeps every other byte: an entry
// of that name has its rows replaced, or a new entry is added at the end (a
// file that does not exist yet holds only it). A data file holds at most six
// maps picked equally often and refuses any other maps; a value that its six
// characters cannot hold exactly is rounded, and the message says so.
SaveResult saveMaps(FileStore& files, const MapsSource& target, const MapList& maps);

// Whether the collection at `path` already has an entry `name` (so that Save As asks first).
bool collectionHasEntry(FileStore& files, const QString& path, const QString& name);

// The largest file read as maps: a collection of a few hundred entries is far below.
inline constexpr qint64 kMaxMapsFileBytes = 16 << 20;

}   // namespace fenra::studio
