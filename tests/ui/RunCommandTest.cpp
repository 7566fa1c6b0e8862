// Start, Enter and the refusals of a run that cannot read its settings.
#include "WindowFixture.h"

#include "ui/DrawingArea.h"
#include "ui/frmAbout.h"

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
};

TEST_F(RunCommandTest, StartClearsDrawsFillsTheBarAndBeepsOnce)
{
    window->txtMoveX->setText(QStringLiteral("150"));   // ten pixels to the right, cleared by the next run
    window->cmdStart_Click();
    window->txtMoveX->setText(QStringLiteral("0"));
    QTest::mouseClick(window->cmdStart, Qt::LeftButton);
    EXPECT_EQ(window->pctdisplay->image().pixel(500, 318), qRgb(255, 255, 255));
    EXPECT_EQ(litPixels(), 1);
    EXPECT_EQ(window->prgIter->maximum(), 100);
    EXPECT_EQ(window->prgIter->value(), 100);
    EXPECT_EQ(fake.beeper.beeps, 2);
    // The current map holds the last pick: set 1 or 2 with its texts.
    const CurrentMap& map = window->currentMap();
    ASSERT_TRUE(map.setNumber == "1" || map.setNumber == "2");
    EXPECT_EQ(map.coefficients, window->dataSets().sets[std::size_t(map.setNumber.toInt() - 1)]);
}

TEST_F(RunCommandTest, EnterStartsARunFromAnyControlButAnotherButton)
{
    QWidget* starters[] = {window->coefficientBox(1, 1), window->txtIter, window->cborand->lineEdit(),
                           window->cboZoom->lineEdit(), window->showBox(2), window->optclrwhite, window->pctdisplay};
    int beeps = 0;
    for (QWidget* control : starters) {
        SCOPED_TRACE(control->objectName().toStdString());
        QTest::keyClick(control, Qt::Key_Return);
        EXPECT_EQ(fake.beeper.beeps, ++beeps);
    }
    QTest::keyClick(window->txtIter, Qt::Key_Enter);   // the keypad's Enter too
    EXPECT_EQ(fake.beeper.beeps, ++beeps);
    EXPECT_EQ(window->cborand->count(), 5);            // Enter added nothing to the list

    QTest::keyClick(window->cmdAbout, Qt::Key_Return);   // another button presses itself
    EXPECT_EQ(fake.beeper.beeps, beeps);
    EXPECT_TRUE(window->about()->isVisible());
}

TEST_F(RunCommandTest, UnreadableSettingsAreRefusedByNameBeforeAnythingChanges)
{
    window->cmdStart_Click();   // a picture, a full bar and a current map to keep
    const QImage before = window->pctdisplay->image();
    const CurrentMap mapBefore = window->currentMap();
    struct Case {
        QLineEdit* box;
        const char* text;
        const char* named;
    };
    for (const Case& c : {Case{window->txtIter, "", "\"Iterations:\""}, Case{window->txtIter, "abc", "\"Iterations:\""},
                          Case{window->txtIter, "1e10", "\"Iterations:\""}, Case{window->txtMoveX, "ten", "\"Right:\""},
                          Case{window->txtMoveY, "", "\"Down\""}}) {
        SCOPED_TRACE(c.text);
        const QString kept = c.box->text();
        c.box->setText(QString::fromLatin1(c.text));
        fake.messages.told.clear();
        window->cmdStart_Click();
        ASSERT_EQ(fake.messages.told.size(), 1);
        EXPECT_TRUE(fake.messages.told.front().contains(QLatin1String(c.named)));
        EXPECT_EQ(window->pctdisplay->image(), before);
        EXPECT_EQ(window->prgIter->value(), 100);
        EXPECT_EQ(window->currentMap(), mapBefore);
        EXPECT_EQ(fake.beeper.beeps, 1);
        c.box->setText(kept);
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

} // namespace
} // namespace fenra::test
