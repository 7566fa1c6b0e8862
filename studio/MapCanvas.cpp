#include "studio/MapCanvas.h"

#include "render/Palette.h"
#include "studio/MapOutline.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

namespace fenra::studio {
namespace {

const QColor kWarningColour(255, 59, 48);
constexpr double kWheelStep = 1.0015;   // zoom factor per eighth of a degree of the wheel

QString stepText(Handle handle)
{
    switch (handle) {
    case Handle::X:
    case Handle::Y:
        return MapCanvas::tr("Stretch map");
    case Handle::P:
        return MapCanvas::tr("Turn and scale map");
    case Handle::Turn:
        return MapCanvas::tr("Turn map");
    default:
        return MapCanvas::tr("Move map");
    }
}

}   // namespace

MapCanvas::MapCanvas(StudioDocument& document, QWidget* parent) : QWidget(parent), m_document(document)
{
    setObjectName(QStringLiteral("canvas"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&m_document, &StudioDocument::mapsChanged, this, qOverload<>(&QWidget::update));
    connect(&m_document, &StudioDocument::selectionChanged, this, qOverload<>(&QWidget::update));
    connect(&m_document, &StudioDocument::shownChanged, this, qOverload<>(&QWidget::update));
}

void MapCanvas::setView(const CanvasView& view)
{
    if (view == m_view || !(view.scale > 0) || !std::isfinite(view.scale))
        return;
    m_view = view;
    update();
    emit viewChanged();
}

void MapCanvas::frameBox(const PlaneBox& box)
{
    const double w = std::max(box.x1 - box.x0, 1e-9), h = std::max(box.y1 - box.y0, 1e-9);
    setView({{(box.x0 + box.x1) / 2, (box.y0 + box.y1) / 2}, std::min(width() / w, height() / h)});
}

PlaneBox MapCanvas::visibleBox() const
{
    const Point low = m_view.toPlane(QPointF(0, height()), size());
    const Point high = m_view.toPlane(QPointF(width(), 0), size());
    return {low.x, low.y, high.x, high.y};
}

QSize MapCanvas::devicePixelSize() const
{
    const double ratio = devicePixelRatioF();
    return {std::max(1, int(std::lround(width() * ratio))), std::max(1, int(std::lround(height() * ratio)))};
}

void MapCanvas::setPicture(const QImage& picture, const PlaneBox& box)
{
    m_picture = picture;
    m_pictureBox = box;
    update();
}

void MapCanvas::setWarning(bool warning)
{
    if (warning != m_warning) {
        m_warning = warning;
        update();
    }
}

void MapCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!m_picture.isNull()) {
        // Exactly the device pixels when the view has not moved since it was drawn.
        const QPointF topLeft = m_view.toScreen({m_pictureBox.x0, m_pictureBox.y1}, size());
        const QPointF bottomRight = m_view.toScreen({m_pictureBox.x1, m_pictureBox.y0}, size());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(topLeft, bottomRight), m_picture);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    paintOutlines(painter);
}

void MapCanvas::paintOutlines(QPainter& painter) const
{
    const MapList& maps = m_document.maps();
    for (int k = 0; k < int(maps.size()); ++k) {
        const MapOutline outline = outlineOf(maps[std::size_t(k)].map, m_view, size());
        const bool selected = k == m_document.selected();
        const QColor colour = m_warning ? kWarningColour : QColor::fromRgb(render::setColour(k + 1));
        QPen pen(colour, selected || m_warning ? 2.0 : 1.0);
        if (!m_document.shown(k))
            pen.setStyle(Qt::DashLine);
        // A dark edge under the line: the picture beneath is drawn in the same colour.
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(0, 0, 0, 160), pen.widthF() + 2.0));
        painter.drawPolygon(outline.polygon());
        painter.setPen(pen);
        painter.drawPolygon(outline.polygon());
        // The first edge, O to X, is thicker: it shows which way the map turns and mirrors.
        painter.setPen(QPen(colour, pen.widthF() + 1.5));
        painter.drawLine(outline.o, outline.x);
        if (!selected)
            continue;
        painter.setPen(QPen(Qt::white, 1.0));
        painter.setBrush(colour);
        for (const QPointF& corner : {outline.x, outline.y, outline.p})
            painter.drawRect(QRectF(corner - QPointF(4, 4), QSizeF(8, 8)));
        painter.drawEllipse(outline.o, 4, 4);
        painter.setPen(QPen(colour, 1.0, Qt::DotLine));
        painter.drawLine((outline.y + outline.p) / 2, outline.turn);
        painter.setPen(QPen(Qt::white, 1.0));
        painter.drawEllipse(outline.turn, 5, 5);
    }
}

void MapCanvas::resizeEvent(QResizeEvent*) { emit viewChanged(); }

MapCanvas::Hit MapCanvas::hitAt(QPointF pointer) const
{
    const MapList& maps = m_document.maps();
    const int selected = m_document.selected();
    // The selected map's handles first, then the maps drawn last (on top) first.
    if (selected >= 0) {
        const Handle h = handleAt(outlineOf(maps[std::size_t(selected)].map, m_view, size()), pointer, true);
        if (h != Handle::None && h != Handle::Body)
            return {selected, h};
    }
    for (int k = int(maps.size()) - 1; k >= 0; --k) {
        const Handle h = handleAt(outlineOf(maps[std::size_t(k)].map, m_view, size()), pointer, false);
        if (h != Handle::None)
            return {k, h};
    }
    return {};
}

void MapCanvas::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && m_spaceHeld)) {
        m_panFrom = event->position();
        setCursor(Qt::ClosedHandCursor);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    const Hit hit = hitAt(event->position());
    if (hit.map < 0)
        return;
    m_document.select(hit.map);
    m_drag = MapDrag{hit.map, hit.handle, m_document.maps()[std::size_t(hit.map)],
                     m_view.toPlane(event->position(), size())};
}

void MapCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if (m_panFrom) {
        const QPointF delta = event->position() - *m_panFrom;
        m_panFrom = event->position();
        setView(m_view.panned(delta));
        return;
    }
    if (!m_drag)
        return;
    const Point at = m_view.toPlane(event->position(), size());
    StudioMap map = m_drag->start;
    map.map = dragged(m_drag->start.map, m_drag->handle, m_drag->grab, {at.x - m_drag->grab.x, at.y - m_drag->grab.y},
                      event->modifiers().testFlag(Qt::ShiftModifier));
    m_document.preview(m_drag->map, map);
}

void MapCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_panFrom && (event->button() == Qt::MiddleButton || event->button() == Qt::LeftButton)) {
        m_panFrom.reset();
        setCursor(m_spaceHeld ? Qt::OpenHandCursor : Qt::ArrowCursor);
        return;
    }
    if (m_drag && event->button() == Qt::LeftButton) {
        const Handle handle = m_drag->handle;
        m_drag.reset();
        m_document.endPreview(stepText(handle));
    }
}

void MapCanvas::wheelEvent(QWheelEvent* event)
{
    const double factor = std::pow(kWheelStep, event->angleDelta().y());
    setView(m_view.zoomedAbout(event->position(), size(), factor));
}

bool MapCanvas::event(QEvent* event)
{
    // Tab cycles the maps here instead of moving the focus away.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int count = int(m_document.maps().size());
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && count > 0) {
            const int step = key->key() == Qt::Key_Backtab ? count - 1 : 1;
            m_document.select((m_document.selected() + step) % count);
            return true;
        }
    }
    return QWidget::event(event);
}

void MapCanvas::keyPressEvent(QKeyEvent* event)
{
    const double pixel = (event->modifiers().testFlag(Qt::ShiftModifier) ? 10.0 : 1.0) / m_view.scale;
    switch (event->key()) {
    case Qt::Key_Left:
        return m_document.moveSelected(-pixel, 0);
    case Qt::Key_Right:
        return m_document.moveSelected(pixel, 0);
    case Qt::Key_Up:
        return m_document.moveSelected(0, pixel);
    case Qt::Key_Down:
        return m_document.moveSelected(0, -pixel);
    case Qt::Key_Space:
        if (!event->isAutoRepeat()) {
            m_spaceHeld = true;
            setCursor(Qt::OpenHandCursor);
        }
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void MapCanvas::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        m_spaceHeld = false;
        if (!m_panFrom)
            setCursor(Qt::ArrowCursor);
        return;
    }
    QWidget::keyReleaseEvent(event);
}

}   // namespace fenra::studio
