// The window as a user meets it: captions that show whole, controls that do
// not cover one another, and the Tab key's round.
#include "WindowFixture.h"

namespace fenra::test {
namespace {

// The room a caption needs with the control's own font, measured here, not by
// the window: beside an indicator, inside a bevel (else one word to a line), in a frame's title.
QSize roomNeeded(const QWidget* w, const QString& caption)
{
    const QFontMetrics metrics = w->fontMetrics();
    const QStyle* style = w->style();
    int extra = 0;
    if (qobject_cast<const QRadioButton*>(w))
        extra = style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth)
                + style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
    else if (qobject_cast<const QCheckBox*>(w))
        extra = style->pixelMetric(QStyle::PM_IndicatorWidth) + style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    else if (qobject_cast<const QGroupBox*>(w))
        extra = 16;
    else if (qobject_cast<const QPushButton*>(w))
        extra = 2 * (style->pixelMetric(QStyle::PM_DefaultFrameWidth) + 1);
    if (!qobject_cast<const QPushButton*>(w) || metrics.horizontalAdvance(caption) + extra <= w->width())
        return {metrics.horizontalAdvance(caption) + extra, metrics.height()};
    int widest = 0;
    for (const QString& word : caption.split(u' '))
        widest = std::max(widest, metrics.horizontalAdvance(word));
    return {widest + extra, int(caption.count(u' ') + 1) * metrics.height()};
}

TEST_F(WindowTest, EveryCaptionShowsWholeAndNoControlCoversAnother)
{
    child<QComboBox>("cborand")->setEditText(QStringLiteral("6"));
    int captions = 0;
    QList<QWidget*> parents{window.get()};
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const QString caption = w->property(qobject_cast<QGroupBox*>(w) ? "title" : "text").toString();
        parents << (qobject_cast<QGroupBox*>(w) ? QList<QWidget*>{w} : QList<QWidget*>{});
        if (caption.isEmpty()
            || !(qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QGroupBox*>(w)))
            continue;
        ++captions;
        const QSize needed = roomNeeded(w, caption);
        EXPECT_TRUE(needed.width() <= w->width() && needed.height() <= w->height())
            << qPrintable(QStringLiteral("%1 \"%2\" needs %3x%4 in %5x%6 with %7 %8px")
                              .arg(w->objectName(), caption)
                              .arg(needed.width())
                              .arg(needed.height())
                              .arg(w->width())
                              .arg(w->height())
                              .arg(QFontInfo(w->font()).family())
                              .arg(QFontInfo(w->font()).pixelSize()));
    }
    EXPECT_EQ(captions, 6 * 8 + 9 + 3 + 6);   // data-set frames, Options, Batch, the window's buttons

    // Neighbours may share one line of pixels, as the frames do; the drawing area
    // reaches past the window's edge by design. Qt's own parts of a control are not looked at.
    for (QWidget* parent : parents) {
        QList<QWidget*> children = parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        children.removeIf([](QWidget* w) {
            return w->isWindow() || w->objectName().isEmpty() || w->objectName().startsWith(u"qt_");
        });
        for (qsizetype i = 0; i < children.size(); ++i) {
            EXPECT_TRUE(children[i] == child("pctdisplay") || parent->rect().contains(children[i]->geometry()))
                << qPrintable(children[i]->objectName()) << " leaves " << qPrintable(parent->objectName());
            for (qsizetype j = i + 1; j < children.size(); ++j) {
                const QRect both = children[i]->geometry() & children[j]->geometry();
                EXPECT_FALSE(both.width() > 1 && both.height() > 1)
                    << qPrintable(children[i]->objectName()) << " covers " << qPrintable(children[j]->objectName());
            }
        }
    }
}

TEST_F(WindowTest, TabAndShiftTabGoRoundEveryStopInOrderBothWays)
{
    child<QComboBox>("cborand")->setEditText(QStringLiteral("6"));
    child<QRadioButton>("optclrwhite")->setChecked(true);   // the option group is one stop, at its selected button
    QStringList expected{"cmdStart"};
    for (int k : {1, 2, 3, 4, 0, 5, 6})
        for (int i = 0; i < 6; ++i)
            expected << (k   ? QStringLiteral("txtdata%1(%2)").arg(k).arg(i)
                         : i ? QString()
                             : QStringLiteral("pctdisplay"));
    for (int k = 1; k <= 6; ++k)
        expected << QStringLiteral("chkvar%1").arg(k);
    expected << "cborand"
             << "txtIter"
             << "cmdRandom"
             << "txtArray"
             << "cmdSaveBatch"
             << "cmdLoad"
             << "cmdSave"
             << "cmdSavePicture"
             << "cmdAbout"
             << "optclrwhite"
             << "cboZoom"
             << "txtMoveY"
             << "txtMoveX"
             << "Picture1"
             << "cmdStart";   // and round again
    expected.removeAll(QString());

    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
        child("cmdStart")->setFocus();
        QStringList visited{"cmdStart"};
        while (visited.size() < expected.size()) {
            QTest::keyClick(QApplication::focusWidget(), key);
            QWidget* focus = QApplication::focusWidget();
            // A list takes the focus through its line edit.
            visited << (qobject_cast<QComboBox*>(focus->parentWidget()) ? focus->parentWidget() : focus)->objectName();
        }
        if (key == Qt::Key_Backtab)
            std::reverse(expected.begin(), expected.end());
        EXPECT_EQ(visited.join(u' ').toStdString(), expected.join(u' ').toStdString());
    }

    // With the count at 2 the boxes of data sets 3 to 6 take no focus.
    child<QComboBox>("cborand")->setEditText(QStringLiteral("2"));
    box(2, 6)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), child("pctdisplay"));
}

}   // namespace
}   // namespace fenra::test
