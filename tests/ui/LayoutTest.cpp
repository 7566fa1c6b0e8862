// The window as a user meets it: captions that show whole, controls that do
// not cover one another, limits of the boxes, and the Tab key's round.
#include "WindowFixture.h"

#include "ui/DrawingArea.h"

#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QTest>

namespace fenra::test {
namespace {

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

// Width and height a caption needs with the control's own font, and what the
// style draws beside it: an indicator, a bevel, a frame's title margins.
QSize roomNeeded(const QWidget* w, const QString& caption)
{
    const QFontMetrics metrics = w->fontMetrics();
    const QStyle* style = w->style();
    if (qobject_cast<const QRadioButton*>(w))
        return {style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) + style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing)
                    + metrics.horizontalAdvance(caption), metrics.height()};
    if (qobject_cast<const QCheckBox*>(w))
        return {style->pixelMetric(QStyle::PM_IndicatorWidth) + style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing)
                    + metrics.horizontalAdvance(caption), metrics.height()};
    if (qobject_cast<const QGroupBox*>(w))
        return {metrics.horizontalAdvance(caption) + 16, metrics.height()};
    if (qobject_cast<const QPushButton*>(w)) {
        // Inside the bevel: on one line, else one word to a line.
        const int bevel = 2 * (style->pixelMetric(QStyle::PM_DefaultFrameWidth) + 1);
        if (metrics.horizontalAdvance(caption) + bevel <= w->width())
            return {metrics.horizontalAdvance(caption) + bevel, metrics.height()};
        const QStringList words = caption.split(u' ');
        int widest = 0;
        for (const QString& word : words)
            widest = std::max(widest, metrics.horizontalAdvance(word));
        return {widest + bevel, int(words.size()) * metrics.height()};
    }
    return {metrics.horizontalAdvance(caption), metrics.height()};
}

TEST_F(WindowTest, EveryCaptionShowsWholeInItsControlWithTheFontInUse)
{
    int captions = 0;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const bool captioned = qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QGroupBox*>(w);
        const QString caption = w->property(qobject_cast<QGroupBox*>(w) ? "title" : "text").toString();
        if (!captioned || caption.isEmpty())
            continue;
        ++captions;
        const QSize needed = roomNeeded(w, caption);
        EXPECT_TRUE(needed.width() <= w->width() && needed.height() <= w->height())
            << qPrintable(w->objectName()) << " \"" << qPrintable(caption) << "\" needs " << needed.width() << "x"
            << needed.height() << " in " << w->width() << "x" << w->height() << " with "
            << qPrintable(QFontInfo(w->font()).family()) << " " << QFontInfo(w->font()).pixelSize() << "px";
    }
    EXPECT_EQ(captions, 6 * 8 + 9 + 3 + 6);   // data-set frames, Options, Batch, the window's buttons
}

TEST_F(WindowTest, NoControlCoversAnotherOrLeavesItsFrame)
{
    window->cborand->setEditText(QStringLiteral("6"));
    // Neighbours may share one line of pixels, as the frames do; the drawing
    // area reaches past the window's edge by design.
    const auto covers = [](const QRect& a, const QRect& b) {
        const QRect both = a & b;
        return both.width() > 1 && both.height() > 1;
    };
    QList<QWidget*> parents{window.get()};
    for (QGroupBox* frame : window->findChildren<QGroupBox*>())
        parents << frame;
    for (QWidget* parent : parents) {
        QList<QWidget*> children;   // the controls of the window, not Qt's own parts of them
        for (QWidget* w : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!w->isWindow() && !w->objectName().isEmpty() && !w->objectName().startsWith(u"qt_"))
                children << w;
        for (int i = 0; i < children.size(); ++i) {
            const QWidget* a = children[i];
            EXPECT_TRUE(a == window->pctdisplay || parent->rect().contains(a->geometry()))
                << qPrintable(a->objectName()) << " leaves " << qPrintable(parent->objectName());
            for (int j = i + 1; j < children.size(); ++j)
                EXPECT_FALSE(covers(a->geometry(), children[j]->geometry()))
                    << qPrintable(a->objectName()) << " covers " << qPrintable(children[j]->objectName());
        }
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

TEST_F(WindowTest, TabAndShiftTabGoRoundEveryStopInOrderBothWays)
{
    window->cborand->setEditText(QStringLiteral("6"));
    window->optclrwhite->setChecked(true);   // the option group is one stop, at its selected button
    QStringList expected{"cmdStart"};
    for (int k : {1, 2, 3, 4, 0, 5, 6})
        for (int i = 0; k != 0 && i < 6; ++i)
            expected << QStringLiteral("txtdata%1(%2)").arg(k).arg(i) << (k == 4 && i == 5 ? "pctdisplay" : nullptr);
    expected.removeAll(QString());
    for (int k = 1; k <= 6; ++k)
        expected << QStringLiteral("chkvar%1").arg(k);
    expected << "cborand" << "txtIter" << "cmdRandom" << "txtArray" << "cmdSaveBatch" << "cmdLoad" << "cmdSave"
             << "cmdSavePicture" << "cmdAbout" << "optclrwhite" << "cboZoom" << "txtMoveY" << "txtMoveX" << "Picture1"
             << "cmdStart";   // and round again

    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
        window->cmdStart->setFocus();
        QStringList visited{"cmdStart"};
        for (qsizetype i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), key);
            QWidget* focus = QApplication::focusWidget();
            if (qobject_cast<QComboBox*>(focus->parentWidget()))   // a list takes the focus through its line edit
                focus = focus->parentWidget();
            visited << focus->objectName();
        }
        QStringList wanted = expected;
        if (key == Qt::Key_Backtab)
            std::reverse(wanted.begin(), wanted.end());
        EXPECT_EQ(visited.join(u' ').toStdString(), wanted.join(u' ').toStdString());
    }

    // With the count at 2 the boxes of data sets 3 to 6 take no focus.
    window->cborand->setEditText(QStringLiteral("2"));
    window->coefficientBox(2, 6)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), window->pctdisplay);
}

} // namespace
} // namespace fenra::test
