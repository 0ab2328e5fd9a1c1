#pragma once
// A database file of the program, open for reading.
//
// SQLite is the native form of every database file. A Microsoft Access (Jet 3/4)
// file, which users already own, is recognised by its first bytes and imported
// once into a cached SQLite copy (keyed by the file's path, size and modification
// time); the Access file itself is never written. Everything above this class
// sees SQLite only.
//
// One Database is one connection, used from the thread that opened it.

#include <QSqlDatabase>
#include <QString>

#include <memory>

namespace marunoki {

class MessageSink;

class Database {
public:
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens the file. On failure shows "dataファイルが開けません" (and for a file
    // that is there but unreadable, a second message saying why) and returns null.
    static std::unique_ptr<Database> open(const QString &path, MessageSink &messages);

    // Opens without showing anything; the reason goes to *error when given.
    static std::unique_ptr<Database> openQuietly(const QString &path, QString *error = nullptr);

    // The SQLite connection (the cached copy for an Access file).
    QSqlDatabase connection() const;
    // The file that was opened, as given.
    const QString &sourcePath() const { return sourcePath_; }

private:
    Database(QString sourcePath, QString connectionName);
    QString sourcePath_;
    QString connectionName_;
};

}  // namespace marunoki
