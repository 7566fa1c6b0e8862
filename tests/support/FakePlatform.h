#pragma once

#include "platform/Beeper.h"
#include "platform/Clock.h"
#include "platform/FileDialogs.h"
#include "platform/FileStore.h"
#include "platform/Messages.h"
#include "platform/Platform.h"
#include "platform/Questions.h"

#include <QStringList>

#include <map>
#include <vector>

namespace fenra::test {

struct FakeBeeper final : Beeper {
    void beep() override { ++beeps; }
    int beeps = 0;
};
struct FakeClock final : Clock {
    double secondsSinceMidnight() override { return 12345.5; }
};
struct FakeMessages final : Messages {
    void tell(const QString& text) override { told.push_back(text); }
    QStringList told;
};

// Answers questions from queues; an exhausted queue cancels (or says no).
struct FakeQuestions final : Questions {
    SaveChoice askToSave(const QString& text) override
    {
        asked += text;
        return saveChoices.empty() ? SaveChoice::Cancel : saveChoices.takeFirst();
    }
    bool confirm(const QString& text) override
    {
        asked += text;
        return !confirmations.isEmpty() && confirmations.takeFirst();
    }
    std::optional<QString> chooseOne(const QString& text, const QStringList& items) override
    {
        asked += text;
        offered = items;
        return choices.isEmpty() ? std::nullopt : std::optional(choices.takeFirst());
    }
    QList<SaveChoice> saveChoices;
    QList<bool> confirmations;
    QStringList choices;
    QStringList asked;
    QStringList offered;
};

// Answers file dialogs from a queue; an exhausted queue cancels. Keeps what each showing offered.
struct FakeFileDialogs final : FileDialogs {
    QString chooseFileToSave(const FileDialogState& state) override { return chooseFileToOpen(state); }
    QString chooseFileToOpen(const FileDialogState& state) override
    {
        shown.push_back(state);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QStringList answers;
    std::vector<FileDialogState> shown;
};

// Files in memory, and the order they were written in.
struct FakeFileStore final : FileStore {
    ReadResult readPrefix(const QString& path, qint64 maxBytes) override
    {
        return files.contains(path) ? ReadResult{files[path].left(maxBytes), {}}
                                    : ReadResult{std::nullopt, QStringLiteral("there is no such file")};
    }
    std::optional<QString> writeWhole(const QString& path, const QByteArray& bytes) override
    {
        files[path] = bytes;
        writeOrder.push_back(path);
        return std::nullopt;
    }
    std::optional<WriteFailure> writeTogether(const std::vector<FileBytes>& together) override
    {
        for (const auto& [path, bytes] : together)
            writeWhole(path, bytes);
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

}   // namespace fenra::test
