#include "app/message_sink.h"
#include "db/access_cache.h"
#include "db/database.h"
#include "db/mdb_import.h"

#include "support/failing_file_system.h"
#include "support/test_folder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QSqlQuery>
#include <QSqlRecord>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

#include <dlfcn.h>
#include <sqlite3.h>

using namespace marunoki;
using namespace marunoki::test;

namespace {

// A private copy of one of the shared Access files (never written to).
QString accessFile(const TestFolder &folder, const QString &name, const QString &as = QString())
{
    return folder.copyIn(testData(QStringLiteral("access/") + name), as.isEmpty() ? name : as);
}

// Rows of a query as text lists: each value with its SQLite storage type.
QList<QStringList> rows(const Database &db, const QString &sql)
{
    QList<QStringList> out;
    QSqlQuery query(db.connection());
    EXPECT_TRUE(query.exec(sql)) << sql.toStdString();
    while (query.next()) {
        QStringList row;
        for (int i = 0; i < query.record().count(); ++i)
            row.append(query.value(i).isNull() ? QStringLiteral("<null>") : query.value(i).toString());
        out.append(row);
    }
    return out;
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

// How many more rows of Table1 are written before one fails; -1: none fails.
std::atomic<int> table1RowsBeforeAFailure {-1};

}  // namespace

// A row of the copy that cannot be written. A full disk cannot make one fail:
// SQLite keeps the pages of a copy this small in memory until the commit. So
// this program's own sqlite3_step, which the import's calls reach (in its
// child process too), fails a row of Table1 when asked to.
extern "C" int sqlite3_step(sqlite3_stmt *statement)
{
    static const auto step = reinterpret_cast<int (*)(sqlite3_stmt *)>(dlsym(RTLD_NEXT, "sqlite3_step"));
    const char *sql = sqlite3_sql(statement);
    static const char insert[] = "INSERT INTO \"Table1\"";
    if (table1RowsBeforeAFailure >= 0 && sql && std::strncmp(sql, insert, sizeof insert - 1) == 0
        && table1RowsBeforeAFailure-- == 0)
        return SQLITE_FULL;
    return step(statement);
}

TEST(AccessImport, CopiesValuesWithTheirTypes)
{
    TestFolder folder;
    const QString cache = folder.file("cache");
    QString error;
    auto db = Database::openQuietly(accessFile(folder, "jet4-types.mdb", "marunoki.dat"), &error, cache);
    ASSERT_TRUE(db) << error.toStdString();
    EXPECT_TRUE(db->sqlitePath().startsWith(cache));
    const auto table = rows(*db, "SELECT A, B, C, D, E, F, G, H, I FROM Table1 ORDER BY rowid");
    const QList<QStringList> expected = {
        {"abcdefg", "hijklmnop", "2", "222", "333333333", "444.555", "1974-09-21", "3.5", "1"},
        {"a", "b", "0", "0", "0", "0", "1981-12-12", "0", "0"},
    };
    EXPECT_EQ(table, expected);
    const auto types = rows(*db,
        "SELECT typeof(A), typeof(C), typeof(D), typeof(E), typeof(F), typeof(G), "
        "typeof(H), typeof(I) FROM Table1");
    ASSERT_FALSE(types.isEmpty());
    EXPECT_EQ(
        types[0], QStringList({"text", "integer", "integer", "integer", "real", "text", "real", "integer"}));
    // Tables without rows are there, with their columns.
    EXPECT_EQ(rows(*db, "SELECT count(*) FROM Table3"), QList<QStringList> {{"0"}});
    EXPECT_EQ(rows(*db, "SELECT name FROM pragma_table_info('Table3')"), (QList<QStringList> {{"a"}, {"b"}}));
}

// No Access file here holds a Null, an empty text or a Memo, and nothing here
// writes one, so Table1 of jet4-types.mdb is edited in place. Its rows lie on
// page 27: the first from 0xfb8 to the page's end, the second just before it.
// A Jet 4 row ends with the offsets of its variable columns (A's 6 bytes before
// the end), their count, and a mask of one bit per column (bit 0 = A; 1 = has a
// value). The first row keeps its values, so one left over from it would show.
TEST(AccessImport, KeepsNullsEmptyTextsAndMemos)
{
    constexpr qsizetype kFirstRow = 27 * 4096 + 0xfb8;
    constexpr qsizetype kSecondRowMask = kFirstRow - 2;
    constexpr qsizetype kSecondRowStartOfA = kFirstRow - 6;
    constexpr qsizetype kFirstRowB = kFirstRow + 0x21 + 9;  // after the fixed columns and A
    constexpr qsizetype kTypeOfB = 24 * 4096 + 0x70;  // in Table1's definition
    struct Edit {
        qsizetype at;
        char from, to;
    };
    const struct {
        const char *name;
        QList<Edit> edits;
        QList<QStringList> expected;  // A, B, D as SQL literals
    } cases[] = {
        {"B and D Null, A empty in the second row",
            {{kSecondRowMask, '\xff', '\xf5'}, {kSecondRowStartOfA, 0x21, 0x23}},
            {{"'abcdefg'", "'hijklmnop'", "222"}, {"''", "NULL", "NULL"}}},
        // The first row's B becomes an inline Memo of its last three characters.
        {"B a Memo, Null in the second row",
            {{kTypeOfB, 0x0a, 0x0c}, {kFirstRowB, 'h', 6}, {kFirstRowB + 2, 'i', 0},
                {kFirstRowB + 3, 0, '\x80'}, {kSecondRowMask, '\xff', '\xfd'}},
            {{"'abcdefg'", "'nop'", "222"}, {"'a'", "NULL", "0"}}},
        // A row written before a column was deleted holds more columns than the table.
        {"the second row longer than the table, A empty",
            {{kSecondRowStartOfA - 0x29, 9, 10}, {kSecondRowStartOfA, 0x21, 0x23}},
            {{"'abcdefg'", "'hijklmnop'", "222"}, {"''", "'b'", "0"}}},
    };
    QFile original(testData("access/jet4-types.mdb"));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray whole = original.readAll();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder folder;
        QByteArray bytes = whole;
        for (const Edit &edit : c.edits) {
            ASSERT_EQ(bytes[edit.at], edit.from) << "at " << edit.at;
            bytes[edit.at] = edit.to;
        }
        QString error;
        auto db = Database::openQuietly(folder.write("edited.mdb", bytes), &error, folder.file("cache"));
        ASSERT_TRUE(db) << error.toStdString();
        EXPECT_EQ(rows(*db, "SELECT quote(A), quote(B), quote(D) FROM Table1 ORDER BY rowid"), c.expected);
    }
}

TEST(AccessImport, KeepsUnicodeText)
{
    TestFolder folder;
    auto db = Database::openQuietly(accessFile(folder, "jet4-unicode.mdb"), nullptr, folder.file("cache"));
    ASSERT_TRUE(db);
    const auto table = rows(*db, "SELECT ID, Unicode FROM \"Table\" WHERE ID IN (1, 2, 3, 5, 7) ORDER BY ID");
    const QList<QStringList> expected = {
        {"1", "only ascii chars"},
        {"2", "ääkkösiä"},
        {"3", "Мир"},
        {"5", "漢字仮名交じり文"},
        {"7", "ümlaut"},
    };
    EXPECT_EQ(table, expected);
}

TEST(AccessImport, AnEmptyDatabaseOpensWithoutTables)
{
    TestFolder folder;
    auto db = Database::openQuietly(accessFile(folder, "jet4-empty.mdb"), nullptr, folder.file("cache"));
    ASSERT_TRUE(db);
    EXPECT_EQ(
        rows(*db, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'"),
        QList<QStringList> {{"0"}});
}

TEST(AccessImport, NeverWritesTheAccessFile)
{
    TestFolder folder;
    const QString path = accessFile(folder, "jet4-types.mdb");
    QFile::setPermissions(path, QFileDevice::ReadOwner);  // read-only, as a file on a CD would be
    QFile before(path);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray bytes = before.readAll();
    const QDateTime modified = QFileInfo(path).lastModified();
    ASSERT_TRUE(Database::openQuietly(path, nullptr, folder.file("cache")));
    QFile after(path);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), bytes);
    EXPECT_EQ(QFileInfo(path).lastModified(), modified);
}

TEST(AccessImport, DamagedFilesGiveAClearErrorAndNoCopy)
{
    TestFolder folder;
    QFile original(testData("access/jet4-types.mdb"));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray whole = original.readAll();
    QByteArray scrambled = whole;
    for (qsizetype i = 4096; i < scrambled.size(); i += 7)
        scrambled[i] = static_cast<char>(scrambled[i] * 31 + 17);
    const struct {
        const char *name;
        QByteArray bytes;
    } cases[] = {
        {"header-only.mdb", whole.left(2048)},
        {"one-page.mdb", whole.left(4096)},
        {"truncated.mdb", whole.left(whole.size() / 3)},
        {"scrambled.mdb", scrambled},
        {"garbage.mdb", whole.left(24) + QByteArray(100000, '\xA5')},
    };
    const QString cache = folder.file("cache");
    for (const auto &c : cases) {
        const QString path = folder.write(c.name, c.bytes);
        QString error;
        auto db = Database::openQuietly(path, &error, cache);
        if (db) {
            // libmdb read some of it; what it read must at least be a database.
            QSqlQuery query(db->connection());
            EXPECT_TRUE(query.exec("SELECT count(*) FROM sqlite_master")) << c.name;
            continue;
        }
        EXPECT_TRUE(error.contains(path)) << error.toStdString();
        EXPECT_TRUE(error.contains(QStringLiteral("取り込"))) << error.toStdString();
    }
    // The header-only file cannot be imported at all.
    QString error;
    EXPECT_FALSE(Database::openQuietly(folder.file("header-only.mdb"), &error, cache));
    // No half-made copy and no temporary file stays behind.
    for (const QString &file : filesIn(cache))
        EXPECT_TRUE(file.endsWith(".sqlite") && !file.startsWith('.')) << file.toStdString();
}

// Every table of an imported copy with its number of rows.
QMap<QString, qint64> rowCounts(const QString &sqlitePath)
{
    QMap<QString, qint64> counts;
    auto db = Database::openQuietly(sqlitePath);
    EXPECT_TRUE(db) << sqlitePath.toStdString();
    if (!db)
        return counts;
    QSqlQuery tables(db->connection());
    EXPECT_TRUE(
        tables.exec("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'"));
    while (tables.next()) {
        const QString name = tables.value(0).toString();
        QSqlQuery count(db->connection());
        EXPECT_TRUE(count.exec(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(name)));
        counts.insert(name, count.next() ? count.value(0).toLongLong() : -1);
    }
    return counts;
}

// A file cut short loses pages of its tables or of its catalogue, which libmdb
// reads as tables that end early or are not there. Every cut must either fail
// the import as damaged or (when only unused pages at the end went) give the
// very tables and rows of the whole file; never a copy with less in it.
TEST(AccessImport, AFileCutShortIsDamagedUnlessNothingInUseWasCut)
{
    TestFolder folder;
    const struct {
        const char *file;
        qsizetype lastCut;  // cuts every 4 KiB from 24 KiB up to here
    } sources[] = {
        {"jet4-empty.mdb", 96 * 1024},
        {"jet4-unicode.mdb", 288 * 1024},
        {"jet4-types.mdb", 72 * 1024},
    };
    int refused = 0;
    for (const auto &source : sources) {
        QFile original(testData(QStringLiteral("access/") + source.file));
        ASSERT_TRUE(original.open(QIODevice::ReadOnly));
        const QByteArray whole = original.readAll();
        const QString wholeCopy = folder.file(QStringLiteral("whole.sqlite"));
        QFile::remove(wholeCopy);
        const Status full = importMdb(original.fileName(), wholeCopy);
        ASSERT_TRUE(full.ok()) << full.message().toStdString();
        const QMap<QString, qint64> expected = rowCounts(wholeCopy);
        QList<qsizetype> cuts;
        for (qsizetype cut = 24 * 1024; cut < std::min(source.lastCut, whole.size()); cut += 4096)
            cuts.append(cut);
        cuts.append({whole.size() / 3, whole.size() / 2, whole.size() - 4096});
        for (const qsizetype cut : cuts) {
            SCOPED_TRACE(std::string(source.file) + " cut at " + std::to_string(cut));
            const QString path = folder.write(QStringLiteral("cut.mdb"), whole.left(cut));
            const QString copy = folder.file(QStringLiteral("cut.sqlite"));
            QFile::remove(copy);
            const Status status = importMdb(path, copy);
            if (status.ok()) {
                EXPECT_EQ(rowCounts(copy), expected);
            } else {
                EXPECT_FALSE(QFile::exists(copy));
                EXPECT_TRUE(status.message().contains(QStringLiteral("は壊れています")))
                    << status.message().toStdString();
                ++refused;
            }
        }
    }
    // Most cuts go through tables in use.
    EXPECT_GT(refused, 40);
}

TEST(AccessImport, AZeroByteOrForeignFileIsNoDatabase)
{
    TestFolder folder;
    RecordingSink sink;
    for (const QByteArray &bytes : {QByteArray(), QByteArray("Standard Jet DB"), QByteArray(4096, '\0')}) {
        sink.clear();
        EXPECT_FALSE(Database::open(folder.write("NAR_data.mdb", bytes), sink, folder.file("cache")));
        EXPECT_EQ(sink.messages(), QStringList {QStringLiteral("dataファイルが開けません")});
        EXPECT_TRUE(sink.details().value(0).contains(
            "は SQLite のデータベースでも Access のデータベースでもありません"));
    }
    EXPECT_TRUE(filesIn(folder.file("cache")).isEmpty());
}

TEST(AccessCache, ImportsOncePerVersionOfTheFile)
{
    TestFolder folder;
    const QString cache = folder.file("cache");
    const QString path = accessFile(folder, "jet4-unicode.mdb");
    const CachedCopy first = cachedSqliteCopy(path, cache);
    ASSERT_FALSE(first.path.isEmpty()) << first.error.toStdString();
    EXPECT_TRUE(first.imported);
    const CachedCopy second = cachedSqliteCopy(path, cache);
    EXPECT_EQ(second.path, first.path);
    EXPECT_FALSE(second.imported);
    {
        auto db = Database::openQuietly(path, nullptr, cache);
        ASSERT_TRUE(db);
        EXPECT_EQ(db->sqlitePath(), first.path);
    }
    EXPECT_EQ(filesIn(cache).size(), 1);

    // A touched file is a new version: imported again, the old copy removed.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(
        file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    file.close();
    const CachedCopy touched = cachedSqliteCopy(path, cache);
    EXPECT_TRUE(touched.imported);
    EXPECT_NE(touched.path, first.path);
    EXPECT_EQ(filesIn(cache), QStringList {QFileInfo(touched.path).fileName()});

    // Another file of the same content has a copy of its own.
    const CachedCopy other = cachedSqliteCopy(accessFile(folder, "jet4-unicode.mdb", "other.mdb"), cache);
    EXPECT_TRUE(other.imported);
    EXPECT_EQ(filesIn(cache).size(), 2);
}

TEST(AccessCache, RemakesADamagedCopy)
{
    TestFolder folder;
    const QString cache = folder.file("cache");
    const QString path = accessFile(folder, "jet4-types.mdb");
    const CachedCopy made = cachedSqliteCopy(path, cache);
    ASSERT_FALSE(made.path.isEmpty());
    {
        QFile copy(made.path);
        ASSERT_TRUE(copy.open(QIODevice::WriteOnly | QIODevice::Truncate));
        copy.write(QByteArrayLiteral("SQLite format 3\0") + QByteArray(600, '\x13'));
    }
    auto db = Database::openQuietly(path, nullptr, cache);
    ASSERT_TRUE(db);
    EXPECT_EQ(rows(*db, "SELECT A FROM Table1 ORDER BY rowid"), (QList<QStringList> {{"abcdefg"}, {"a"}}));
}

TEST(ImportMdb, WritesTheCopyOnlyOnSuccess)
{
    TestFolder folder;
    const QString source = accessFile(folder, "jet4-types.mdb");
    const QString destination = folder.file("out.sqlite");
    const Status done = importMdb(source, destination);
    EXPECT_TRUE(done.ok()) << done.message().toStdString();
    EXPECT_TRUE(done.message().isEmpty());
    {
        auto db = Database::openQuietly(destination);
        ASSERT_TRUE(db);
        EXPECT_EQ(
            rows(*db, "SELECT E FROM Table1 ORDER BY rowid"), (QList<QStringList> {{"333333333"}, {"0"}}));
    }

    // A failed import leaves an existing destination as it was.
    const QString damaged
        = folder.write("damaged.mdb", QByteArray(source.size(), '\0').replace(4, 15, "Standard Jet DB"));
    const Status failed = importMdb(damaged, destination);
    EXPECT_FALSE(failed.ok());
    EXPECT_TRUE(failed.message().contains(damaged)) << failed.message().toStdString();
    EXPECT_TRUE(Database::openQuietly(destination));
    EXPECT_EQ(filesIn(folder.path()).filter(".part").size(), 0);
    EXPECT_EQ(folderEntries(folder.path()).filter(QStringLiteral(".out.sqlite.")).size(), 0);
}

TEST(ImportMdb, RefusesADestinationThatIsTheSourceOrReadOnly)
{
    const struct {
        const char *name;
        QString (*destination)(const TestFolder &folder, const QString &source);
        const char *reason;
    } cases[] = {
        {"the source's own name", [](const TestFolder &, const QString &source) { return source; },
            "そのものです"},
        {"a symbolic link to the source",
            [](const TestFolder &folder, const QString &source) {
                QFile::link(source, folder.file("link.sqlite"));
                return folder.file("link.sqlite");
            },
            "そのものです"},
        {"a path through another folder",
            [](const TestFolder &folder, const QString &) {
                QDir().mkpath(folder.file("sub"));
                return folder.file("sub/../jet4-types.mdb");
            },
            "そのものです"},
        {"a hard link to the source",
            [](const TestFolder &folder, const QString &source) {
                ::link(QFile::encodeName(source).constData(),
                    QFile::encodeName(folder.file("hard.sqlite")).constData());
                return folder.file("hard.sqlite");
            },
            "そのものです"},
        {"a read-only file",
            [](const TestFolder &folder, const QString &) {
                const QString path = folder.write("kept.sqlite", "the user's file");
                QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
                return path;
            },
            "読み取り専用"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder folder;
        const QString source = accessFile(folder, "jet4-types.mdb");
        QFile original(source);
        ASSERT_TRUE(original.open(QIODevice::ReadOnly));
        const QByteArray before = original.readAll();
        original.close();
        const QString destination = c.destination(folder, source);
        const QStringList entries = folderEntries(folder.path());
        QFile kept(destination);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        const QByteArray destinationBefore = kept.readAll();
        kept.close();

        const Status status = importMdb(source, destination);
        EXPECT_FALSE(status.ok());
        EXPECT_TRUE(status.message().contains(QString::fromUtf8(c.reason))) << status.message().toStdString();
        ASSERT_TRUE(original.open(QIODevice::ReadOnly));
        EXPECT_EQ(original.readAll(), before);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), destinationBefore);
        EXPECT_EQ(folderEntries(folder.path()), entries);
    }
}

TEST(ImportMdb, AFailureToSaveTheCopyKeepsTheOldDestination)
{
    using Call = FailingFileSystem::Call;
    const FailingFileSystem faults[] = {FailingFileSystem(Call::Sync, EIO),
        FailingFileSystem(Call::Close, ENOSPC), FailingFileSystem(Call::Rename, EACCES)};
    for (const auto &files : faults) {
        TestFolder folder;
        const QString source = accessFile(folder, "jet4-empty.mdb");
        const QString destination = folder.write("out.sqlite", "old copy");
        const QStringList entries = folderEntries(folder.path());
        const Status status = importMdb(source, destination, kImportTimeLimitSeconds, files);
        EXPECT_FALSE(status.ok());
        EXPECT_TRUE(status.message().contains(destination)) << status.message().toStdString();
        QFile kept(destination);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), QByteArray("old copy"));
        EXPECT_EQ(folderEntries(folder.path()), entries);
    }
}

TEST(ImportMdb, ARowThatCannotBeWrittenFailsTheImport)
{
    TestFolder folder;
    const QString destination = folder.file("out.sqlite");
    table1RowsBeforeAFailure = 1;  // the second row
    const QString source = accessFile(folder, "jet4-types.mdb");
    const Status status = importMdb(source, destination);
    table1RowsBeforeAFailure = -1;
    EXPECT_FALSE(status.ok());
    EXPECT_TRUE(status.message().contains(QStringLiteral("テーブル \"Table1\" の行を書き込めません")))
        << status.message().toStdString();
    // Said in Japanese, the cause too: never the statement or SQLite's English.
    EXPECT_TRUE(status.message().contains(QStringLiteral("ディスクがいっぱいです")))
        << status.message().toStdString();
    EXPECT_FALSE(status.message().contains(QStringLiteral("INSERT"))) << status.message().toStdString();
    EXPECT_FALSE(QFileInfo::exists(destination));
    EXPECT_EQ(folderEntries(folder.path()), QStringList {"jet4-types.mdb"});
}

TEST(ImportMdb, RefusesWhatIsNotAnAccessFile)
{
    TestFolder folder;
    const QString destination = folder.file("out.sqlite");
    const struct {
        QString source;
        const char *reason;
    } cases[] = {
        {folder.file("missing.mdb"), "がありません"},
        {folder.write("text.mdb", "hello"),
            "は SQLite のデータベースでも Access のデータベースでもありません"},
        {folder.write("sqlite.mdb", QByteArrayLiteral("SQLite format 3\0") + QByteArray(100, '\0')),
            "は SQLite のデータベースです"},
    };
    for (const auto &c : cases) {
        const Status status = importMdb(c.source, destination);
        EXPECT_FALSE(status.ok());
        EXPECT_TRUE(status.message().contains(c.reason)) << status.message().toStdString();
    }
    const Status noFolder
        = importMdb(accessFile(folder, "jet4-empty.mdb"), folder.file("no/such/out.sqlite"));
    EXPECT_FALSE(noFolder.ok());
    EXPECT_TRUE(noFolder.message().contains(QStringLiteral("のフォルダがありません")));
    EXPECT_FALSE(QFileInfo::exists(destination));
}

TEST(ImportMdb, StopsAReaderThatRunsOutOfTime)
{
    TestFolder folder;
    const QString destination = folder.file("out.sqlite");
    const Status status = importMdb(accessFile(folder, "jet4-types.mdb"), destination, 0);
    EXPECT_FALSE(status.ok());
    EXPECT_TRUE(status.message().contains(QStringLiteral("0 秒を超えた"))) << status.message().toStdString();
    EXPECT_FALSE(QFileInfo::exists(destination));
    EXPECT_EQ(filesIn(folder.path()).filter(".part").size(), 0);
    EXPECT_EQ(folderEntries(folder.path()).filter(QStringLiteral(".out.sqlite.")).size(), 0);
}
