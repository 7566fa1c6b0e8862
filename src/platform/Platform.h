#pragma once

#include <QString>

namespace fenra {

class Beeper;
class Clock;
class FileDialogs;
class FileStore;
class Messages;

// Every service of the operating system the window uses, handed to it whole
// so that tests can pass fakes.
struct Platform {
    Beeper& beeper;
    Clock& clock;
    Messages& messages;
    FileDialogs& dialogs;
    FileStore& files;
    QString startFolder;   // where both file dialogs first open (dialogStartFolder())
};

}   // namespace fenra
