#include "platform/StopSignals.h"

#include <algorithm>
#include <csignal>
#include <cstdio>

#include <unistd.h>

namespace fenra {
namespace {

char seedLine[128];
std::atomic<int> seedLineLength{0};
const char* programName = "";
bool (*lineIsOpen)() = nullptr;
StopRequest request;

// Only what is safe in a signal handler.
extern "C" void stop(int signal)
{
    // A command that keeps its files whole is asked first; a second signal does not wait.
    if (request.waits.load() && !request.asked.load()) {
        request.signal = signal;
        request.asked = true;
        return;
    }
    if (lineIsOpen && lineIsOpen())
        (void)!write(STDERR_FILENO, "\n", 1);
    if (const int length = seedLineLength.load())
        (void)!write(STDERR_FILENO, seedLine, std::size_t(length));
    _exit(128 + signal);
}

}   // namespace

StopRequest& installStopSignals(const char* program, bool (*lineOpen)())
{
    programName = program;
    lineIsOpen = lineOpen;
    std::signal(SIGINT, stop);
    std::signal(SIGTERM, stop);
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    return request;
}

void rememberSeed(std::uint64_t seed)
{
    seedLineLength = 0;
    const int length = std::snprintf(seedLine, sizeof seedLine, "%s: interrupted; its seed was %llu\n", programName,
                                     static_cast<unsigned long long>(seed));
    seedLineLength = std::clamp(length, 0, int(sizeof seedLine) - 1);
}

}   // namespace fenra
