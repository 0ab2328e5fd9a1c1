#include "db/database.h"

#include "app/message_sink.h"
#include "db/access_cache.h"
#include "db/file_format.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUuid>

#include <sqlite3.h>

namespace marunoki {

namespace {

struct Opened {
    QString connectionName;
    sqlite3 *native = nullptr;
    QString error;
};

// A file for SQLite to open: `path` on disk, named `shown` in messages (the
// user's file for a private copy). An immutable file is read without locks and
// without SQLite looking for a log or making a "-shm" file beside it: only for
// files that nothing writes meanwhile.
struct SqliteFile {
    QString path;
    QString shown;
    bool immutable = false;
};

// What sqlite3_open_v2 is given: the path, or for an immutable file a "file:"
// URI (opened with SQLITE_OPEN_URI) carrying that option.
QByteArray sqliteName(const SqliteFile &file)
{
    if (!file.immutable)
        return QFile::encodeName(file.path);
    const QByteArray path = QFile::encodeName(QFileInfo(file.path).absoluteFilePath());
    // Everything but unreserved characters and '/' is percent-encoded, so '?',
    // '#' and '%' in a folder name stay part of the path.
    QByteArray uri = QByteArrayLiteral("file://");
    if (!path.startsWith('/'))
        uri += '/';  // "C:/..." on Windows
    return uri + path.toPercentEncoding("/") + QByteArrayLiteral("?immutable=1");
}

// The native read-only connection; null (and the reason in error) on failure.
sqlite3 *openNative(const SqliteFile &file, QString &error)
{
    sqlite3 *handle = nullptr;
    const int flags = SQLITE_OPEN_READONLY | (file.immutable ? SQLITE_OPEN_URI : 0);
    const int rc = sqlite3_open_v2(sqliteName(file).constData(), &handle, flags, nullptr);
    if (rc == SQLITE_OK
        && sqlite3_exec(handle, "PRAGMA locking_mode = EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK)
        return handle;
    error = QString::fromUtf8(handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc));
    sqlite3_close(handle);
    return nullptr;
}

QString unreadable(const QString &file, const QString &why)
{
    return QStringLiteral("%1 cannot be read as an SQLite database: %2").arg(file, why);
}

// Opens an SQLite file read-only under a fresh connection name and checks that
// SQLite can read its schema (SQLite opens lazily, so a damaged file would
// otherwise only fail at the first query).
Opened openSqlite(const SqliteFile &file)
{
    const QString name = QStringLiteral("marunoki-db-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file.immutable ? QString::fromLatin1(sqliteName(file)) : file.path);
        db.setConnectOptions(file.immutable ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI")
                                            : QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery probe(db);
            // The connection only reads; keeping its shared lock once taken saves
            // the lock and unlock calls around every query (a third of a
            // lookup's time). Another program cannot write the file meanwhile.
            if (!probe.exec(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"))
                || !probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
                error = probe.lastError().text();
        }
    }
    sqlite3 *native = error.isEmpty() ? openNative(file, error) : nullptr;
    if (!error.isEmpty()) {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
        return {QString(), nullptr, unreadable(file.shown, error)};
    }
    return {name, native, QString()};
}

// Bytes 18 and 19 of an SQLite header are the file format's write and read
// versions: 1 for a rollback journal, 2 for a write-ahead log.
bool headerSaysWal(const QString &file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = in.read(20);
    return head.size() == 20 && (head[18] == 2 || head[19] == 2);
}

// A non-empty log beside the file. SQLite reads one whatever the header says,
// and it may hold committed transactions not yet in the file.
bool hasLog(const QString &file)
{
    const QFileInfo log(file + QStringLiteral("-wal"));
    return log.isFile() && log.size() > 0;
}

bool copyPrivately(const QString &from, const QString &to, QString &why)
{
    QFile in(from);
    if (!in.copy(to)) {
        why = QStringLiteral("%1 cannot be copied: %2").arg(from, in.errorString());
        return false;
    }
    // The copy keeps the user's permissions, which may not let even its owner write.
    QFile::setPermissions(to, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return true;
}

// Lets SQLite replay the log's committed transactions into the copy and switch
// it to a rollback journal, which drops the log: the copy then opens like any
// other file. Empty on success, else why not.
QString foldLog(const QString &copy, const QString &shown)
{
    sqlite3 *handle = nullptr;
    QString mode;
    int rc = sqlite3_open_v2(QFile::encodeName(copy).constData(), &handle, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_stmt *statement = nullptr;
        rc = sqlite3_prepare_v2(handle, "PRAGMA journal_mode = DELETE", -1, &statement, nullptr);
        if (rc == SQLITE_OK && (rc = sqlite3_step(statement)) == SQLITE_ROW) {
            mode = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
            rc = SQLITE_OK;
        }
        sqlite3_finalize(statement);
    }
    QString error;
    if (rc != SQLITE_OK)
        error = QString::fromUtf8(handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc));
    else if (mode != QStringLiteral("delete"))
        error = QStringLiteral("ログをファイルにまとめられません（ジャーナルモード %1）").arg(mode);
    sqlite3_close(handle);
    return error.isEmpty() ? QString() : unreadable(shown, error);
}

struct PrivateCopy {
    std::unique_ptr<QTemporaryDir> folder;
    QString path;
    QString error;
};

// Copies the file and its log into a private temporary folder and folds the
// log into the copy. The log is copied first: should a writer fold it into the
// file meanwhile, replaying it again over the newer file repeats pages the file
// already holds.
PrivateCopy copyWithLog(const QString &file)
{
    PrivateCopy result;
    result.folder
        = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/marunoki-wal-XXXXXX"));
    if (!result.folder->isValid()) {
        result.error = QStringLiteral("%1 のログを読むための一時フォルダを作れません: %2")
                           .arg(file, result.folder->errorString());
        return result;
    }
    const QString copy = result.folder->filePath(QStringLiteral("copy.sqlite"));
    QString why;
    if (!copyPrivately(file + QStringLiteral("-wal"), copy + QStringLiteral("-wal"), why)
        || !copyPrivately(file, copy, why))
        result.error = why;
    else
        result.error = foldLog(copy, file);
    if (result.error.isEmpty())
        result.path = copy;
    return result;
}

}  // namespace

Database::Database(QString sourcePath, QString sqlitePath, QString connectionName, sqlite3 *native,
    std::unique_ptr<QTemporaryDir> privateFolder)
    : sourcePath_(std::move(sourcePath))
    , sqlitePath_(std::move(sqlitePath))
    , connectionName_(std::move(connectionName))
    , native_(native)
    , privateFolder_(std::move(privateFolder))
{ }

Database::~Database()
{
    // sqlite3_close_v2 waits for statements a careless user has not finalised.
    sqlite3_close_v2(native_);
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
}

QSqlDatabase Database::connection() const
{
    return QSqlDatabase::database(connectionName_, false);
}

QString Database::defaultCacheFolder()
{
    const QString xdg = qEnvironmentVariable("XDG_CACHE_HOME");
    const QString base
        = xdg.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) : xdg;
    return base + QStringLiteral("/marunoki");
}

std::unique_ptr<Database> Database::openQuietly(
    const QString &path, QString *error, const QString &cacheFolder)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return std::unique_ptr<Database>();
    };
    const FormatProbe probe = probeDatabaseFormat(path);
    switch (probe.format) {
    case DatabaseFormat::SQLite: {
        // A read-only connection cannot use a write-ahead log without making
        // "-wal" and "-shm" files beside the file. A log with data is read
        // through a private copy; a WAL-mode file without one as immutable,
        // which takes no lock: a program writing the file meanwhile is not
        // kept out, as it is from a rollback-journal file.
        if (hasLog(path)) {
            PrivateCopy copy = copyWithLog(path);
            if (copy.path.isEmpty())
                return fail(copy.error);
            const Opened opened = openSqlite({copy.path, path, false});
            if (opened.connectionName.isEmpty())
                return fail(opened.error);
            return std::unique_ptr<Database>(
                new Database(path, copy.path, opened.connectionName, opened.native, std::move(copy.folder)));
        }
        const Opened opened = openSqlite({path, path, headerSaysWal(path)});
        if (opened.connectionName.isEmpty())
            return fail(opened.error);
        return std::unique_ptr<Database>(new Database(path, path, opened.connectionName, opened.native));
    }
    case DatabaseFormat::Access: {
        const QString folder = cacheFolder.isEmpty() ? defaultCacheFolder() : cacheFolder;
        CachedCopy copy = cachedSqliteCopy(path, folder);
        if (copy.path.isEmpty())
            return fail(copy.error);
        Opened opened = openSqlite({copy.path, copy.path});
        if (opened.connectionName.isEmpty() && !copy.imported) {
            // The copy was damaged after it was made: make it again, once.
            copy = cachedSqliteCopy(path, folder, true);
            if (copy.path.isEmpty())
                return fail(copy.error);
            opened = openSqlite({copy.path, copy.path});
        }
        if (opened.connectionName.isEmpty())
            return fail(opened.error);
        return std::unique_ptr<Database>(new Database(path, copy.path, opened.connectionName, opened.native));
    }
    case DatabaseFormat::Missing:
    case DatabaseFormat::Unreadable:
    case DatabaseFormat::Unknown:
        break;
    }
    return fail(probe.error);
}

std::unique_ptr<Database> Database::open(
    const QString &path, MessageSink &messages, const QString &cacheFolder)
{
    QString error;
    auto db = openQuietly(path, &error, cacheFolder);
    if (!db) {
        // One message; why the file could not be opened is its detail.
        messages.detailedMessage(
            QStringLiteral("dataファイルが開けません"), QFileInfo::exists(path) ? error : QString());
    }
    return db;
}

}  // namespace marunoki
