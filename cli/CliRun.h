#pragma once

#include "cli/CliOptions.h"
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

// A stop asked for by SIGINT or SIGTERM while a render keeps its sums (held):
// the handler only notes it, and the render keeps its checkpoint and ends.
struct StopRequest {
    std::atomic<bool> held{false};
    std::atomic<bool> asked{false};
    std::atomic<int> signal{0};
};

// What the program meets outside itself; tests hand in their own.
struct CliEnvironment {
    std::istream& in;                           // the input "-"
    std::ostream& out;                          // seeds and written files, one line each; or the PNG of "-o -"
    std::ostream& err;                          // errors, warnings, the progress bar
    bool errIsTerminal = false;
    FileStore& files;
    std::function<std::uint64_t()> clockSeed;   // a seed when none is given
    std::function<double()> secondsNow;         // steady, for the progress bar
    int cores = 1;                              // threads when none are asked for
    std::function<std::optional<std::uint64_t>()> memoryAvailable = [] { return std::nullopt; };   // bytes
    StopRequest* stops = nullptr;
};

// The arguments as the system's file names decode. One whose bytes would not
// come back the same is refused, with the reason: no file of exactly that name
// could be reached.
struct DecodedArguments {
    QStringList arguments;
    QString error;
};
DecodedArguments decodeArguments(const QList<QByteArray>& raw);

// The render a command line asks for, less its seed and data sets.
render::RenderJob jobFor(const CliOptions& options, const RunPlan& plan, int cores);

// The settings text a PNG carries, as options that repeat the picture.
QString settingsText(const CliOptions& options, std::uint64_t seed);

int runCli(const QStringList& arguments, CliEnvironment& environment);

} // namespace fenra::cli
