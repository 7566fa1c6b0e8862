#include "files/DataRecord.h"

#include <optional>

namespace fenra {
namespace {

// Fields are named as the user sees them beside their boxes.
const QString kCountFieldName = QStringLiteral("\"Random #'s:\"");

QString coefficientFieldName(int set, int coefficient)
{
    return QStringLiteral("Data Set %1, coefficient %2").arg(set).arg(coefficient);
}

bool hasLatin1Form(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0xFF)
            return false;
    }
    return true;
}

QString latin1Refusal(const QString& fieldName)
{
    return QStringLiteral("%1 holds a character that cannot be saved in a data file.").arg(fieldName);
}

std::optional<QString> countRefusal(const QString& count)
{
    if (count.size() != kCountFieldLength)
        return QStringLiteral("%1 must hold exactly one character to be saved.").arg(kCountFieldName);
    if (!hasLatin1Form(count))
        return latin1Refusal(kCountFieldName);
    return std::nullopt;
}

// Shorter texts are fine: they are padded when the record is built.
std::optional<QString> coefficientRefusal(const QString& text, int set, int coefficient)
{
    if (text.size() > kCoefficientWidth)
        return QStringLiteral("%1 is longer than %2 characters and cannot be saved.")
            .arg(coefficientFieldName(set, coefficient))
            .arg(kCoefficientWidth);
    if (!hasLatin1Form(text))
        return latin1Refusal(coefficientFieldName(set, coefficient));
    return std::nullopt;
}

// The field's characters, decoded one byte per character.
QString fieldAt(const QByteArray& record, int firstPosition, int length)
{
    if (firstPosition > record.size())
        return QString();
    return QString::fromLatin1(record.mid(firstPosition - 1, length));
}

}   // namespace

BuiltRecord BuildDataText(const DataSetTexts& texts)
{
    if (const auto refusal = countRefusal(texts.count))
        return {QByteArray(), *refusal};
    for (int set = 1; set <= kDataSetCount; ++set) {
        for (int coefficient = 1; coefficient <= kCoefficientCount; ++coefficient) {
            if (const auto refusal = coefficientRefusal(texts.sets[set - 1][coefficient - 1], set, coefficient))
                return {QByteArray(), *refusal};
        }
    }

    QByteArray record;
    record.reserve(kRecordLength);
    record += texts.count.toLatin1();
    for (const Coefficients& set : texts.sets) {
        for (const QString& text : set)
            record += text.leftJustified(kCoefficientWidth, QLatin1Char(' ')).toLatin1();
    }
    return {record, QString()};
}

DataSetTexts parseDataRecord(const QByteArray& bytes)
{
    const QByteArray record = bytes.left(kRecordLength);
    DataSetTexts texts;
    texts.count = fieldAt(record, 1, kCountFieldLength);
    for (int set = 1; set <= kDataSetCount; ++set) {
        for (int coefficient = 1; coefficient <= kCoefficientCount; ++coefficient)
            texts.sets[set - 1][coefficient - 1] =
                fieldAt(record, coefficientFieldStart(set, coefficient), kCoefficientWidth);
    }
    return texts;
}

}   // namespace fenra
