#include "platform/QtFileStore.h"
#include "cli/CliRun.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <iostream>
#include <thread>

#include <unistd.h>

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    fenra::QtFileStore files;
    fenra::cli::CliEnvironment environment{
        std::cout,
        std::cerr,
        isatty(STDERR_FILENO) == 1,
        files,
        [] { return std::uint64_t(std::chrono::system_clock::now().time_since_epoch().count()); },
        [] { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); },
        int(std::max(1u, std::thread::hardware_concurrency())),
    };
    return fenra::cli::runCli(arguments, environment);
}
