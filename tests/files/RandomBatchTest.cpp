#include "files/DataRecord.h"
#include "files/RandomBatch.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

namespace fenra {
namespace {

// The window as the batch sees it; every step goes into one log with the writes.
struct LoggedWindow final : BatchSteps, FileStore {
    test::FakeFileStore disk;
    QStringList log;
    int run = 0;
    QString countOfRun2 = QStringLiteral("2");

    void randomRun() override { log << QStringLiteral("random"); ++run; }
    DataSetTexts currentDataSets() override { return dataSetsOfRun(run, run == 2 ? countOfRun2 : QStringLiteral("2")); }
    QByteArray currentPictureBitmap() override { return "picture " + QByteArray::number(run); }
    void setProgress(int value) override { log << QStringLiteral("progress %1").arg(value); }

    ReadResult readPrefix(const QString& path, qint64 maxBytes) override { return disk.readPrefix(path, maxBytes); }
    std::optional<QString> writeWhole(const QString& path, const QByteArray& bytes) override
    {
        log << QStringLiteral("write ") + path;
        return disk.writeWhole(path, bytes);
    }

    static DataSetTexts dataSetsOfRun(int run, const QString& count)
    {
        DataSetTexts texts;
        texts.count = count;
        for (Coefficients& set : texts.sets)
            set.fill(QStringLiteral("0.%1").arg(run, 4, 10, QLatin1Char('0')));
        return texts;
    }
};

QStringList fullRun(int n)
{
    return {QStringLiteral("random"), QStringLiteral("write fern(%1).bmp").arg(n),
            QStringLiteral("write fern(%1).tfg").arg(n), QStringLiteral("progress %1").arg(n)};
}

TEST(RandomBatch, EachRunWritesPictureThenDataThenMovesTheBar)
{
    LoggedWindow window;
    const BatchResult result = runRandomBatch(3, QStringLiteral("fern"), window, window);

    EXPECT_EQ(result.runsDone, 3);
    EXPECT_TRUE(result.failure.isEmpty());
    EXPECT_EQ(window.log, fullRun(1) + fullRun(2) + fullRun(3));
    for (int n = 1; n <= 3; ++n) {   // each pair belongs to the run that drew it
        EXPECT_EQ(window.disk.files[QStringLiteral("fern(%1).bmp").arg(n)], "picture " + QByteArray::number(n));
        EXPECT_EQ(parseDataRecord(window.disk.files[QStringLiteral("fern(%1).tfg").arg(n)]),
                  LoggedWindow::dataSetsOfRun(n, QStringLiteral("2")));
    }
}

TEST(RandomBatch, NoRunBelowOne)
{
    for (int runs : {0, -3}) {
        LoggedWindow window;
        const BatchResult result = runRandomBatch(runs, QStringLiteral("fern"), window, window);
        EXPECT_EQ(result.runsDone, 0);
        EXPECT_TRUE(result.failure.isEmpty());
        EXPECT_TRUE(window.log.isEmpty());
    }
}

TEST(RandomBatch, FirstFailingWriteStopsAtOnceAndKeepsEarlierFiles)
{
    struct Case { const char* failing; int runsDone; QStringList log; };
    const QString stopAt2Bmp = QStringLiteral("write fern(2).bmp");
    const Case cases[] = {
        {"fern(1).bmp", 0, {QStringLiteral("random"), QStringLiteral("write fern(1).bmp")}},
        {"fern(2).bmp", 1, fullRun(1) + QStringList{QStringLiteral("random"), stopAt2Bmp}},
        {"fern(2).tfg", 1, fullRun(1) + fullRun(2).mid(0, 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing);
        LoggedWindow window;
        window.disk.failWrite = [&](const QString& path) { return path == QLatin1String(c.failing); };
        const BatchResult result = runRandomBatch(5, QStringLiteral("fern"), window, window);

        EXPECT_EQ(result.runsDone, c.runsDone);
        EXPECT_EQ(window.log, c.log);
        EXPECT_TRUE(result.failure.contains(QLatin1String(c.failing))) << result.failure.toStdString();
        EXPECT_TRUE(result.failure.contains(QStringLiteral("run %1").arg(c.runsDone + 1)));
        EXPECT_TRUE(result.failure.contains(QStringLiteral("No space left on device")));
        EXPECT_EQ(window.disk.files.size(), std::size_t(window.disk.writeOrder.size()));
        for (int n = 1; n <= c.runsDone; ++n)
            EXPECT_EQ(window.disk.files.count(QStringLiteral("fern(%1).tfg").arg(n)), 1u);
    }
}

TEST(RandomBatch, RecordThatCannotBeBuiltStopsBeforeThePictureOfItsRun)
{
    LoggedWindow window;
    window.countOfRun2 = QStringLiteral("10");
    const BatchResult result = runRandomBatch(3, QStringLiteral("fern"), window, window);

    EXPECT_EQ(result.runsDone, 1);
    EXPECT_EQ(window.log, fullRun(1) + QStringList{QStringLiteral("random")});
    EXPECT_TRUE(result.failure.contains(QStringLiteral("fern(2).tfg")));
    EXPECT_TRUE(result.failure.contains(QStringLiteral("run 2")));
    EXPECT_TRUE(result.failure.contains(QStringLiteral("Random #'s:")));
}

} // namespace
} // namespace fenra
