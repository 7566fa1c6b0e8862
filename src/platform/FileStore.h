#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace fenra {

// Reading and writing whole files as bytes.
class FileStore {
public:
    virtual ~FileStore() = default;

    struct ReadResult {
        std::optional<QByteArray> bytes;   // empty when the file could not be read
        QString error;                     // why, for the user
    };
    // At most the first `maxBytes` bytes; nothing after them is read, so a
    // huge file or a device never holds the window.
    virtual ReadResult readPrefix(const QString& path, qint64 maxBytes) = 0;

    // Replaces the file with `bytes` all at once: a write that fails leaves
    // any older file of that name whole. Returns the reason on failure.
    virtual std::optional<QString> writeWhole(const QString& path, const QByteArray& bytes) = 0;
};

} // namespace fenra
