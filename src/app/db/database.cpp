#include "app/db/database.h"

#include "app/db/access_cache.h"
#include "app/db/file_format.h"
#include "app/message_sink.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUuid>

#include <sqlite3.h>

namespace marunoki {

namespace {

struct Opened {
    QString connectionName;
    sqlite3 *native = nullptr;
    QString error;
};

// The native read-only connection; null (and the reason in error) on failure.
sqlite3 *openNative(const QString &file, QString &error)
{
    sqlite3 *handle = nullptr;
    const int rc
        = sqlite3_open_v2(QFile::encodeName(file).constData(), &handle, SQLITE_OPEN_READONLY, nullptr);
    if (rc == SQLITE_OK
        && sqlite3_exec(handle, "PRAGMA locking_mode = EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK)
        return handle;
    error = QString::fromUtf8(handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc));
    sqlite3_close(handle);
    return nullptr;
}

// Opens an SQLite file read-only under a fresh connection name and checks that
// SQLite can read its schema (SQLite opens lazily, so a damaged file would
// otherwise only fail at the first query).
Opened openSqlite(const QString &file)
{
    const QString name = QStringLiteral("marunoki-db-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
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
        if (!error.isEmpty())
            db.close();
    }
    sqlite3 *native = error.isEmpty() ? openNative(file, error) : nullptr;
    if (!error.isEmpty()) {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
        return {QString(), nullptr,
            QStringLiteral("%1 cannot be read as an SQLite database: %2").arg(file, error)};
    }
    return {name, native, QString()};
}

}  // namespace

Database::Database(QString sourcePath, QString sqlitePath, QString connectionName, sqlite3 *native)
    : sourcePath_(std::move(sourcePath))
    , sqlitePath_(std::move(sqlitePath))
    , connectionName_(std::move(connectionName))
    , native_(native)
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
        const Opened opened = openSqlite(path);
        if (opened.connectionName.isEmpty())
            return fail(opened.error);
        return std::unique_ptr<Database>(new Database(path, path, opened.connectionName, opened.native));
    }
    case DatabaseFormat::Access: {
        const QString folder = cacheFolder.isEmpty() ? defaultCacheFolder() : cacheFolder;
        CachedCopy copy = cachedSqliteCopy(path, folder);
        if (copy.path.isEmpty())
            return fail(copy.error);
        Opened opened = openSqlite(copy.path);
        if (opened.connectionName.isEmpty() && !copy.imported) {
            // The copy was damaged after it was made: make it again, once.
            copy = cachedSqliteCopy(path, folder, true);
            if (copy.path.isEmpty())
                return fail(copy.error);
            opened = openSqlite(copy.path);
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
        messages.message(QStringLiteral("dataファイルが開けません"));
        if (QFileInfo::exists(path))
            messages.message(error);
    }
    return db;
}

}  // namespace marunoki
