// Start, Enter, Random, the data-set count, About, a long run and the refusals of
// commands that cannot read their settings.
#include "WindowFixture.h"

#include "engine/RenderRun.h"
#include "files/DataRecord.h"
#include "ui/frmAbout.h"

namespace fenra::test {
namespace {

TEST_F(WindowTest, StartAndEnterFromAnyControlButAnotherButtonClearAndDrawTheRun)
{
    drawOnePoint();
    box("txtMoveX")->setText(QStringLiteral("150"));   // ten pixels to the right, cleared by the next run
    window->cmdStart_Click();
    box("txtMoveX")->setText(QStringLiteral("0"));
    int beeps = 1;
    QWidget* const starters[] = {box(1, 1),
                                 child<QComboBox>("cborand")->lineEdit(),
                                 child<QComboBox>("cboZoom")->lineEdit(),
                                 child("chkvar2"),
                                 child("optclrwhite"),
                                 child("pctdisplay")};
    for (QWidget* control : starters) {
        QTest::keyClick(control, control == starters[3] ? Qt::Key_Enter : Qt::Key_Return);   // the keypad's too
        EXPECT_EQ(fake.beeper.beeps, ++beeps) << qPrintable(control->objectName());
    }
    EXPECT_EQ(drawing().pixel(500, 318), qRgb(255, 255, 255));
    EXPECT_EQ(litPixels(), 1);
    EXPECT_EQ(child<QProgressBar>("prgIter")->value(), 300);
    EXPECT_EQ(child<QComboBox>("cborand")->count(), 5);   // Enter added nothing to the list

    QTest::keyClick(child("cmdAbout"), Qt::Key_Return);   // another button presses itself
    EXPECT_EQ(fake.beeper.beeps, beeps);
    EXPECT_TRUE(window->about()->isVisible());
}

TEST_F(WindowTest, OnlyTheExactTextsTwoToSixMoveTheFramesWhichKeepTheirTexts)
{
    EXPECT_EQ(framesShown(), 2);                       // at start-up
    child<QComboBox>("cborand")->setCurrentIndex(4);   // "6" chosen from the list
    box(5, 6)->setText(QStringLiteral("x"));
    child<QComboBox>("cborand")->lineEdit()->clear();
    QTest::keyClicks(child<QComboBox>("cborand")->lineEdit(), QStringLiteral("3"));   // typed
    for (const char* text : {" 3", "3 ", "03", "3.0", "1", "0", "7", "", "45"}) {
        child<QComboBox>("cborand")->setEditText(QString::fromLatin1(text));
        EXPECT_EQ(framesShown(), 3) << text;
    }
    child<QComboBox>("cborand")->setCurrentIndex(3);   // "5"
    EXPECT_EQ(box(5, 6)->text(), QStringLiteral("x"));
}

TEST_F(WindowTest, RandomTwiceGivesNewDataSetsAndANewPictureAtOnce)
{
    QTest::mouseClick(child("cmdRandom"), Qt::LeftButton);
    const DataSetTexts first = window->dataSets();
    const QImage picture = drawing();
    EXPECT_EQ(fake.beeper.beeps, 1);
    window->cmdRandom_Click();   // the same clock reading
    EXPECT_NE(window->dataSets(), first);
    EXPECT_NE(drawing(), picture);
    EXPECT_EQ(window->dataSets().sets[2], first.sets[2]);   // only the counted sets
}

TEST_F(WindowTest, CommandsRefuseUnreadableSettingsByNameBeforeAnythingChanges)
{
    drawOnePoint();
    window->cmdStart_Click();   // a picture, a full bar and a current map to keep
    const QImage picture = drawing();
    const CurrentMap map = window->currentMap();
    const DataSetTexts sets = window->dataSets();
    struct Case {
        void (frmfenra::*command)();
        QLineEdit* box;
        const char* text;
        const char* named;
    };
    const auto start = &frmfenra::cmdStart_Click, random = &frmfenra::cmdRandom_Click,
               batch = &frmfenra::cmdSaveBatch_Click;
    QLineEdit* count = child<QComboBox>("cborand")->lineEdit();
    for (const Case& c :
         {Case{start, box("txtIter"), "", "\"Iterations:\""}, Case{start, box("txtIter"), "1e10", "\"Iterations:\""},
          Case{start, box("txtMoveX"), "ten", "\"Right:\""}, Case{start, box("txtMoveY"), "", "\"Down\""},
          Case{random, count, "two", "\"Random #'s:\""}, Case{random, box("txtIter"), "lots", "\"Iterations:\""},
          Case{batch, box("txtArray"), "x", "\"Runs:\""}, Case{batch, count, "10", "\"Random #'s:\""},
          Case{batch, box("txtIter"), "", "\"Iterations:\""}}) {
        SCOPED_TRACE(c.text);
        const QString kept = c.box->text();
        c.box->setText(QString::fromLatin1(c.text));
        box("txtArray")->setText(c.box == box("txtArray") ? c.box->text() : QStringLiteral("3"));
        fake.messages.told.clear();
        (window.get()->*c.command)();
        ASSERT_EQ(fake.messages.told.size(), 1);
        EXPECT_TRUE(fake.messages.told.front().contains(QLatin1String(c.named)));
        c.box->setText(kept);
        EXPECT_TRUE(window->dataSets() == sets && window->currentMap() == map
                    && child<QProgressBar>("prgIter")->value() == 300);
        EXPECT_EQ(drawing(), picture);
        EXPECT_TRUE(fake.beeper.beeps == 1 && fake.dialogs.shown.empty());
    }
}

TEST_F(WindowTest, NoIterationsOrNoRunsShowAnEmptyBarNotABusyOne)
{
    window->cmdStart_Click();
    box("txtArray")->setText(QStringLiteral("0"));
    fake.dialogs.answers = {QStringLiteral("none.tfg")};
    window->cmdSaveBatch_Click();
    EXPECT_TRUE(fake.files.files.empty());
    for (const char* text : {"0", "-5"}) {
        box("txtIter")->setText(QString::fromLatin1(text));
        window->cmdStart_Click();
        EXPECT_EQ(litPixels(), 0);
    }
    for (QProgressBar* bar : {child<QProgressBar>("prgIter"), child<QProgressBar>("prgArray")})
        EXPECT_TRUE(bar->minimum() == bar->value() && bar->value() < bar->maximum()) << qPrintable(bar->objectName());
}

TEST_F(WindowTest, AboutHoldsTheWindowTillClosedOrEscapedAndGoesWithIt)
{
    for (const bool escape : {false, true}) {
        QTest::mouseClick(child("cmdAbout"), Qt::LeftButton);
        ASSERT_TRUE(window->about()->isVisible());
        QTest::mouseClick(child("cmdStart"), Qt::LeftButton);   // does nothing meanwhile
        EXPECT_EQ(fake.beeper.beeps, 0);
        escape ? QTest::keyClick(window->about(), Qt::Key_Escape) : void(window->about()->close());
        EXPECT_FALSE(window->about()->isVisible()) << escape;
        EXPECT_TRUE(window->isEnabled() && window->isVisible());
    }
    window->cmdAbout_Click();
    EXPECT_TRUE(window->close());   // never asks
    EXPECT_FALSE(window->about()->isVisible());
}

// Clicks and keys during a run wait in the queue, which only the real program shows (tests/e2e); here
// a close and a dropped file, which the desktop delivers at once, are held till the run ends.
TEST_F(WindowTest, ALongRunShowsItsProgressAndRepaintsAndHoldsACloseAndADropTillItEnds)
{
    window->progressEvery = std::chrono::milliseconds(0);   // at every block of steps
    box("txtIter")->setText(QStringLiteral("99999"));
    const DataSetTexts sets = window->dataSets();
    DataSetTexts dropped = sets;
    dropped.count = QStringLiteral("4");
    fake.files.files[QStringLiteral("/data/four.tfg")] = BuildDataText(dropped).bytes;
    Pcg32Source sameSequence = random;
    CurrentMap map = window->currentMap();

    int seen = -1;   // the bar while the run works
    QTimer::singleShot(0, window.get(), [&] {
        seen = child<QProgressBar>("prgIter")->value();
        drop({"/data/four.tfg"}, child("pctdisplay"));
        EXPECT_FALSE(window->close());   // waits for the end
    });
    QTest::mouseClick(child("cmdStart"), Qt::LeftButton);
    EXPECT_TRUE(seen > 0 && seen < 99999) << seen;
    EXPECT_EQ(child<QProgressBar>("prgIter")->value(), 99999);
    EXPECT_EQ(fake.beeper.beeps, 1);
    EXPECT_EQ(window->dataSets(), sets);
    QTRY_VERIFY(window->dataSets() == dropped);   // the drop, after the run
    // The same picture as one loop draws from the same sequence.
    QImage alone(kDisplayWidth, kDisplayHeight, QImage::Format_RGB32);
    renderRun(sets, *planRun(window->runSettings()).plan, map, sameSequence,
              RasterView{reinterpret_cast<std::uint32_t*>(alone.bits()), alone.width(), alone.height(), alone.width()});
    EXPECT_EQ(drawing(), alone);
    QTRY_VERIFY(!window->isVisible());   // the close asked for meanwhile
}

}   // namespace
}   // namespace fenra::test
