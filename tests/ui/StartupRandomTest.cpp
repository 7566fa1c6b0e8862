// Start-up, the count's frames, Random, About and closing.
#include "WindowFixture.h"

#include "engine/NumberText.h"
#include "ui/DrawingArea.h"
#include "ui/frmAbout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

namespace fenra::test {
namespace {

// A generated text: 0.dddd, 0.ddd, -0.ddd or -1.000.
bool looksGenerated(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^(0\\.\\d{3,4}|-0\\.\\d{3}|-1\\.000)$"));
    return form.match(text).hasMatch();
}

std::vector<bool> framesShown(const frmfenra& window)
{
    std::vector<bool> shown;
    for (int k = 1; k <= 6; ++k)
        shown.push_back(!window.dataSetFrame(k)->isHidden());
    return shown;
}

TEST_F(WindowTest, OpensWithTwoRandomDataSetsAndNothingDrawn)
{
    EXPECT_EQ(window->cborand->currentText(), QStringLiteral("2"));
    EXPECT_EQ(framesShown(*window), std::vector<bool>({true, true, false, false, false, false}));
    const DataSetTexts sets = window->dataSets();
    for (int k = 1; k <= 6; ++k)
        for (int j = 1; j <= 6; ++j) {
            const QString& text = sets.sets[std::size_t(k - 1)][std::size_t(j - 1)];
            if (k <= 2)
                EXPECT_TRUE(looksGenerated(text)) << k << "," << j << ": " << text.toStdString();
            else
                EXPECT_EQ(text, QStringLiteral("0.0000"));
        }
    EXPECT_EQ(litPixels(), 0);
    EXPECT_EQ(fake.beeper.beeps, 0);
    EXPECT_EQ(window->prgIter->value(), 0);
    EXPECT_EQ(window->CommonDialog1.folder, fake.programFolder);
    EXPECT_EQ(window->CommonDialog2.folder, fake.programFolder);
    EXPECT_EQ(window->CommonDialog1.filter, QStringLiteral("Tarnwick Fenra Games (*.tfg)"));
    EXPECT_EQ(window->CommonDialog2.filter, QStringLiteral("Windows Bitmap (*.bmp)"));
    EXPECT_EQ(window->txtIter->text(), QStringLiteral("5000"));
    EXPECT_EQ(window->cboZoom->currentText(), QStringLiteral("1x"));
}

TEST_F(WindowTest, OnlyTheExactTextsTwoToSixMoveTheFrames)
{
    // Choosing from the list.
    window->cborand->setCurrentIndex(4);   // "6"
    emit window->cborand->activated(4);
    EXPECT_EQ(framesShown(*window), std::vector<bool>(6, true));
    window->cborand->setCurrentIndex(1);   // "3"
    EXPECT_EQ(framesShown(*window), std::vector<bool>({true, true, true, false, false, false}));

    // Typed texts that are not exactly "2" to "6" change nothing.
    for (const char* text : {" 3", "3 ", "03", "3.0", "1", "0", "7", "", "45"}) {
        SCOPED_TRACE(text);
        window->cborand->setEditText(QString::fromLatin1(text));
        EXPECT_EQ(framesShown(*window), std::vector<bool>({true, true, true, false, false, false}));
    }

    // Typing into the cleared box: "4" shows four frames, a further "5" leaves them.
    window->cborand->lineEdit()->clear();
    QTest::keyClicks(window->cborand->lineEdit(), QStringLiteral("4"));
    EXPECT_EQ(framesShown(*window), std::vector<bool>({true, true, true, true, false, false}));
    QTest::keyClicks(window->cborand->lineEdit(), QStringLiteral("5"));
    EXPECT_EQ(window->cborand->currentText(), QStringLiteral("45"));
    EXPECT_EQ(framesShown(*window), std::vector<bool>({true, true, true, true, false, false}));
}

TEST_F(WindowTest, HiddenFramesKeepTheirTextsAndShowTicks)
{
    window->cborand->setEditText(QStringLiteral("6"));
    setCoefficients(5, {"1", "2", "3", "4", "5", "x"});
    window->showBox(5)->setChecked(false);
    window->cborand->setEditText(QStringLiteral("2"));
    window->cborand->setEditText(QStringLiteral("5"));
    EXPECT_FALSE(window->dataSetFrame(5)->isHidden());
    EXPECT_EQ(window->coefficientBox(5, 6)->text(), QStringLiteral("x"));
    EXPECT_FALSE(window->showBox(5)->isChecked());
}

TEST_F(WindowTest, RandomFillsTheCountedSetsAndDrawsAtOnce)
{
    window->cborand->setEditText(QStringLiteral("4"));
    window->showBox(3)->setChecked(false);
    setCoefficients(6, {"1", "1", "1", "1", "1", "1"});
    window->txtIter->setText(QStringLiteral("2000"));
    const DataSetTexts before = window->dataSets();

    QTest::mouseClick(window->cmdRandom, Qt::LeftButton);
    const DataSetTexts after = window->dataSets();
    for (int k = 1; k <= 6; ++k)
        for (int j = 1; j <= 6; ++j) {
            const QString& text = after.sets[std::size_t(k - 1)][std::size_t(j - 1)];
            if (k <= 4)
                EXPECT_TRUE(looksGenerated(text)) << text.toStdString();
            else
                EXPECT_EQ(text, QStringLiteral("0.0000"));
        }
    EXPECT_NE(after.sets[0], before.sets[0]);
    EXPECT_EQ(after.count, QStringLiteral("4"));
    EXPECT_FALSE(window->showBox(3)->isChecked());
    EXPECT_TRUE(window->showBox(1)->isChecked());
    EXPECT_EQ(fake.beeper.beeps, 1);
    EXPECT_EQ(window->prgIter->value(), 2000);

    // Twice gives new coefficients, even with the same clock reading.
    const QImage firstPicture = window->pctdisplay->image();
    window->cmdRandom_Click();
    EXPECT_NE(window->dataSets(), after);
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
        EXPECT_EQ(litPixels(), 0);
        EXPECT_EQ(fake.beeper.beeps, 0);
    }
}

TEST_F(WindowTest, AboutDisablesTheWindowUntilItIsClosed)
{
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        QTest::mouseClick(window->cmdAbout, Qt::LeftButton);
        frmAbout* about = window->about();
        ASSERT_TRUE(about->isVisible());
        EXPECT_FALSE(window->isEnabled());
        EXPECT_TRUE(about->isEnabled());
        EXPECT_EQ(about->windowTitle(), QStringLiteral("About"));
        EXPECT_EQ(about->lblTitle->text(), QStringLiteral("Tarnwick Fenra Game"));
        EXPECT_EQ(about->lblTitle->font().pointSize(), 18);
        EXPECT_EQ(about->lblTitle->pos(), QPoint(9, 8));
        EXPECT_EQ(about->size(), QSize(271, 212));
        EXPECT_TRUE(about->windowFlags() & Qt::Tool);
        EXPECT_FALSE(about->windowFlags() & Qt::WindowMinimizeButtonHint);

        // A click on the main window does nothing meanwhile.
        QTest::mouseClick(window->cmdStart, Qt::LeftButton);
        EXPECT_EQ(fake.beeper.beeps, 0);

        about->close();
        EXPECT_FALSE(about->isVisible());
        EXPECT_TRUE(window->isEnabled());
        EXPECT_TRUE(window->isVisible());
    }
}

TEST_F(WindowTest, ClosingTheWindowClosesAboutWithoutAsking)
{
    window->cmdAbout_Click();
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->about()->isVisible());
    EXPECT_TRUE(fake.messages.told.isEmpty());
}

} // namespace
} // namespace fenra::test
