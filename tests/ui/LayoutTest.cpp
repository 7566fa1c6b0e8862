// The window as it is laid out: names, captions, tooltips, places, limits, tab order.
#include "WindowFixture.h"

#include "ui/DrawingArea.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace fenra::test {
namespace {

QRect fromTwips(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

QString captionOf(QWidget* widget)
{
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* frame = qobject_cast<QGroupBox*>(widget))
        return frame->title();
    if (auto* box = qobject_cast<QLineEdit*>(widget))
        return box->text();
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return combo->currentText();
    return {};
}

struct Placed {
    const char* name;
    const char* caption;   // nullptr: not checked
    int left, top, width, height;
};

TEST_F(WindowTest, WindowHasItsTitleFixedSizeAndButtons)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("The Fenra Game     "));
    EXPECT_EQ(window->size(), QSize(794, 549));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(window->windowIcon().isNull());
    ASSERT_NE(window->Picture1->pixmap().size(), QSize());
    EXPECT_EQ(window->Picture1->pixmap().size(), QSize(42, 60));
}

TEST_F(WindowTest, ControlsSitWhereTheLayoutPutsThemWithTheirCaptions)
{
    const Placed controls[] = {
        {"fraOptions", "Options", 8400, 0, 1575, 2535},
        {"lblrand", "Random #'s:", 60, 240, 900, 195},
        {"cborand", nullptr, 1080, 120, 390, 315},
        {"lblIter", "Iterations:", 60, 540, 690, 195},
        {"txtIter", "5000", 840, 480, 615, 285},
        {"optclrwhite", "White", 120, 720, 735, 195},
        {"optclrrand", "Random", 360, 960, 975, 195},
        {"optclrrule", "Data", 600, 1200, 735, 195},
        {"lblMoveX", "Right:", 480, 1440, 420, 195},
        {"txtMoveX", "0", 960, 1440, 495, 285},
        {"lblMovey", "Down", 480, 1800, 420, 195},
        {"txtMoveY", "0", 960, 1800, 495, 285},
        {"lblZoom", "Zoom:", 360, 2160, 450, 195},
        {"cboZoom", "1x", 840, 2160, 555, 315},
        {"fraSave", "Batch", 9960, 0, 1095, 1455},
        {"lblSave", "Runs:", 120, 240, 420, 195},
        {"txtArray", "0", 600, 240, 375, 285},
        {"cmdSaveBatch", "Random Batch", 120, 600, 855, 495},
        {"prgArray", nullptr, 120, 1200, 855, 135},
        {"cmdSavePicture", "Save Picture", 10080, 1560, 1095, 255},
        {"cmdRandom", "Random", 10080, 1920, 1095, 255},
        {"cmdStart", "Start", 10080, 2280, 1095, 255},
        {"cmdAbout", "About", 11160, 120, 615, 315},
        {"cmdSave", "Save Data", 11160, 600, 615, 435},
        {"cmdLoad", "Load Data", 11160, 1080, 615, 435},
        {"Picture1", nullptr, 11280, 1560, 615, 855},
        {"prgIter", nullptr, 60, 2280, 8295, 195},
        {"pctdisplay", nullptr, 0, 2520, 11970, 5775},
    };
    for (const Placed& c : controls) {
        SCOPED_TRACE(c.name);
        auto* widget = window->findChild<QWidget*>(QLatin1String(c.name));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), fromTwips(c.left, c.top, c.width, c.height));
        if (c.caption) {
            EXPECT_EQ(captionOf(widget), QLatin1String(c.caption));
        }
    }
}

TEST_F(WindowTest, EachDataSetFrameHoldsSixBoxesLabelsAndAShowBox)
{
    for (int k = 1; k <= 6; ++k) {
        SCOPED_TRACE(k);
        auto* frame = window->findChild<QGroupBox*>(QStringLiteral("fradata%1").arg(k));
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame, window->dataSetFrame(k));
        EXPECT_EQ(frame->title(), QStringLiteral("Data Set %1").arg(k));
        EXPECT_EQ(frame->geometry(), fromTwips(60 + 1380 * (k - 1), 0, 1395, 2235));
        for (int i = 0; i < 6; ++i) {
            auto* box = frame->findChild<QLineEdit*>(QStringLiteral("txtdata%1(%2)").arg(k).arg(i));
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box, window->coefficientBox(k, i + 1));
            EXPECT_EQ(box->geometry(), fromTwips(240, 180 + 300 * i, 1095, 255));
            EXPECT_EQ(box->maxLength(), 6);
            EXPECT_TRUE(box->toolTip().isEmpty());
            const QLabel* label = window->lbldata[std::size_t(6 * (k - 1) + i)];
            EXPECT_EQ(label->parentWidget(), frame);
            EXPECT_EQ(label->text(), QStringLiteral("%1:").arg(i + 1));
            EXPECT_EQ(label->pos(), fromTwips(60, 180 + 300 * i, 0, 0).topLeft());
        }
        auto* show = frame->findChild<QCheckBox*>(QStringLiteral("chkvar%1").arg(k));
        ASSERT_NE(show, nullptr);
        EXPECT_EQ(show->text(), QStringLiteral("Show"));
        EXPECT_TRUE(show->isChecked());
        EXPECT_EQ(show->geometry(), fromTwips(240, 1980, 825, 195));
        EXPECT_EQ(show->toolTip(), QStringLiteral("Show the points created by Data Set %1").arg(k));
    }
}

TEST_F(WindowTest, TooltipsReadExactlyAndOthersHaveNone)
{
    const std::pair<const char*, const char*> tips[] = {
        {"pctdisplay", "The display where the points are plotted from the equation"},
        {"cmdAbout", "About the Tarnwick Fenra Game"},
        {"cmdSavePicture", "Save the image on the display as a Windows Bitmap image file"},
        {"cmdSave", "Save the current data for retrieval"},
        {"cmdLoad", "Retrieve a previously saved data set"},
        {"cmdSaveBatch", "Creates a batch of images automatically, and saves the data and the image."},
        {"txtArray", "The number of images you want to create"},
        {"cmdRandom", "Create random data in the data sets and start the equation loop"},
        {"txtMoveX", "Move the image that appears on the display to the right"},
        {"txtMoveY", "Move the image that appears on the display downwards"},
        {"cboZoom", "Zoom the image in or out"},
        {"optclrrand", "There will be a random color for each point on the display"},
        {"optclrrule", "The points on the display will be colored according to what random number was picked"},
        {"optclrwhite", "All of the points on the display will be white"},
        {"txtIter", "The number of times the equation will calculated"},
        {"cborand", "The amount of random numbers that will be picked for the equation"},
    };
    for (const auto& [name, tip] : tips) {
        SCOPED_TRACE(name);
        auto* widget = window->findChild<QWidget*>(QLatin1String(name));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->toolTip(), QLatin1String(tip));
    }
    for (const char* silent : {"cmdStart", "Picture1", "prgIter", "prgArray", "fraOptions", "fradata1", "lblIter"})
        EXPECT_TRUE(window->findChild<QWidget*>(QLatin1String(silent))->toolTip().isEmpty()) << silent;
}

TEST_F(WindowTest, ListsOfferTheirItemsAndTheDefaultsAreSet)
{
    QStringList counts, zooms;
    for (int i = 0; i < window->cborand->count(); ++i)
        counts << window->cborand->itemText(i);
    for (int i = 0; i < window->cboZoom->count(); ++i)
        zooms << window->cboZoom->itemText(i);
    EXPECT_EQ(counts, QStringList({"2", "3", "4", "5", "6"}));
    EXPECT_EQ(zooms, QStringList({"0.25x", "0.5x", "1x", "2x", "4x", "8x"}));
    EXPECT_TRUE(window->optclrrand->isChecked());
    EXPECT_FALSE(window->optclrwhite->isChecked());
    EXPECT_FALSE(window->optclrrule->isChecked());
    EXPECT_TRUE(window->cmdStart->isDefault());
    EXPECT_EQ(window->prgIter->minimum(), 0);
    EXPECT_EQ(window->prgIter->maximum(), 100);
    EXPECT_EQ(window->prgIter->value(), 0);
    EXPECT_EQ(window->pctdisplay->image().size(), QSize(794, 381));

    // Choosing one colour option clears the other two.
    QTest::mouseClick(window->optclrwhite, Qt::LeftButton);
    EXPECT_TRUE(window->optclrwhite->isChecked());
    EXPECT_FALSE(window->optclrrand->isChecked());
    EXPECT_FALSE(window->optclrrule->isChecked());
}

TEST_F(WindowTest, BoxesRefuseTypingBeyondTheirLimitAndCutAssignedTexts)
{
    struct Limit {
        QLineEdit* box;
        int limit;
    };
    for (const Limit& l : {Limit{window->coefficientBox(3, 4), 6}, Limit{window->txtIter, 5}, Limit{window->txtArray, 2}}) {
        SCOPED_TRACE(l.box->objectName().toStdString());
        l.box->clear();
        QTest::keyClicks(l.box, QStringLiteral("123456789"));
        EXPECT_EQ(l.box->text(), QStringLiteral("123456789").left(l.limit));
    }
    window->coefficientBox(1, 1)->setText(QStringLiteral("0.12345678"));
    EXPECT_EQ(window->coefficientBox(1, 1)->text(), QStringLiteral("0.1234"));
    EXPECT_EQ(window->dataSets().sets[0][0], QStringLiteral("0.1234"));
    window->txtMoveX->setText(QStringLiteral("-1234567.5"));
    EXPECT_EQ(window->txtMoveX->text(), QStringLiteral("-1234567.5"));
}

TEST_F(WindowTest, TabVisitsTheControlsInTheirOrderSkippingHiddenFrames)
{
    window->cborand->setEditText(QStringLiteral("6"));
    QList<QWidget*> expected{window->cmdStart};
    for (int k : {1, 2, 3, 4})
        for (int j = 1; j <= 6; ++j)
            expected << window->coefficientBox(k, j);
    expected << window->pctdisplay;
    for (int k : {5, 6})
        for (int j = 1; j <= 6; ++j)
            expected << window->coefficientBox(k, j);
    for (int k = 1; k <= 6; ++k)
        expected << window->showBox(k);
    expected << window->cborand << window->txtIter << window->cmdRandom << window->txtArray << window->cmdSaveBatch
             << window->cmdLoad << window->cmdSave << window->cmdSavePicture << window->cmdAbout
             << window->optclrrand   // the option group is one stop, at its selected button
             << window->cboZoom << window->txtMoveY << window->txtMoveX << window->Picture1 << window->cmdStart;

    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->cmdStart->setFocus();
    QList<QWidget*> visited{QApplication::focusWidget()};
    for (int i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        // An editable list takes the focus through its line edit.
        if (focus && qobject_cast<QComboBox*>(focus->parentWidget()))
            focus = focus->parentWidget();
        visited << focus;
    }
    const auto names = [](const QList<QWidget*>& widgets) {
        QStringList list;
        for (QWidget* w : widgets)
            list << (w ? w->objectName() : QStringLiteral("(none)"));
        return list.join(u' ').toStdString();
    };
    EXPECT_EQ(names(visited), names(expected));

    // With the count at 2 the boxes of data sets 3 to 6 take no focus.
    window->cborand->setEditText(QStringLiteral("2"));
    window->coefficientBox(2, 6)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), window->pctdisplay);
}

} // namespace
} // namespace fenra::test
