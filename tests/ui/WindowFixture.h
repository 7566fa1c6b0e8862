#pragma once

#include "engine/RandomSource.h"
#include "support/FakePlatform.h"
#include "ui/DrawingArea.h"
#include "ui/frmfenra.h"

#include <QTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <memory>

namespace fenra::test {

// The real main window over fake services, shown on the offscreen screen.
class WindowTest : public ::testing::Test {
protected:
    virtual Platform platform() { return fake.platform(); }
    void SetUp() override
    {
        window = std::make_unique<frmfenra>(platform(), random);
        window->show();
        window->txtIter->setText(QStringLiteral("300"));
    }

    // Data sets 1 and 2 send every point to (0.5, 0.2), drawn white: at "1x" pixel (500, 318).
    void drawOnePoint()
    {
        for (int k = 0; k < 12; ++k)
            window->coefficientBox(k / 6 + 1, k % 6 + 1)->setText(k % 6 == 2 ? "0.5" : k % 6 == 5 ? "0.2" : "0");
        window->optclrwhite->setChecked(true);
    }

    int litPixels() const
    {
        const QImage image = window->pctdisplay->image().convertToFormat(QImage::Format_RGB32);
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constBits());   // rows without padding
        return int(std::count_if(pixels, pixels + image.width() * image.height(), [](QRgb p) { return (p & 0xFFFFFF) != 0; }));
    }

    // How many data-set frames show, when they are the first ones; else -1.
    int framesShown() const
    {
        int shown = 0;
        for (int k = 1; k <= 6; ++k)
            shown = window->dataSetFrame(k)->isHidden() ? shown : shown == k - 1 ? k : -1;
        return shown;
    }

    FakePlatform fake;
    Pcg32Source random{42};
    std::unique_ptr<frmfenra> window;
};

} // namespace fenra::test
