// The window as it is laid out: names, captions, tooltips, places, limits, tab order.
#include "WindowFixture.h"

#include "ui/DrawingArea.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QTest>

namespace fenra::test {
namespace {

QRect fromTwips(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

QString captionOf(const QWidget* w)
{
    for (const char* property : {"text", "title", "currentText"}) {
        const QVariant value = w->property(property);
        if (value.isValid())
            return value.toString();
    }
    return {};
}

TEST_F(WindowTest, WindowHasItsTitleFixedSizeButtonsAndPictures)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("The Fenra Game     "));
    EXPECT_EQ(window->size(), QSize(794, 549));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_EQ(window->Picture1->pixmap().size(), QSize(42, 60));
    EXPECT_EQ(window->pctdisplay->image().size(), QSize(794, 381));
    EXPECT_TRUE(window->cmdStart->isDefault());
}

TEST_F(WindowTest, ControlsSitWhereTheLayoutPutsThemWithCaptionsAndTooltips)
{
    struct Placed {
        const char* name;
        const char* caption;   // nullptr: none to check
        int left, top, width, height;
        const char* tip;       // "" : no tooltip
    };
    const Placed controls[] = {
        {"fraOptions", "Options", 8400, 0, 1575, 2535, ""},
        {"lblrand", "Random #'s:", 60, 240, 900, 195, ""},
        {"cborand", nullptr, 1080, 120, 390, 315, "The amount of random numbers that will be picked for the equation"},
        {"lblIter", "Iterations:", 60, 540, 690, 195, ""},
        {"txtIter", "5000", 840, 480, 615, 285, "The number of times the equation will calculated"},
        {"optclrwhite", "White", 120, 720, 735, 195, "All of the points on the display will be white"},
        {"optclrrand", "Random", 360, 960, 975, 195, "There will be a random color for each point on the display"},
        {"optclrrule", "Data", 600, 1200, 735, 195,
         "The points on the display will be colored according to what random number was picked"},
        {"lblMoveX", "Right:", 480, 1440, 420, 195, ""},
        {"txtMoveX", "0", 960, 1440, 495, 285, "Move the image that appears on the display to the right"},
        {"lblMovey", "Down", 480, 1800, 420, 195, ""},
        {"txtMoveY", "0", 960, 1800, 495, 285, "Move the image that appears on the display downwards"},
        {"lblZoom", "Zoom:", 360, 2160, 450, 195, ""},
        {"cboZoom", "1x", 840, 2160, 555, 315, "Zoom the image in or out"},
        {"fraSave", "Batch", 9960, 0, 1095, 1455, ""},
        {"lblSave", "Runs:", 120, 240, 420, 195, ""},
        {"txtArray", "0", 600, 240, 375, 285, "The number of images you want to create"},
        {"cmdSaveBatch", "Random Batch", 120, 600, 855, 495,
         "Creates a batch of images automatically, and saves the data and the image."},
        {"prgArray", nullptr, 120, 1200, 855, 135, ""},
        {"cmdSavePicture", "Save Picture", 10080, 1560, 1095, 255,
         "Save the image on the display as a Windows Bitmap image file"},
        {"cmdRandom", "Random", 10080, 1920, 1095, 255, "Create random data in the data sets and start the equation loop"},
        {"cmdStart", "Start", 10080, 2280, 1095, 255, ""},
        {"cmdAbout", "About", 11160, 120, 615, 315, "About the Tarnwick Fenra Game"},
        {"cmdSave", "Save Data", 11160, 600, 615, 435, "Save the current data for retrieval"},
        {"cmdLoad", "Load Data", 11160, 1080, 615, 435, "Retrieve a previously saved data set"},
        {"Picture1", nullptr, 11280, 1560, 615, 855, ""},
        {"prgIter", nullptr, 60, 2280, 8295, 195, ""},
        {"pctdisplay", nullptr, 0, 2520, 11970, 5775, "The display where the points are plotted from the equation"},
    };
    for (const Placed& c : controls) {
        SCOPED_TRACE(c.name);
        auto* widget = window->findChild<QWidget*>(QLatin1String(c.name));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), fromTwips(c.left, c.top, c.width, c.height));
        EXPECT_EQ(widget->toolTip(), QLatin1String(c.tip));
        if (c.caption) {
            EXPECT_EQ(captionOf(widget), QLatin1String(c.caption));
        }
    }
    EXPECT_TRUE(window->optclrrand->isChecked());
}

TEST_F(WindowTest, EachDataSetFrameHoldsSixBoxesLabelsAndAShowBox)
{
    for (int k = 1; k <= 6; ++k) {
        SCOPED_TRACE(k);
        auto* frame = window->findChild<QGroupBox*>(QStringLiteral("fradata%1").arg(k));
        ASSERT_EQ(frame, window->dataSetFrame(k));
        EXPECT_EQ(frame->title(), QStringLiteral("Data Set %1").arg(k));
        EXPECT_EQ(frame->geometry(), fromTwips(60 + 1380 * (k - 1), 0, 1395, 2235));
        for (int i = 0; i < 6; ++i) {
            auto* box = frame->findChild<QLineEdit*>(QStringLiteral("txtdata%1(%2)").arg(k).arg(i));
            ASSERT_EQ(box, window->coefficientBox(k, i + 1));
            EXPECT_EQ(box->geometry(), fromTwips(240, 180 + 300 * i, 1095, 255));
            EXPECT_TRUE(box->toolTip().isEmpty());
            const QLabel* label = window->lbldata[std::size_t(6 * (k - 1) + i)];
            EXPECT_EQ(label->parentWidget(), frame);
            EXPECT_EQ(label->text(), QStringLiteral("%1:").arg(i + 1));
            EXPECT_EQ(label->pos(), fromTwips(60, 180 + 300 * i, 0, 0).topLeft());
        }
        QCheckBox* show = window->showBox(k);
        EXPECT_EQ(show->objectName(), QStringLiteral("chkvar%1").arg(k));
        EXPECT_EQ(show->parentWidget(), frame);
        EXPECT_EQ(show->text(), QStringLiteral("Show"));
        EXPECT_TRUE(show->isChecked());
        EXPECT_EQ(show->geometry(), fromTwips(240, 1980, 825, 195));
        EXPECT_EQ(show->toolTip(), QStringLiteral("Show the points created by Data Set %1").arg(k));
    }
}

TEST_F(WindowTest, BoxesRefuseTypingBeyondTheirLimitAndCutAssignedTexts)
{
    for (auto [box, limit] : {std::pair{window->coefficientBox(3, 4), 6}, {window->txtIter, 5}, {window->txtArray, 2}}) {
        SCOPED_TRACE(box->objectName().toStdString());
        box->clear();
        QTest::keyClicks(box, QStringLiteral("123456789"));
        EXPECT_EQ(box->text(), QStringLiteral("123456789").left(limit));
    }
    window->coefficientBox(1, 1)->setText(QStringLiteral("0.12345678"));
    EXPECT_EQ(window->dataSets().sets[0][0], QStringLiteral("0.1234"));
    window->txtMoveX->setText(QStringLiteral("-1234567.5"));   // no limit
    EXPECT_EQ(window->txtMoveX->text(), QStringLiteral("-1234567.5"));
}

TEST_F(WindowTest, TabVisitsTheControlsInTheirOrderSkippingHiddenFrames)
{
    window->cborand->setEditText(QStringLiteral("6"));
    QList<QWidget*> expected{window->cmdStart};
    for (int k : {1, 2, 3, 4, 0, 5, 6}) {
        if (k == 0)
            expected << window->pctdisplay;
        for (int j = 1; k != 0 && j <= 6; ++j)
            expected << window->coefficientBox(k, j);
    }
    for (int k = 1; k <= 6; ++k)
        expected << window->showBox(k);
    expected << window->cborand << window->txtIter << window->cmdRandom << window->txtArray << window->cmdSaveBatch
             << window->cmdLoad << window->cmdSave << window->cmdSavePicture << window->cmdAbout
             << window->optclrrand   // the option group is one stop, at its selected button
             << window->cboZoom << window->txtMoveY << window->txtMoveX << window->Picture1 << window->cmdStart;

    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->cmdStart->setFocus();
    QStringList visited{QApplication::focusWidget()->objectName()}, wanted;
    for (QWidget* w : expected)
        wanted << w->objectName();
    for (int i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        if (qobject_cast<QComboBox*>(focus->parentWidget()))   // a list takes the focus through its line edit
            focus = focus->parentWidget();
        visited << focus->objectName();
    }
    EXPECT_EQ(visited.join(u' ').toStdString(), wanted.join(u' ').toStdString());

    // With the count at 2 the boxes of data sets 3 to 6 take no focus.
    window->cborand->setEditText(QStringLiteral("2"));
    window->coefficientBox(2, 6)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), window->pctdisplay);
}

} // namespace
} // namespace fenra::test
