#pragma once

#include "studio/CanvasView.h"
#include "studio/HandleGeometry.h"
#include "studio/StudioDocument.h"

#include <QImage>
#include <QWidget>

#include <optional>

namespace fenra::studio {

// The plane of a box in map units: what a picture shows.
struct PlaneBox {
    double x0 = -1, y0 = -1, x1 = 1, y1 = 1;
    bool operator==(const PlaneBox&) const = default;
};

// The live picture with each map's parallelogram over it. Dragging a map's
// body, corner or turn handle changes it (one undo step per drag); the middle
// button or Space with the left one pans, the wheel zooms about the pointer.
// Keys: arrows move the selected map by one pixel (Shift: ten), Tab selects
// the next map (Shift+Tab the one before).
class MapCanvas : public QWidget {
    Q_OBJECT
public:
    explicit MapCanvas(StudioDocument& document, QWidget* parent = nullptr);

    const CanvasView& view() const { return m_view; }
    void setView(const CanvasView& view);
    // The view that shows `box` whole, centred.
    void frameBox(const PlaneBox& box);

    // What the canvas shows, and its size in the screen's device pixels.
    PlaneBox visibleBox() const;
    QSize devicePixelSize() const;

    // A picture of `box` (drawn at any size); shown stretched over that box
    // until the next one comes.
    void setPicture(const QImage& picture, const PlaneBox& box);
    // Outlines in the warning colour: the maps do not contract on average.
    void setWarning(bool warning);

    QSize sizeHint() const override { return {960, 640}; }

signals:
    void viewChanged();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    struct MapDrag {
        int map;
        Handle handle;
        StudioMap start;
        Point grab;   // map units
    };
    struct Hit {
        int map = -1;
        Handle handle = Handle::None;
    };
    Hit hitAt(QPointF pointer) const;
    void paintOutlines(class QPainter& painter) const;

    StudioDocument& m_document;
    CanvasView m_view;
    QImage m_picture;
    PlaneBox m_pictureBox;
    bool m_warning = false;
    bool m_spaceHeld = false;
    std::optional<MapDrag> m_drag;
    std::optional<QPointF> m_panFrom;
};

}   // namespace fenra::studio
