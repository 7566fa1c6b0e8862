#include "platform/QtFileStore.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace fenra {
namespace {

QString systemReason(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

}   // namespace

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
        return code == ENOENT ? QStringLiteral("there is no such file") : systemReason(code);
    }
    if (S_ISDIR(status.st_mode))
        return QStringLiteral("it is a folder, not a file");
    // A pipe, device or socket could block or never end, and is never replaced by a file.
    if (!S_ISREG(status.st_mode))
        return QStringLiteral("it is not an ordinary file but a pipe, device or socket");
    return std::nullopt;
}

std::optional<QString> outputProblem(const QString& path)
{
    const QFileInfo folder(QFileInfo(path).path());
    if (!folder.exists())
        return QStringLiteral("there is no folder \"%1\"").arg(folder.filePath());
    if (!folder.isDir())
        return QStringLiteral("\"%1\" is not a folder").arg(folder.filePath());
    if (!folder.isWritable())
        return QStringLiteral("the folder \"%1\" is not writable").arg(folder.filePath());
    return notAnOrdinaryFile(path, true);
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

namespace {

// Writes all of `bytes` and flushes them; the reason when that fails.
std::optional<QString> writeAll(QFileDevice& file, const QByteArray& bytes)
{
    errno = 0;
    if (file.write(bytes) == bytes.size() && file.flush())
        return std::nullopt;
    // After a short write Qt reports only "Unknown error"; the system's own
    // reason (disk full, file too large) is still in errno.
    const int code = errno;
    return code != 0 ? systemReason(code) : file.errorString();
}

// A file written under a temporary name beside the one it will replace.
struct StagedFile {
    QString target;   // a link's target, so the link itself stays a link
    QFile file;
    ~StagedFile()
    {
        if (!file.fileName().isEmpty())
            QFile::remove(file.fileName());
    }
};

// Opens a new temporary file beside `target`, with the old file's permissions
// or, for a new name, those any new file gets.
std::optional<QString> openBeside(StagedFile& staged)
{
    using P = QFileDevice::Permission;
    const QFileInfo old(staged.target);
    const QFileDevice::Permissions permissions =
        old.exists() ? old.permissions()
                     : P::ReadOwner | P::WriteOwner | P::ReadGroup | P::WriteGroup | P::ReadOther | P::WriteOther;
    for (int attempt = 0; attempt < 16; ++attempt) {
        staged.file.setFileName(QStringLiteral("%1.%2.part")
                                    .arg(staged.target)
                                    .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        if (staged.file.open(QIODevice::WriteOnly | QIODevice::NewOnly, permissions))
            return std::nullopt;
        if (staged.file.error() != QFileDevice::OpenError || !QFileInfo::exists(staged.file.fileName()))
            break;   // anything but a name already taken
    }
    const QString reason = staged.file.errorString();
    staged.file.setFileName(QString());   // nothing of ours to remove
    return reason;
}

}   // namespace

std::optional<QString> QtFileStore::writeWhole(const QString& path, const QByteArray& bytes)
{
    return writeStreamed(path,
                         [&](const WriteBytes& write) { return write(bytes.constData(), std::size_t(bytes.size())); });
}

std::optional<QString> QtFileStore::writeStreamed(const QString& path,
                                                  const std::function<bool(const WriteBytes&)>& produce)
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
            reason = code != 0 ? systemReason(code) : file.errorString();
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
        reason = code != 0 ? systemReason(code) : file.errorString();
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

std::optional<FileStore::WriteFailure> QtFileStore::writeTogether(const std::vector<FileBytes>& files)
{
    std::vector<std::unique_ptr<StagedFile>> staged;   // removed on every way out unless renamed
    for (const FileBytes& one : files) {
        if (const std::optional<QString> problem = notAnOrdinaryFile(one.path, true))
            return WriteFailure{one.path, *problem};
        const QFileInfo info(one.path);
        auto& file = *staged.emplace_back(std::make_unique<StagedFile>());
        file.target = info.isSymLink() ? info.canonicalFilePath() : one.path;
        if (const std::optional<QString> reason = openBeside(file))
            return WriteFailure{one.path, *reason};
        std::optional<QString> reason = writeAll(file.file, one.bytes);
        if (!reason && ::fsync(file.file.handle()) != 0)
            reason = systemReason(errno);
        file.file.close();
        if (reason)
            return WriteFailure{one.path, *reason};
    }
    for (std::size_t i = 0; i < staged.size(); ++i) {
        StagedFile& file = *staged[i];
        // rename() replaces the old file in one step; Qt's own rename refuses to.
        if (std::rename(QFile::encodeName(file.file.fileName()).constData(), QFile::encodeName(file.target).constData())
            != 0)
            return WriteFailure{files[i].path, systemReason(errno)};
        file.file.setFileName(QString());   // in place now: not ours to remove
    }
    return std::nullopt;
}

}   // namespace fenra
