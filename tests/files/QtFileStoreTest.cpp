// The real file store on a real disk: the promises the data file, the picture
// and the batch rely on.
#include "files/DataRecord.h"
#include "platform/QtFileStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fenra {
namespace {

struct ChildOutcome {
    bool finished = false;   // false when it crashed or outlived its alarm
    QByteArray said;
};

// Runs `body` in a forked child that is killed after `seconds`, so a call that
// blocks (a pipe with no writer) fails the test instead of hanging it, and so
// limits set in the child never touch this process.
ChildOutcome inChild(const std::function<QByteArray()>& body, unsigned seconds = 5)
{
    int channel[2];
    if (pipe(channel) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        alarm(seconds);
        const QByteArray said = body();
        const bool sent = write(channel[1], said.constData(), std::size_t(said.size())) == said.size();
        _exit(sent ? 0 : 1);
    }
    close(channel[1]);
    ChildOutcome outcome;
    char buffer[4096];
    for (ssize_t got; (got = read(channel[0], buffer, sizeof buffer)) > 0;)
        outcome.said.append(buffer, got);
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    outcome.finished = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return outcome;
}

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool putFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

class QtFileStoreTest : public ::testing::Test {
protected:
    QString path(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }

    QTemporaryDir folder;
    QtFileStore store;
    const QByteArray older = QByteArray("old record ").repeated(20);
};

TEST_F(QtFileStoreTest, WriteReplacesAnOlderFileWholeAndLeavesNoTemporaryFile)
{
    ASSERT_TRUE(putFile(path("fern.tfg"), older));
    const QByteArray record = QByteArray("3") + QByteArray("0.0000").repeated(36);
    EXPECT_EQ(store.writeWhole(path("fern.tfg"), record), std::nullopt);
    EXPECT_EQ(contentsOf(path("fern.tfg")), record);   // no tail of the longer old file
    EXPECT_EQ(entries(folder.path()), QStringList{QStringLiteral("fern.tfg")});
}

TEST_F(QtFileStoreTest, WriteThatCannotBeginFailsWithAReasonAndChangesNothing)
{
    struct Case { const char* name; const char* target; };
    for (const Case c : {Case{"missing folder", "nowhere/fern.tfg"}, {"name is a folder", "pics"}}) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("pics")));
        ASSERT_TRUE(putFile(path("pics/fern.tfg"), older));
        const QStringList before = entries(folder.path());

        const std::optional<QString> reason = store.writeWhole(path(c.target), "new");
        ASSERT_TRUE(reason.has_value());
        EXPECT_FALSE(reason->isEmpty());
        EXPECT_EQ(entries(folder.path()), before);
        EXPECT_EQ(entries(path("pics")), QStringList{QStringLiteral("fern.tfg")});
        EXPECT_EQ(contentsOf(path("pics/fern.tfg")), older);
    }
}

TEST_F(QtFileStoreTest, WriteWithoutPermissionKeepsTheOlderFile)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "running as root: permissions do not stop root, so this cannot be shown";
    ASSERT_TRUE(putFile(path("fern.tfg"), older));
    ASSERT_EQ(chmod(QFile::encodeName(folder.path()).constData(), 0500), 0);
    const std::optional<QString> reason = store.writeWhole(path("fern.tfg"), "new");
    chmod(QFile::encodeName(folder.path()).constData(), 0700);
    ASSERT_TRUE(reason.has_value());
    EXPECT_FALSE(reason->isEmpty());
    EXPECT_EQ(contentsOf(path("fern.tfg")), older);
}

// A file-size limit makes every write past it fail as on a full disk.
TEST_F(QtFileStoreTest, WriteCutShortByAFullDiskKeepsTheOlderFileAndNoTemporaryFile)
{
    ASSERT_TRUE(putFile(path("fern.bmp"), older));
    const QString target = path("fern.bmp");
    const ChildOutcome outcome = inChild([&] {
        signal(SIGXFSZ, SIG_IGN);   // let write() fail with EFBIG instead of killing the child
        const rlimit limit{4096, 4096};   // bytes
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return QByteArray("<no limit>");
        QtFileStore childStore;
        const std::optional<QString> reason = childStore.writeWhole(target, QByteArray(64 * 1024, 'x'));
        return reason ? "failed: " + reason->toUtf8() : QByteArray("<reported success>");
    });
    ASSERT_TRUE(outcome.finished);
    EXPECT_TRUE(outcome.said.startsWith("failed: ")) << outcome.said.constData();
    EXPECT_GT(outcome.said.size(), qsizetype(8));   // and a reason
    EXPECT_EQ(contentsOf(target), older);
    EXPECT_EQ(entries(folder.path()), QStringList{QStringLiteral("fern.bmp")});
}

TEST_F(QtFileStoreTest, ReadsOfWhatIsNoOrdinaryFileFailQuicklyWithAReason)
{
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("pics")));
    ASSERT_EQ(mkfifo(QFile::encodeName(path("pipe.tfg")).constData(), 0600), 0);
    for (const char* name : {"missing.tfg", "pics", "pipe.tfg"}) {
        SCOPED_TRACE(name);
        const QString target = path(name);
        const ChildOutcome outcome = inChild([&] {
            QtFileStore childStore;
            const FileStore::ReadResult result = childStore.readPrefix(target, kRecordLength);
            return result.bytes ? QByteArray("<read>") : "failed: " + result.error.toUtf8();
        });
        ASSERT_TRUE(outcome.finished) << "the read blocked or crashed";
        EXPECT_TRUE(outcome.said.startsWith("failed: ")) << outcome.said.constData();
        EXPECT_GT(outcome.said.size(), qsizetype(8));
    }
}

TEST_F(QtFileStoreTest, ReadGivesAtMostTheFirstRecordLengthOfBytes)
{
    QByteArray big(1024 * 1024, '\0');
    for (qsizetype i = 0; i < big.size(); ++i)
        big[i] = char('a' + i % 26);
    for (const qsizetype size : {qsizetype(0), qsizetype(10), qsizetype(kRecordLength), big.size()}) {
        SCOPED_TRACE(size);
        ASSERT_TRUE(putFile(path("fern.tfg"), big.left(size)));
        const FileStore::ReadResult result = store.readPrefix(path("fern.tfg"), kRecordLength);
        ASSERT_TRUE(result.bytes.has_value()) << result.error.toStdString();
        EXPECT_EQ(*result.bytes, big.left(std::min<qsizetype>(size, kRecordLength)));
    }
}

} // namespace
} // namespace fenra
