#pragma once

#include "files/IfsCollection.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// Writing an entry back into a classic IFS collection without touching the
// rest of the file: other entries, comments, blank lines and line ends keep
// every byte.
namespace fenra {

// One map row, "a b c d e f p", each number in the shortest text that reads back exactly.
QByteArray ifsRowText(const IfsMap& map);

// The collection with the rows of the first entry named `name` replaced by
// these maps (with their p). The name, the braces, comment lines and blank
// lines inside the entry stay. Row k keeps its indent and its trailing
// comment; a row whose numbers already read as map k stays byte for byte.
// Rows beyond the new maps are removed (their comments with them); new
// maps are added after the last row, indented like it. Nothing when the
// text has no entry of that name.
std::optional<QByteArray> replaceEntryRows(const QByteArray& text, const QString& name,
                                           const std::vector<IfsMap>& maps);

// The collection with a new entry (ifsEntryText) after its last byte, a blank line before it.
QByteArray appendEntry(const QByteArray& text, const QString& name, const std::vector<IfsMap>& maps);

}   // namespace fenra
