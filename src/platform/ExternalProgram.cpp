#include "platform/ExternalProgram.h"

#include <QProcess>
#include <QStandardPaths>

namespace fenra {

ProgramRun runProgram(const QString& program, const QStringList& arguments)
{
    ProgramRun run;
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return run;
    run.found = true;
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(path, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit) {
        run.lastLine = process.errorString();
        return run;
    }
    const QStringList lines = QString::fromLocal8Bit(process.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
    for (auto line = lines.crbegin(); line != lines.crend() && run.lastLine.isEmpty(); ++line)
        run.lastLine = line->trimmed();
    run.succeeded = process.exitCode() == 0;
    if (!run.succeeded && run.lastLine.isEmpty())
        run.lastLine = QStringLiteral("exit code %1").arg(process.exitCode());
    return run;
}

}   // namespace fenra
