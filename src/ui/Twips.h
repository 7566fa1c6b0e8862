#pragma once

#include <QRect>

#include <cmath>

namespace fenra {

// The window is laid out in twips, 15 to a pixel at 96 dots per inch.
inline int twipsToPixels(int twips) { return int(std::lround(twips / 15.0)); }

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

}   // namespace fenra
