#pragma once

#include "engine/AffineMap.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// A classic IFS collection: plain text holding many entries
//
//   name {          ; a comment runs from ';' to the end of the line
//     a b c d e f p ; one map per row
//   }
//
// where a map sends (x, y) to (a·x + b·y + e, c·x + d·y + f) and p is the
// probability of picking it. Collections in the wild mix in 3D entries,
// `name(3D) {`, whose rows hold 13 numbers (a 3×3 matrix, a translation of 3,
// p); they are read so the file is not refused, but carry no maps here.
namespace fenra {

inline constexpr int kMaxIfsMaps = 64;

// A row's map, converted from the file's a b c d e f order once, on reading.
struct IfsMap {
    AffineMap map;
    double p = 0;   // never negative

    bool operator==(const IfsMap&) const = default;
};

struct IfsEntry {
    QString name;               // without a trailing "(3D)"
    std::vector<IfsMap> maps;   // 1 to kMaxIfsMaps; none for a 3D entry
    bool threeD = false;
};

struct IfsCollection {
    std::vector<IfsEntry> entries;   // in file order; empty when the file is refused
    int errorLine = 0;               // from 1; 0 when the file was read
    QString error;                   // why it was refused

    bool ok() const { return errorLine == 0; }
    // Every name in file order, a 3D one followed by a tab and "(3D)".
    QStringList names() const;
    // The entry of that name, a 2D one before a 3D one; or null.
    const IfsEntry* find(const QString& name) const;
    // The first 2D entry, or null when every entry is 3D.
    const IfsEntry* firstDrawable() const;
    // "FILE:LINE: reason", for a refused file.
    QString errorMessage(const QString& fileName) const;
};

// Reads a collection (UTF-8 text). A file is refused as a whole, at the first
// fault: a brace without its partner, a word inside an entry that is not a
// number, a row without exactly seven numbers (13 in a 3D entry), a negative p,
// an entry without maps or with more than kMaxIfsMaps, a second entry of the
// same name and kind, text after the last entry, no entry at all.
IfsCollection parseIfsCollection(const QByteArray& text);

// The entry as a collection holds it, `name { a b c d e f p ... }`, each
// number in the shortest text that reads back to exactly the same double.
QByteArray ifsEntryText(const QString& name, const std::vector<IfsMap>& maps);

// Whether a file is meant as a collection: its name ends in ".ifs" (any case),
// or its first word, comments and blanks aside, is followed by '{'. A data
// record or a PNG never is.
bool isIfsCollection(const QString& fileName, const QByteArray& content);

struct EntryMaps {
    std::vector<AffineMap> maps;
    std::vector<double> weights;   // sum to 1
};

// The entry's maps in window order, weighted by its p values (see pickWeights).
EntryMaps entryMaps(const IfsEntry& entry);

}   // namespace fenra
