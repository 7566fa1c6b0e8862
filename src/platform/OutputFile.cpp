#include "platform/OutputFile.h"

namespace fenra {

std::optional<QString> writeOutput(const QString& path, FileStore& files, std::ostream& out,
                                   const std::function<bool(const FileStore::WriteBytes&)>& produce)
{
    bool writeFailed = false;
    const auto noting = [&](const FileStore::WriteBytes& sink) {
        return produce(
            [&](const void* bytes, std::size_t size) { return sink(bytes, size) || (writeFailed = true, false); });
    };
    if (path != QStringLiteral("-")) {
        const std::optional<QString> failure = files.writeStreamed(path, noting);
        return writeFailed || (failure && *failure != QStringLiteral("not finished")) ? failure : std::nullopt;
    }
    const bool produced = noting([&](const void* bytes, std::size_t size) {
        return bool(out.write(static_cast<const char*>(bytes), std::streamsize(size)));
    });
    if (writeFailed || (produced && !out.flush()))
        return QStringLiteral("standard output could not be written");
    return std::nullopt;
}

}   // namespace fenra
