#include "CliTestSupport.h"

#include "cli/PictureFiles.h"

#include <QFile>

#include <gtest/gtest.h>

namespace fenra::cli::test {

int CliHarness::run(const QStringList& arguments)
{
    out.str({});
    err.str({});
    return runCli(arguments, environment);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QString samplePath(const QString& name)
{
    return QStringLiteral(FENRA_SAMPLES_DIR "/%1.tfg").arg(name);
}

DataSetTexts sampleDataSets(const QString& name)
{
    const LoadedData loaded = loadDataSets(samplePath(name));
    EXPECT_TRUE(loaded.dataSets.has_value()) << loaded.error.toStdString();
    return loaded.dataSets.value_or(DataSetTexts{});
}

} // namespace fenra::cli::test
