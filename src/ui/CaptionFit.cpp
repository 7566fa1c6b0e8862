#include "ui/CaptionFit.h"

#include "ui/CommandButton.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStyleOptionButton>

#include <algorithm>

namespace fenra {
namespace {

bool fitsOneLine(const QFontMetrics& metrics, const QString& text, const QRect& room)
{
    return text.isEmpty() || (metrics.horizontalAdvance(text) <= room.width() && metrics.height() <= room.height());
}

}   // namespace

QFont sansSerif()
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    return font;
}

bool captionFits(const QWidget& control)
{
    if (const auto* button = dynamic_cast<const CommandButton*>(&control))
        return button->captionFits();
    // An option's or a check box's caption follows its indicator, where the style puts it.
    const bool radio = qobject_cast<const QRadioButton*>(&control);
    if (const auto* option = qobject_cast<const QAbstractButton*>(&control);
        radio || qobject_cast<const QCheckBox*>(&control)) {
        QStyleOptionButton style;
        style.initFrom(option);
        const QRect room = option->style()->subElementRect(
            radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &style, option);
        return fitsOneLine(option->fontMetrics(), option->text(), room);
    }
    // Qt's own measure of a frame's title with its margins.
    if (const auto* frame = qobject_cast<const QGroupBox*>(&control))
        return frame->minimumSizeHint().width() <= frame->width();
    if (const auto* label = qobject_cast<const QLabel*>(&control))
        return fitsOneLine(label->fontMetrics(), label->text(), label->contentsRect());
    return true;
}

void fitCaptions(QWidget& window, QFont font, int largest, int smallest)
{
    const QList<QWidget*> controls = window.findChildren<QWidget*>();
    for (int size = largest; size >= smallest; --size) {
        font.setPixelSize(size);
        window.setFont(font);
        if (std::all_of(controls.begin(), controls.end(), [](const QWidget* c) { return captionFits(*c); }))
            return;
    }
}

}   // namespace fenra
