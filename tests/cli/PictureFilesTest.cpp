#include "cli/PictureFiles.h"

#include "CliTestSupport.h"
#include "files/DataRecord.h"

#include <QImage>
#include <QImageReader>

#include <gtest/gtest.h>


namespace fenra::cli {
namespace {

// A small picture with a few known pixels.
Picture testPicture()
{
    Picture picture{5, 3, std::vector<std::uint32_t>(15, kBlack)};
    picture.pixels[0] = rgb(255, 0, 0);
    picture.pixels[7] = rgb(1, 2, 3);
    picture.pixels[14] = rgb(255, 255, 255);
    return picture;
}

// Texts as a user may leave them: short ones, negative ones, a blank one.
DataSetTexts testDataSets()
{
    DataSetTexts sets;
    sets.count = QStringLiteral("3");
    for (Coefficients& set : sets.sets)
        set.fill(QStringLiteral("0.0000"));
    sets.sets[0] = {QStringLiteral("-0.123"), QStringLiteral("0.5"), QStringLiteral("1"),
                    QStringLiteral("0.9999"), QString(), QStringLiteral("-1.000")};
    return sets;
}

TEST(PictureFiles, FormatFollowsTheExtension)
{
    EXPECT_EQ(pictureFormatFor(QStringLiteral("a.bmp")), PictureFormat::Bitmap);
    EXPECT_EQ(pictureFormatFor(QStringLiteral("dir.png/a.BMP")), PictureFormat::Bitmap);
    EXPECT_EQ(pictureFormatFor(QStringLiteral("a.Png")), PictureFormat::Png);
    EXPECT_EQ(pictureFormatFor(QStringLiteral("a.png.jpg")), std::nullopt);
    EXPECT_EQ(pictureFormatFor(QStringLiteral("png")), std::nullopt);
}

TEST(PictureFiles, PngCarriesPixelsRecordAndSettings)
{
    test::CliHarness h;
    const BuiltRecord record = BuildDataText(testDataSets());
    ASSERT_TRUE(record.refusal.isEmpty());
    const std::optional<QByteArray> png =
        encodePicture(testPicture(), PictureFormat::Png, record.bytes, QStringLiteral("--points 9"));
    ASSERT_TRUE(png.has_value());
    const QString path = h.path(QStringLiteral("p.png"));
    test::writeAll(path, *png);

    const QImage image(path);
    ASSERT_EQ(image.size(), QSize(5, 3));
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(image.pixel(i % 5, i / 5), testPicture().pixels[std::size_t(i)]) << i;
    EXPECT_EQ(QImageReader(path).text(QString::fromLatin1(kSettingsKey)), QStringLiteral("--points 9"));

    // The record comes back byte for byte, so the texts are those of a .tfg
    // saved from the window: short texts padded with blanks.
    const LoadedData loaded = loadDataSets(path);
    ASSERT_TRUE(loaded.dataSets.has_value()) << loaded.error.toStdString();
    EXPECT_EQ(*loaded.dataSets, parseDataRecord(record.bytes));
    EXPECT_EQ(loaded.dataSets->sets[0][1], QStringLiteral("0.5   "));
    EXPECT_EQ(loaded.dataSets->sets[0][4], QStringLiteral("      "));
}

TEST(PictureFiles, DataIsReadAsTheWindowReadsIt)
{
    test::CliHarness h;
    const QByteArray record = BuildDataText(testDataSets()).bytes;
    const struct {
        const char* name;
        QByteArray bytes;
        std::optional<DataSetTexts> expected;
        const char* error;
    } cases[] = {
        {"whole.tfg", record, parseDataRecord(record), ""},
        {"line-end.tfg", record + "\r\n", parseDataRecord(record), ""},
        {"short.tfg", record.left(214), parseDataRecord(record.left(214)), ""},
        {"empty.tfg", QByteArray(), parseDataRecord(QByteArray()), ""},
        {"plain.png", *encodePicture(testPicture(), PictureFormat::Png, QByteArray(), QString()), std::nullopt,
         "this PNG holds no Fenra data record"},
        {"picture.bmp", *encodePicture(testPicture(), PictureFormat::Bitmap, QByteArray(), QString()), std::nullopt,
         "a bitmap holds no data"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = h.path(QString::fromLatin1(c.name));
        test::writeAll(path, c.bytes);
        const LoadedData loaded = loadDataSets(path);
        EXPECT_EQ(loaded.dataSets, c.expected);
        EXPECT_TRUE(loaded.error.contains(QString::fromLatin1(c.error))) << loaded.error.toStdString();
    }
    EXPECT_TRUE(loadDataSets(h.path(QStringLiteral("missing.tfg"))).error.contains(QStringLiteral("no such file")));
    EXPECT_TRUE(loadDataSets(h.folder.path()).error.contains(QStringLiteral("not an ordinary file")));
}


} // namespace
} // namespace fenra::cli
