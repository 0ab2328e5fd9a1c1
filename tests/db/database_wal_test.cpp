// Databases that another program wrote with a write-ahead log (WAL): they open
// read-only like any other, without writing to the user's folder.

#include "app/message_sink.h"
#include "db/database.h"
#include "support/read_only_folder.h"

#include "support/crash_harness.h"
#include "support/qt_print.h"
#include "support/test_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <map>

using namespace marunoki;
using namespace marunoki::test;

namespace {

void execOrFail(sqlite3 *db, const char *sql)
{
    char *message = nullptr;
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &message), SQLITE_OK) << (message ? message : sql);
}

// How the other program left the file.
enum class Log {
    FoldedIn,  // closed cleanly: everything is in the file and the log is gone
    Empty,  // an empty "-wal" file stayed behind
    Committed,  // the program still runs: rows 7 and 8 are committed to the log only
};

// Writes `name` in `folder`: table t holds 42 written before the switch to WAL,
// and 7 and 8 written after it, left as `log` says. The file is copied while
// the writer holds it, so the log cannot be folded in when it closes.
QString writeWalFile(const TestFolder &folder, const QString &name, Log log)
{
    TestFolder scratch;
    const QString path = scratch.file(name);
    sqlite3 *db = nullptr;
    EXPECT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    execOrFail(db, "CREATE TABLE t(x INTEGER)");
    execOrFail(db, "INSERT INTO t VALUES (42)");
    execOrFail(db, "PRAGMA journal_mode = WAL");
    execOrFail(db, "PRAGMA wal_autocheckpoint = 0");
    execOrFail(db, "INSERT INTO t VALUES (7)");
    execOrFail(db, "INSERT INTO t VALUES (8)");
    if (log == Log::Committed) {
        EXPECT_TRUE(QFile::copy(path + "-wal", folder.file(name) + "-wal"));
        EXPECT_TRUE(QFile::copy(path, folder.file(name)));
    }
    sqlite3_close(db);
    if (log != Log::Committed) {
        EXPECT_FALSE(QFileInfo::exists(path + "-wal"));
        EXPECT_TRUE(QFile::copy(path, folder.file(name)));
    }
    if (log == Log::Empty)
        folder.write(name + "-wal", {});
    return folder.file(name);
}

// Every file in the folder and its bytes.
std::map<QString, QByteArray> snapshot(const QString &folder)
{
    std::map<QString, QByteArray> files;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System))
        files[name] = fileBytes(folder + name).value_or("(unreadable)");
    return files;
}

QList<int> viaQt(const Database &db)
{
    QList<int> values;
    QSqlQuery query(db.connection());
    EXPECT_TRUE(query.exec("SELECT x FROM t ORDER BY rowid"));
    while (query.next())
        values << query.value(0).toInt();
    return values;
}

QList<int> viaNative(const Database &db)
{
    QList<int> values;
    sqlite3_stmt *statement = nullptr;
    EXPECT_EQ(
        sqlite3_prepare_v2(db.nativeHandle(), "SELECT x FROM t ORDER BY rowid", -1, &statement, nullptr),
        SQLITE_OK);
    while (sqlite3_step(statement) == SQLITE_ROW)
        values << sqlite3_column_int(statement, 0);
    sqlite3_finalize(statement);
    return values;
}

const QList<int> kAllRows {42, 7, 8};

// Opens the file and checks both connections read every row and write nothing.
void expectReadsAllRows(const QString &path)
{
    QString error;
    auto db = Database::openQuietly(path, &error);
    ASSERT_TRUE(db) << error.toStdString();
    EXPECT_EQ(viaQt(*db), kAllRows);
    EXPECT_EQ(viaNative(*db), kAllRows);
    QSqlQuery query(db->connection());
    EXPECT_FALSE(query.exec("INSERT INTO t VALUES (1)"));
    EXPECT_NE(
        sqlite3_exec(db->nativeHandle(), "INSERT INTO t VALUES (1)", nullptr, nullptr, nullptr), SQLITE_OK);
}

}  // namespace

TEST(DatabaseWal, ReadsEveryCommittedRowAndLeavesTheFolderAsItWas)
{
    for (const Log log : {Log::FoldedIn, Log::Empty, Log::Committed}) {
        SCOPED_TRACE(static_cast<int>(log));
        TestFolder folder;
        // A name that needs escaping in a "file:" URI.
        const QString path = writeWalFile(folder, QStringLiteral("marunoki #1?%20 馬場.dat"), log);
        const QByteArray header = fileBytes(path).value_or(QByteArray()).left(20);
        ASSERT_EQ(header.size(), 20);
        EXPECT_EQ(header[18], 2);
        EXPECT_EQ(header[19], 2);
        const auto before = snapshot(folder.path());

        expectReadsAllRows(path);

        EXPECT_EQ(snapshot(folder.path()), before);
    }
}

// A rollback-journal file is read under its locks: while another program
// writes it, a read is refused rather than given half a write. Only a WAL file
// is read as immutable.
TEST(DatabaseWal, ARollbackJournalFileIsReadUnderItsLocks)
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("rollback.dat"));
    sqlite3 *writer = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &writer), SQLITE_OK);
    execOrFail(writer, "CREATE TABLE t(x INTEGER)");
    execOrFail(writer, "BEGIN EXCLUSIVE");
    QString error;
    EXPECT_FALSE(Database::openQuietly(path, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("locked"))) << error.toStdString();
    execOrFail(writer, "ROLLBACK");
    EXPECT_TRUE(Database::openQuietly(path));
    sqlite3_close(writer);
}

TEST(DatabaseWal, ReadsTheLogThroughAPrivateCopyThatGoesWithTheDatabase)
{
    TestFolder folder;
    const QString path = writeWalFile(folder, QStringLiteral("NAR_data.mdb"), Log::Committed);
    const auto before = snapshot(folder.path());
    QString copyFolder;
    {
        auto db = Database::openQuietly(path);
        ASSERT_TRUE(db);
        EXPECT_EQ(db->sourcePath(), path);
        ASSERT_NE(db->sqlitePath().toStdString(), path.toStdString());
        copyFolder = QFileInfo(db->sqlitePath()).absolutePath();
        EXPECT_FALSE(copyFolder.startsWith(QFileInfo(folder.path()).absoluteFilePath()));
        // The log was folded into the copy: the copy is in rollback mode.
        const QByteArray header = fileBytes(db->sqlitePath()).value_or(QByteArray()).left(20);
        ASSERT_EQ(header.size(), 20);
        EXPECT_EQ(header[19], 1);
        EXPECT_EQ(viaNative(*db), kAllRows);
        // Two databases of one file have copies of their own.
        auto second = Database::openQuietly(path);
        ASSERT_TRUE(second);
        EXPECT_NE(second->sqlitePath(), db->sqlitePath());
        EXPECT_EQ(viaQt(*second), kAllRows);
    }
    EXPECT_FALSE(QFileInfo::exists(copyFolder));
    EXPECT_EQ(snapshot(folder.path()), before);
}

TEST(DatabaseWal, OpensInAFolderNothingCanBeWrittenTo)
{
    for (const Log log : {Log::FoldedIn, Log::Committed}) {
        SCOPED_TRACE(static_cast<int>(log));
        TestFolder folder;
        const QString path = writeWalFile(folder, QStringLiteral("marunoki.dat"), log);
        const auto before = snapshot(folder.path());
        {
            ReadOnlyFolder readOnly(folder.path());
            if (!readOnly.protects())
                GTEST_SKIP() << "this file system cannot protect a folder from the superuser";
            expectReadsAllRows(path);
        }
        EXPECT_EQ(snapshot(folder.path()), before);
    }
}

TEST(DatabaseWal, ExplainsADamagedFile)
{
    TestFolder folder;
    const QString good = writeWalFile(folder, QStringLiteral("good.dat"), Log::FoldedIn);
    QByteArray damaged = fileBytes(good).value_or(QByteArray());
    ASSERT_GT(damaged.size(), 200);
    // Page 1 after the header: the schema's b-tree page header.
    damaged.replace(100, 100, QByteArray(100, '\x07'));
    QByteArray badLog = fileBytes(good).value_or(QByteArray());
    badLog[19] = 3;  // a read version no SQLite knows

    TestFolder withLog;
    writeWalFile(withLog, QStringLiteral("logged.dat"), Log::Committed);
    withLog.write(QStringLiteral("logged.dat"), damaged);

    // The cause is SQLite's own, the damaged file's with a log included (not the copy's I/O error).
    const std::pair<QString, QString> cases[] = {
        {folder.write(QStringLiteral("damaged.dat"), damaged), "database disk image is malformed"},
        {folder.write(QStringLiteral("future.dat"), badLog), "file is not a database"},
        {withLog.file(QStringLiteral("logged.dat")), "database disk image is malformed"},
    };
    for (const auto &[path, cause] : cases) {
        const QString dir = QFileInfo(path).absolutePath() + '/';
        const auto before = snapshot(dir);
        RecordingSink sink;
        EXPECT_FALSE(Database::open(path, sink)) << path.toStdString();
        EXPECT_EQ(sink.messages(), QStringList {QStringLiteral("dataファイルが開けません")});
        EXPECT_TRUE(
            sink.details().value(0).startsWith(path + " cannot be read as an SQLite database: " + cause))
            << sink.details().value(0).toStdString();
        EXPECT_EQ(snapshot(dir), before);
    }
}
