#include "ui/Artwork.h"

#include "engine/AffineMap.h"
#include "engine/RandomSource.h"

#include <QPainter>

namespace fenra {
namespace {

struct PaintedMap {
    AffineMap map;
    QRgb colour;
    double weight;
};

// Iterates the maps into `image`, with the map window [x0,x1] x [y0,y1] filling it.
void iterate(QImage& image, const PaintedMap* maps, int mapCount, double x0, double x1, double y0, double y1,
             int points)
{
    Pcg32Source random(20261206);
    double x = 0.0, y = 0.0;
    for (int i = 0; i < points; ++i) {
        double u = random.nextUnit();
        int k = 0;
        while (k < mapCount - 1 && u >= maps[k].weight) {
            u -= maps[k].weight;
            ++k;
        }
        const AffineMap& m = maps[k].map;
        const double nx = m.c[0] * x + m.c[1] * y + m.c[2];
        y = m.c[3] * x + m.c[4] * y + m.c[5];
        x = nx;
        if (i < 20)
            continue;
        const int column = int((x - x0) / (x1 - x0) * image.width());
        const int row = int((y1 - y) / (y1 - y0) * image.height());
        if (column >= 0 && column < image.width() && row >= 0 && row < image.height())
            image.setPixel(column, row, maps[k].colour);
    }
}

QImage triangle(int size)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(Qt::black);
    const PaintedMap maps[] = {
        {{{0.5, 0, 0, 0, 0.5, 0}}, qRgb(255, 0, 0), 1.0 / 3},
        {{{0.5, 0, 0.5, 0, 0.5, 0}}, qRgb(0, 255, 0), 1.0 / 3},
        {{{0.5, 0, 0.25, 0, 0.5, 0.5}}, qRgb(0, 128, 255), 1.0 / 3},
    };
    iterate(image, maps, 3, -0.02, 1.02, -0.02, 1.02, size * size * 4);
    return image;
}

}   // namespace

QIcon programIcon()
{
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(triangle(16)));
    icon.addPixmap(QPixmap::fromImage(triangle(32)));
    icon.addPixmap(QPixmap::fromImage(triangle(64)));
    return icon;
}

QImage logoImage()
{
    QImage image(42, 60, QImage::Format_RGB32);
    image.fill(Qt::black);
    const PaintedMap fern[] = {
        {{{0.0, 0.0, 0.0, 0.0, 0.16, 0.0}}, qRgb(0, 140, 0), 0.01},
        {{{0.85, 0.04, 0.0, -0.04, 0.85, 1.6}}, qRgb(40, 220, 40), 0.85},
        {{{0.2, -0.26, 0.0, 0.23, 0.22, 1.6}}, qRgb(0, 200, 90), 0.07},
        {{{-0.15, 0.28, 0.0, 0.26, 0.24, 0.44}}, qRgb(90, 255, 90), 0.07},
    };
    iterate(image, fern, 4, -2.9, 2.9, -0.2, 10.2, 30000);
    return image;
}

}   // namespace fenra
