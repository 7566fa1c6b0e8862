#pragma once

#include "engine/Raster.h"

#include <QImage>
#include <QWidget>

namespace fenra {

// The black drawing area. It owns one persistent image that the runs draw
// into and that survives covering and minimizing; a 2-pixel sunken border
// surrounds it.
class DrawingArea final : public QWidget {
public:
    static constexpr int kBorder = 2;   // pixels

    explicit DrawingArea(QWidget* parent = nullptr);

    // The image as a raster to draw into; call update() afterwards to show it.
    RasterView raster();
    const QImage& image() const { return m_image; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
};

}   // namespace fenra
