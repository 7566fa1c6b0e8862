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
// probability of picking it.
namespace fenra {

inline constexpr int kMaxIfsMaps = 64;

struct IfsMap {
    double a = 0, b = 0, c = 0, d = 0, e = 0, f = 0;
    double p = 0;   // never negative

    bool operator==(const IfsMap&) const = default;
};

struct IfsEntry {
    QString name;
    std::vector<IfsMap> maps;   // 1 to kMaxIfsMaps
};

struct IfsCollection {
    std::vector<IfsEntry> entries;   // in file order; empty when the file is refused
    int errorLine = 0;               // from 1; 0 when the file was read
    QString error;                   // why it was refused

    bool ok() const { return errorLine == 0; }
    QStringList names() const;
    // The first entry of that name, or null.
    const IfsEntry* find(const QString& name) const;
    // "FILE:LINE: reason", for a refused file.
    QString errorMessage(const QString& fileName) const;
};

// Reads a collection (UTF-8 text). A file is refused as a whole, at the first
// fault: a brace without its partner, a word inside an entry that is not a
// number, a row without exactly seven numbers, a negative p, an entry without
// maps or with more than kMaxIfsMaps, text after the last entry, no entry at all.
IfsCollection parseIfsCollection(const QByteArray& text);

// Whether a file is meant as a collection: its name ends in ".ifs" (any case),
// or its first word, comments and blanks aside, is followed by '{'. A data
// record or a PNG never is.
bool isIfsCollection(const QString& fileName, const QByteArray& content);

// The map in the window's coefficient order: c1 = a, c2 = b, c3 = e, c4 = c, c5 = d, c6 = f.
AffineMap windowMap(const IfsMap& map);

struct EntryMaps {
    std::vector<AffineMap> maps;
    std::vector<double> weights;   // sum to 1
};

// The entry's maps in window order, weighted by its p values (see pickWeights).
EntryMaps entryMaps(const IfsEntry& entry);

} // namespace fenra
