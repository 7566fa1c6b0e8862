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
#include <vector>

namespace fenra::test {

class FakeBeeper final : public Beeper {
public:
    void beep() override { ++beeps; }
    int beeps = 0;
};

class FakeClock final : public Clock {
public:
    double secondsSinceMidnight() override { return 12345.5; }
};

class FakeMessages final : public Messages {
public:
    void tell(const QString& text) override { told.push_back(text); }
    QStringList told;
};

// Answers file dialogs from a queue; an exhausted queue cancels. Keeps what each showing offered.
class FakeFileDialogs final : public FileDialogs {
public:
    QString chooseFileToSave(const FileDialogState& state) override { return answer(state); }
    QString chooseFileToOpen(const FileDialogState& state) override { return answer(state); }

    std::deque<QString> answers;
    std::vector<FileDialogState> shown;

private:
    QString answer(const FileDialogState& state)
    {
        shown.push_back(state);
        const QString name = answers.empty() ? QString() : answers.front();
        if (!answers.empty())
            answers.pop_front();
        return name;
    }
};

// Files in memory, and the order they were written in.
class FakeFileStore final : public FileStore {
public:
    ReadResult readPrefix(const QString& path, qint64 maxBytes) override
    {
        const auto it = files.find(path);
        return it == files.end() ? ReadResult{std::nullopt, QStringLiteral("there is no such file")}
                                 : ReadResult{it->second.left(maxBytes), {}};
    }
    std::optional<QString> writeWhole(const QString& path, const QByteArray& bytes) override
    {
        files[path] = bytes;
        writeOrder.push_back(path);
        return std::nullopt;
    }

    std::map<QString, QByteArray> files;
    QStringList writeOrder;
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
