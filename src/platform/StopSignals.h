#pragma once

#include <atomic>
#include <cstdint>

// SIGINT and SIGTERM for a command-line program that keeps its files whole.
namespace fenra {

// A signal that asks the program to stop: at once, or, while `waits` is set
// (a command that keeps its files whole), by setting `asked` for it to finish.
struct StopRequest {
    std::atomic<bool> waits{false}, asked{false};
    std::atomic<int> signal{0};
};

// The request the handlers fill. A signal that is not waited for ends the
// line `lineOpen` says is unfinished, says the seed last remembered, and
// stops the program with 128 + its number, as a shell reports it. A closed
// pipe or a file-size limit then makes a write fail instead of killing.
StopRequest& installStopSignals(const char* program, bool (*lineOpen)());

// The seed of the render under way, said if a signal stops it: the line is
// made here, since a signal handler may only write what is ready.
void rememberSeed(std::uint64_t seed);

}   // namespace fenra
