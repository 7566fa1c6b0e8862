#pragma once

#include <cstdint>
#include <optional>

namespace fenra {

// Bytes the process may still take: what the system has available
// (MemAvailable), and at most what is left below its control group's
// memory.max. Nothing when neither can be read.
std::optional<std::uint64_t> memoryAvailable();

} // namespace fenra
