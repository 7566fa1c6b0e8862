#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

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

    // Replaces the file with `bytes`: they go to a temporary file in the same
    // folder, renamed over the old file only when all of them are on disk, so
    // a write that fails leaves any older file of that name as it was. One
    // exception: in a folder that takes no new files, an existing file that
    // may be written is overwritten in place, and a write that fails there
    // leaves it cut short. Returns the reason on failure.
    virtual std::optional<QString> writeWhole(const QString& path, const QByteArray& bytes) = 0;

    // Bytes in order; false when they could not be written.
    using WriteBytes = std::function<bool(const void* bytes, std::size_t size)>;
    // Replaces the file, as writeWhole, with what `produce` writes as it goes
    // (a big picture, never whole in memory). Nothing is replaced when
    // `produce` returns false. This one gathers the bytes for writeWhole.
    virtual std::optional<QString> writeStreamed(const QString& path,
                                                 const std::function<bool(const WriteBytes&)>& produce)
    {
        QByteArray bytes;
        if (!produce([&](const void* p, std::size_t n) {
                bytes.append(static_cast<const char*>(p), qsizetype(n));
                return true;
            }))
            return QStringLiteral("not finished");
        return writeWhole(path, bytes);
    }

    struct FileBytes {
        QString path;
        QByteArray bytes;
    };
    struct WriteFailure {
        QString path;     // the file that could not be written
        QString reason;   // why, for the user
    };
    // Files that belong together, each first written whole to a temporary
    // file in its folder, in the order given; only when all are whole are
    // they renamed into place, in the same order. When one cannot be written,
    // no file is renamed, the temporary files are removed and every older file
    // of those names stays as it was. There is no in-place fallback: a folder
    // that takes no new files refuses the write. Should a rename itself fail
    // (its name taken by a folder meanwhile), the files renamed before it stay.
    virtual std::optional<WriteFailure> writeTogether(const std::vector<FileBytes>& files) = 0;
};

}   // namespace fenra
