#pragma once

#include "engine/AffineMap.h"

// The handles of a map drawn as the image of the unit square: O = M(0,0),
// X = M(1,0), Y = M(0,1), P = M(1,1), and what dragging each does to the map.
// Pure functions of map units (y up), so a drag is exact and testable.
namespace fenra::studio {

struct Point {
    double x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

enum class Handle {
    None,
    Body,   // inside the parallelogram (or its O corner): moves the map
    X,      // M(1,0): the first column of the linear part
    Y,      // M(0,1): the second column
    P,      // M(1,1): turns and scales about O
    Turn,   // beside the far edge: turns about the centre
};

Point apply(const AffineMap& map, Point point);

struct Corners {
    Point o, x, y, p;
};
Corners cornersOf(const AffineMap& map);
Point centreOf(const AffineMap& map);   // M(1/2, 1/2)

// The map after its handle was dragged by `delta` (map units) from where it
// was grabbed, `start` being the map when the drag began:
// - Body: the translation moves by delta;
// - X (or Y): that corner moves by delta, O and the other corner stay: the
//   column changes by exactly delta (scale and shear along that edge);
// - P: the linear part is turned and scaled about O so that P moves by delta;
//   with `shift` only scaled, by the ratio of P's distances from O;
// - Turn: turned about the centre by the angle the pointer swept around it,
//   from `grab` to grab + delta; with `shift` in steps of 15 degrees.
AffineMap dragged(const AffineMap& start, Handle handle, Point grab, Point delta, bool shift);

// The map turned by `radians` (counter-clockwise) about `centre`. Keeps the determinant.
AffineMap turnedAbout(const AffineMap& map, Point centre, double radians);

// The angle swept from `from` to `to` around `centre`, in (-pi, pi]; with
// `steps` rounded to a multiple of 15 degrees.
double sweptAngle(Point centre, Point from, Point to, bool steps);

}   // namespace fenra::studio
