#include "ui/CommandButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace fenra {

CommandButton::CommandButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}

namespace {
constexpr int kWrapped = Qt::AlignCenter | Qt::TextWordWrap;
}

bool CommandButton::captionFits() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const QFontMetrics metrics = fontMetrics();
    if (metrics.horizontalAdvance(text()) <= area.width())
        return metrics.height() <= area.height();
    const QRect wrapped = metrics.boundingRect(rect(), kWrapped, text());
    return rect().contains(wrapped);
}

void CommandButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);   // bevel and focus, no text

    const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    // Wrap only when one line does not fit; a single line keeps the style's look.
    const bool fits = fontMetrics().horizontalAdvance(caption) <= area.width();
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(fits ? area : rect(), fits ? int(Qt::AlignCenter) : kWrapped, caption);
}

}   // namespace fenra
