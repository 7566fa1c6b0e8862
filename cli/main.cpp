#include "cli/CliRun.h"
#include "cli/ProgressBar.h"
#include "platform/DescriptorInput.h"
#include "platform/FileNames.h"
#include "platform/QtFileStore.h"
#include "platform/StopSignals.h"
#include "platform/SystemMemory.h"

#include <chrono>
#include <iostream>
#include <thread>

#include <unistd.h>

int main(int argc, char* argv[])
{
    fenra::StopRequest& stopRequest = fenra::installStopSignals("fenra-render", fenra::cli::ProgressBar::lineOpen);
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
        fenra::rememberSeed,
        &stopRequest,
    };
    return fenra::cli::runCli(decoded.arguments, environment);
}
