#include "studio/MapOutline.h"

#include <QLineF>

#include <algorithm>
#include <cmath>

namespace fenra::studio {
namespace {

double distanceToSegment(QPointF p, QPointF a, QPointF b)
{
    const QPointF ab = b - a;
    const double lengthSquared = QPointF::dotProduct(ab, ab);
    const double t = lengthSquared > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / lengthSquared, 0.0, 1.0) : 0.0;
    return QLineF(p, a + t * ab).length();
}

}   // namespace

MapOutline outlineOf(const AffineMap& map, const CanvasView& view, QSizeF canvas)
{
    const Corners c = cornersOf(map);
    MapOutline out{view.toScreen(c.o, canvas),
                   view.toScreen(c.x, canvas),
                   view.toScreen(c.y, canvas),
                   view.toScreen(c.p, canvas),
                   {}};
    const QPointF middle = (out.y + out.p) / 2;
    QPointF away = middle - view.toScreen(centreOf(map), canvas);
    const double length = std::hypot(away.x(), away.y());
    away = length > 1e-9 ? away / length : QPointF(0, -1);   // a flat map: straight up
    out.turn = middle + kTurnHandleDistance * away;
    return out;
}

Handle handleAt(const MapOutline& outline, QPointF pointer, bool withHandles)
{
    const auto near = [&](QPointF at) { return QLineF(pointer, at).length() <= kHandleReach; };
    if (withHandles) {
        for (const auto& [at, handle] : {std::pair{outline.turn, Handle::Turn}, std::pair{outline.p, Handle::P},
                                         std::pair{outline.x, Handle::X}, std::pair{outline.y, Handle::Y}}) {
            if (near(at))
                return handle;
        }
    }
    if (near(outline.o) || outline.polygon().containsPoint(pointer, Qt::OddEvenFill))
        return Handle::Body;
    // A map flattened onto a line has no inside: its edges can still be grabbed.
    const QPolygonF edges = outline.polygon();
    for (int k = 0; k < 4; ++k) {
        if (distanceToSegment(pointer, edges[k], edges[(k + 1) % 4]) <= kHandleReach / 2)
            return Handle::Body;
    }
    return Handle::None;
}

}   // namespace fenra::studio
