// Export Picture and fenra-render: the same request gives the same bytes.
#include "files/IfsCollection.h"
#include "studio/MapsFiles.h"
#include "studio/PictureExport.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace fenra::studio {
namespace {

TEST(PictureExport, GivesTheBytesFenraRenderWritesForTheSameEntry)
{
    QFile file(FENRA_SAMPLES_DIR "/classic.ifs");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const IfsCollection collection = parseIfsCollection(file.readAll());
    QTemporaryDir folder;
    // The fern (unequal p), Sierpinski (equal p) and the crystal (seven maps: no data record) at two sizes.
    for (const auto& [entry, scale] : {std::pair{"fern", 1}, {"sierpinski", 2}, {"crystal", 1}}) {
        const MapList maps = mapsOfEntry(*collection.find(entry));
        const std::optional<QByteArray> exported = picturePng(maps, entry, {scale, 300'000, 5, 2});
        ASSERT_TRUE(exported) << entry;
        const QString out = folder.filePath(QStringLiteral("%1.png").arg(entry));
        QProcess render;
        render.start(FENRA_RENDER,
                     {FENRA_SAMPLES_DIR "/classic.ifs", "--name", entry, "--colour", "density", "--scale",
                      QString::number(scale), "--points", "300000", "--seed", "5", "--threads", "1", "-o", out});
        ASSERT_TRUE(render.waitForFinished(60000)) << entry;
        ASSERT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
        QFile written(out);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        EXPECT_TRUE(written.readAll() == *exported) << entry << " at scale " << scale;
    }
    // A set whose points run off has no picture to export.
    EXPECT_FALSE(picturePng({{AffineMap{{1.5, 0, 0, 0, 1.5, 0}}, 1}}, "grow", {1, 1000, 1, 1}));
}

}   // namespace
}   // namespace fenra::studio
