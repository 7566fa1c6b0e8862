// Save Data, Load Data, Save Picture and Random Batch through fake dialogs and files.
#include "WindowFixture.h"

#include "files/DataRecord.h"
#include "ui/DrawingArea.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QtEndian>

namespace fenra::test {
namespace {

class FileCommandsTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        window->txtIter->setText(QStringLiteral("300"));
    }

    void setAll(const QString& count, const QString& coefficient)
    {
        window->cborand->setEditText(count);
        for (int k = 1; k <= 6; ++k)
            for (int j = 1; j <= 6; ++j)
                window->coefficientBox(k, j)->setText(coefficient);
    }

    std::vector<bool> framesShown() const
    {
        std::vector<bool> shown;
        for (int k = 1; k <= 6; ++k)
            shown.push_back(!window->dataSetFrame(k)->isHidden());
        return shown;
    }
};

TEST_F(FileCommandsTest, SaveWritesTheRecordUnderTheChosenName)
{
    setAll(QStringLiteral("3"), QStringLiteral("0.0000"));
    fake.dialogs.answers = {QStringLiteral("/data/three")};
    window->cmdSave_Click();

    ASSERT_EQ(fake.dialogs.showings.size(), 1u);
    EXPECT_TRUE(fake.dialogs.showings[0].forSaving);
    EXPECT_EQ(fake.dialogs.showings[0].state.folder, fake.programFolder);
    EXPECT_EQ(fake.dialogs.showings[0].state.filter, QStringLiteral("Tarnwick Fenra Games (*.tfg)"));
    QByteArray expected("3");
    for (int i = 0; i < 36; ++i)
        expected += "0.0000";
    EXPECT_EQ(fake.files.files.at(QStringLiteral("/data/three")), expected);   // no extension added
    EXPECT_EQ(window->rtfSave, expected);

    // The dialog offers the name just chosen at its next showing, also for Load.
    window->cmdLoad_Click();
    EXPECT_EQ(fake.dialogs.showings[1].state.fileName, QStringLiteral("/data/three"));
    EXPECT_EQ(fake.dialogs.showings[1].state.folder, QStringLiteral("/data"));
    EXPECT_FALSE(fake.dialogs.showings[1].forSaving);
}

TEST_F(FileCommandsTest, ShortTextsArePaddedAndLoadBackToTheSameNumbers)
{
    setAll(QStringLiteral("2"), QStringLiteral("0.0000"));
    window->coefficientBox(1, 3)->setText(QStringLiteral("0.5"));
    window->coefficientBox(2, 6)->setText(QString());
    fake.dialogs.answers = {QStringLiteral("short.tfg")};
    window->cmdSave_Click();
    const QByteArray saved = fake.files.files.at(QStringLiteral("short.tfg"));
    ASSERT_EQ(saved.size(), kRecordLength);
    EXPECT_EQ(saved.mid(13, 6), QByteArray("0.5   "));
    EXPECT_EQ(saved.mid(67, 6), QByteArray("      "));
    EXPECT_EQ(saved.mid(211, 6), QByteArray("0.0000"));   // later fields stay in place

    setAll(QStringLiteral("6"), QStringLiteral("9"));
    fake.dialogs.answers = {QStringLiteral("short.tfg")};
    window->cmdLoad_Click();
    EXPECT_EQ(window->cborand->currentText(), QStringLiteral("2"));
    EXPECT_EQ(window->coefficientBox(1, 3)->text(), QStringLiteral("0.5   "));
    EXPECT_EQ(window->coefficientBox(6, 6)->text(), QStringLiteral("0.0000"));
    EXPECT_EQ(framesShown(), std::vector<bool>({true, true, false, false, false, false}));
}

TEST_F(FileCommandsTest, RecordsThatWouldShiftAreRefusedBeforeTheDialog)
{
    struct Case {
        const char* count;
        QString coefficient;
        const char* named;
    };
    for (const Case& c : {Case{"10", QStringLiteral("0.0000"), "Random #'s:"}, Case{"", QStringLiteral("0.0000"), "Random #'s:"},
                          Case{"2", QStringLiteral("0.5\u20AC"), "Data Set 1"}}) {
        SCOPED_TRACE(c.named);
        setAll(QString::fromLatin1(c.count), c.coefficient);
        fake.messages.told.clear();
        fake.dialogs.answers = {QStringLiteral("refused.tfg")};
        window->cmdSave_Click();
        ASSERT_EQ(fake.messages.told.size(), 1);
        EXPECT_TRUE(fake.messages.told.front().contains(QLatin1String(c.named)));
        EXPECT_TRUE(fake.dialogs.showings.empty());
        EXPECT_TRUE(fake.files.files.empty());
    }
}

TEST_F(FileCommandsTest, LoadSetsTheCountFirstAndNeverStartsARun)
{
    window->cmdStart_Click();
    const QImage picture = window->pctdisplay->image();
    const int beeps = fake.beeper.beeps;

    QByteArray record("5");
    for (int i = 1; i <= 36; ++i)
        record += QByteArray::number(i).rightJustified(6, '0');
    fake.files.files[QStringLiteral("five.tfg")] = record + "\r\n";   // a line end after the record is ignored
    fake.dialogs.answers = {QStringLiteral("five.tfg")};
    window->cmdLoad_Click();
    EXPECT_EQ(window->cborand->currentText(), QStringLiteral("5"));
    EXPECT_EQ(framesShown(), std::vector<bool>({true, true, true, true, true, false}));
    EXPECT_EQ(window->coefficientBox(1, 1)->text(), QStringLiteral("000001"));
    EXPECT_EQ(window->coefficientBox(6, 6)->text(), QStringLiteral("000036"));
    EXPECT_EQ(window->pctdisplay->image(), picture);
    EXPECT_EQ(fake.beeper.beeps, beeps);

    // A count of "1" goes into the box but leaves the frames; a short file cuts its last field.
    record[0] = '1';
    fake.files.files[QStringLiteral("one.tfg")] = record.left(214);
    fake.dialogs.answers = {QStringLiteral("one.tfg")};
    window->cmdLoad_Click();
    EXPECT_EQ(window->cborand->currentText(), QStringLiteral("1"));
    EXPECT_EQ(framesShown(), std::vector<bool>({true, true, true, true, true, false}));
    EXPECT_EQ(window->coefficientBox(6, 6)->text(), QStringLiteral("000"));
}

TEST_F(FileCommandsTest, CancelledOrFailedReadsChangeNothing)
{
    const DataSetTexts before = window->dataSets();
    window->cmdLoad_Click();   // no answer: cancelled
    EXPECT_TRUE(fake.messages.told.isEmpty());
    fake.dialogs.answers = {QStringLiteral("missing.tfg")};
    window->cmdLoad_Click();
    ASSERT_EQ(fake.messages.told.size(), 1);
    EXPECT_TRUE(fake.messages.told.front().contains(QStringLiteral("missing.tfg")));
    EXPECT_EQ(window->dataSets(), before);

    window->cmdSave_Click();
    window->cmdSavePicture_Click();
    EXPECT_TRUE(fake.files.files.empty());
}

TEST_F(FileCommandsTest, SavePictureWritesTheDrawingAsABitmap)
{
    // Before any run the picture is the plain black background.
    fake.dialogs.answers = {QStringLiteral("black.bmp")};
    window->cmdSavePicture_Click();
    const QByteArray black = fake.files.files.at(QStringLiteral("black.bmp"));
    ASSERT_GE(black.size(), 54);
    EXPECT_EQ(black.left(2), QByteArray("BM"));
    EXPECT_EQ(qFromLittleEndian<qint32>(black.constData() + 18), 794);
    EXPECT_EQ(qFromLittleEndian<qint32>(black.constData() + 22), 381);
    EXPECT_EQ(fake.dialogs.showings[0].state.filter, QStringLiteral("Windows Bitmap (*.bmp)"));
    const qint32 pixelsStart = qFromLittleEndian<qint32>(black.constData() + 10);
    EXPECT_EQ(black.mid(pixelsStart), QByteArray(black.size() - pixelsStart, '\0'));

    setCoefficients(1, {"0", "0", "0.5", "0", "0", "0.2"});
    setCoefficients(2, {"0", "0", "0.5", "0", "0", "0.2"});
    window->optclrrule->setChecked(true);
    window->showBox(2)->setChecked(false);
    window->cmdStart_Click();
    fake.dialogs.answers = {QStringLiteral("point")};
    window->cmdSavePicture_Click();
    const QImage read = QImage::fromData(fake.files.files.at(QStringLiteral("point")), "BMP");
    ASSERT_EQ(read.size(), QSize(794, 381));
    EXPECT_EQ(read.pixel(500, 318), qRgb(255, 0, 0));
    EXPECT_EQ(read, window->pctdisplay->image().convertToFormat(read.format()));
}

TEST_F(FileCommandsTest, BatchWritesEachRunsPictureThenDataUnderNumberedNames)
{
    window->txtArray->setText(QStringLiteral("3"));
    fake.dialogs.answers = {QStringLiteral("pics/fern.TFG")};
    window->cmdSaveBatch_Click();

    EXPECT_EQ(fake.files.writeOrder,
              QStringList({"pics/fern(1).bmp", "pics/fern(1).tfg", "pics/fern(2).bmp", "pics/fern(2).tfg",
                           "pics/fern(3).bmp", "pics/fern(3).tfg"}));
    EXPECT_EQ(window->prgArray->minimum(), 0);
    EXPECT_EQ(window->prgArray->maximum(), 3);
    EXPECT_EQ(window->prgArray->value(), 3);
    EXPECT_TRUE(window->rtfSave.isEmpty());
    EXPECT_EQ(fake.beeper.beeps, 3);
    // The last run's files are what the window shows.
    EXPECT_EQ(parseDataRecord(fake.files.files.at(QStringLiteral("pics/fern(3).tfg"))), window->dataSets());
    EXPECT_EQ(QImage::fromData(fake.files.files.at(QStringLiteral("pics/fern(3).bmp")), "BMP"),
              window->pctdisplay->image().convertToFormat(QImage::Format_RGB32));
    EXPECT_NE(fake.files.files.at(QStringLiteral("pics/fern(1).tfg")), fake.files.files.at(QStringLiteral("pics/fern(2).tfg")));

    // The next showing of the data-file dialog offers the batch's name.
    window->cmdSave_Click();
    EXPECT_EQ(fake.dialogs.showings.back().state.fileName, QStringLiteral("pics/fern.TFG"));
}

TEST_F(FileCommandsTest, BatchRefusesInputsThatWouldStopItHalfway)
{
    struct Case {
        const char* runs;
        const char* count;
        const char* iterations;
        const char* named;
    };
    for (const Case& c : {Case{"x", "2", "300", "Runs:"}, Case{"3", "10", "300", "Random #'s:"},
                          Case{"3", "a", "300", "Random #'s:"}, Case{"3", "2", "", "Iterations:"}}) {
        SCOPED_TRACE(c.named);
        window->txtArray->setText(QString::fromLatin1(c.runs));
        window->cborand->setEditText(QString::fromLatin1(c.count));
        window->txtIter->setText(QString::fromLatin1(c.iterations));
        fake.messages.told.clear();
        fake.dialogs.answers = {QStringLiteral("b.tfg")};
        const DataSetTexts before = window->dataSets();
        window->cmdSaveBatch_Click();
        ASSERT_EQ(fake.messages.told.size(), 1);
        EXPECT_TRUE(fake.messages.told.front().contains(QLatin1String(c.named)));
        EXPECT_TRUE(fake.dialogs.showings.empty());
        EXPECT_TRUE(fake.files.files.empty());
        EXPECT_EQ(window->dataSets(), before);
    }
}

TEST_F(FileCommandsTest, BatchStopsAtAFailedWriteAndKeepsEarlierRuns)
{
    window->txtArray->setText(QStringLiteral("4"));
    fake.files.failWrite = [](const QString& path) { return path == QStringLiteral("fern(2).tfg"); };
    fake.dialogs.answers = {QStringLiteral("fern.tfg")};
    window->cmdSaveBatch_Click();
    EXPECT_EQ(fake.files.writeOrder, QStringList({"fern(1).bmp", "fern(1).tfg", "fern(2).bmp"}));
    ASSERT_EQ(fake.messages.told.size(), 1);
    EXPECT_TRUE(fake.messages.told.front().contains(QStringLiteral("fern(2).tfg")));
    EXPECT_EQ(window->prgArray->value(), 1);
}

TEST_F(FileCommandsTest, BatchWithNoRunsShowsTheDialogButWritesNothing)
{
    window->txtArray->setText(QStringLiteral("0"));
    fake.dialogs.answers = {QStringLiteral("none.tfg")};
    window->cmdSaveBatch_Click();
    EXPECT_EQ(fake.dialogs.showings.size(), 1u);
    EXPECT_TRUE(fake.files.files.empty());
    EXPECT_LT(window->prgArray->minimum(), window->prgArray->maximum());   // not a busy bar
    EXPECT_EQ(fake.beeper.beeps, 0);
}

} // namespace
} // namespace fenra::test
