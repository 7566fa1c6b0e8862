#include "platform/QtFileStore.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace fenra {

FileStore::ReadResult QtFileStore::readPrefix(const QString& path, qint64 maxBytes)
{
    const QFileInfo info(path);
    if (info.isDir())
        return {std::nullopt, QStringLiteral("it is a folder, not a file")};
    if (!info.exists())
        return {std::nullopt, QStringLiteral("there is no such file")};
    // Pipes and devices could block the window or never end: only ordinary files are read.
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

std::optional<QString> QtFileStore::writeWhole(const QString& path, const QByteArray& bytes)
{
    if (QFileInfo(path).isDir())
        return QStringLiteral("it is a folder");
    // Written to a temporary file beside it and renamed over the old one only
    // when every byte is on disk. Qt's commit() alone can report success after
    // a short write, so each step is checked.
    QSaveFile file(path);
    // A file that may be written in a folder that takes no new files is
    // replaced in place rather than not at all.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        // After a short write Qt reports only "Unknown error"; the system's own
        // reason (disk full, file too large) is still in errno.
        const int code = errno;
        const QString reason = code != 0 ? QString::fromLocal8Bit(std::strerror(code)) : file.errorString();
        file.cancelWriting();
        file.commit();   // removes the temporary file; the old file stays
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

} // namespace fenra
