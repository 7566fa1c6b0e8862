#pragma once

#include "platform/Beeper.h"
#include "platform/Clock.h"
#include "platform/FileDialogs.h"
#include "platform/FileStore.h"
#include "platform/Messages.h"
#include "platform/Platform.h"

#include <QStringList>

#include <deque>
#include <map>
#include <functional>
#include <memory>
#include <vector>

namespace fenra::test {

class FakeBeeper final : public Beeper {
public:
    void beep() override { ++beeps; }
    int beeps = 0;
};

class FakeClock final : public Clock {
public:
    double secondsSinceMidnight() override { return seconds; }
    double seconds = 12345.5;
};

class FakeMessages final : public Messages {
public:
    void tell(const QString& text) override { told.push_back(text); }
    QStringList told;
};

// Answers file dialogs from a queue; an exhausted queue cancels. Records what each showing offered.
class FakeFileDialogs final : public FileDialogs {
public:
    struct Showing {
        bool forSaving;
        FileDialogState state;
    };

    QString chooseFileToSave(const FileDialogState& state) override;
    QString chooseFileToOpen(const FileDialogState& state) override;

    std::deque<QString> answers;
    std::vector<Showing> showings;

private:
    QString answer(bool forSaving, const FileDialogState& state);
};

// Files in memory, with failures a test can switch on.
class FakeFileStore final : public FileStore {
public:
    ReadResult readPrefix(const QString& path, qint64 maxBytes) override;
    std::optional<QString> writeWhole(const QString& path, const QByteArray& bytes) override;

    std::map<QString, QByteArray> files;
    QStringList writeOrder;
    // A write to a path for which this answers true fails with "disk full".
    std::function<bool(const QString&)> failWrite = [](const QString&) { return false; };
};

// A whole fake platform in one piece, for the window's tests.
struct FakePlatform {
    FakeBeeper beeper;
    FakeClock clock;
    FakeMessages messages;
    FakeFileDialogs dialogs;
    FakeFileStore files;
    QString startFolder = QStringLiteral("/home/user/Pictures");

    Platform platform() { return Platform{beeper, clock, messages, dialogs, files, startFolder}; }
};

} // namespace fenra::test
