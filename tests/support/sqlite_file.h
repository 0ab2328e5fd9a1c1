#pragma once
// Writes small SQLite files for tests: a writable connection of its own, closed
// and removed when the object goes away.

#include <QString>
#include <QVariantList>

namespace marunoki::test {

class SqliteFile {
public:
    // Creates (or opens) the file.
    explicit SqliteFile(const QString &path);
    ~SqliteFile();
    SqliteFile(const SqliteFile &) = delete;
    SqliteFile &operator=(const SqliteFile &) = delete;

    // Runs one statement with its values bound in order; fails the test on error.
    void exec(const QString &sql, const QVariantList &values = {});
    // Runs one prepared statement once per row of values, in one transaction.
    void insertRows(const QString &sql, const QList<QVariantList> &rows);

private:
    QString connectionName_;
};

// The schema of the track database marunoki.dat (version, T_sisuu, T_avetime)
// without indexes, as an outside tool may write it.
void createTrackTables(SqliteFile &file);

}  // namespace marunoki::test
