#include "platform/QtFileStore.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

namespace fenra {

std::optional<QString> notAnOrdinaryFile(const QString& path, bool mayBeNew)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (::stat(name.constData(), &status) != 0) {
        const int code = errno;
        if (code == ELOOP)
            return QStringLiteral("it is a link that leads round in a loop");
        if (code == ENOENT && ::lstat(name.constData(), &status) == 0)
            return QStringLiteral("it is a link to a file that does not exist");
        if (code == ENOENT && mayBeNew)
            return std::nullopt;
        return code == ENOENT ? QStringLiteral("there is no such file") : QString::fromLocal8Bit(std::strerror(code));
    }
    if (S_ISDIR(status.st_mode))
        return QStringLiteral("it is a folder, not a file");
    // A pipe, device or socket could block or never end, and is never replaced by a file.
    if (!S_ISREG(status.st_mode))
        return QStringLiteral("it is not an ordinary file but a pipe, device or socket");
    return std::nullopt;
}

FileStore::ReadResult QtFileStore::readPrefix(const QString& path, qint64 maxBytes)
{
    if (const std::optional<QString> problem = notAnOrdinaryFile(path, false))
        return {std::nullopt, *problem};
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
    return writeStreamed(path, [&](const WriteBytes& write) { return write(bytes.constData(), std::size_t(bytes.size())); });
}

std::optional<QString> QtFileStore::writeStreamed(const QString& path, const std::function<bool(const WriteBytes&)>& produce)
{
    if (const std::optional<QString> problem = notAnOrdinaryFile(path, true))
        return problem;
    // Written to a temporary file beside it and renamed over the old one only
    // when every byte is on disk. Qt's commit() alone can report success after
    // a short write, so each step is checked. The file is opened at the first
    // bytes, so a long render stopped before them leaves no temporary file.
    QSaveFile file(path);
    // A file that may be written in a folder that takes no new files is
    // replaced in place rather than not at all.
    file.setDirectWriteFallback(true);
    QString reason;
    const auto write = [&](const void* bytes, std::size_t size) {
        if (!reason.isEmpty())
            return false;
        if (!file.isOpen() && !file.open(QIODevice::WriteOnly)) {
            reason = file.errorString();
            return false;
        }
        errno = 0;
        if (file.write(static_cast<const char*>(bytes), qint64(size)) != qint64(size)) {
            // After a short write Qt reports only "Unknown error"; the system's own
            // reason (disk full, file too large) is still in errno.
            const int code = errno;
            reason = code != 0 ? QString::fromLocal8Bit(std::strerror(code)) : file.errorString();
            return false;
        }
        return true;
    };
    const bool produced = produce(write);
    if (produced && !file.isOpen() && !file.open(QIODevice::WriteOnly))   // an empty file
        return file.errorString();
    errno = 0;
    if (produced && reason.isEmpty() && !file.flush()) {
        const int code = errno;
        reason = code != 0 ? QString::fromLocal8Bit(std::strerror(code)) : file.errorString();
    }
    if (!produced || !reason.isEmpty()) {
        if (file.isOpen()) {
            file.cancelWriting();
            file.commit();   // removes the temporary file; the old file stays
        }
        return reason.isEmpty() ? QStringLiteral("not finished") : reason;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

} // namespace fenra
