#include "platform/SystemMemory.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

namespace fenra {
namespace {

// "Key: value" of a text like /proc/meminfo or a cgroup's memory.stat, or a lone value.
std::optional<std::uint64_t> numberIn(const std::string& path, const std::string& key = {})
{
    std::ifstream file(path);
    for (std::string word; file >> word;)
        if (key.empty() || word == key) {
            std::uint64_t value = 0;
            if (key.empty() ? bool(std::istringstream(word) >> value) : bool(file >> value))
                return value;
            return std::nullopt;   // "max": no limit
        }
    return std::nullopt;
}

}   // namespace

std::optional<std::uint64_t> memoryAvailable()
{
    std::optional<std::uint64_t> available = numberIn("/proc/meminfo", "MemAvailable:");
    if (available)
        *available *= 1024;   // kB there
    std::ifstream groups("/proc/self/cgroup");
    for (std::string line; std::getline(groups, line);) {
        if (line.rfind("0::", 0) != 0)
            continue;
        const std::string folder = "/sys/fs/cgroup" + line.substr(3);
        const auto limit = numberIn(folder + "/memory.max");
        const auto used = numberIn(folder + "/memory.current");
        if (limit && used) {
            const std::uint64_t left = *limit > *used ? *limit - *used : 0;
            available = available ? std::min(*available, left) : left;
        }
    }
    // An address-space limit (ulimit -v) ends a render that outgrows it as surely as a lack of memory.
    rlimit space{};
    if (getrlimit(RLIMIT_AS, &space) == 0 && space.rlim_cur != RLIM_INFINITY) {
        const std::uint64_t used = numberIn("/proc/self/statm").value_or(0) * std::uint64_t(sysconf(_SC_PAGESIZE));
        const std::uint64_t left = space.rlim_cur > used ? space.rlim_cur - used : 0;
        available = available ? std::min(*available, left) : left;
    }
    return available;
}

}   // namespace fenra
