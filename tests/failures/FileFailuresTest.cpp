// Every failure a file command can meet, through the real window over the real file store, with fake
// dialogs, messages and beep: the user is told once, naming the file; the window goes on working; no
// file or folder is touched. And a longer file, loaded and saved over, or not at all on a full disk.
#include "files/BatchNames.h"
#include "platform/QtFileStore.h"
#include "ui/WindowFixture.h"

#include <csignal>
#include <functional>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fenra::test {
namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    ASSERT_EQ(QtFileStore().writeWhole(path, bytes), std::nullopt);
}

// Everything under a folder: each file with its bytes, folders and pipes by kind.
using Files = std::map<QString, QByteArray>;
Files filesUnder(const QString& root)
{
    Files files;
    for (QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        QFile file(it.next());
        files[file.fileName()] = !it.fileInfo().isFile() ? QByteArray(it.fileInfo().isDir() ? "<folder>" : "<other>")
                                 : file.open(QIODevice::ReadOnly) ? file.readAll()
                                                                  : QByteArray("<unreadable>");
    }
    return files;
}

// A batch meets the obstacle at run 1's picture, or, with the picture's name free, at its data file.
enum Command { Load, SaveData, SavePicture, Batch, BatchData };
const std::pair<const char*, void (frmfenra::*)()> kCommands[] = {
    {"Load", &frmfenra::cmdLoad_Click},
    {"Save Data", &frmfenra::cmdSave_Click},
    {"Save Picture", &frmfenra::cmdSavePicture_Click},
    {"Random Batch", &frmfenra::cmdSaveBatch_Click},
    {"Random Batch, at the data file", &frmfenra::cmdSaveBatch_Click}};

struct FileFailures : WindowTest {
    Platform platform() override
    {
        return Platform{fake.beeper, fake.clock, fake.messages, fake.dialogs, store, dir.path()};
    }
    void SetUp() override
    {
        WindowTest::SetUp();
        box("txtArray")->setText(QStringLiteral("3"));
        writeFile(path("keeper.tfg"), QByteArray(217, 'K'));   // saved before; must stay whole
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    // The command on the chosen file fails: one message, naming `named` in quotes and saying `why`;
    // the data sets and all files as they were; then a run draws where its data sets say and beeps.
    void expectFails(Command command, const QString& chosen, const QString& named, const char* why)
    {
        const Files before = filesUnder(dir.path());
        const DataSetTexts sets = window->dataSets();
        fake.messages.told.clear();
        fake.dialogs.answers = {chosen};
        (window.get()->*kCommands[command].second)();
        ASSERT_EQ(fake.messages.told.size(), 1) << qPrintable(fake.messages.told.join(u'\n'));
        const QString& told = fake.messages.told[0];
        EXPECT_TRUE(told.contains(u'"' + named + u'"') && told.contains(QLatin1String(why))) << qPrintable(told);
        EXPECT_TRUE(command >= Batch || window->dataSets() == sets);   // a batch draws new ones first
        EXPECT_EQ(filesUnder(dir.path()), before);

        drawOnePoint();
        const int beeps = fake.beeper.beeps;
        window->cmdStart_Click();
        EXPECT_EQ(fake.beeper.beeps, beeps + 1);
        EXPECT_EQ(drawing().pixel(500, 318), qRgb(255, 255, 255));
    }

    QTemporaryDir dir;
    QtFileStore store;
};

TEST_F(FileFailures, AFileThatCannotBeReadOrWrittenIsNamedAndNothingIsTouched)
{
    using enum QFileDevice::Permission;
    const auto chmod = [](const QString& p, QFileDevice::Permissions to) { ASSERT_TRUE(QFile::setPermissions(p, to)); };
    const std::vector<Command> all{Load, SaveData, SavePicture, Batch, BatchData};
    // The chosen file (its name says what stands in the way), the obstacle's making at the file read or
    // written (by a batch: run 1's picture or data file), the commands tried, what the message says; the
    // last two need a user whom permissions bind.
    const std::tuple<const char*, std::function<void(const QString&)>, std::vector<Command>, const char*> obstacles[] =
        {
            {"no-such-folder/missing.tfg", [](const QString&) {}, {Load, SaveData, SavePicture, Batch}, ""},
            {"a-folder.tfg", [](const QString& p) { QDir().mkpath(p), writeFile(p + "/inside", "kept"); }, all,
             "folder"},
            {"a-pipe-no-one-writes-to.tfg", [](const QString& p) { mkfifo(QFile::encodeName(p), 0600); }, all, "pipe"},
            {"a-link-to-a-pipe.tfg",
             [](const QString& p) { mkfifo(QFile::encodeName(p + "~"), 0600), QFile::link(p + "~", p); }, all, "pipe"},
            {"a-link-to-nothing.tfg", [](const QString& p) { QFile::link(p + ".gone", p); }, all,
             "link to a file that does not"},
            {"a-link-loop.tfg", [](const QString& p) { QFile::link(p, p); }, all, "link that leads round in a loop"},
            {"unreadable.tfg",
             [&](const QString& p) { writeFile(p, QByteArray(217, '7')), chmod(p, WriteOwner); },
             {Load},
             ""},
            {"read-only-folder/new.tfg",
             [&](const QString& p) {
                 QDir().mkpath(QFileInfo(p).path()), writeFile(path("read-only-folder/old.tfg"), QByteArray(217, '1'));
                 chmod(QFileInfo(p).path(), ReadOwner | ExeOwner);
             },
             {SaveData, SavePicture, Batch},
             ""},
        };
    for (const auto& [name, make, commands, why] : obstacles)
        for (const Command command : commands) {
            if (geteuid() == 0
                && (QByteArray(name).startsWith("unreadable") || QByteArray(name).startsWith("read-only")))
                continue;   // root may read and write anything
            SCOPED_TRACE(std::string(name) + ", " + kCommands[command].first);
            const QString chosen = path((command == BatchData ? "at-data-" : "") + QString::fromLatin1(name));
            const QString base = batchBaseName(chosen);
            const QString target = command == Batch       ? batchPictureName(base, 1)
                                   : command == BatchData ? batchDataName(base, 1)
                                                          : chosen;
            make(target);
            if (command == BatchData)   // an older picture of that name stays as it was, no temporary file beside it
                writeFile(batchPictureName(base, 1), "older picture");
            expectFails(command, chosen, target, why);
            QFile::setPermissions(QFileInfo(target).path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
}

// A longer file is read only as far as the record, and a save replaces it whole. On a full disk (the
// process may write only 100 bytes more) a save or a batch fails with the system's reason and keeps the
// old file whole.
TEST_F(FileFailures, ASaveReplacesAFileWholeOrOnAFullDiskNotAtAll)
{
    const QByteArray record = QByteArray("4") + QByteArray("0.5000").repeated(36);
    writeFile(path("long.tfg"), record + QByteArray(100000, 'x'));
    fake.dialogs.answers = {path("long.tfg"), path("long.tfg")};
    window->cmdLoad_Click();
    EXPECT_EQ(window->savedRecord(), record);
    window->cmdSave_Click();
    EXPECT_EQ(filesUnder(dir.path()), (Files{{path("keeper.tfg"), QByteArray(217, 'K')}, {path("long.tfg"), record}}));

    writeFile(path("full.bmp"), QByteArray(1000, 'P'));
    writeFile(path("full(1).bmp"), QByteArray(1000, 'P'));
    rlimit unlimited{};
    getrlimit(RLIMIT_FSIZE, &unlimited);
    const auto signalBefore = std::signal(SIGXFSZ, SIG_IGN);   // a write beyond the limit fails instead of killing
    const rlimit limit{100, unlimited.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
    expectFails(SaveData, path("keeper.tfg"), path("keeper.tfg"), "File too large");
    expectFails(SavePicture, path("full.bmp"), path("full.bmp"), "File too large");
    expectFails(Batch, path("full.tfg"), path("full(1).bmp"), "File too large");
    setrlimit(RLIMIT_FSIZE, &unlimited);
    std::signal(SIGXFSZ, signalBefore);
}

}   // namespace
}   // namespace fenra::test
