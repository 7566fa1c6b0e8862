#pragma once

#include <QIcon>
#include <QImage>

namespace fenra {

// The program's own pictures, drawn by the same kind of random iteration it
// is about: the window icon (a coloured triangle) and the logo (a fern).
QIcon programIcon();
QImage logoImage();   // 42 x 60 pixels

}   // namespace fenra
