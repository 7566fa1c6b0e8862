#include "support/FakePlatform.h"

namespace fenra::test {

QString FakeFileDialogs::chooseFileToSave(const FileDialogState& state)
{
    return answer(true, state);
}

QString FakeFileDialogs::chooseFileToOpen(const FileDialogState& state)
{
    return answer(false, state);
}

QString FakeFileDialogs::answer(bool forSaving, const FileDialogState& state)
{
    showings.push_back({forSaving, state});
    if (answers.empty())
        return {};
    QString name = answers.front();
    answers.pop_front();
    return name;
}

FileStore::ReadResult FakeFileStore::readPrefix(const QString& path, qint64 maxBytes)
{
    const auto it = files.find(path);
    if (it == files.end())
        return {std::nullopt, QStringLiteral("there is no such file")};
    return {it->second.left(maxBytes), {}};
}

std::optional<QString> FakeFileStore::writeWhole(const QString& path, const QByteArray& bytes)
{
    if (failWrite(path))
        return QStringLiteral("No space left on device");
    files[path] = bytes;
    writeOrder.push_back(path);
    return std::nullopt;
}

} // namespace fenra::test
