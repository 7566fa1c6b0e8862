#pragma once

#include <QPushButton>

namespace fenra {

// A push button whose caption wraps onto a second line when it is wider than
// the button, as the narrow buttons of the window need ("Save" over "Data").
class CommandButton final : public QPushButton {
public:
    CommandButton(const QString& caption, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace fenra
