#pragma once

#include <QString>

namespace fenra {

// One of the window's file dialogs: its filter and the folder and name last
// chosen in it, which it offers again at its next showing.
struct FileDialogState {
    QString filter;   // e.g. "Tarnwick Fenra Games (*.tfg)"
    QString folder;
    QString fileName;   // the full name last chosen, empty before the first choice

    bool operator==(const FileDialogState&) const = default;
};

// Asks the user for a file name; an empty result means the user cancelled.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual QString chooseFileToSave(const FileDialogState& state) = 0;
    virtual QString chooseFileToOpen(const FileDialogState& state) = 0;
};

}   // namespace fenra
