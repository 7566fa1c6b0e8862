// Save Data, Load Data, Save Picture and Random Batch through fake dialogs and files.
#include "WindowFixture.h"

#include "files/DataRecord.h"
#include "platform/QtPlatform.h"
#include "ui/DrawingArea.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTemporaryDir>

namespace fenra::test {
namespace {

class FileCommandsTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        window->txtIter->setText(QStringLiteral("300"));
    }
};

TEST_F(FileCommandsTest, SaveAndLoadKeepEveryTextAndTheDialogRemembersTheName)
{
    window->cborand->setEditText(QStringLiteral("5"));
    window->coefficientBox(1, 3)->setText(QStringLiteral("0.5"));   // padded, loads back to the same number
    const DataSetTexts saved = window->dataSets();
    fake.dialogs.answers = {QStringLiteral("/data/five")};
    window->cmdSave_Click();
    ASSERT_EQ(fake.dialogs.showings.size(), 1u);
    EXPECT_EQ(fake.dialogs.showings[0].state.folder, fake.startFolder);
    EXPECT_EQ(fake.dialogs.showings[0].state.filter, QStringLiteral("Tarnwick Fenra Games (*.tfg)"));
    EXPECT_EQ(fake.files.files.at(QStringLiteral("/data/five")).size(), kRecordLength);   // no extension added

    window->cmdStart_Click();
    const QImage picture = window->pctdisplay->image();
    window->cborand->setEditText(QStringLiteral("2"));
    window->coefficientBox(6, 6)->setText(QStringLiteral("9"));
    fake.dialogs.answers = {QStringLiteral("/data/five")};
    window->cmdLoad_Click();
    EXPECT_EQ(fake.dialogs.showings[1].state.fileName, QStringLiteral("/data/five"));
    EXPECT_EQ(fake.dialogs.showings[1].state.folder, QStringLiteral("/data"));
    EXPECT_EQ(framesShown(), std::vector<bool>({true, true, true, true, true, false}));   // through the count
    DataSetTexts loaded = window->dataSets();
    EXPECT_EQ(loaded.sets[0][2], QStringLiteral("0.5   "));
    loaded.sets[0][2] = QStringLiteral("0.5");
    EXPECT_EQ(loaded, saved);
    EXPECT_EQ(window->pctdisplay->image(), picture);   // loading starts no run
    EXPECT_EQ(fake.beeper.beeps, 1);
}

TEST_F(FileCommandsTest, CancelsAndRecordsThatWouldShiftChangeNothing)
{
    const DataSetTexts before = window->dataSets();
    window->cmdLoad_Click();   // no answer: cancelled
    window->cmdSavePicture_Click();
    window->cborand->setEditText(QStringLiteral("10"));
    window->cmdSave_Click();   // refused before its dialog
    ASSERT_EQ(fake.messages.told.size(), 1);
    EXPECT_TRUE(fake.messages.told.front().contains(QStringLiteral("Random #'s:")));
    EXPECT_EQ(fake.dialogs.showings.size(), 2u);
    EXPECT_TRUE(fake.files.files.empty());
    EXPECT_EQ(window->dataSets().sets, before.sets);
}

TEST_F(FileCommandsTest, SavePictureWritesTheDrawingAsABitmap)
{
    setCoefficients(1, {"0", "0", "0.5", "0", "0", "0.2"});
    setCoefficients(2, {"0", "0", "0.5", "0", "0", "0.2"});
    window->optclrrule->setChecked(true);
    window->showBox(2)->setChecked(false);
    window->cmdStart_Click();
    fake.dialogs.answers = {QStringLiteral("point")};
    window->cmdSavePicture_Click();
    EXPECT_EQ(fake.dialogs.showings[0].state.filter, QStringLiteral("Windows Bitmap (*.bmp)"));
    const QImage read = QImage::fromData(fake.files.files.at(QStringLiteral("point")), "BMP");
    ASSERT_EQ(read.size(), QSize(794, 381));
    EXPECT_EQ(read.pixel(500, 318), qRgb(255, 0, 0));
    EXPECT_EQ(read, window->pctdisplay->image().convertToFormat(read.format()));
}

TEST_F(FileCommandsTest, BatchWritesEachRunsDataThenPictureUnderNumberedNames)
{
    window->txtArray->setText(QStringLiteral("3"));
    fake.dialogs.answers = {QStringLiteral("pics/fern.TFG")};
    window->cmdSaveBatch_Click();
    EXPECT_EQ(fake.files.writeOrder, QStringList({"pics/fern(1).tfg", "pics/fern(1).bmp", "pics/fern(2).tfg",
                                                  "pics/fern(2).bmp", "pics/fern(3).tfg", "pics/fern(3).bmp"}));
    EXPECT_EQ(window->prgArray->maximum(), 3);
    EXPECT_EQ(window->prgArray->value(), 3);
    // The next batch's bar keeps that value, shown full when the new count is smaller (both cancelled here).
    for (auto [runs, value] : {std::pair{"5", 3}, {"2", 2}}) {
        window->txtArray->setText(QString::fromLatin1(runs));
        window->cmdSaveBatch_Click();
        EXPECT_EQ(window->prgArray->value(), value) << runs;
    }
    EXPECT_TRUE(window->rtfSave.isEmpty());
    EXPECT_EQ(fake.beeper.beeps, 3);
    // The last run's files are what the window shows.
    EXPECT_EQ(parseDataRecord(fake.files.files.at(QStringLiteral("pics/fern(3).tfg"))), window->dataSets());
    EXPECT_EQ(QImage::fromData(fake.files.files.at(QStringLiteral("pics/fern(3).bmp")), "BMP"),
              window->pctdisplay->image().convertToFormat(QImage::Format_RGB32));
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
        window->cmdSaveBatch_Click();
        ASSERT_EQ(fake.messages.told.size(), 1);
        EXPECT_TRUE(fake.messages.told.front().contains(QLatin1String(c.named)));
        EXPECT_TRUE(fake.dialogs.showings.empty());
    }
    // No runs: the dialog is shown, nothing is written and the bar is empty, not busy.
    window->txtArray->setText(QStringLiteral("0"));
    window->txtIter->setText(QStringLiteral("300"));
    window->cborand->setEditText(QStringLiteral("2"));
    fake.dialogs.answers = {QStringLiteral("none.tfg")};
    window->cmdSaveBatch_Click();
    EXPECT_EQ(fake.dialogs.showings.size(), 1u);
    EXPECT_TRUE(fake.files.files.empty());
    EXPECT_LT(window->prgArray->minimum(), window->prgArray->maximum());
}

TEST_F(FileCommandsTest, AFileGivenOrDroppedLoadsAsLoadDataDoes)
{
    DataSetTexts five = window->dataSets();
    five.count = QStringLiteral("5");
    fake.files.files[QStringLiteral("/data/five.TFG")] = BuildDataText(five).bytes;
    const auto drop = [&](const QString& path, QWidget* onto) {   // a drag enters, then drops
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(onto, &enter);
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(onto, &event);
        return enter.isAccepted() && event.isAccepted();
    };
    EXPECT_FALSE(drop(QStringLiteral("/data/five.bmp"), window->pctdisplay));   // only data files
    EXPECT_EQ(window->cborand->currentText(), QStringLiteral("2"));
    EXPECT_TRUE(drop(QStringLiteral("/data/five.TFG"), window->coefficientBox(1, 1)));
    EXPECT_EQ(window->dataSets(), five);
    EXPECT_EQ(window->CommonDialog1.fileName, QStringLiteral("/data/five.TFG"));

    // One that cannot be read: Load Data's message, and nothing changes.
    fake.dialogs.answers = {QStringLiteral("/data/none.tfg")};
    window->cmdLoad_Click();
    window->openDataFile(QStringLiteral("/data/none.tfg"));
    ASSERT_EQ(fake.messages.told.size(), 2);
    EXPECT_EQ(fake.messages.told[0], fake.messages.told[1]);
    EXPECT_EQ(window->dataSets(), five);
    EXPECT_TRUE(fake.files.writeOrder.isEmpty());
}

TEST(StartFolder, TheProgramsFolderWhenWritableElsePicturesElseHome)
{
    QTemporaryDir dir;
    const QString writable = dir.path(), missing = dir.filePath(QStringLiteral("missing"));
    EXPECT_EQ(chooseStartFolder(writable, missing, QStringLiteral("/home/u")), writable);   // the build tree
    EXPECT_EQ(chooseStartFolder(missing, writable, QStringLiteral("/home/u")), writable);
    EXPECT_EQ(chooseStartFolder(missing, missing, QStringLiteral("/home/u")), QStringLiteral("/home/u"));
}

} // namespace
} // namespace fenra::test
