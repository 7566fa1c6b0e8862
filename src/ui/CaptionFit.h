#pragma once

#include <QFont>

class QWidget;

namespace fenra {

// The window's sans-serif: the designed face where the system has it, else
// Liberation Sans, which the program depends on, else Arial.
QFont sansSerif();

// Whether the caption of a label, button, option, check box or frame shows
// whole inside the control with the control's font. Controls without a
// caption always fit.
bool captionFits(const QWidget& control);

// Gives `window` `font` at the largest pixel size, from `largest` down to
// `smallest`, at which every caption of the window fits its designed place,
// whichever face the system gives for the font's families.
void fitCaptions(QWidget& window, QFont font, int largest, int smallest);

}   // namespace fenra
