#include "app/regular_file.h"

#include "db/database.h"
#include "db/file_format.h"
#include "support/fifo_watchdog.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <cerrno>

#include <unistd.h>

namespace marunoki {
namespace {

using test::TestFolder;

// Every reader of a database file or a saved page goes through
// readRegularFile; a path that is no regular file must be refused, at once and
// with what it is, by the opening itself and by the database layer above it.
TEST(RegularFile, RefusesFifosFoldersAndDevicesWithoutBlocking)
{
    TestFolder folder;
    const QString fifo = folder.file(QStringLiteral("marunoki.dat"));
    ASSERT_TRUE(test::makeFifo(fifo));
    const QString subfolder = folder.file(QStringLiteral("NAR_data.mdb"));
    ASSERT_TRUE(QDir().mkpath(subfolder));
    const struct {
        QString path;
        QString cause;
    } cases[] = {
        {fifo, QStringLiteral("通常のファイルではありません（名前付きパイプ）")},
        {subfolder, QStringLiteral("通常のファイルではありません（フォルダ）")},
        {QStringLiteral("/dev/null"), QStringLiteral("通常のファイルではありません（デバイス）")},
        {folder.file(QStringLiteral("gone.dat")), QStringLiteral("ファイルがありません")},
    };
    const bool ended = test::endsWithoutAWriter(
        [&] {
            for (const auto &c : cases) {
                SCOPED_TRACE(c.path.toStdString());
                const RegularFileRead read = readRegularFile(c.path, 100);
                EXPECT_FALSE(read.status.ok());
                EXPECT_EQ(read.status.message(), c.cause);
                EXPECT_TRUE(read.bytes.isEmpty());

                QString error;
                EXPECT_FALSE(Database::openQuietly(c.path, &error, folder.file(QStringLiteral("cache"))));
                if (QFile::exists(c.path)) {
                    EXPECT_EQ(probeDatabaseFormat(c.path).format, DatabaseFormat::Unreadable);
                    EXPECT_TRUE(error.contains(c.cause)) << error.toStdString();
                }
            }
        },
        {fifo});
    EXPECT_TRUE(ended) << "a read waited for a writer of the FIFO";
}

TEST(RegularFile, ReadsUpToTheLimitOfARegularFile)
{
    TestFolder folder;
    const QByteArray content = QByteArray("<body>") + QByteArray(100000, 'x');
    const QString path = folder.write(QStringLiteral("page.html"), content);
    const struct {
        qint64 limit;
        QByteArray expected;
    } cases[] = {
        {20, content.left(20)},
        {content.size(), content},
        {content.size() + 1, content},
        {10 * content.size(), content},
    };
    for (const auto &c : cases) {
        errno = EINTR;  // left by an earlier interrupted call: a successful open is not retried
        const RegularFileRead read = readRegularFile(path, c.limit);
        ASSERT_TRUE(read.status.ok()) << read.status.message().toStdString();
        EXPECT_EQ(read.bytes, c.expected) << c.limit;
    }
    const RegularFileRead empty = readRegularFile(folder.write(QStringLiteral("empty"), {}), 20);
    EXPECT_TRUE(empty.status.ok());
    EXPECT_TRUE(empty.bytes.isEmpty());

    // Started with its standard input closed, the program gets descriptor 0 for
    // the file, which is as good as any other.
    const int savedInput = ::dup(0);
    ASSERT_GE(savedInput, 0);
    ::close(0);
    const RegularFileRead onZero = readRegularFile(path, 20);
    ::dup2(savedInput, 0);
    ::close(savedInput);
    EXPECT_TRUE(onZero.status.ok()) << onZero.status.message().toStdString();
    EXPECT_EQ(onZero.bytes, content.left(20));
}

}  // namespace
}  // namespace marunoki
