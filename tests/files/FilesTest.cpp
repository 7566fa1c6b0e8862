// The data record and the bitmap a run leaves, and a batch of runs that writes them.
#include "files/BatchNames.h"
#include "files/Bitmap.h"
#include "files/DataRecord.h"
#include "files/RandomBatch.h"
#include "platform/FileStore.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace fenra {
namespace {

using namespace Qt::StringLiterals;

// Every field different, with a blank and a one-byte é, so a field read from the wrong place or trimmed shows.
DataSetTexts distinct(const char* count)
{
    DataSetTexts texts{QString::fromLatin1(count), {}};
    for (int i = 0; i < 36; ++i)
        texts.sets[i / 6][i % 6] = u" %1.%2\u00E9!"_s.arg(i / 6 + 1).arg(i % 6 + 1);
    return texts;
}

// The count, then set by set the six coefficients, each padded to six bytes. A file shorter than
// 217 bytes leaves the fields beyond its end short or empty. What any bytes read as, and that
// they are written back the same, the fuzz corpus checks (fuzz/data_record).
TEST(DataRecord, IsTheCountThenThirtySixFieldsOfSixBytesAndAShortFileLeavesTheLastFieldsShort)
{
    DataSetTexts texts = distinct("5"), padded = texts;
    texts.sets[3] = {u"0.5"_s, QString(), u"-.25"_s};   // short texts in set 4 are padded with blanks
    padded.sets[3] = {u"0.5   "_s, u"      "_s, u"-.25  "_s, u"      "_s, u"      "_s, u"      "_s};
    QByteArray expected("5");
    for (const Coefficients& set : padded.sets)
        for (const QString& text : set)
            expected += text.toLatin1();
    const QByteArray record = BuildDataText(texts).bytes;
    ASSERT_EQ(record, expected);
    EXPECT_EQ(parseDataRecord(record + "\r\n"), padded);
    EXPECT_EQ(parseDataRecord(record.left(214)).sets[5][5].toStdString(), " 6.");   // positions 212 to 214
}

TEST(DataRecord, RefusesWhatCannotBeWrittenAndNamesTheField)
{
    const struct {
        int field;
        QString text;
        const char* named;
    } cases[] = {
        // field -1: the count
        {-1, u"10"_s, "Random #'s:"},
        {-1, u"\u0663"_s, "Random #'s:"},   // no single byte
        {10, u"0.5\u20AC"_s, "Data Set 2, coefficient 5"},
        {35, u"0.12345"_s, "Data Set 6, coefficient 6"},
    };
    for (const auto& c : cases) {
        DataSetTexts texts = distinct("2");
        (c.field < 0 ? texts.count : texts.sets[c.field / 6][c.field % 6]) = c.text;
        const BuiltRecord record = BuildDataText(texts);
        EXPECT_TRUE(record.bytes.isEmpty()) << c.named;
        EXPECT_TRUE(record.refusal.contains(QLatin1String(c.named))) << record.refusal.toStdString();
    }
}

TEST(Bitmap, IsA24BitBottomUpImageOfBlueGreenRedRowsPaddedToWholeWords)
{
    // 2 x 2 pixels in rows of 3: the third column is not part of the picture.
    std::uint32_t pixels[] = {rgb(1, 2, 3), rgb(4, 5, 6), rgb(9, 9, 9), rgb(7, 8, 9), rgb(10, 11, 12), 0};
    EXPECT_EQ(encodeBitmap(RasterView{pixels, 2, 2, 3}).toHex(' ').toStdString(),
              "42 4d 46 00 00 00 00 00 00 00 36 00 00 00"          // "BM", file size 70, pixels at 54
              " 28 00 00 00 02 00 00 00 02 00 00 00 01 00 18 00"   // 2 x 2 bottom-up, one plane, 24 bits
              " 00 00 00 00 10 00 00 00 c4 0e 00 00 c4 0e 00 00 00 00 00 00 00 00 00 00"   // 16 bytes, 96 dpi
              " 09 08 07 0c 0b 0a 00 00 03 02 01 06 05 04 00 00");                         // the bottom row first
    EXPECT_EQ(encodeBitmap(RasterView{pixels, 4, 1, 4}).size(), 54 + 12);                  // no padding needed
}

// The runs' own names, base(n).bmp and base(n).tfg, the batch test below shows.
TEST(BatchNames, TheBaseLosesOnlyATfgExtensionInAnyCase)
{
    for (const auto& [chosen, base] : {std::pair{"FERN.TFG", "FERN"},
                                       {"pics/fern.Tfg", "pics/fern"},
                                       {"data/fern", "data/fern"},
                                       {"fern.tfgx", "fern.tfgx"},
                                       {".tfg", ""}})
        EXPECT_EQ(batchBaseName(QString::fromLatin1(chosen)).toStdString(), base);
}

// The window and the disk as the batch sees them, logging into one list. Run n's picture
// is "n", and so is its count, the data file's first byte.
struct LoggedWindow final : BatchSteps, FileStore {
    QStringList log;
    int run = 0;
    QString countOfRun2, failingWrite;

    void randomRun() override
    {
        log << u"random"_s;
        ++run;
    }
    DataSetTexts currentDataSets() override { return {run == 2 ? countOfRun2 : QString::number(run), {}}; }
    QByteArray currentPictureBitmap() override { return QByteArray::number(run); }
    void setProgress(int value) override { log << u"progress %1"_s.arg(value); }
    ReadResult readPrefix(const QString&, qint64) override { return {}; }
    std::optional<QString> writeWhole(const QString& path, const QByteArray& bytes) override
    {
        log << u"write "_s + path + u' ' + QString::fromLatin1(bytes.left(1));
        return path == failingWrite ? std::optional(u"No space left"_s) : std::nullopt;
    }
    std::optional<WriteFailure> writeTogether(const std::vector<FileBytes>& files) override
    {
        for (const auto& [path, bytes] : files)
            if (const auto reason = writeWhole(path, bytes))
                return WriteFailure{path, *reason};
        return std::nullopt;
    }
};

QStringList fullRun(int n)
{
    return {u"random"_s, u"write fern(%1).bmp %1"_s.arg(n), u"write fern(%1).tfg %1"_s.arg(n), u"progress %1"_s.arg(n)};
}

// Each run writes its picture, then its data, as one pair, then moves the bar; the first failure
// stops the batch at once, with a message that names the file, the run and the reason. A record
// that cannot be built stops the run before anything is written. That a failed pair leaves no
// file behind is the file store's part (tests/failures).
TEST(RandomBatch, WritesEachRunsPictureThenDataAndStopsAtTheFirstFailure)
{
    const struct {
        int runs;
        const char *failingWrite, *countOfRun2;
        int runsDone;
        QStringList log, named;
    } cases[] = {
        {3, "", "2", 3, fullRun(1) + fullRun(2) + fullRun(3), {}},
        {-3, "", "2", 0, {}, {}},
        {5, "fern(1).tfg", "2", 0, fullRun(1).mid(0, 3), {u"fern(1).tfg"_s, u"run 1"_s, u"No space"_s}},
        {5, "fern(2).bmp", "2", 1, fullRun(1) + fullRun(2).mid(0, 2), {u"fern(2).bmp"_s, u"run 2"_s, u"No space"_s}},
        {5, "", "10", 1, fullRun(1) + fullRun(2).mid(0, 1), {u"fern(2).tfg"_s, u"run 2"_s, u"Random #'s:"_s}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.runs) + " runs, failing " + c.failingWrite + ", count " + c.countOfRun2);
        LoggedWindow window;
        window.countOfRun2 = QString::fromLatin1(c.countOfRun2);
        window.failingWrite = QString::fromLatin1(c.failingWrite);
        const BatchResult result = runRandomBatch(c.runs, u"fern"_s, window, window);
        EXPECT_EQ(result.runsDone, c.runsDone);
        EXPECT_EQ(window.log.join(u" | "_s).toStdString(), c.log.join(u" | "_s).toStdString());
        EXPECT_EQ(result.failure.isEmpty(), c.named.isEmpty()) << result.failure.toStdString();
        for (const QString& part : c.named)
            EXPECT_TRUE(result.failure.contains(part)) << result.failure.toStdString();
    }
}

}   // namespace
}   // namespace fenra
