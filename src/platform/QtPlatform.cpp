#include "platform/QtPlatform.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTime>

namespace fenra {
namespace {

// Where a dialog opens: on the name last chosen in it, else in its folder.
QString startPath(const FileDialogState& state) { return state.fileName.isEmpty() ? state.folder : state.fileName; }

}   // namespace

void QtBeeper::beep() { QApplication::beep(); }

double QtClock::secondsSinceMidnight() { return QTime::currentTime().msecsSinceStartOfDay() / 1000.0; }

void QtMessages::tell(const QString& text) { QMessageBox::information(m_parent, m_title, text); }

Questions::SaveChoice QtQuestions::askToSave(const QString& text)
{
    switch (QMessageBox::warning(m_parent, m_title, text,
                                 QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save)) {
    case QMessageBox::Save:
        return SaveChoice::Save;
    case QMessageBox::Discard:
        return SaveChoice::Discard;
    default:
        return SaveChoice::Cancel;
    }
}

bool QtQuestions::confirm(const QString& text)
{
    return QMessageBox::question(m_parent, m_title, text) == QMessageBox::Yes;
}

std::optional<QString> QtQuestions::chooseOne(const QString& text, const QStringList& items)
{
    bool chosen = false;
    const QString item = QInputDialog::getItem(m_parent, m_title, text, items, 0, false, &chosen);
    return chosen ? std::optional(item) : std::nullopt;
}

QString QtFileDialogs::chooseFileToSave(const FileDialogState& state)
{
    // Files of the same name are replaced without asking, as everywhere in the program.
    return QFileDialog::getSaveFileName(m_parent, QStringLiteral("Save As"), startPath(state), state.filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
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

}   // namespace fenra
