#include "support/sqlite_file.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <gtest/gtest.h>

namespace marunoki::test {

SqliteFile::SqliteFile(const QString &path)
    : connectionName_(QStringLiteral("test-writer-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
    db.setDatabaseName(path);
    EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
}

SqliteFile::~SqliteFile()
{
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
}

void SqliteFile::exec(const QString &sql, const QVariantList &values)
{
    insertRows(sql, {values});
}

void SqliteFile::insertRows(const QString &sql, const QList<QVariantList> &rows)
{
    QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    db.transaction();
    {
        QSqlQuery query(db);
        ASSERT_TRUE(query.prepare(sql))
            << sql.toStdString() << ": " << query.lastError().text().toStdString();
        for (const QVariantList &row : rows) {
            for (int i = 0; i < row.size(); ++i)
                query.bindValue(i, row[i]);
            ASSERT_TRUE(query.exec()) << sql.toStdString() << ": " << query.lastError().text().toStdString();
        }
    }
    db.commit();
}

void createTrackTables(SqliteFile &file)
{
    file.exec(QStringLiteral("CREATE TABLE version(date TEXT)"));
    file.exec(QStringLiteral("CREATE TABLE T_sisuu(S_date TEXT, S_zyo TEXT, S_siba INTEGER, S_sisuu REAL)"));
    file.exec(
        QStringLiteral("CREATE TABLE T_avetime(A_class TEXT, A_kyori INTEGER, A_zyo TEXT, A_siba INTEGER, "
                       "A_time REAL, A_sin_kyu INTEGER)"));
}

}  // namespace marunoki::test
