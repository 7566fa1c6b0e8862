#pragma once

#include "engine/DataSets.h"

#include <QByteArray>
#include <QString>

namespace fenra {

class FileStore;

// What a batch asks of the window, one run at a time.
class BatchSteps {
public:
    virtual ~BatchSteps() = default;
    // The Random command: new random data sets, then a full render run; returns when the run has ended.
    virtual void randomRun() = 0;
    virtual DataSetTexts currentDataSets() = 0;
    // The drawing as a Windows bitmap file's bytes.
    virtual QByteArray currentPictureBitmap() = 0;
    // `run` runs are finished and saved.
    virtual void setProgress(int run) = 0;
};

struct BatchResult {
    int runsDone = 0;   // runs whose picture and data file were both written
    QString failure;    // empty on success, else names the file and the run
};

// For run n = 1 to `runs`: a Random run, then its picture to
// batchPictureName(base, n) and its data record to batchDataName(base, n),
// written together (FileStore::writeTogether: both whole, or neither, the
// picture renamed into place first), then the progress set to n. No pass at
// all when `runs` is below 1. The first failure stops the batch at once;
// files of earlier runs stay.
BatchResult runRandomBatch(int runs, const QString& baseName, BatchSteps& steps, FileStore& files);

}   // namespace fenra
