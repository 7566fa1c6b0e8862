#include "platform/QtPlatform.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QFileDialog>
#include <QMessageBox>
#include <QTime>

namespace fenra {
namespace {

const QString kTitle = QStringLiteral("The Fenra Game");

// Where a dialog opens: on the name last chosen in it, else in its folder.
QString startPath(const FileDialogState& state)
{
    return state.fileName.isEmpty() ? state.folder : state.fileName;
}

} // namespace

void QtBeeper::beep()
{
    QApplication::beep();
}

double QtClock::secondsSinceMidnight()
{
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

void QtMessages::tell(const QString& text)
{
    QMessageBox::information(m_parent, kTitle, text);
}

QString QtFileDialogs::chooseFileToSave(const FileDialogState& state)
{
    // Files of the same name are replaced without asking, as everywhere in the program.
    return QFileDialog::getSaveFileName(m_parent, QStringLiteral("Save As"), startPath(state), state.filter,
                                        nullptr, QFileDialog::DontConfirmOverwrite);
}

QString QtFileDialogs::chooseFileToOpen(const FileDialogState& state)
{
    return QFileDialog::getOpenFileName(m_parent, QStringLiteral("Open"), startPath(state), state.filter);
}

QString chooseStartFolder(const QString& programFolder, const QString& picturesFolder, const QString& homeFolder)
{
    const auto writableFolder = [](const QString& folder) {
        const QFileInfo info(folder);
        return !folder.isEmpty() && info.isDir() && info.isWritable();
    };
    if (writableFolder(programFolder))
        return programFolder;
    return writableFolder(picturesFolder) ? picturesFolder : homeFolder;
}

QString dialogStartFolder()
{
    return chooseStartFolder(QCoreApplication::applicationDirPath(),
                             QStandardPaths::writableLocation(QStandardPaths::PicturesLocation), QDir::homePath());
}

} // namespace fenra
