#include "platform/QtFileStore.h"
#include "platform/SystemMemory.h"
#include "cli/CliRun.h"
#include "cli/ProgressBar.h"

#include <chrono>
#include <csignal>
#include <iostream>
#include <thread>

#include <unistd.h>

namespace {

fenra::cli::StopRequest stops;

// Only what is safe in a signal handler. While a render keeps a checkpoint the
// stop is noted and the render ends itself; else the bar's line is ended, and
// the program stops with 128 + the signal's number, as a shell reports it.
extern "C" void stop(int signal)
{
    if (stops.held) {
        stops.signal = signal;
        stops.asked = true;
        return;
    }
    if (fenra::cli::ProgressBar::lineOpen())
        (void)!write(STDERR_FILENO, "\n", 1);
    _exit(128 + signal);
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
        fenra::memoryAvailable,
        &stops,
    };
    return fenra::cli::runCli(decoded.arguments, environment);
}
