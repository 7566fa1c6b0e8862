#include "cli/CliRun.h"
#include "cli/ProgressBar.h"
#include "platform/DescriptorInput.h"
#include "platform/QtFileStore.h"
#include "platform/SystemMemory.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <thread>

#include <unistd.h>

namespace {

// The line that names the seed of the render under way, made before it starts,
// since a signal handler may only write what is ready.
char seedLine[96];
std::atomic<int> seedLineLength{0};

fenra::cli::StopRequest stopRequest;

// Only what is safe in a signal handler: the bar's line is ended, the seed is
// said so a clock seed is not lost, then the program stops with 128 + the
// signal's number, as a shell reports it.
extern "C" void stop(int signal)
{
    // A command that keeps its files whole is asked first; a second signal does not wait.
    if (stopRequest.waits.load() && !stopRequest.asked.load()) {
        stopRequest.signal = signal;
        stopRequest.asked = true;
        return;
    }
    if (fenra::cli::ProgressBar::lineOpen())
        (void)!write(STDERR_FILENO, "\n", 1);
    if (const int length = seedLineLength.load())
        (void)!write(STDERR_FILENO, seedLine, std::size_t(length));
    _exit(128 + signal);
}

void rememberSeed(std::uint64_t seed)
{
    seedLineLength = 0;
    const int length = std::snprintf(seedLine, sizeof seedLine, "fenra-render: interrupted; its seed was %llu\n",
                                     static_cast<unsigned long long>(seed));
    seedLineLength = std::min(length, int(sizeof seedLine) - 1);
}

}   // namespace

int main(int argc, char* argv[])
{
    std::signal(SIGINT, stop);
    std::signal(SIGTERM, stop);
    // A closed pipe or a file-size limit makes the write fail, which is told in one line and exit 1.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    QList<QByteArray> raw;
    for (int i = 1; i < argc; ++i)
        raw << QByteArray(argv[i]);
    const fenra::DecodedArguments decoded = fenra::decodeArguments(raw);
    if (!decoded.error.isEmpty()) {
        std::cerr << "fenra-render: " << decoded.error.toUtf8().constData() << '\n';
        return fenra::cli::kExitBadOption;
    }

    fenra::DescriptorInput standardInput(STDIN_FILENO);
    std::istream in(&standardInput);
    fenra::QtFileStore files;
    fenra::cli::CliEnvironment environment{
        in,
        std::cout,
        std::cerr,
        isatty(STDERR_FILENO) == 1,
        files,
        [] { return std::uint64_t(std::chrono::system_clock::now().time_since_epoch().count()); },
        [] { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); },
        int(std::max(1u, std::thread::hardware_concurrency())),
        fenra::memoryAvailable,
        rememberSeed,
        &stopRequest,
    };
    return fenra::cli::runCli(decoded.arguments, environment);
}
