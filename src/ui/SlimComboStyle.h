#pragma once

#include <QProxyStyle>

namespace fenra {

// A narrower drop-down arrow, so the window's slim lists (26 pixels for the
// count) still show their text beside it.
class SlimComboStyle final : public QProxyStyle {
public:
    static constexpr int kArrowWidth = 11;   // pixels

    using QProxyStyle::QProxyStyle;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override;
};

}   // namespace fenra
