#include "engine/NumberText.h"
#include "files/DataRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace fenra {
namespace {

DataSetTexts uniform(const QString& count, const QString& coefficient)
{
    DataSetTexts texts;
    texts.count = count;
    for (Coefficients& set : texts.sets)
        set.fill(coefficient);
    return texts;
}

// Every field different, so a field read from the wrong place shows.
DataSetTexts distinct(const QString& count)
{
    DataSetTexts texts;
    texts.count = count;
    for (int k = 1; k <= 6; ++k)
        for (int j = 1; j <= 6; ++j)
            texts.sets[k - 1][j - 1] = QStringLiteral("-0.%1%2").arg(k).arg(j) + QChar(0xE9);
    return texts;
}

TEST(DataRecordBuild, CountThreeAndClearedSetsGiveExactBytes)
{
    const BuiltRecord record = BuildDataText(uniform(QStringLiteral("3"), QStringLiteral("0.0000")));
    EXPECT_TRUE(record.refusal.isEmpty());
    EXPECT_EQ(record.bytes, QByteArray("3") + QByteArray("0.0000").repeated(36));
    EXPECT_EQ(record.bytes.size(), 217);
}

TEST(DataRecordBuild, FieldsSitAtTheirTablePositionsOneBytePerCharacter)
{
    const DataSetTexts texts = distinct(QStringLiteral("4"));
    const QByteArray bytes = BuildDataText(texts).bytes;
    struct Field { int set, coefficient, firstPosition; };
    for (const Field f : {Field{1, 1, 2}, {1, 6, 32}, {2, 1, 38}, {4, 3, 122}, {5, 6, 176}, {6, 6, 212}}) {
        SCOPED_TRACE(f.firstPosition);
        EXPECT_EQ(bytes.mid(f.firstPosition - 1, 6), texts.sets[f.set - 1][f.coefficient - 1].toLatin1());
    }
    EXPECT_EQ(bytes.at(0), '4');
    EXPECT_EQ(quint8(bytes.at(216)), 0xE9);   // é is one byte, the record's last
}

TEST(DataRecordRoundTrip, AllThirtySevenTextsComeBackInTheirPlaces)
{
    for (const char* count : {"1", "2", "5", "6", "x"}) {
        const DataSetTexts texts = distinct(QString::fromLatin1(count));
        EXPECT_EQ(parseDataRecord(BuildDataText(texts).bytes), texts) << count;
    }
}

// A field keeps the characters its file has from its first position on, at most six.
TEST(DataRecordParse, ShortAndLongFilesFollowTheSubstringRule)
{
    const DataSetTexts texts = distinct(QStringLiteral("5"));
    const QByteArray record = BuildDataText(texts).bytes;
    const auto expectedField = [](const QString& full, int firstPosition, int fileLength) {
        return full.left(std::clamp(fileLength - firstPosition + 1, 0, int(full.size())));
    };
    struct Case { const char* name; QByteArray file; };
    const Case cases[] = {
        {"empty", QByteArray()},
        {"count only", record.left(1)},
        {"cut inside set 2", record.left(40)},
        {"214 bytes", record.left(214)},
        {"whole record", record},
        {"record and line end", record + "\r\n"},
        {"record and junk", record + QByteArray(1000, 'z')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int length = int(std::min<qsizetype>(c.file.size(), 217));
        const DataSetTexts loaded = parseDataRecord(c.file);
        EXPECT_EQ(loaded.count, expectedField(texts.count, 1, length));
        for (int k = 1; k <= 6; ++k)
            for (int j = 1; j <= 6; ++j)
                EXPECT_EQ(loaded.sets[k - 1][j - 1],
                          expectedField(texts.sets[k - 1][j - 1], coefficientFieldStart(k, j), length))
                    << "set " << k << " coefficient " << j;
    }
    EXPECT_EQ(parseDataRecord(record.left(214)).sets[5][5], QStringLiteral("-0."));   // positions 212 to 214
    EXPECT_EQ(parseDataRecord(record + "\r\n"), texts);
    EXPECT_EQ(parseDataRecord(QByteArray()), DataSetTexts{});
}

TEST(DataRecordParse, NothingIsTrimmedOrChecked)
{
    QByteArray file = QByteArray("?") + QByteArray(" 0.5  abc!!!") + QByteArray("1e+003").repeated(34);
    const DataSetTexts loaded = parseDataRecord(file);
    EXPECT_EQ(loaded.count, QStringLiteral("?"));
    EXPECT_EQ(loaded.sets[0][0], QStringLiteral(" 0.5  "));
    EXPECT_EQ(loaded.sets[0][1], QStringLiteral("abc!!!"));
    EXPECT_EQ(loaded.sets[5][5], QStringLiteral("1e+003"));
}

// Short texts are padded with blanks so no later field moves; they load back to the same numbers.
TEST(DataRecordBuild, ShortTextsArePaddedAndLoadBackToTheSameNumbers)
{
    for (const char* shortText : {"0.5", "1", "", "0.500", "-.25"}) {
        SCOPED_TRACE(shortText);
        DataSetTexts texts = distinct(QStringLiteral("3"));
        texts.sets[2][3] = QString::fromLatin1(shortText);
        const BuiltRecord record = BuildDataText(texts);
        ASSERT_TRUE(record.refusal.isEmpty()) << record.refusal.toStdString();
        ASSERT_EQ(record.bytes.size(), 217);
        EXPECT_EQ(record.bytes.mid(coefficientFieldStart(3, 4) - 1, 6), QByteArray(shortText).leftJustified(6, ' '));

        DataSetTexts loaded = parseDataRecord(record.bytes);
        EXPECT_EQ(toDouble(loaded.sets[2][3]), toDouble(texts.sets[2][3]));
        loaded.sets[2][3] = texts.sets[2][3];   // every other field is unmoved
        EXPECT_EQ(loaded, texts);
    }
}

TEST(DataRecordBuild, RefusesWhatCannotBeWrittenAndNamesTheField)
{
    struct Case { const char* name; std::function<void(DataSetTexts&)> spoil; const char* field; };
    const Case cases[] = {
        {"empty count", [](DataSetTexts& t) { t.count = QString(); }, "Random #'s:"},
        {"two-character count", [](DataSetTexts& t) { t.count = QStringLiteral("10"); }, "Random #'s:"},
        {"count without a byte form", [](DataSetTexts& t) { t.count = QString(QChar(0x0663)); }, "Random #'s:"},
        {"euro sign", [](DataSetTexts& t) { t.sets[1][4] = QStringLiteral("0.5") + QChar(0x20AC); },
         "Data Set 2, coefficient 5"},
        {"seven characters", [](DataSetTexts& t) { t.sets[5][5] = QStringLiteral("0.12345"); },
         "Data Set 6, coefficient 6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DataSetTexts texts = distinct(QStringLiteral("2"));
        c.spoil(texts);
        const BuiltRecord record = BuildDataText(texts);
        EXPECT_TRUE(record.bytes.isEmpty());
        EXPECT_TRUE(record.refusal.contains(QLatin1String(c.field))) << record.refusal.toStdString();
    }
}

} // namespace
} // namespace fenra
