#pragma once

#include "platform/FileStore.h"

namespace fenra {

// Why `path` is no ordinary file to read or replace (a folder, a pipe, device
// or socket, directly or through a link, a dangling link, a link loop), or
// nothing. `mayBeNew`: a name that does not exist yet is fine.
std::optional<QString> notAnOrdinaryFile(const QString& path, bool mayBeNew);

// Why a new file cannot be written at `path`, checked before any work: its
// folder must exist and take new files, and the name must not be a folder,
// a pipe, a device or a socket. Nothing when it can.
std::optional<QString> outputProblem(const QString& path);

// Files on disk through QtCore only, so programs without a window use it too.
class QtFileStore final : public FileStore {
public:
    ReadResult readPrefix(const QString& path, qint64 maxBytes) override;
    std::optional<QString> writeWhole(const QString& path, const QByteArray& bytes) override;
    std::optional<QString> writeStreamed(const QString& path,
                                         const std::function<bool(const WriteBytes&)>& produce) override;
    std::optional<WriteFailure> writeTogether(const std::vector<FileBytes>& files) override;
};

}   // namespace fenra
