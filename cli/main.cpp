#include "platform/QtFileStore.h"
#include "cli/CliRun.h"
#include "cli/ProgressBar.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include <unistd.h>

namespace {

// Only what is safe in a signal handler: the bar's line is ended, then the
// program stops with 128 + the signal's number, as a shell reports it.
extern "C" void stop(int signal)
{
    if (fenra::cli::ProgressBar::lineOpen())
        (void)!write(STDERR_FILENO, "\n", 1);
    _exit(128 + signal);
}

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

// Bytes the process may still take: what the system has available, and at
// most what is left below its control group's limit.
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
    return available;
}

} // namespace

int main(int argc, char* argv[])
{
    std::signal(SIGINT, stop);
    std::signal(SIGTERM, stop);
    QList<QByteArray> raw;
    for (int i = 1; i < argc; ++i)
        raw << QByteArray(argv[i]);
    const fenra::cli::DecodedArguments decoded = fenra::cli::decodeArguments(raw);
    if (!decoded.error.isEmpty()) {
        std::cerr << "fenra-render: " << decoded.error.toUtf8().constData() << '\n';
        return fenra::cli::kExitBadOption;
    }

    fenra::QtFileStore files;
    fenra::cli::CliEnvironment environment{
        std::cin,
        std::cout,
        std::cerr,
        isatty(STDERR_FILENO) == 1,
        files,
        [] { return std::uint64_t(std::chrono::system_clock::now().time_since_epoch().count()); },
        [] { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); },
        int(std::max(1u, std::thread::hardware_concurrency())),
        memoryAvailable,
    };
    return fenra::cli::runCli(decoded.arguments, environment);
}
