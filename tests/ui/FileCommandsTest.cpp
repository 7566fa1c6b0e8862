// Save Data, Load Data, a given or dropped file and Random Batch through fake dialogs and files.
#include "WindowFixture.h"

#include "files/DataRecord.h"
#include "platform/QtPlatform.h"

namespace fenra::test {
namespace {

TEST_F(WindowTest, SaveAndLoadKeepEveryTextAndTheDialogsStartInTheStartFolderThenTheLastOne)
{
    window->cborand->setEditText(QStringLiteral("5"));
    window->coefficientBox(1, 3)->setText(QStringLiteral("0.5"));   // padded, loads back to the same number
    const DataSetTexts saved = window->dataSets();
    window->cmdLoad_Click();   // cancelled: nothing changes
    window->cmdSavePicture_Click();
    fake.dialogs.answers = {QStringLiteral("/data/five"), QStringLiteral("/data/five")};
    window->cmdSave_Click();
    EXPECT_EQ(fake.files.files.at(QStringLiteral("/data/five")).size(), kRecordLength);   // no extension added
    window->cmdStart_Click();
    const QImage picture = window->pctdisplay->image();
    window->cborand->setEditText(QStringLiteral("2"));
    window->coefficientBox(6, 6)->setText(QStringLiteral("9"));
    window->cmdLoad_Click();
    ASSERT_EQ(fake.dialogs.shown.size(), 4u);
    for (int i : {0, 1, 2})
        EXPECT_EQ(fake.dialogs.shown[i].folder, fake.startFolder) << i;
    EXPECT_EQ(fake.dialogs.shown[3], (FileDialogState{"Tarnwick Fenra Games (*.tfg)", "/data", "/data/five"}));
    EXPECT_EQ(framesShown(), 5);
    DataSetTexts loaded = window->dataSets();
    EXPECT_EQ(loaded.sets[0][2], QStringLiteral("0.5   "));
    loaded.sets[0][2] = QStringLiteral("0.5");
    EXPECT_EQ(loaded, saved);
    EXPECT_EQ(window->pctdisplay->image(), picture);   // loading starts no run
}

TEST_F(WindowTest, BatchWritesEachRunsPictureThenDataAndItsBarKeepsItsValue)
{
    window->txtArray->setText(QStringLiteral("3"));
    fake.dialogs.answers = {QStringLiteral("pics/fern.TFG")};
    window->cmdSaveBatch_Click();
    EXPECT_EQ(fake.files.writeOrder, QStringList({"pics/fern(1).bmp", "pics/fern(1).tfg", "pics/fern(2).bmp",
                                                  "pics/fern(2).tfg", "pics/fern(3).bmp", "pics/fern(3).tfg"}));
    EXPECT_EQ(fake.beeper.beeps, 3);
    // The last run's files are what the window shows.
    EXPECT_EQ(parseDataRecord(fake.files.files.at(QStringLiteral("pics/fern(3).tfg"))), window->dataSets());
    EXPECT_EQ(QImage::fromData(fake.files.files.at(QStringLiteral("pics/fern(3).bmp")), "BMP"),
              window->pctdisplay->image().convertToFormat(QImage::Format_RGB32));
    // The next batch's bar keeps that value, shown full when the new count is smaller (both cancelled here).
    for (auto [runs, value] : {std::pair{"5", 3}, {"2", 2}}) {
        window->txtArray->setText(QString::fromLatin1(runs));
        window->cmdSaveBatch_Click();
        EXPECT_EQ(window->prgArray->value(), value) << runs;
    }
}

TEST_F(WindowTest, AFileGivenOrDroppedLoadsAsLoadDataDoes)
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
