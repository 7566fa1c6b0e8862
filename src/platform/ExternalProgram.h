#pragma once

#include <QString>
#include <QStringList>

namespace fenra {

// Another program run to its end with an argument list (never through a shell),
// its output read but not shown.
struct ProgramRun {
    bool found = false;       // false: not installed (not on PATH)
    bool succeeded = false;   // ran and exited 0
    QString lastLine;         // the last non-blank line it wrote to standard error, or why it did not run
};

ProgramRun runProgram(const QString& program, const QStringList& arguments);

}   // namespace fenra
