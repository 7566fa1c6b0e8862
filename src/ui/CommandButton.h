#pragma once

#include <QPushButton>

namespace fenra {

// A push button whose caption wraps onto a second line when it is wider than
// the button, as the narrow buttons of the window need ("Save" over "Data").
class CommandButton final : public QPushButton {
public:
    CommandButton(const QString& caption, QWidget* parent);

    // Whether the caption shows whole: on one line within the bevel, or
    // wrapped between words within the button.
    bool captionFits() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}   // namespace fenra
