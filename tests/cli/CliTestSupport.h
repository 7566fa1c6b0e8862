#pragma once

#include "platform/QtFileStore.h"
#include "cli/CliRun.h"
#include "engine/DataSets.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <ostream>
#include <sstream>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace fenra::cli::test {

// fenra-render run in a folder of its own, with what it prints kept.
struct CliHarness {
    QTemporaryDir folder;
    std::ostringstream out;
    std::ostringstream err;
    QtFileStore files;
    std::uint64_t clockSeed = 777;
    CliEnvironment environment{out, err, false, files, [this] { return clockSeed; }, [] { return 0.0; }, 2};

    QString path(const QString& name) const { return folder.filePath(name); }
    int run(const QStringList& arguments);
    QString output() const { return QString::fromStdString(out.str()); }
    QString errors() const { return QString::fromStdString(err.str()); }
};

QByteArray readAll(const QString& path);
void writeAll(const QString& path, const QByteArray& bytes);

// The data sets of a sample file, e.g. "fern".
QString samplePath(const QString& name);
DataSetTexts sampleDataSets(const QString& name);

} // namespace fenra::cli::test
