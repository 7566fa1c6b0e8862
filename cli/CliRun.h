#pragma once

#include "cli/CliOptions.h"
#include "files/InputData.h"
#include "platform/FileNames.h"
#include "platform/FileStore.h"
#include "render/RenderPicture.h"

#include <QList>
#include <QStringList>

#include <atomic>

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

// A signal that asks the program to stop: at once, or, while `waits` is set
// (a command that keeps its files whole), by setting `asked` for it to finish.
struct StopRequest {
    std::atomic<bool> waits{false}, asked{false};
    std::atomic<int> signal{0};
};

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

// The render a command line asks for, less its seed and data sets.
render::RenderJob jobFor(const CliOptions& options, const RunPlan& plan, int cores);

int runCli(const QStringList& arguments, CliEnvironment& environment);

// Shared by the commands.
std::ostream& operator<<(std::ostream& stream, const QString& text);
void tellError(CliEnvironment& environment, const QString& text);
int flushed(CliEnvironment& environment);   // exit 1 when standard output could not be written
// The job of one loaded input, as far as its seed: the picture's stored
// settings under the options given (`options` is changed by them), the entry,
// its maps, weights and frame.
int prepareJob(const LoadedData& loaded, const QStringList& given, const RunPlan& givenPlan, CliOptions& options,
               CliEnvironment& environment, render::RenderJob& job, const IfsEntry*& entry);

}   // namespace fenra::cli
