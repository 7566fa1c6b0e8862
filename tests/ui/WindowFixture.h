#pragma once

#include "engine/RandomSource.h"
#include "support/FakePlatform.h"
#include "ui/DrawingArea.h"
#include "ui/frmfenra.h"

#include <QTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

namespace fenra::test {

// The real main window over fake services, shown on the offscreen screen.
class WindowTest : public ::testing::Test {
protected:
    virtual Platform platform() { return fake.platform(); }
    void SetUp() override
    {
        window = std::make_unique<frmfenra>(platform(), random);
        window->show();
        box("txtIter")->setText(QStringLiteral("300"));
    }

    // The window's controls by their object names; a name it lacks fails the test.
    template <typename Widget = QWidget>
    Widget* child(const QString& name) const
    {
        Widget* found = window->findChild<Widget*>(name);
        return found ? found : throw std::invalid_argument("the window has no control " + name.toStdString());
    }
    QLineEdit* box(const char* name) const { return child<QLineEdit>(QLatin1String(name)); }
    QLineEdit* box(int set, int row) const
    {
        return child<QLineEdit>(QStringLiteral("txtdata%1(%2)").arg(set).arg(row - 1));
    }
    const QImage& drawing() const { return child<DrawingArea>("pctdisplay")->image(); }

    // Files dragged from the desktop onto a control: the drag enters, then drops, and both are taken.
    void drop(const QList<QByteArray>& names, QWidget* onto)
    {
        QMimeData mime;
        QList<QUrl> urls;
        for (const QByteArray& name : names)
            urls << QUrl::fromEncoded("file://" + name.toPercentEncoding("/"));
        mime.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(onto, &enter);
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(onto, &event);
        EXPECT_TRUE(enter.isAccepted() && event.isAccepted());
    }

    // Data sets 1 and 2 send every point to (0.5, 0.2), drawn white: at "1x" pixel (500, 318).
    void drawOnePoint()
    {
        for (int k = 0; k < 12; ++k)
            box(k / 6 + 1, k % 6 + 1)->setText(k % 6 == 2 ? "0.5" : k % 6 == 5 ? "0.2" : "0");
        child<QRadioButton>("optclrwhite")->setChecked(true);
    }

    int litPixels() const
    {
        const QImage image = drawing().convertToFormat(QImage::Format_RGB32);
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constBits());   // rows without padding
        return int(
            std::count_if(pixels, pixels + image.width() * image.height(), [](QRgb p) { return (p & 0xFFFFFF) != 0; }));
    }

    // How many data-set frames show, when they are the first ones; else -1.
    int framesShown() const
    {
        int shown = 0;
        for (int k = 1; k <= 6; ++k)
            shown = child(QStringLiteral("fradata%1").arg(k))->isHidden() ? shown : shown == k - 1 ? k : -1;
        return shown;
    }

    FakePlatform fake;
    Pcg32Source random{42};
    std::unique_ptr<frmfenra> window;
};

}   // namespace fenra::test
