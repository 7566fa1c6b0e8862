#pragma once

#include <cstdint>
#include <optional>

namespace fenra {

// Bytes the process may still take: what the system has available
// (MemAvailable), and at most what is left below its control group's
// memory.max, and below the address-space limit (RLIMIT_AS) less what the
// process has mapped already. Nothing when none can be read.
std::optional<std::uint64_t> memoryAvailable();

}   // namespace fenra
