#include "files/RandomBatch.h"

#include "files/BatchNames.h"
#include "files/DataRecord.h"
#include "platform/FileStore.h"

namespace fenra {
namespace {

QString stopped(int run, const QString& what)
{
    return QStringLiteral("The batch stopped in run %1: %2 The files of earlier runs are kept.").arg(run).arg(what);
}

QString writeFailure(int run, const QString& path, const QString& reason)
{
    return stopped(run, QStringLiteral("\"%1\" could not be written (%2).").arg(path, reason));
}

}   // namespace

BatchResult runRandomBatch(int runs, const QString& baseName, BatchSteps& steps, FileStore& files)
{
    for (int run = 1; run <= runs; ++run) {
        steps.randomRun();
        const QString picturePath = batchPictureName(baseName, run);
        const QString dataPath = batchDataName(baseName, run);
        // Built before anything of this run is written, so a refused record
        // leaves no picture without its data file.
        const BuiltRecord record = BuildDataText(steps.currentDataSets());
        if (!record.refusal.isEmpty())
            return {run - 1, stopped(run, QStringLiteral("\"%1\" was not written. %2").arg(dataPath, record.refusal))};

        // The picture, then the data file that draws it again, renamed into
        // place only when both are whole: never one without the other, and a
        // failed pair leaves older files of those names as they were.
        if (const auto failure =
                files.writeTogether({{picturePath, steps.currentPictureBitmap()}, {dataPath, record.bytes}}))
            return {run - 1, writeFailure(run, failure->path, failure->reason)};

        steps.setProgress(run);
    }
    return {runs > 0 ? runs : 0, QString()};
}

}   // namespace fenra
