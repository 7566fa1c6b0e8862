#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <functional>
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

    // Bytes in order; false when they could not be written.
    using WriteBytes = std::function<bool(const void* bytes, std::size_t size)>;
    // Replaces the file, as writeWhole, with what `produce` writes as it goes
    // (a big picture, never whole in memory). Nothing is replaced when
    // `produce` returns false. This one gathers the bytes for writeWhole.
    virtual std::optional<QString> writeStreamed(const QString& path, const std::function<bool(const WriteBytes&)>& produce)
    {
        QByteArray bytes;
        if (!produce([&](const void* p, std::size_t n) { bytes.append(static_cast<const char*>(p), qsizetype(n)); return true; }))
            return QStringLiteral("not finished");
        return writeWhole(path, bytes);
    }
};

} // namespace fenra
