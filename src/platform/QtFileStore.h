#pragma once

#include "platform/FileStore.h"

namespace fenra {

// Files on disk through QtCore only, so programs without a window use it too.
class QtFileStore final : public FileStore {
public:
    ReadResult readPrefix(const QString& path, qint64 maxBytes) override;
    std::optional<QString> writeWhole(const QString& path, const QByteArray& bytes) override;
};

} // namespace fenra
