#pragma once

#include "studio/HandleGeometry.h"

#include <QPointF>
#include <QSizeF>

namespace fenra::studio {

// Where the plane lies on the canvas: its centre in map units and the
// canvas pixels (logical) per map unit, y up on the plane and down on screen.
struct CanvasView {
    Point centre;
    double scale = 100.0;

    QPointF toScreen(Point p, QSizeF canvas) const
    {
        return {canvas.width() / 2 + (p.x - centre.x) * scale, canvas.height() / 2 - (p.y - centre.y) * scale};
    }
    Point toPlane(QPointF s, QSizeF canvas) const
    {
        return {centre.x + (s.x() - canvas.width() / 2) / scale, centre.y - (s.y() - canvas.height() / 2) / scale};
    }
    // Zoomed by `factor`, the plane's point under `pointer` staying under it.
    CanvasView zoomedAbout(QPointF pointer, QSizeF canvas, double factor) const
    {
        const Point fixed = toPlane(pointer, canvas);
        CanvasView v{centre, scale * factor};
        const Point now = v.toPlane(pointer, canvas);
        v.centre = {centre.x + fixed.x - now.x, centre.y + fixed.y - now.y};
        return v;
    }
    // Moved so that the plane follows the pointer by `screenDelta` pixels.
    CanvasView panned(QPointF screenDelta) const
    {
        return {{centre.x - screenDelta.x() / scale, centre.y + screenDelta.y() / scale}, scale};
    }
    bool operator==(const CanvasView&) const = default;
};

}   // namespace fenra::studio
