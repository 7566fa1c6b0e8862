#pragma once

#include <QCommandLineParser>
#include <QString>

#include <optional>

namespace fenra {

// --help and --version answered before there is an application object, so
// they need no display: the text on standard output and the exit status, or
// nothing when neither was asked for. `describe` adds the program's options.
std::optional<int> answerWithoutDisplay(int argc, char* argv[], const QString& program, const QString& version,
                                        void (*describe)(QCommandLineParser&));

}   // namespace fenra
