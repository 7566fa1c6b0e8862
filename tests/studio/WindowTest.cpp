// The studio's window with fake services: the title, saving, and closing with unsaved changes.
#include "studio/PictureExport.h"
#include "studio/StudioWindow.h"
#include "support/FakePlatform.h"

#include <QCloseEvent>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace fenra::studio {
namespace {

const QByteArray kCollection =
    "; two entries\nfirst { 0.5 0 0 0.5 0 0 1\n 0.5 0 0 0.5 1 0 1 }\nsecond { 0.3 0 0 0.3 0 0 1 }\n";

struct WindowFixture : ::testing::Test {
    WindowFixture()
        : window({platform.messages, platform.dialogs, platform.files, questions, platform.clock, "/d"}, random, 1)
    {
        platform.files.files["/d/c.ifs"] = kCollection;
    }
    bool closes()
    {
        QCloseEvent event;
        QCoreApplication::sendEvent(&window, &event);
        return event.isAccepted();
    }

    test::FakePlatform platform;
    test::FakeQuestions questions;
    Pcg32Source random;
    StudioWindow window;
};

TEST_F(WindowFixture, AnEntryEditedAndSavedKeepsTheRestOfItsCollection)
{
    questions.choices = {"second"};
    ASSERT_TRUE(window.openFile("/d/c.ifs"));
    EXPECT_EQ(questions.offered, QStringList({"first", "second"}));
    EXPECT_EQ(window.windowTitle(), "second[*] — Fenra Studio");
    EXPECT_FALSE(window.isWindowModified());
    window.document().moveSelected(0.5, 0);
    EXPECT_TRUE(window.isWindowModified());
    ASSERT_TRUE(window.save());
    EXPECT_EQ(platform.files.files["/d/c.ifs"],
              QByteArray(kCollection).replace("second { 0.3 0 0 0.3 0 0 1 }", "second { 0.3 0 0 0.3 0.5 0 1 }"));
    EXPECT_FALSE(window.isWindowModified());

    EXPECT_FALSE(window.openFile("/d/c.ifs", QString("third")));
    EXPECT_TRUE(platform.messages.told.back().contains("no entry \"third\""));
}

TEST_F(WindowFixture, ClosingWithUnsavedChangesAsksToSaveDiscardOrCancel)
{
    ASSERT_TRUE(window.openFile("/d/c.ifs", QString("first")));
    EXPECT_TRUE(closes()) << "nothing to lose";
    window.document().moveSelected(0, 1);
    questions.saveChoices = {Questions::SaveChoice::Cancel, Questions::SaveChoice::Discard};
    EXPECT_FALSE(closes());
    EXPECT_TRUE(closes());
    EXPECT_EQ(platform.files.files["/d/c.ifs"], kCollection);
    questions.saveChoices = {Questions::SaveChoice::Save};
    EXPECT_TRUE(closes());
    EXPECT_NE(platform.files.files["/d/c.ifs"], kCollection);
}

TEST_F(WindowFixture, ARandomSetHasNoFileAndSaveAsAsksBeforeReplacingAnEntry)
{
    window.randomize();
    EXPECT_EQ(window.windowTitle(), "Random[*] — Fenra Studio");
    const QByteArray mine = "first { 1 0 0 1 0 0 1 }\n";
    platform.files.files["/d/first.ifs"] = mine;
    platform.dialogs.answers = {"/d/first", "/d/first"};   // no ending: a collection, its entry named after the file
    questions.confirmations = {false, true};
    EXPECT_FALSE(window.save()) << "the user kept the entry";
    EXPECT_EQ(platform.files.files["/d/first.ifs"], mine);
    window.document().edit("x", {{AffineMap{{0.25, 0, 0, 0, 0.25, 0}}, 1}}, 0);
    ASSERT_TRUE(window.save());
    EXPECT_EQ(platform.files.files["/d/first.ifs"], "first { 0.25 0 0 0.25 0 0 1 }\n");
    EXPECT_EQ(questions.asked.size(), 2);
    EXPECT_EQ(window.windowTitle(), "first[*] — Fenra Studio");
    // Now it has a file: Save asks nothing more.
    window.document().moveSelected(1, 0);
    ASSERT_TRUE(window.save());
    EXPECT_EQ(platform.dialogs.shown.size(), 2u);
    EXPECT_EQ(questions.asked.size(), 2);
}

TEST_F(WindowFixture, ExportPictureDrawsOffTheUiThreadAndWritesTheChosenSize)
{
    ASSERT_TRUE(window.openFile("/d/c.ifs", QString("first")));
    questions.choices = {exportSizeNames()[1]};
    platform.dialogs.answers = {"/d/picture"};
    QSignalSpy exported(&window, &StudioWindow::pictureExported);
    window.exportPicture();
    ASSERT_TRUE(exported.wait(60000));
    EXPECT_EQ(exported.front(), QVariantList({"/d/picture.png", true}));
    const QImage picture = QImage::fromData(platform.files.files["/d/picture.png"]);
    EXPECT_EQ(picture.size(), QSize(2 * 794, 2 * 381));
}

}   // namespace
}   // namespace fenra::studio
