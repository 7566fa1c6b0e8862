#pragma once

#include "platform/FileStore.h"

#include <QString>

#include <functional>
#include <optional>
#include <ostream>

namespace fenra {

// Writes the file (or, "-", standard output) with what `produce` writes. The reason when a write failed;
// nothing when every write went through, even if `produce` gave up for a reason of its own.
std::optional<QString> writeOutput(const QString& path, FileStore& files, std::ostream& out,
                                   const std::function<bool(const FileStore::WriteBytes&)>& produce);

}   // namespace fenra
