#pragma once

#include "cli/CliOptions.h"
#include "engine/RunSettings.h"
#include "files/JobInputs.h"
#include "platform/FileStore.h"
#include "platform/StopSignals.h"

#include <QStringList>

#include <cstdint>
#include <functional>
#include <istream>
#include <optional>
#include <ostream>

// fenra-render from its arguments to its exit status.
namespace fenra::cli {

// Exit statuses.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFileFailed = 1;   // a file could not be read or written, or memory is too small
inline constexpr int kExitBadOption = 2;

// What the program meets outside itself; tests hand in their own.
struct CliEnvironment {
    std::istream& in;    // the input "-"
    std::ostream& out;   // seeds and written files, one line each; or the PNG of "-o -"
    std::ostream& err;   // errors, warnings, the progress bar
    bool errIsTerminal = false;
    FileStore& files;
    std::function<std::uint64_t()> clockSeed;   // a seed when none is given
    std::function<double()> secondsNow;         // steady, for the progress bar
    int cores = 1;                              // threads when none are asked for
    std::function<std::optional<std::uint64_t>()> memoryAvailable = [] { return std::nullopt; };   // bytes
    std::function<void(std::uint64_t)> seedChosen;   // told each seed before its render, to say it if stopped
    StopRequest* stop = nullptr;
};

int runCli(const QStringList& arguments, CliEnvironment& environment);

// Shared by the commands.
std::ostream& operator<<(std::ostream& stream, const QString& text);
void tellError(CliEnvironment& environment, const QString& text);
int told(CliEnvironment& environment, const QStringList& warnings, const std::optional<InputFault>& fault);
int flushed(CliEnvironment& environment);   // exit 1 when standard output could not be written

}   // namespace fenra::cli
