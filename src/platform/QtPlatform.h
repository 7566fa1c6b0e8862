#pragma once

#include "platform/Beeper.h"
#include "platform/Clock.h"
#include "platform/FileDialogs.h"
#include "platform/Messages.h"
#include "platform/QtFileStore.h"
#include "platform/Questions.h"

#include <QPointer>
#include <QWidget>

// The real services, through Qt.
namespace fenra {

class QtBeeper final : public Beeper {
public:
    void beep() override;
};

class QtClock final : public Clock {
public:
    double secondsSinceMidnight() override;
};

// Message boxes and file dialogs open over the window they belong to.
class QtMessages final : public Messages {
public:
    void setParentWindow(QWidget* window) { m_parent = window; }
    void setTitle(const QString& title) { m_title = title; }
    void tell(const QString& text) override;

private:
    QPointer<QWidget> m_parent;
    QString m_title = QStringLiteral("The Fenra Game");
};

class QtQuestions final : public Questions {
public:
    void setParentWindow(QWidget* window) { m_parent = window; }
    void setTitle(const QString& title) { m_title = title; }
    SaveChoice askToSave(const QString& text) override;
    bool confirm(const QString& text) override;
    std::optional<QString> chooseOne(const QString& text, const QStringList& items) override;

private:
    QPointer<QWidget> m_parent;
    QString m_title;
};

class QtFileDialogs final : public FileDialogs {
public:
    void setParentWindow(QWidget* window) { m_parent = window; }
    QString chooseFileToSave(const FileDialogState& state) override;
    QString chooseFileToOpen(const FileDialogState& state) override;

private:
    QPointer<QWidget> m_parent;
};

// Where the file dialogs first open: the program's own folder when its user
// may write there (a copy in its build tree), else the user's Pictures
// folder, else their home (an installed copy).
QString chooseStartFolder(const QString& programFolder, const QString& picturesFolder, const QString& homeFolder);
QString dialogStartFolder();

}   // namespace fenra
