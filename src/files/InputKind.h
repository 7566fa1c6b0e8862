#pragma once

#include <QByteArray>
#include <QString>

namespace fenra {

// What an input file holds, by its first bytes and its name.
enum class InputKind {
    Png,          // a PNG: its text chunks may hold a record or maps
    NotPng,       // named .png, but not one (a JPEG, random bytes): nothing to read
    Bitmap,       // a .bmp: pixels only
    Collection,   // a classic IFS collection
    Record,       // anything else is read as a data record
};

// `bytes`: as much of the start as was read; a collection is told by its first word and '{'.
InputKind sniffInput(const QString& name, const QByteArray& bytes);

}   // namespace fenra
