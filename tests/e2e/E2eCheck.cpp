// The files and the screen that the end-to-end run leaves behind, checked as
// the user would find them. Usage:
//   e2e_check prepare DIR      writes DIR/load.tfg, the data file the run loads
//   e2e_check files DIR        checks everything the run saved into DIR
//   e2e_check screen PNG       checks a screenshot of the window after the loaded run
// Prints what is wrong and exits 1; exits 0 when all is as expected.
#include "engine/DataSets.h"
#include "engine/Raster.h"
#include "files/DataRecord.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSet>

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

const Coefficients kZeros{"0.0000", "0.0000", "0.0000", "0.0000", "0.0000", "0.0000"};

// The record of the count 2, data sets 1 and 2 both `set`, set 3 `third`, the rest zeros.
QByteArray record(const Coefficients& set, const Coefficients& third = kZeros)
{
    return BuildDataText(DataSetTexts{QStringLiteral("2"), {set, set, third, kZeros, kZeros, kZeros}}).bytes;
}

// Every point goes to (0.2, 0.5): pixel (400, 218) at zoom 1x. Set 3 is not in
// use but must travel through the load and the save all the same.
QByteArray loadRecord()
{
    return record({"0.0000", "0.0000", "0.2000", "0.0000", "0.0000", "0.5000"}, {"-0.123", "0.9", "1e-3", "", "x", "0,5"});
}

// An image of `size` whose drawing area, from `origin`, is black but for white pixels:
// exactly one, at `lit` in the area, when given (else any: a random picture in White mode).
void checkDrawing(const QString& what, const QImage& image, QSize size, QPoint origin, std::optional<QPoint> lit)
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
    const QPoint at = origin + lit.value_or(QPoint());
    expect(!lit || (white == 1 && (image.pixel(at) & 0xFFFFFF) == 0xFFFFFF),
           QStringLiteral("%1 should have one white pixel, at (%2,%3); %4 white").arg(what).arg(at.x()).arg(at.y()).arg(white));
}

void checkFiles(const QString& dir)
{
    const auto path = [&dir](const QString& name) { return dir + u'/' + name; };
    const auto checkPicture = [&](const QString& name, std::optional<QPoint> lit) {   // a bitmap file of the drawing area
        const QByteArray bytes = readAll(path(name));
        expect(bytes.startsWith("BM"), name + " does not start with BM");
        checkDrawing(name, QImage::fromData(bytes, "BMP"), QSize(kDisplayWidth, kDisplayHeight), QPoint(), lit);
    };

    // Typed into the boxes of sets 1 and 2: "0", "0", "0.5", "0", "0", "0.2"; the rest as they were.
    const QByteArray typed = record({"0", "0", "0.5", "0", "0", "0.2"});
    expect(typed.size() == kRecordLength && readAll(path("typed.tfg")) == typed, "typed.tfg does not hold the typed data sets");
    checkPicture("typed.bmp", QPoint(500, 318));

    // Loaded, drawn and saved again: the same bytes and the loaded map's point.
    expect(readAll(path("reloaded.tfg")) == loadRecord(), QStringLiteral("reloaded.tfg differs from load.tfg"));
    checkPicture("loaded.bmp", QPoint(400, 218));

    // The batch: two runs of fresh random data sets 1 and 2, in White mode.
    static const QRegularExpression randomText(QStringLiteral("\\A(?:0\\.[0-9]{3,4} ?|-0\\.[0-9]{3}|-1\\.000)\\z"));
    QByteArray previous;
    for (int run : {1, 2}) {
        const QString data = path(QStringLiteral("batch(%1).tfg").arg(run));
        const QByteArray bytes = readAll(data);
        const DataSetTexts texts = parseDataRecord(bytes);
        expect(bytes.size() == kRecordLength && texts.count == u"2" && bytes != previous,
               data + " should be 217 bytes, hold the count 2 and differ from the run before");
        for (std::size_t k = 0; k < texts.sets.size(); ++k)
            for (const QString& text : texts.sets[k])
                expect(k < 2 ? randomText.match(text).hasMatch() : text == u"0.0000",
                       QStringLiteral("%1: set %2 holds \"%3\"").arg(data).arg(k + 1).arg(text));
        previous = bytes;
        checkPicture(QStringLiteral("batch(%1).bmp").arg(run), std::nullopt);
    }

    // Nothing else: no temporary file left over, the chosen batch name itself never written.
    const QSet<QString> expected{"load.tfg", "typed.tfg", "typed.bmp", "reloaded.tfg", "loaded.bmp",
                                 "batch(1).tfg", "batch(1).bmp", "batch(2).tfg", "batch(2).bmp"};
    const QStringList found = QDir(dir).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    expect(QSet<QString>(found.begin(), found.end()) == expected, "the folder holds: " + found.join(u' '));
}

} // namespace

int main(int argc, char** argv)
{
    const QString mode = argc == 3 ? QString::fromLocal8Bit(argv[1]) : QString();
    const QString where = argc == 3 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (mode == u"prepare") {
        QFile file(where + QStringLiteral("/load.tfg"));
        expect(file.open(QIODevice::WriteOnly) && file.write(loadRecord()) == kRecordLength, "cannot write load.tfg");
    } else if (mode == u"files") {
        checkFiles(where);
    } else if (mode == u"screen") {
        // The window after the loaded run: its drawing area's image starts 2 pixels
        // inside the area's border, the area 168 pixels down.
        checkDrawing("the screenshot", QImage(where), QSize(794, 549), QPoint(2, 170), QPoint(400, 218));
    } else {
        std::fprintf(stderr, "usage: e2e_check prepare|files DIR | screen PNG\n");
        return 2;
    }
    return failures == 0 ? 0 : 1;
}
