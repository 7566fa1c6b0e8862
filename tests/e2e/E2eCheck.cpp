// What the end-to-end run leaves behind, checked as the user would find it.
// Usage: e2e_check SCREEN.png [DIR]. The screenshot must show the given file's
// picture; DIR must hold what the run saved, and nothing else. Prints what is
// wrong and exits 1; exits 0 when all is as expected.
#include "engine/Raster.h"
#include "files/DataRecord.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <cstdio>

using namespace fenra;

namespace {

int failures = 0;

void expect(bool ok, const QString& what)
{
    failures += !ok;
    if (!ok)
        std::fprintf(stderr, "e2e_check: %s\n", qPrintable(what));
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The drawing area, from `origin` in `image`, is black but for white pixels: exactly
// one, at (400, 218) where the given file sends every point, when `onePoint`.
void checkDrawing(const QString& what, const QImage& image, QSize size, QPoint origin, bool onePoint)
{
    expect(image.size() == size, QStringLiteral("%1 is not %2x%3").arg(what).arg(size.width()).arg(size.height()));
    const QRect area = QRect(origin, QSize(kDisplayWidth, kDisplayHeight)) & image.rect();
    int white = 0, other = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = image.pixel(x, y) & 0xFFFFFF;
            (pixel == 0xFFFFFF ? white : other) += pixel != 0;
        }
    expect(other == 0, QStringLiteral("%1 has %2 pixels neither black nor white").arg(what).arg(other));
    expect(!onePoint || (white == 1 && (image.pixel(origin + QPoint(400, 218)) & 0xFFFFFF) == 0xFFFFFF),
           QStringLiteral("%1 should have one white pixel, at (400,218); %2 white").arg(what).arg(white));
}

void checkPicture(const QString& path, bool onePoint)
{
    const QByteArray bytes = readAll(path);
    expect(bytes.startsWith("BM"), path + " is not a bitmap");
    checkDrawing(path, QImage::fromData(bytes, "BMP"), QSize(kDisplayWidth, kDisplayHeight), QPoint(), onePoint);
}

void checkSaved(const QDir& dir)
{
    // The given file's data and picture saved: the same bytes, set 3's odd texts too, and its point.
    const QByteArray given = readAll(dir.filePath("load.tfg"));
    expect(given.size() == kRecordLength && readAll(dir.filePath("saved.tfg")) == given,
           "saved.tfg differs from load.tfg");
    checkPicture(dir.filePath("saved.bmp"), true);

    // Typed into data set 2's first box during a long run, after it.
    QByteArray typed = given;
    typed.replace(coefficientFieldStart(2, 1) - 1, kCoefficientWidth, "0.1   ");
    expect(readAll(dir.filePath("typed.tfg")) == typed, "typed.tfg is not load.tfg with 0.1 in data set 2");

    // A batch of three: each run's data file and picture, fresh random data sets each time.
    QByteArray previous = given;
    for (int run : {1, 2, 3}) {
        const QString data = dir.filePath(QStringLiteral("batch(%1).tfg").arg(run));
        const QByteArray bytes = readAll(data);
        expect(bytes.size() == kRecordLength && parseDataRecord(bytes).count == u"2" && bytes != previous,
               data + " should be a record of the count 2, new for its run");
        previous = bytes;
        checkPicture(dir.filePath(QStringLiteral("batch(%1).bmp").arg(run)), false);
    }

    // Nothing else: no temporary file left over, the chosen batch name itself never written.
    const QStringList found = dir.entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    expect(found
               == QStringList({"batch(1).bmp", "batch(1).tfg", "batch(2).bmp", "batch(2).tfg", "batch(3).bmp",
                               "batch(3).tfg", "load.tfg", "saved.bmp", "saved.tfg", "typed.tfg"}),
           "the folder holds: " + found.join(u' '));
}

}   // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3)
        return std::fprintf(stderr, "usage: e2e_check SCREEN.png [DIR]\n"), 2;
    // The window's drawing area starts 2 pixels inside its border, the area 168 pixels down.
    checkDrawing("the screenshot", QImage(QString::fromLocal8Bit(argv[1])), QSize(794, 549), QPoint(2, 170), true);
    if (argc == 3)
        checkSaved(QDir(QString::fromLocal8Bit(argv[2])));
    return failures == 0 ? 0 : 1;
}
