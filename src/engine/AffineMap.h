#pragma once

namespace fenra {

// One affine map, in the window's order of its six coefficients:
// (x, y) -> (c[0]·x + c[1]·y + c[2], c[3]·x + c[4]·y + c[5]).
// The window's data sets, collections, pictures and renders all use this type.
struct alignas(64) AffineMap {
    double c[6] = {1.0, 0.0, 0.0, 0.0, 1.0, 0.0};

    bool operator==(const AffineMap&) const = default;
};

}   // namespace fenra
