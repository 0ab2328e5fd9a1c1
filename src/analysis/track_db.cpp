#include "analysis/track_db.h"

#include "app/db/database.h"
#include "app/db/stored_date.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

// NOTES ON THE DESIGN
// - Dates are stored as ISO text ('YYYY-MM-DD', an imported Access DateTime with
//   a time of day adds ' HH:MM:SS'). A run's day is matched as the half-open text
//   range [that day, the next day), which takes both forms of the day and, unlike
//   substr(S_date, 1, 10), lets SQLite use an index that starts with S_date.
// - Course and surface are bound values, so a course text with an apostrophe is
//   an ordinary value that finds its rows.
// - Each statement is prepared on first use and kept; a statement that fails to
//   prepare (a table or column missing) is tried again on the next call, so the
//   error is reported for every lookup and nothing is left half-initialised.
// - "First row wins": LIMIT 1 keeps the first row in the engine's order (table
//   order for a table scan, index order, which for equal keys is table order).
// - A row whose value is Null or not a number is an error, not a missing value: it
//   is a damaged table, and the analysis reports it like a failed query.

namespace marunoki {

namespace {

const QString kVariantSql = QStringLiteral(
    "SELECT S_sisuu FROM T_sisuu WHERE S_date >= ? AND S_date < ? AND S_zyo = ? AND S_siba = ? LIMIT 1");
const QString kCentralAverageSql = QStringLiteral(
    "SELECT A_time FROM T_avetime WHERE A_class = 'ave' AND A_kyori = ? AND A_zyo = ? AND A_siba = ? LIMIT 1");
const QString kLocalAverageSql = QStringLiteral(
    "SELECT A_time FROM T_avetime WHERE A_class = 'ave' AND A_kyori = ? AND A_sin_kyu = 1 AND A_zyo = ? "
    "AND A_siba = ? LIMIT 1");

Lookup failed(const QString &what, const QSqlQuery &query)
{
    Lookup result;
    result.error = what + QStringLiteral(": ") + query.lastError().text();
    return result;
}

// Runs a prepared statement whose values are bound and reads the first row's
// only column as a single-precision value.
Lookup firstValue(QSqlQuery &query, const QString &what)
{
    if (!query.exec()) {
        Lookup result = failed(what, query);
        query.finish();
        return result;
    }
    Lookup result;
    if (query.next()) {
        const QVariant value = query.value(0);
        bool number = false;
        const float f = value.isNull() ? 0.0f : value.toFloat(&number);
        if (number) {
            result.ok = true;
            result.value = f;
        } else {
            result.error = what + (value.isNull() ? QStringLiteral(": the value is Null")
                                                  : QStringLiteral(": the value is not a number: ") +
                                                        value.toString());
        }
    } else if (query.lastError().isValid()) {
        result = failed(what, query);
    } else {
        result.ok = true;  // no row: the value is missing
    }
    // Releases the statement's read lock; the prepared statement stays.
    query.finish();
    return result;
}

}  // namespace

struct TrackDatabase::Statements {
    explicit Statements(const QSqlDatabase &db) : variant(db), average(db)
    {
        variant.setForwardOnly(true);
        average.setForwardOnly(true);
    }
    QSqlQuery variant;
    QSqlQuery average;
    bool variantPrepared = false;
    bool averagePrepared = false;
};

TrackDatabase::TrackDatabase(Database &db, Kind kind)
    : db_(db), kind_(kind), statements_(std::make_unique<Statements>(db.connection()))
{
}

TrackDatabase::~TrackDatabase() = default;

std::optional<double> TrackDatabase::issueDate()
{
    QSqlQuery query(db_.connection());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT * FROM version ")))
        return std::nullopt;
    const int column = query.record().indexOf(QStringLiteral("date"));
    if (column < 0)
        return std::nullopt;
    if (!query.next())
        return query.lastError().isValid() ? std::nullopt : std::optional<double>(0.0);
    const QVariant value = query.value(column);
    if (value.isNull())
        return std::nullopt;
    return serialFromStored(value.toString().toStdString());
}

Lookup TrackDatabase::trackVariant(double runDate, const QString &course, qint32 surface)
{
    static const QString what = QStringLiteral("T_sisuu");
    QSqlQuery &query = statements_->variant;
    if (!statements_->variantPrepared) {
        if (!query.prepare(kVariantSql))
            return failed(what, query);
        statements_->variantPrepared = true;
    }
    query.bindValue(0, QString::fromStdString(storedDay(runDate)));
    query.bindValue(1, QString::fromStdString(storedNextDay(runDate)));
    query.bindValue(2, course);
    query.bindValue(3, surface);
    return firstValue(query, what);
}

Lookup TrackDatabase::averageTime(qint32 distance, const QString &course, qint32 surface)
{
    static const QString what = QStringLiteral("T_avetime");
    QSqlQuery &query = statements_->average;
    if (!statements_->averagePrepared) {
        if (!query.prepare(kind_ == Kind::Local ? kLocalAverageSql : kCentralAverageSql))
            return failed(what, query);
        statements_->averagePrepared = true;
    }
    query.bindValue(0, distance);
    query.bindValue(1, course);
    query.bindValue(2, surface);
    return firstValue(query, what);
}

}  // namespace marunoki
