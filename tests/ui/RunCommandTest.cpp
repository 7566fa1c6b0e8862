// Start, Enter and the refusals of a run that cannot read its settings.
#include "WindowFixture.h"

#include "ui/DrawingArea.h"
#include "ui/frmAbout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace fenra::test {
namespace {

class RunCommandTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        // Both sets send every point to (0.5, 0.2): at "1x" that is twips (7500, 4775), pixel (500, 318).
        setCoefficients(1, {"0", "0", "0.5", "0", "0", "0.2"});
        setCoefficients(2, {"0", "0", "0.5", "0", "0", "0.2"});
        window->optclrwhite->setChecked(true);
        window->txtIter->setText(QStringLiteral("100"));
    }

    QRgb pixel(int x, int y) const { return window->pctdisplay->image().pixel(x, y); }
};

TEST_F(RunCommandTest, StartDrawsThePointFillsTheBarAndBeepsOnce)
{
    QTest::mouseClick(window->cmdStart, Qt::LeftButton);
    EXPECT_EQ(pixel(500, 318), qRgb(255, 255, 255));
    EXPECT_EQ(litPixels(), 1);
    EXPECT_EQ(window->prgIter->maximum(), 100);
    EXPECT_EQ(window->prgIter->value(), 100);
    EXPECT_EQ(fake.beeper.beeps, 1);
    EXPECT_TRUE(fake.messages.told.isEmpty());
    // The current map holds the last pick: set 1 or 2 with its texts.
    const CurrentMap& map = window->currentMap();
    ASSERT_TRUE(map.setNumber == "1" || map.setNumber == "2");
    EXPECT_EQ(map.coefficients, window->dataSets().sets[std::size_t(map.setNumber.toInt() - 1)]);
}

TEST_F(RunCommandTest, EachRunClearsThePreviousPicture)
{
    window->cmdStart_Click();
    window->txtMoveX->setText(QStringLiteral("150"));   // ten pixels to the right
    window->cmdStart_Click();
    EXPECT_EQ(pixel(500, 318), qRgb(0, 0, 0));
    EXPECT_EQ(pixel(510, 318), qRgb(255, 255, 255));
    EXPECT_EQ(litPixels(), 1);
    EXPECT_EQ(fake.beeper.beeps, 2);
}

TEST_F(RunCommandTest, EnterStartsARunFromAnyControlButAnotherButton)
{
    QWidget* starters[] = {window->coefficientBox(1, 1), window->txtIter, window->cborand, window->cboZoom,
                           window->showBox(2), window->optclrwhite, window->txtMoveX};
    int beeps = 0;
    for (QWidget* control : starters) {
        SCOPED_TRACE(control->objectName().toStdString());
        QWidget* target = control;
        if (auto* combo = qobject_cast<QComboBox*>(control))
            target = combo->lineEdit();
        QTest::keyClick(target, Qt::Key_Return);
        EXPECT_EQ(fake.beeper.beeps, ++beeps);
    }
    QTest::keyClick(window->txtIter, Qt::Key_Enter);   // the keypad's Enter too
    EXPECT_EQ(fake.beeper.beeps, ++beeps);

    // Enter on another button presses that button instead.
    QTest::keyClick(window->cmdAbout, Qt::Key_Return);
    EXPECT_EQ(fake.beeper.beeps, beeps);
    EXPECT_TRUE(window->about()->isVisible());
    window->about()->close();

    // Enter in the count's box does not add the typed text to its list.
    EXPECT_EQ(window->cborand->count(), 5);
}

TEST_F(RunCommandTest, IterationsThatAreNotAWholeNumberInRangeAreRefused)
{
    window->cmdStart_Click();   // a picture, a full bar and a current map to keep
    const QImage before = window->pctdisplay->image();
    const CurrentMap mapBefore = window->currentMap();
    for (const char* text : {"", "abc", "1e10", "1.5.2"}) {
        SCOPED_TRACE(text);
        window->txtIter->setText(QString::fromLatin1(text));
        fake.messages.told.clear();
        window->cmdStart_Click();
        ASSERT_EQ(fake.messages.told.size(), 1);
        EXPECT_TRUE(fake.messages.told.front().contains(QStringLiteral("\"Iterations:\"")));
        EXPECT_EQ(window->pctdisplay->image(), before);
        EXPECT_EQ(window->prgIter->value(), 100);
        EXPECT_EQ(window->currentMap(), mapBefore);
        EXPECT_EQ(fake.beeper.beeps, 1);
    }
}

TEST_F(RunCommandTest, OffsetsThatAreNotNumbersAreRefusedByName)
{
    struct Case {
        QLineEdit* box;
        const char* caption;
    };
    for (const Case& c : {Case{window->txtMoveX, "\"Right:\""}, Case{window->txtMoveY, "\"Down\""}}) {
        SCOPED_TRACE(c.caption);
        c.box->setText(QStringLiteral("ten"));
        fake.messages.told.clear();
        window->cmdStart_Click();
        ASSERT_EQ(fake.messages.told.size(), 1);
        EXPECT_TRUE(fake.messages.told.front().contains(QLatin1String(c.caption)));
        EXPECT_EQ(litPixels(), 0);
        EXPECT_EQ(fake.beeper.beeps, 0);
        c.box->setText(QStringLiteral("0"));
    }
}

TEST_F(RunCommandTest, NoIterationsClearsBeepsAndShowsAnEmptyBar)
{
    window->cmdStart_Click();
    for (const char* text : {"0", "-5"}) {
        SCOPED_TRACE(text);
        window->txtIter->setText(QString::fromLatin1(text));
        window->cmdStart_Click();
        EXPECT_EQ(litPixels(), 0);
        // Not the busy animation of an empty range, and not full.
        EXPECT_LT(window->prgIter->minimum(), window->prgIter->maximum());
        EXPECT_EQ(window->prgIter->value(), window->prgIter->minimum());
    }
    EXPECT_EQ(fake.beeper.beeps, 3);
}

TEST_F(RunCommandTest, RunFollowsZoomColourAndShowSettings)
{
    window->optclrrule->setChecked(true);
    setCoefficients(2, {"0", "0", "0.5", "0", "0", "0.4"});   // set 2 one step higher: (0.5, 0.4)
    window->cmdStart_Click();
    EXPECT_EQ(pixel(500, 318), qRgb(255, 0, 0));   // set 1 in red
    EXPECT_EQ(pixel(500, 251), qRgb(0, 255, 0));   // set 2 in green: 5775 - 2000 = 3775 twips

    window->showBox(1)->setChecked(false);
    window->cmdStart_Click();
    EXPECT_EQ(pixel(500, 318), qRgb(0, 0, 0));
    EXPECT_EQ(pixel(500, 251), qRgb(0, 255, 0));

    window->cboZoom->setEditText(QStringLiteral("8x"));   // above the top edge
    window->cmdStart_Click();
    EXPECT_EQ(litPixels(), 0);
}

} // namespace
} // namespace fenra::test
