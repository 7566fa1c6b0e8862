#include "cli/AtomicFileStore.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace fenra::cli {

FileStore::ReadResult AtomicFileStore::readPrefix(const QString& path, qint64 maxBytes)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {std::nullopt, QStringLiteral("there is no such file")};
    if (!info.isFile())
        return {std::nullopt, QStringLiteral("it is not an ordinary file")};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, file.errorString()};
    QByteArray bytes = file.read(maxBytes);
    if (file.error() != QFileDevice::NoError)
        return {std::nullopt, file.errorString()};
    return {bytes, {}};
}

std::optional<QString> AtomicFileStore::writeWhole(const QString& path, const QByteArray& bytes)
{
    if (QFileInfo(path).isDir())
        return QStringLiteral("it is a folder");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // commit() alone can report success after a short write: each step is checked.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        file.commit();   // removes the temporary file; the old file stays
        return reason.isEmpty() ? QStringLiteral("the disk refused the data") : reason;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

} // namespace fenra::cli
