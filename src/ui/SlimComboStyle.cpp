#include "ui/SlimComboStyle.h"

#include <QStyleOptionComplex>

namespace fenra {

QRect SlimComboStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                                     const QWidget* widget) const
{
    const QRect base = QProxyStyle::subControlRect(control, option, sub, widget);
    if (control != CC_ComboBox)
        return base;
    const QRect arrow = QProxyStyle::subControlRect(control, option, SC_ComboBoxArrow, widget);
    const int saved = arrow.width() - kArrowWidth;
    if (saved <= 0)
        return base;
    if (sub == SC_ComboBoxArrow)
        return base.adjusted(saved, 0, 0, 0);
    if (sub == SC_ComboBoxEditField)
        return base.adjusted(0, 0, saved, 0);
    return base;
}

}   // namespace fenra
