#pragma once
// A database file of the program, open for reading.
//
// SQLite is the native form of every database file. A Microsoft Access (Jet 3/4)
// file, which users already own, is recognised by its first bytes and imported
// once into a cached SQLite copy (keyed by the file's path, size and modification
// time); the Access file itself is never written. Everything above this class
// sees SQLite only.
//
// One Database is one connection, used from the thread that opened it. The
// connection is read-only. Queries made on it (QSqlQuery, TrackDatabase) must be
// destroyed before the Database.
//
// An SQLite file in write-ahead-log (WAL) mode is read without writing beside
// it: with no log, or an empty one, it is opened as immutable; with a log, the
// file and its log are copied into a private temporary folder, the log folded
// into the copy, and the copy opened (the folder goes with the Database).
//
// The cached copies live in cacheFolder (one file per version of each Access
// file; an older version's copy is removed when a newer one is made). An empty
// cacheFolder means defaultCacheFolder().

#include <QSqlDatabase>
#include <QString>

#include <memory>

class QTemporaryDir;
struct sqlite3;

namespace marunoki {

class MessageSink;

class Database {
public:
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens the file. On failure shows "dataファイルが開けません" (for a file that
    // is there but unreadable, with the reason as the message's detail) and
    // returns null.
    static std::unique_ptr<Database> open(
        const QString &path, MessageSink &messages, const QString &cacheFolder = QString());

    // Opens without showing anything; the reason goes to *error when given.
    static std::unique_ptr<Database> openQuietly(
        const QString &path, QString *error = nullptr, const QString &cacheFolder = QString());

    // The user's cache folder for the imported copies: $XDG_CACHE_HOME/marunoki,
    // else the platform's generic cache location + "/marunoki".
    static QString defaultCacheFolder();

    // The SQLite connection (the cached copy for an Access file).
    QSqlDatabase connection() const;
    // A second, native read-only connection to the same file, for hot paths that
    // cannot afford Qt's per-query overhead (the track lookups). Owned here.
    sqlite3 *nativeHandle() const { return native_; }
    // The file that was opened, as given.
    const QString &sourcePath() const { return sourcePath_; }
    // The SQLite file behind the connection: the source itself, its cached copy,
    // or the private copy of a WAL-mode file with its log.
    const QString &sqlitePath() const { return sqlitePath_; }

private:
    Database(QString sourcePath, QString sqlitePath, QString connectionName, sqlite3 *native,
        std::unique_ptr<QTemporaryDir> privateFolder = nullptr);
    QString sourcePath_;
    QString sqlitePath_;
    QString connectionName_;
    sqlite3 *native_ = nullptr;
    // Holds the private copy of a WAL-mode file; removed after the connections close.
    std::unique_ptr<QTemporaryDir> privateFolder_;
};

}  // namespace marunoki
