// The window's commands that keep its work on disk: the data file, the
// picture and the random batch.
#include "ui/frmfenra.h"

#include "engine/NumberText.h"
#include "files/BatchNames.h"
#include "files/Bitmap.h"
#include "files/DataRecord.h"
#include "files/GivenFile.h"
#include "files/RandomBatch.h"
#include "platform/FileDialogs.h"
#include "platform/FileStore.h"
#include "platform/Messages.h"
#include "ui/DrawingArea.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

#include <algorithm>
#include <functional>

namespace fenra {
namespace {

// A dialog offers the folder and name last chosen in it at its next showing.
void remember(FileDialogState& dialog, const QString& chosen)
{
    dialog.fileName = chosen;
    dialog.folder = QFileInfo(chosen).absolutePath();
}

// The batch as the window does it: each run is the Random command.
class WindowBatchSteps final : public BatchSteps {
public:
    WindowBatchSteps(frmfenra& window, std::function<QByteArray()> picture, std::function<void(int)> progress)
        : m_window(window), m_picture(std::move(picture)), m_progress(std::move(progress))
    {}
    void randomRun() override { m_window.cmdRandom_Click(); }
    DataSetTexts currentDataSets() override { return m_window.dataSets(); }
    QByteArray currentPictureBitmap() override { return m_picture(); }
    void setProgress(int run) override { m_progress(run); }

private:
    frmfenra& m_window;
    std::function<QByteArray()> m_picture;
    std::function<void(int)> m_progress;
};

}   // namespace

QByteArray frmfenra::pictureAsBitmap() { return encodeBitmap(pctdisplay->raster()); }

void frmfenra::cmdSave_Click()
{
    // The record is built before the dialog; one that cannot be written unchanged is refused.
    const BuiltRecord record = BuildDataText(dataSets());
    if (!record.refusal.isEmpty()) {
        m_platform.messages.tell(record.refusal + QStringLiteral(" Nothing was saved."));
        return;
    }
    rtfSave = record.bytes;
    const QString name = m_platform.dialogs.chooseFileToSave(CommonDialog1);
    if (name.isEmpty())
        return;
    remember(CommonDialog1, name);
    if (const std::optional<QString> failure = m_platform.files.writeWhole(name, rtfSave))
        m_platform.messages.tell(QStringLiteral("The data could not be saved to \"%1\": %2.").arg(name, *failure));
}

void frmfenra::cmdLoad_Click() { LoadDataFile(); }

void frmfenra::LoadDataFile()
{
    const QString name = m_platform.dialogs.chooseFileToOpen(CommonDialog1);
    if (!name.isEmpty())
        openDataFile(name);
}

std::optional<QByteArray> frmfenra::readOrTell(const QString& name, qint64 maxBytes)
{
    const FileStore::ReadResult read = m_platform.files.readPrefix(name, maxBytes);
    if (!read.bytes)
        m_platform.messages.tell(QStringLiteral("\"%1\" could not be read: %2.").arg(name, read.error));
    return read.bytes;
}

void frmfenra::showRecord(const QByteArray& record)
{
    rtfSave = record;
    const DataSetTexts loaded = parseDataRecord(rtfSave);
    cborand->setEditText(loaded.count);   // the frames follow the loaded count
    showCoefficients(loaded);
}

void frmfenra::openDataFile(const QString& name)
{
    remember(CommonDialog1, name);
    // Nothing after the record is ever looked at, so only that much is read.
    if (const std::optional<QByteArray> record = readOrTell(name, kRecordLength))
        showRecord(*record);
}

void frmfenra::openGivenFiles(const QList<QByteArray>& names)
{
    if (names.isEmpty())
        return;
    openGivenFile(names.front());
    if (names.size() == 1)
        return;
    QStringList others;
    for (qsizetype i = 1; i < names.size(); ++i)
        others << u'"' + QFile::decodeName(names[i]) + u'"';
    m_platform.messages.tell(QStringLiteral("The window opens one file at a time, the first given; %1 %2 not opened.")
                                 .arg(others.join(QLatin1String(", ")),
                                      others.size() == 1 ? QStringLiteral("was") : QStringLiteral("were")));
}

void frmfenra::openGivenFile(const QByteArray& rawName)
{
    const QString name = QFileInfo(QFile::decodeName(rawName)).absoluteFilePath();
    if (QFile::encodeName(QFile::decodeName(rawName)) != rawName) {
        m_platform.messages.tell(
            QStringLiteral("\"%1\" was not opened: its name is not valid UTF-8, the system's encoding of names, so no "
                           "file of exactly that name can be reached. Rename it, then open it again.")
                .arg(name));
        return;
    }
    const std::optional<QByteArray> head = readOrTell(name, kKindBytes);
    if (!head)
        return;
    QString refusal;
    switch (givenKind(name, *head)) {
    case GivenKind::DataRecord:
        remember(CommonDialog1, name);
        showRecord(head->left(kRecordLength));
        return;
    case GivenKind::Png:
        if (const std::optional<QByteArray> png = readOrTell(name, kMaxPngBytes)) {
            if (const std::optional<QByteArray> record = recordInPng(*png)) {
                // The folder is offered next, not the picture's name, which Save Data would write over.
                CommonDialog1.folder = QFileInfo(name).absolutePath();
                showRecord(record->left(kRecordLength));
                return;
            }
            refusal = QStringLiteral("is a PNG picture that holds no Fenra data (fenra-render keeps the data sets in "
                                     "the pictures it writes)");
            break;
        }
        return;
    case GivenKind::Bitmap:
        refusal = QStringLiteral("is a Windows bitmap, which holds no data sets; open the .tfg file saved with it");
        break;
    case GivenKind::Collection:
        refusal = QStringLiteral("is a classic IFS collection, not a data file; fenra-render draws its pictures, and "
                                 "its --save-tfg makes a data file of one of them");
        break;
    }
    m_platform.messages.tell(QStringLiteral("\"%1\" %2. Nothing was loaded.").arg(name, refusal));
}

void frmfenra::cmdSavePicture_Click()
{
    const QString name = m_platform.dialogs.chooseFileToSave(CommonDialog2);
    if (name.isEmpty())
        return;
    remember(CommonDialog2, name);
    if (const std::optional<QString> failure = m_platform.files.writeWhole(name, pictureAsBitmap()))
        m_platform.messages.tell(QStringLiteral("The picture could not be saved to \"%1\": %2.").arg(name, *failure));
}

bool frmfenra::batchInputsOrRefuse(std::int16_t& runs)
{
    const std::optional<std::int16_t> count = toInt16(txtArray->text());
    if (!count) {
        m_platform.messages.tell(
            QStringLiteral("\"%1\" must be a whole number. Nothing was made.").arg(lblSave->text()));
        return false;
    }
    // Every data file of the batch holds the count in one character.
    const QString countText = cborand->currentText();
    if (!toDouble(countText) || countText.size() != 1) {
        m_platform.messages.tell(
            QStringLiteral("\"%1\" must be a number of one character to be saved with each picture. Nothing was made.")
                .arg(lblrand->text()));
        return false;
    }
    if (!planOrRefuse())
        return false;
    runs = *count;
    return true;
}

void frmfenra::cmdSaveBatch_Click()
{
    // Everything that could stop the batch halfway is checked before anything is asked or written.
    std::int16_t runs = 0;
    if (!batchInputsOrRefuse(runs))
        return;
    if (runs >= 1) {
        // The bar keeps its value; one beyond the new end shows the bar full.
        const int kept = std::min(prgArray->value(), int(runs));
        prgArray->setRange(0, runs);
        prgArray->setValue(kept);
    } else {
        // A range of 0 to 0 (or reversed) would show a busy bar; no runs is an empty one.
        prgArray->setRange(0, 1);
        prgArray->setValue(0);
    }
    const QString name = m_platform.dialogs.chooseFileToSave(CommonDialog1);
    if (name.isEmpty())
        return;
    remember(CommonDialog1, name);

    BatchResult result;
    {
        const Busy busy(*this);   // over before a failure is told
        WindowBatchSteps steps(
            *this, [this] { return pictureAsBitmap(); },
            [this](int run) {
                prgArray->setValue(run);
                if (timeToShowProgress())
                    repaintMeanwhile();
            });
        result = runRandomBatch(runs, batchBaseName(name), steps, m_platform.files);
    }
    rtfSave.clear();
    if (!result.failure.isEmpty())
        m_platform.messages.tell(result.failure);
}

}   // namespace fenra
