// The real canvas driven by Qt Test's mouse and key events.
#include "studio/MapCanvas.h"
#include "studio/MapOutline.h"

#include <QTest>

#include <gtest/gtest.h>

namespace fenra::studio {
namespace {

struct CanvasFixture : ::testing::Test {
    CanvasFixture() : canvas(document)
    {
        document.reset({{AffineMap{{0.5, 0, 0, 0, 0.5, 0}}, 1}, {AffineMap{{0.5, 0, 1, 0, 0.5, 0}}, 1}});
        canvas.resize(400, 300);
        canvas.show();
        canvas.setView({{1, 0.25}, 256});   // 256 pixels per unit, so pixel drags are exact in map units
    }
    QPoint screen(Point p) const { return canvas.view().toScreen(p, canvas.size()).toPoint(); }

    StudioDocument document;
    MapCanvas canvas;
};

TEST_F(CanvasFixture, DraggingACornerThroughTheCanvasIsOneExactUndoStep)
{
    const AffineMap before = document.maps()[1].map;
    const QPoint x = screen(cornersOf(before).x);
    // Map 2 is not selected yet: its body is grabbed first, then its X corner.
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, screen(centreOf(before)));
    EXPECT_EQ(document.selected(), 1);
    QTest::mousePress(&canvas, Qt::LeftButton, {}, x);
    for (int step = 1; step <= 4; ++step)
        QTest::mouseMove(&canvas, x + QPoint(8 * step, -4 * step));
    QTest::mouseRelease(&canvas, Qt::LeftButton, {}, x + QPoint(32, -16));

    AffineMap expected = before;
    expected.c[0] += 32.0 / 256;
    expected.c[3] += 16.0 / 256;
    EXPECT_EQ(document.maps()[1].map, expected);
    EXPECT_EQ(document.maps()[0].map, (AffineMap{{0.5, 0, 0, 0, 0.5, 0}}));
    EXPECT_EQ(document.undoStack().count(), 1);
    document.undoStack().undo();
    EXPECT_EQ(document.maps()[1].map, before);
}

TEST_F(CanvasFixture, KeysMoveByScreenPixelsAndTabCycles)
{
    canvas.setFocus();
    QTest::keyClick(&canvas, Qt::Key_Tab);
    EXPECT_EQ(document.selected(), 1);
    QTest::keyClick(&canvas, Qt::Key_Tab);
    EXPECT_EQ(document.selected(), 0);
    for (int k = 0; k < 10; ++k)
        QTest::keyClick(&canvas, Qt::Key_Right);
    QTest::keyClick(&canvas, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_DOUBLE_EQ(document.maps()[0].map.c[2], 10 * (1.0 / 256));
    EXPECT_DOUBLE_EQ(document.maps()[0].map.c[5], 10.0 / 256);
    EXPECT_EQ(document.undoStack().count(), 11);
}

TEST_F(CanvasFixture, PanningKeepsThePlaneUnderThePointerAndIsNoStep)
{
    const QPoint at(100, 80);
    const Point under = canvas.view().toPlane(at, canvas.size());
    QTest::mousePress(&canvas, Qt::MiddleButton, {}, at);
    QTest::mouseMove(&canvas, at + QPoint(30, 20));
    QTest::mouseRelease(&canvas, Qt::MiddleButton, {}, at + QPoint(30, 20));
    const Point moved = canvas.view().toPlane(at + QPoint(30, 20), canvas.size());
    EXPECT_NEAR(moved.x, under.x, 1e-12);
    EXPECT_NEAR(moved.y, under.y, 1e-12);
    EXPECT_EQ(document.undoStack().count(), 0);
}

}   // namespace
}   // namespace fenra::studio
