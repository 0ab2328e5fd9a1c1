// File replacement: the old content survives every failure byte for byte, no
// temporary is left behind, and targets that are not ours to replace are refused.

#include "app/atomic_file.h"

#include "support/failing_file_system.h"
#include "support/small_tmpfs.h"
#include "support/test_folder.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace marunoki {
namespace {

using test::FailingFileSystem;
using test::folderEntries;
using test::TestFolder;
using test::writeFaults;

const QByteArray kOld("the user's old content\n");
const QByteArray kNew(64 * 1024, 'n');

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

TEST(AtomicFile, EveryFailedCallLeavesTheOldFileAndNoTemporary)
{
    for (const auto &fault : writeFaults()) {
        SCOPED_TRACE(fault.name);
        const TestFolder folder;
        const QString path = folder.write("target.csv", kOld);
        const Status status = writeFileAtomically(path, kNew, fault.files);
        EXPECT_FALSE(status.ok());
        EXPECT_TRUE(status.message().contains(path)) << status.message().toStdString();
        EXPECT_EQ(contents(path), kOld);
        EXPECT_EQ(folderEntries(folder.path()), QStringList {QStringLiteral("target.csv")});
    }
}

TEST(AtomicFile, NamesTheCauseOfAFailure)
{
    const struct {
        FailingFileSystem files;
        const char *cause;
    } cases[] = {
        {FailingFileSystem(FailingFileSystem::Call::Write, ENOSPC), "ディスクの空きがありません"},
        {FailingFileSystem(FailingFileSystem::Call::Sync, EIO), "入出力エラー"},
        {FailingFileSystem(FailingFileSystem::Call::Rename, EACCES), "書き込みが許可されていません"},
    };
    for (const auto &c : cases) {
        const TestFolder folder;
        const Status status = writeFileAtomically(folder.file("a.json"), kNew, c.files);
        EXPECT_TRUE(status.message().contains(QString::fromUtf8(c.cause))) << status.message().toStdString();
        EXPECT_TRUE(folderEntries(folder.path()).isEmpty());
    }
}

TEST(AtomicFile, RefusesTargetsThatAreNotOurs)
{
    const struct {
        const char *name;
        void (*make)(const QString &path);
        const char *cause;
    } cases[] = {
        {"folder", [](const QString &p) { ASSERT_EQ(::mkdir(QFile::encodeName(p).constData(), 0755), 0); },
            "通常のファイルではありません"},
        {"fifo", [](const QString &p) { ASSERT_EQ(::mkfifo(QFile::encodeName(p).constData(), 0644), 0); },
            "通常のファイルではありません"},
        {"symbolic link",
            [](const QString &p) {
                QFile(p + QStringLiteral(".real")).open(QIODevice::WriteOnly);
                ASSERT_TRUE(QFile::link(p + QStringLiteral(".real"), p));
            },
            "通常のファイルではありません"},
        {"read-only file",
            [](const QString &p) {
                QFile file(p);
                ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                file.write(kOld);
                file.close();
                ASSERT_EQ(::chmod(QFile::encodeName(p).constData(), 0444), 0);
            },
            "読み取り専用のファイルです"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const TestFolder folder;
        const QString path = folder.file("target");
        c.make(path);
        const QStringList before = folderEntries(folder.path());
        struct stat was { };
        ASSERT_EQ(::lstat(QFile::encodeName(path).constData(), &was), 0);

        const Status status = writeFileAtomically(path, kNew);
        EXPECT_FALSE(status.ok());
        EXPECT_TRUE(status.message().contains(QString::fromUtf8(c.cause))) << status.message().toStdString();
        struct stat now { };
        ASSERT_EQ(::lstat(QFile::encodeName(path).constData(), &now), 0);
        EXPECT_EQ(now.st_ino, was.st_ino);
        EXPECT_EQ(now.st_mode, was.st_mode);
        EXPECT_EQ(folderEntries(folder.path()), before);
    }
}

TEST(AtomicFile, ReplacesWholeAndKeepsThePermissionBits)
{
    const TestFolder folder;
    const QString path = folder.write("settings.ini", kOld);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    ASSERT_TRUE(writeFileAtomically(path, kNew).ok());
    EXPECT_EQ(contents(path), kNew);
    struct stat now { };
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &now), 0);
    EXPECT_EQ(now.st_mode & 07777, 0640u);
    EXPECT_EQ(folderEntries(folder.path()), QStringList {QStringLiteral("settings.ini")});
}

TEST(AtomicFile, ANewFileGetsTheUsualModeLessTheUmask)
{
    const TestFolder folder;
    const mode_t old = ::umask(027);
    const Status status = writeFileAtomically(folder.file("new.csv"), kNew);
    ::umask(old);
    ASSERT_TRUE(status.ok()) << status.message().toStdString();
    struct stat now { };
    ASSERT_EQ(::stat(QFile::encodeName(folder.file("new.csv")).constData(), &now), 0);
    EXPECT_EQ(now.st_mode & 07777, 0640u);
}

TEST(AtomicFile, AReplacementNotCommittedLeavesNothing)
{
    const TestFolder folder;
    const QString path = folder.write("index.tsv", kOld);
    {
        AtomicReplacement replacement(path, systemFileSystem());
        ASSERT_TRUE(replacement.opened().ok());
        ASSERT_TRUE(replacement.write(kNew).ok());
        EXPECT_TRUE(QFileInfo::exists(replacement.temporaryPath()));
    }
    EXPECT_EQ(contents(path), kOld);
    EXPECT_EQ(folderEntries(folder.path()), QStringList {QStringLiteral("index.tsv")});
}

// The real calls pass each failure on, so that the replacement can report it
// (the faked failures above stand in for these).
TEST(AtomicFile, TheSystemCallsPassEachFailureOn)
{
    const FileSystem &files = systemFileSystem();
    const int device = ::open("/dev/null", O_WRONLY);
    ASSERT_GE(device, 0);
    EXPECT_EQ(files.sync(device), -1);  // a device cannot be synchronised
    EXPECT_EQ(errno, EINVAL);
    EXPECT_EQ(files.close(device), 0);
    EXPECT_EQ(files.close(device), -1);
    EXPECT_EQ(files.write(device, "x", 1), -1);
    EXPECT_EQ(files.rename("/nonexistent/a", "/nonexistent/b"), -1);
}

TEST(AtomicFile, AFullTmpfsLeavesTheOldFileWhole)
{
    const TestFolder folder;
    const test::SmallTmpfs disk(folder.path(), 256 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a small tmpfs here (" << disk.error().toStdString() << ")";
    const QString path = folder.write("2612200.csv", kOld);
    test::fillUp(folder.file("filler"));

    const Status status = writeFileAtomically(path, kNew);
    EXPECT_FALSE(status.ok());
    EXPECT_TRUE(status.message().contains(QStringLiteral("ディスクの空きがありません")))
        << status.message().toStdString();
    EXPECT_EQ(contents(path), kOld);
    EXPECT_EQ(folderEntries(folder.path()),
        (QStringList {QStringLiteral("2612200.csv"), QStringLiteral("filler")}));
}

}  // namespace
}  // namespace marunoki
