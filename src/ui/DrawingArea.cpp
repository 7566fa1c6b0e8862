#include "ui/DrawingArea.h"

#include <QPaintEvent>
#include <QPainter>

namespace fenra {

DrawingArea::DrawingArea(QWidget* parent)
    : QWidget(parent), m_image(kDisplayWidth, kDisplayHeight, QImage::Format_RGB32)
{
    m_image.fill(QColor(Qt::black));
    setAttribute(Qt::WA_StaticContents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

RasterView DrawingArea::raster()
{
    // bits() detaches once if a saved copy shares the image; the pixels stay put afterwards.
    auto* pixels = reinterpret_cast<std::uint32_t*>(m_image.bits());
    return RasterView{pixels, m_image.width(), m_image.height(), m_image.bytesPerLine() / 4};
}

void DrawingArea::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect outer = rect();
    // Sunken border: dark above and left, light below and right.
    painter.fillRect(outer, palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(outer.topLeft(), outer.topRight());
    painter.drawLine(outer.topLeft(), outer.bottomLeft());
    painter.setPen(palette().color(QPalette::Shadow));
    painter.drawLine(outer.left() + 1, outer.top() + 1, outer.right() - 1, outer.top() + 1);
    painter.drawLine(outer.left() + 1, outer.top() + 1, outer.left() + 1, outer.bottom() - 1);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(outer.bottomLeft(), outer.bottomRight());
    painter.drawLine(outer.topRight(), outer.bottomRight());
    painter.setClipRect(event->rect());
    painter.drawImage(kBorder, kBorder, m_image);
}

}   // namespace fenra
