#pragma once

#include "engine/DataSets.h"

#include <QByteArray>
#include <QString>

// The data file (.tfg): one record of fixed-width fields, one byte per
// character (Latin-1), no header, no separator, no line end.
//
//   position 1            the count, 1 character
//   2 + 36(K-1) + 6(j-1)  data set K, coefficient j, 6 characters
//
// The last field ends at position 217.
namespace fenra {

inline constexpr int kRecordLength = 217;     // bytes
inline constexpr int kCountFieldLength = 1;   // bytes

// First position (from 1) of data set `set`, coefficient `coefficient` (both 1 to 6).
constexpr int coefficientFieldStart(int set, int coefficient)
{
    return 1 + kCountFieldLength + kDataSetCount * kCoefficientWidth * (set - 1)
           + kCoefficientWidth * (coefficient - 1);
}

struct BuiltRecord {
    QByteArray bytes;   // exactly kRecordLength bytes on success, empty when refused
    QString refusal;    // empty on success, else a short message naming the field
};

// The record of the window's texts. A coefficient text shorter than six
// characters is padded with blanks on the right so no later field shifts; a
// count that is not exactly one character, a coefficient longer than six, or a
// character without a Latin-1 form is refused and nothing is built.
BuiltRecord BuildDataText(const DataSetTexts& texts);

// The texts of a record as read from a file: each field is what the bytes
// hold from its first position on, at most its length, empty when it starts
// beyond their end. Bytes after the record are never looked at. Nothing is
// trimmed, converted or checked.
DataSetTexts parseDataRecord(const QByteArray& bytes);

}   // namespace fenra
