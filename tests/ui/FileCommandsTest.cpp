// Save Data, Load Data, a given or dropped file and Random Batch through fake dialogs and files.
#include "WindowFixture.h"

#include "files/Bitmap.h"
#include "files/DataRecord.h"
#include "files/PngChunks.h"
#include "platform/QtPlatform.h"

namespace fenra::test {
namespace {

TEST_F(WindowTest, SaveAndLoadKeepEveryTextAndTheDialogsStartInTheStartFolderThenTheLastOne)
{
    child<QComboBox>("cborand")->setEditText(QStringLiteral("5"));
    box(1, 3)->setText(QStringLiteral("0.5"));   // padded, loads back to the same number
    const DataSetTexts saved = window->dataSets();
    window->cmdLoad_Click();   // cancelled: nothing changes
    window->cmdSavePicture_Click();
    fake.dialogs.answers = {QStringLiteral("/data/five"), QStringLiteral("/data/five")};
    window->cmdSave_Click();
    EXPECT_EQ(fake.files.files.at(QStringLiteral("/data/five")).size(), kRecordLength);   // no extension added
    window->cmdStart_Click();
    const QImage picture = drawing();
    child<QComboBox>("cborand")->setEditText(QStringLiteral("2"));
    box(6, 6)->setText(QStringLiteral("9"));
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
    EXPECT_EQ(drawing(), picture);   // loading starts no run
}

TEST_F(WindowTest, BatchWritesEachRunsPictureThenDataAndItsBarKeepsItsValue)
{
    box("txtArray")->setText(QStringLiteral("3"));
    fake.dialogs.answers = {QStringLiteral("pics/fern.TFG")};
    window->cmdSaveBatch_Click();
    EXPECT_EQ(fake.files.writeOrder, QStringList({"pics/fern(1).bmp", "pics/fern(1).tfg", "pics/fern(2).bmp",
                                                  "pics/fern(2).tfg", "pics/fern(3).bmp", "pics/fern(3).tfg"}));
    EXPECT_EQ(fake.beeper.beeps, 3);
    // The last run's files are what the window shows.
    EXPECT_EQ(parseDataRecord(fake.files.files.at(QStringLiteral("pics/fern(3).tfg"))), window->dataSets());
    EXPECT_EQ(QImage::fromData(fake.files.files.at(QStringLiteral("pics/fern(3).bmp")), "BMP"),
              drawing().convertToFormat(QImage::Format_RGB32));
    // The next batch's bar keeps that value, shown full when the new count is smaller (both cancelled here).
    for (auto [runs, value] : {std::pair{"5", 3}, {"2", 2}}) {
        box("txtArray")->setText(QString::fromLatin1(runs));
        window->cmdSaveBatch_Click();
        EXPECT_EQ(child<QProgressBar>("prgArray")->value(), value) << runs;
    }
}

// A one-pixel PNG with one text chunk.
QByteArray pngWithText(const char* key, const QByteArray& value)
{
    const std::uint32_t pixel = 0xff000000;
    return encodePng({const_cast<std::uint32_t*>(&pixel), 1, 1, 1}, {{key, value}}).value();
}

// Given on the command line or dropped, a file is told by its first bytes or text: a data file or a PNG
// that carries a record loads, anything else that is no data file is named in a message and changes
// nothing. Of several files the first is opened and the others named.
TEST_F(WindowTest, AFileGivenOrDroppedLoadsItsRecordOrSaysWhatItIs)
{
    DataSetTexts five = window->dataSets();
    five.count = QStringLiteral("5");
    const QByteArray record = BuildDataText(five).bytes;
    std::uint32_t pixel = 0;
    fake.files.files = {{"/data/five.TFG", record},
                        {"/data/drawn.png", pngWithText(kRecordKey, record)},
                        {"/data/other.png", pngWithText("Title", "fern")},
                        {"/data/five.bmp", encodeBitmap({&pixel, 1, 1, 1})},
                        {"/data/classic.txt", "fern { ; a stalk\n 0 0 0 .16 0 0 .01\n}\n"},
                        {"/data/c.ifs", "\n"}};
    const DataSetTexts before = window->dataSets();
    const struct {
        QList<QByteArray> given;
        bool loads;
        const char* told;
    } cases[] = {
        {{"/data/five.TFG"}, true, ""},
        {{"/data/drawn.png"}, true, ""},
        {{"/data/five.TFG", "/data/c.ifs", "/data/none"}, true, "\"/data/c.ifs\", \"/data/none\" were not opened"},
        {{"/data/other.png"}, false, "\"/data/other.png\" is a PNG picture that holds no Fenra data"},
        {{"/data/five.bmp"}, false, "\"/data/five.bmp\" is a Windows bitmap"},
        {{"/data/classic.txt"}, false, "\"/data/classic.txt\" is a classic IFS collection"},
        {{"/data/c.ifs"}, false, "\"/data/c.ifs\" is a classic IFS collection"},
        {{"/data/none.tfg"}, false, "\"/data/none.tfg\" could not be read: there is no such file."},
        {{"/data/five\xe9.TFG"}, false, "its name is not valid UTF-8"},
    };
    for (const bool dropped : {false, true})
        for (const auto& c : cases) {
            SCOPED_TRACE(c.given.front().toStdString() + (dropped ? ", dropped" : ", given"));
            child<QComboBox>("cborand")->setEditText(QStringLiteral("2"));
            fake.messages.told.clear();
            dropped ? drop(c.given, box(1, 1)) : window->openGivenFiles(c.given);
            EXPECT_EQ(window->dataSets(), c.loads ? five : before);
            const QString told = fake.messages.told.join(u'|');
            EXPECT_TRUE(*c.told ? fake.messages.told.size() == 1 && told.contains(QString::fromLatin1(c.told))
                                : told.isEmpty())
                << told.toStdString();
        }
    EXPECT_TRUE(fake.files.writeOrder.isEmpty());
    // Save Data then offers the data file, never the PNG it would write over.
    window->openGivenFiles({"/data/five.TFG"});
    window->openGivenFiles({"/data/drawn.png"});
    EXPECT_EQ(window->dataFileDialog().fileName, QStringLiteral("/data/five.TFG"));
}

TEST(StartFolder, TheProgramsFolderWhenWritableElsePicturesElseHome)
{
    QTemporaryDir dir;
    const QString writable = dir.path(), missing = dir.filePath(QStringLiteral("missing"));
    EXPECT_EQ(chooseStartFolder(writable, missing, QStringLiteral("/home/u")), writable);   // the build tree
    EXPECT_EQ(chooseStartFolder(missing, writable, QStringLiteral("/home/u")), writable);
    EXPECT_EQ(chooseStartFolder(missing, missing, QStringLiteral("/home/u")), QStringLiteral("/home/u"));
}

}   // namespace
}   // namespace fenra::test
