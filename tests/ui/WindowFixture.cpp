#include "WindowFixture.h"

#include "ui/DrawingArea.h"

namespace fenra::test {

int WindowTest::litPixels() const
{
    const QImage& image = window->pctdisplay->image();
    int lit = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            lit += (image.pixel(x, y) & 0xFFFFFF) != 0;
    return lit;
}

} // namespace fenra::test
