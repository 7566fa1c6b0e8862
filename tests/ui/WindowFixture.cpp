#include "WindowFixture.h"

#include "ui/DrawingArea.h"

#include <QGroupBox>

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

std::vector<bool> WindowTest::framesShown() const
{
    std::vector<bool> shown;
    for (int k = 1; k <= 6; ++k)
        shown.push_back(!window->dataSetFrame(k)->isHidden());
    return shown;
}

} // namespace fenra::test
