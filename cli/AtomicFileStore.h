#pragma once

#include "platform/FileStore.h"

// Whole files on disk, without the window's libraries.
namespace fenra::cli {

// Every file is written to a temporary file beside it and renamed over the
// old one only when every byte is on disk, so a failed write leaves an older
// file whole and no half picture behind.
class AtomicFileStore final : public FileStore {
public:
    ReadResult readPrefix(const QString& path, qint64 maxBytes) override;
    std::optional<QString> writeWhole(const QString& path, const QByteArray& bytes) override;
};

} // namespace fenra::cli
