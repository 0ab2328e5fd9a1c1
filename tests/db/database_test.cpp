#include "app/message_sink.h"
#include "db/database.h"
#include "db/file_format.h"

#include "support/sqlite_file.h"
#include "support/test_folder.h"

#include <QFile>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <sqlite3.h>

using namespace marunoki;
using namespace marunoki::test;

namespace {

QString makeSqlite(const TestFolder &folder, const QString &name)
{
    const QString path = folder.file(name);
    SqliteFile file(path);
    file.exec(QStringLiteral("CREATE TABLE t(x INTEGER)"));
    file.exec(QStringLiteral("INSERT INTO t VALUES (?)"), {42});
    return path;
}

QByteArray jetHeader(const char *signature)
{
    QByteArray bytes(4, '\0');
    bytes += signature;
    bytes += QByteArray(200, '\0');
    return bytes;
}

}  // namespace

TEST(ProbeDatabaseFormat, RecognisesFilesByTheirFirstBytes)
{
    TestFolder folder;
    EXPECT_EQ(probeDatabaseFormat(makeSqlite(folder, "a.mdb")).format, DatabaseFormat::SQLite);
    EXPECT_EQ(probeDatabaseFormat(folder.write("jet.dat", jetHeader("Standard Jet DB"))).format,
        DatabaseFormat::Access);
    EXPECT_EQ(probeDatabaseFormat(folder.write("ace.dat", jetHeader("Standard ACE DB"))).format,
        DatabaseFormat::Access);
    EXPECT_EQ(probeDatabaseFormat(folder.write("other.dat", jetHeader("Standard Foo DB"))).format,
        DatabaseFormat::Unknown);
    EXPECT_EQ(probeDatabaseFormat(folder.write("empty.dat", {})).format, DatabaseFormat::Unknown);
    EXPECT_EQ(
        probeDatabaseFormat(folder.write("short.dat", "SQLite format 3")).format, DatabaseFormat::Unknown);
    EXPECT_EQ(probeDatabaseFormat(folder.file("none.dat")).format, DatabaseFormat::Missing);
    EXPECT_EQ(probeDatabaseFormat(folder.path()).format, DatabaseFormat::Unreadable);
}

TEST(Database, OpensAnSqliteFileReadOnly)
{
    TestFolder folder;
    const QString path = makeSqlite(folder, "marunoki.dat");
    QString error;
    auto db = Database::openQuietly(path, &error);
    ASSERT_TRUE(db) << error.toStdString();
    EXPECT_EQ(db->sourcePath(), path);
    EXPECT_EQ(db->sqlitePath(), path);
    QSqlQuery query(db->connection());
    ASSERT_TRUE(query.exec("SELECT x FROM t"));
    ASSERT_TRUE(query.next());
    EXPECT_EQ(query.value(0).toInt(), 42);
    EXPECT_FALSE(query.exec("INSERT INTO t VALUES (1)"));
    EXPECT_FALSE(query.exec("CREATE TABLE u(y)"));

    // The native connection reads the same file and cannot write it either.
    sqlite3 *native = db->nativeHandle();
    ASSERT_NE(native, nullptr);
    sqlite3_stmt *statement = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(native, "SELECT x FROM t", -1, &statement, nullptr), SQLITE_OK);
    EXPECT_EQ(sqlite3_step(statement), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(statement, 0), 42);
    sqlite3_finalize(statement);
    EXPECT_EQ(sqlite3_exec(native, "INSERT INTO t VALUES (1)", nullptr, nullptr, nullptr), SQLITE_READONLY);
}

TEST(Database, GivesEachObjectItsOwnConnection)
{
    TestFolder folder;
    const QString path = makeSqlite(folder, "marunoki.dat");
    auto first = Database::openQuietly(path);
    auto second = Database::openQuietly(path);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first->connection().connectionName(), second->connection().connectionName());
    const QString firstName = first->connection().connectionName();
    first.reset();
    EXPECT_FALSE(QSqlDatabase::contains(firstName));
    QSqlQuery query(second->connection());
    EXPECT_TRUE(query.exec("SELECT x FROM t"));
}

TEST(Database, ExplainsWhyAFileIsNotADatabase)
{
    TestFolder folder;
    QByteArray damaged = QByteArrayLiteral("SQLite format 3\0") + QByteArray(4000, '\x07');
    const struct {
        QString path;
        const char *reason;
    } cases[] = {
        {folder.file("missing.dat"), "がありません"},
        {folder.write("garbage.dat", QByteArray(5000, 'x')),
            "は SQLite のデータベースでも Access のデータベースでもありません"},
        {folder.write("zero.dat", {}), "は SQLite のデータベースでも Access のデータベースでもありません"},
        {folder.write("damaged.dat", damaged), "cannot be read as an SQLite database"},
        {folder.path(), "を読めません"},
    };
    for (const auto &c : cases) {
        QString error;
        EXPECT_FALSE(Database::openQuietly(c.path, &error)) << c.path.toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.reason))) << error.toStdString();
    }
}

TEST(Database, OpenShowsTheFixedMessageAndTheCause)
{
    TestFolder folder;
    RecordingSink sink;
    EXPECT_FALSE(Database::open(folder.file("marunoki.dat"), sink));
    EXPECT_EQ(sink.messages(), QStringList {QStringLiteral("dataファイルが開けません")});

    sink.clear();
    EXPECT_FALSE(Database::open(folder.write("NAR_data.mdb", "not a database"), sink));
    // One message; the reason is its detail.
    EXPECT_EQ(sink.messages(), QStringList {QStringLiteral("dataファイルが開けません")});
    EXPECT_TRUE(sink.details().value(0).contains(
        QStringLiteral("は SQLite のデータベースでも Access のデータベースでもありません")));

    sink.clear();
    EXPECT_TRUE(Database::open(makeSqlite(folder, "ok.dat"), sink));
    EXPECT_TRUE(sink.messages().isEmpty());
}

TEST(Database, OpenExplainsADamagedAccessFile)
{
    TestFolder folder;
    RecordingSink sink;
    QFile original(testData("access/jet4-types.mdb"));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QString path = folder.write("marunoki.dat", original.read(4096));
    EXPECT_FALSE(Database::open(path, sink, folder.file("cache")));
    EXPECT_EQ(sink.messages(), QStringList {QStringLiteral("dataファイルが開けません")});
    EXPECT_TRUE(sink.details().value(0).startsWith(path + QStringLiteral(" を取り込めません")))
        << sink.details().value(0).toStdString();
}

TEST(Database, OpenExplainsAPathThatCannotBeRead)
{
    TestFolder folder;
    RecordingSink sink;
    EXPECT_FALSE(Database::open(folder.path(), sink));
    EXPECT_EQ(sink.messages(), QStringList {QStringLiteral("dataファイルが開けません")});
    EXPECT_TRUE(sink.details().value(0).contains(QStringLiteral("を読めません")))
        << sink.details().value(0).toStdString();
}
