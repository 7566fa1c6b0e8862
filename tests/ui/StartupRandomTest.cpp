// Start-up, the count's frames, Random, About and closing.
#include "WindowFixture.h"

#include "ui/DrawingArea.h"
#include "ui/frmAbout.h"

#include <QLabel>
#include "engine/RenderRun.h"

#include <QRegularExpression>
#include <QTest>
#include <QTimer>

namespace fenra::test {
namespace {

// Data sets 1..`random` hold generated texts (0.dddd, 0.ddd, -0.ddd or -1.000), the rest "0.0000".
void expectGenerated(const DataSetTexts& sets, int random)
{
    static const QRegularExpression form(QStringLiteral("^(0\\.\\d{3,4}|-0\\.\\d{3}|-1\\.000)$"));
    for (int k = 1; k <= 6; ++k)
        for (const QString& text : sets.sets[std::size_t(k - 1)]) {
            if (k <= random)
                EXPECT_TRUE(form.match(text).hasMatch()) << k << ": " << text.toStdString();
            else
                EXPECT_EQ(text, QStringLiteral("0.0000")) << k;
        }
}

TEST_F(WindowTest, OpensWithTwoRandomDataSetsAndNothingDrawn)
{
    EXPECT_EQ(window->cborand->currentText(), QStringLiteral("2"));
    EXPECT_EQ(framesShown(), std::vector<bool>({true, true, false, false, false, false}));
    expectGenerated(window->dataSets(), 2);
    EXPECT_EQ(litPixels(), 0);
    EXPECT_EQ(fake.beeper.beeps, 0);
    EXPECT_EQ(window->prgIter->value(), 0);
    EXPECT_EQ(window->CommonDialog1.folder, fake.startFolder);
    EXPECT_EQ(window->CommonDialog2.folder, fake.startFolder);
}

TEST_F(WindowTest, OnlyTheExactTextsTwoToSixMoveTheFrames)
{
    window->cborand->setCurrentIndex(4);   // choosing "6" from the list
    EXPECT_EQ(framesShown(), std::vector<bool>(6, true));
    setCoefficients(5, {"1", "2", "3", "4", "5", "x"});
    window->cborand->setCurrentIndex(1);   // "3"
    const std::vector<bool> three{true, true, true, false, false, false};
    EXPECT_EQ(framesShown(), three);
    for (const char* text : {" 3", "3 ", "03", "3.0", "1", "0", "7", "", "45"}) {
        window->cborand->setEditText(QString::fromLatin1(text));
        EXPECT_EQ(framesShown(), three) << text;
    }
    // Typed into the box: "4" shows four frames, a further "5" leaves them.
    window->cborand->lineEdit()->clear();
    QTest::keyClicks(window->cborand->lineEdit(), QStringLiteral("4"));
    EXPECT_EQ(framesShown(), std::vector<bool>({true, true, true, true, false, false}));
    QTest::keyClicks(window->cborand->lineEdit(), QStringLiteral("5"));
    EXPECT_EQ(framesShown(), std::vector<bool>({true, true, true, true, false, false}));
    // A frame shown again keeps its texts.
    window->cborand->setEditText(QStringLiteral("5"));
    EXPECT_EQ(window->coefficientBox(5, 6)->text(), QStringLiteral("x"));
}

TEST_F(WindowTest, RandomFillsTheCountedSetsAndDrawsAtOnce)
{
    window->cborand->setEditText(QStringLiteral("4"));
    window->showBox(3)->setChecked(false);
    setCoefficients(6, {"1", "1", "1", "1", "1", "1"});
    window->txtIter->setText(QStringLiteral("2000"));

    QTest::mouseClick(window->cmdRandom, Qt::LeftButton);
    const DataSetTexts first = window->dataSets();
    expectGenerated(first, 4);
    EXPECT_EQ(first.count, QStringLiteral("4"));
    EXPECT_FALSE(window->showBox(3)->isChecked());
    EXPECT_EQ(fake.beeper.beeps, 1);
    EXPECT_EQ(window->prgIter->value(), 2000);

    // Twice gives new coefficients and a new picture, even with the same clock reading.
    const QImage firstPicture = window->pctdisplay->image();
    window->cmdRandom_Click();
    EXPECT_NE(window->dataSets(), first);
    EXPECT_NE(window->pctdisplay->image(), firstPicture);
}

TEST_F(WindowTest, RandomRefusesBeforeChangingAnything)
{
    struct Case {
        const char* count;
        const char* iterations;
        const char* named;
    };
    for (const Case& c : {Case{"two", "5000", "\"Random #'s:\""}, Case{"", "5000", "\"Random #'s:\""},
                          Case{"3", "lots", "\"Iterations:\""}}) {
        SCOPED_TRACE(c.named);
        window->cborand->setEditText(QString::fromLatin1(c.count));
        window->txtIter->setText(QString::fromLatin1(c.iterations));
        const DataSetTexts before = window->dataSets();
        fake.messages.told.clear();
        window->cmdRandom_Click();
        ASSERT_EQ(fake.messages.told.size(), 1);
        EXPECT_TRUE(fake.messages.told.front().contains(QLatin1String(c.named)));
        EXPECT_EQ(window->dataSets(), before);
        EXPECT_EQ(fake.beeper.beeps, 0);
    }
}

TEST_F(WindowTest, AboutDisablesTheWindowUntilItIsClosedAndGoesWithIt)
{
    for (int round = 0; round < 2; ++round) {
        QTest::mouseClick(window->cmdAbout, Qt::LeftButton);
        frmAbout* about = window->about();
        ASSERT_TRUE(about->isVisible());
        EXPECT_FALSE(window->isEnabled());
        EXPECT_EQ(about->windowTitle(), QStringLiteral("About"));
        EXPECT_EQ(about->lblTitle->text(), QStringLiteral("Tarnwick Fenra Game"));
        EXPECT_EQ(about->lblTitle->font().pointSize(), 18);
        EXPECT_TRUE(about->rect().contains(about->lblTitle->geometry()));   // the title shows whole
        EXPECT_TRUE(about->windowFlags() & Qt::Tool);
        QTest::mouseClick(window->cmdStart, Qt::LeftButton);   // does nothing meanwhile
        EXPECT_EQ(fake.beeper.beeps, 0);
        if (round == 0)
            about->close();
        else
            QTest::keyClick(about, Qt::Key_Escape);
        EXPECT_FALSE(about->isVisible());
        EXPECT_TRUE(window->isEnabled());
        EXPECT_TRUE(window->isVisible());
    }
    window->cmdAbout_Click();
    EXPECT_TRUE(window->close());   // never asks
    EXPECT_FALSE(window->about()->isVisible());
    EXPECT_TRUE(fake.messages.told.isEmpty());
}

TEST_F(WindowTest, ALongRunShowsItsProgressAndRepaintsButTakesNoInputTillItEnds)
{
    window->progressEvery = std::chrono::milliseconds(0);   // at every block of steps
    window->txtIter->setText(QStringLiteral("99999"));
    const DataSetTexts sets = window->dataSets();
    Pcg32Source sameSequence = random;
    CurrentMap map = window->currentMap();

    std::vector<int> seen;   // the bar while the run works
    QTimer::singleShot(0, window.get(), [&] {
        seen.push_back(window->prgIter->value());
        QTest::mouseClick(window->cmdRandom, Qt::LeftButton);
        QTest::keyClicks(window->txtIter, QStringLiteral("1"));
        EXPECT_FALSE(window->close());   // waits for the end
    });
    QTest::mouseClick(window->cmdStart, Qt::LeftButton);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_GT(seen[0], 0);
    EXPECT_LT(seen[0], 99999);
    EXPECT_EQ(window->prgIter->value(), 99999);
    EXPECT_EQ(fake.beeper.beeps, 1);
    EXPECT_EQ(window->dataSets(), sets);
    EXPECT_EQ(window->txtIter->text(), QStringLiteral("99999"));

    // The same picture as one loop draws from the same sequence.
    QImage alone(kDisplayWidth, kDisplayHeight, QImage::Format_RGB32);
    renderRun(sets, *planRun(window->runSettings()).plan, map, sameSequence,
              RasterView{reinterpret_cast<std::uint32_t*>(alone.bits()), alone.width(), alone.height(), alone.width()});
    EXPECT_EQ(window->pctdisplay->image(), alone);
    QTRY_VERIFY(!window->isVisible());   // the close asked for meanwhile
}

} // namespace
} // namespace fenra::test
