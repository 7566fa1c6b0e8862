#pragma once

#include "engine/AffineMap.h"
#include "studio/CanvasView.h"
#include "studio/HandleGeometry.h"

#include <QPointF>
#include <QPolygonF>

namespace fenra::studio {

// A map's parallelogram on the canvas, in canvas pixels, and its turn handle
// a little beyond the middle of the edge Y–P.
struct MapOutline {
    QPointF o, x, y, p, turn;

    QPolygonF polygon() const { return QPolygonF({o, x, p, y}); }
};

inline constexpr double kTurnHandleDistance = 22.0;   // pixels beyond the edge
inline constexpr double kHandleReach = 7.0;           // pixels around a handle that grab it

MapOutline outlineOf(const AffineMap& map, const CanvasView& view, QSizeF canvas);

// The handle of the outline under `pointer`: the corners and the turn handle
// only where `withHandles` (the selected map), else only the body.
Handle handleAt(const MapOutline& outline, QPointF pointer, bool withHandles);

}   // namespace fenra::studio
