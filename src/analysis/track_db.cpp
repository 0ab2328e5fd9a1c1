#include "analysis/track_db.h"

#include "app/regular_file.h"
#include "db/database.h"
#include "db/file_format.h"
#include "db/stored_date.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <sqlite3.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <tuple>
#include <unordered_map>

// NOTES ON THE DESIGN
// - Dates are stored as ISO text ('YYYY-MM-DD', an imported Access DateTime with
//   a time of day adds ' HH:MM:SS'). A run's day is matched as the half-open text
//   range [that day, the next day), which takes both forms of the day and, unlike
//   substr(S_date, 1, 10), lets SQLite use an index that starts with S_date.
// - Course and surface are bound values, so a course text with an apostrophe is
//   an ordinary value that finds its rows.
// - The lookups run on the database's native SQLite connection: Qt's per-query
//   work (column metadata, QVariant per value) would cost more than the lookup.
// - Each statement is prepared on first use and kept; a statement that fails to
//   prepare (a table or column missing) is tried again on the next call, so the
//   error is reported for every lookup and nothing is left half-initialised.
// - One race's 900 past runs fall on far fewer race days, and its runners share
//   courses and distances. So the track variants are read a day at a time (one
//   query gives every row of that day) and both kinds of answer are remembered
//   for the life of the object; the reference data does not change while the
//   program reads it. A failed query is not remembered.
// - A file written by an outside tool may have no index on S_date; then every day
//   query would scan the whole table. For such a file the whole table is read
//   once instead and sorted into days by the date at the start of S_date (a row
//   whose S_date does not start with a date belongs to no day).
// - "First row wins": the day query returns rows in the engine's order (index
//   order, which for equal keys is table order, or table order for a scan), and
//   of the rows of one course and surface the first is kept: the row the single
//   lookup "... AND S_zyo = ? AND S_siba = ? LIMIT 1" would have returned.
//   Course and surface match as SQLite compares them in the fixed schema (S_zyo
//   text exactly; S_siba an INTEGER column, so an integral number equals the code
//   and a Null or a text never does).
// - A row whose value is Null or not a number is an error, not a missing value: it
//   is a damaged table, and the analysis reports it like a failed query.

namespace marunoki {

namespace {

// Every table and column the lookups read, asked for without reading a row.
const char kVariantColumnsSql[] = "SELECT S_date, S_zyo, S_siba, S_sisuu FROM T_sisuu LIMIT 0";
const char kAverageColumnsSql[] = "SELECT A_class, A_kyori, A_zyo, A_siba, A_time FROM T_avetime LIMIT 0";

}  // namespace

OpenedTrackFile openTrackFile(const QString &path)
{
    const FormatProbe probe = probeDatabaseFormat(path);
    switch (probe.format) {
    case DatabaseFormat::Missing:
        return {nullptr, Status::failure(QStringLiteral("ファイルがありません"))};
    case DatabaseFormat::Unreadable:
        return {nullptr, readRegularFile(path, 1).status};
    case DatabaseFormat::Unknown:
        return {nullptr,
            Status::failure(QStringLiteral("SQLite のデータベースでも Access のデータベースでもありません"))};
    case DatabaseFormat::SQLite:
    case DatabaseFormat::Access:
        break;
    }
    QString error;
    std::unique_ptr<Database> db = Database::openQuietly(path, &error);
    if (!db) {
        // The database layer names the file; the caller names it already.
        if (error.startsWith(path + u' '))
            error.remove(0, path.size() + 1);
        return {nullptr, Status::failure(QStringLiteral("データベースとして開けません（%1）").arg(error))};
    }
    // A file cut short opens (SQLite reads its first page only) and fails at the
    // first lookup that reaches a page it lost.
    QString damage;
    {
        QSqlQuery check(db->connection());
        if (!check.exec(QStringLiteral("PRAGMA quick_check(1)")) || !check.next())
            damage = check.lastError().text();
        else if (check.value(0).toString() != QLatin1String("ok"))
            damage = check.value(0).toString();
    }
    if (!damage.isEmpty())
        return {nullptr, Status::failure(QStringLiteral("データベースが壊れています（%1）").arg(damage))};
    // A sound database of something else (an empty Access file, another
    // program's SQLite file) would give every run a failed lookup: it is no
    // track database, and the load stops before it fetches a page.
    for (const char *columns : {kVariantColumnsSql, kAverageColumnsSql}) {
        QSqlQuery tables(db->connection());
        if (!tables.exec(QString::fromLatin1(columns)))
            return {nullptr,
                Status::failure(
                    QStringLiteral("指数の表がありません（%1）").arg(tables.lastError().databaseText()))};
    }
    return {std::move(db), Status::success()};
}

namespace {

const char kDaySql[] = "SELECT S_zyo, S_siba, S_sisuu FROM T_sisuu WHERE S_date >= ? AND S_date < ?";
const char kAllDaysSql[] = "SELECT S_zyo, S_siba, S_sisuu, S_date FROM T_sisuu";
const char kDayIndexSql[]
    = "SELECT count(*) FROM pragma_index_list('T_sisuu') AS l, pragma_index_info(l.name) AS i "
      "WHERE i.seqno = 0 AND i.name = 'S_date' COLLATE NOCASE";
const char kCentralAverageSql[] = "SELECT A_time FROM T_avetime WHERE A_class = 'ave' AND A_kyori = ? AND "
                                  "A_zyo = ? AND A_siba = ? LIMIT 1";
const char kLocalAverageSql[] = "SELECT A_time FROM T_avetime WHERE A_class = 'ave' AND A_kyori = ? AND "
                                "A_sin_kyu = 1 AND A_zyo = ? AND A_siba = ? LIMIT 1";

// A stored value as the lookups need it: a number, Null, or a text that is not
// a number (kept for the error message).
struct Stored {
    enum class Kind { Number, Null, Other } kind = Kind::Null;
    double number = 0;
    std::string text;
};

Stored storedValue(sqlite3_stmt *statement, int column)
{
    Stored value;
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        value.kind = Stored::Kind::Number;
        value.number = sqlite3_column_double(statement, column);
        return value;
    case SQLITE_NULL:
        return value;
    default: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
        value.text = text ? text : "";
        // A number kept as text in a column without numeric affinity still reads as one.
        char *end = nullptr;
        const double number = std::strtod(value.text.c_str(), &end);
        const bool whole = !value.text.empty() && end && *end == '\0' && std::isfinite(number);
        value.kind = whole ? Stored::Kind::Number : Stored::Kind::Other;
        value.number = number;
        return value;
    }
    }
}

// The surface code (or distance) a stored INTEGER-column value equals, if any.
std::optional<qint64> storedInteger(sqlite3_stmt *statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return sqlite3_column_int64(statement, column);
    case SQLITE_FLOAT: {
        const double d = sqlite3_column_double(statement, column);
        if (d == std::floor(d) && std::fabs(d) < 1e15)
            return static_cast<qint64>(d);
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

Lookup answer(const Stored *row, const QString &what)
{
    Lookup result;
    if (!row) {
        result.ok = true;  // no row: the value is missing
    } else if (row->kind == Stored::Kind::Number) {
        result.ok = true;
        result.value = static_cast<float>(row->number);
    } else {
        result.error = what
            + (row->kind == Stored::Kind::Null
                    ? QStringLiteral(": the value is Null")
                    : QStringLiteral(": the value is not a number: ") + QString::fromStdString(row->text));
    }
    return result;
}

Lookup failure(const QString &what, sqlite3 *db)
{
    Lookup result;
    result.error = what + QStringLiteral(": ")
        + (db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("the database is not open"));
    return result;
}

// A prepared statement, finalised with its owner.
class Statement {
public:
    Statement() = default;
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    // Prepares on first use; false (leaving nothing prepared) on failure.
    bool ready(sqlite3 *db, const char *sql)
    {
        if (!stmt_ && db
            && sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr) != SQLITE_OK) {
            sqlite3_finalize(stmt_);
            stmt_ = nullptr;
        }
        return stmt_ != nullptr;
    }
    sqlite3_stmt *get() const { return stmt_; }

private:
    sqlite3_stmt *stmt_ = nullptr;
};

void bindText(sqlite3_stmt *statement, int index, const std::string &text)
{
    sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void bindText(sqlite3_stmt *statement, int index, const QString &text)
{
    bindText(statement, index, text.toStdString());
}

using CourseSurface = std::pair<QString, qint64>;
using AverageKey = std::tuple<qint32, QString, qint32>;
// The first S_sisuu of each course and surface of one day.
using DayRows = std::map<CourseSurface, Stored>;

// Adds the row the statement stands on to its day's rows unless an earlier row
// of the same course and surface is there.
void keepFirst(DayRows &rows, sqlite3_stmt *statement)
{
    const std::optional<qint64> siba = storedInteger(statement, 1);
    if (sqlite3_column_type(statement, 0) != SQLITE_TEXT || !siba)
        return;
    const auto *zyo = reinterpret_cast<const char *>(sqlite3_column_text(statement, 0));
    const CourseSurface key {QString::fromUtf8(zyo, sqlite3_column_bytes(statement, 0)), *siba};
    if (!rows.count(key))
        rows.emplace(key, storedValue(statement, 2));
}

// True unless the file surely has no index that starts with S_date.
bool hasDayIndex(sqlite3 *db)
{
    sqlite3_stmt *statement = nullptr;
    bool indexed = true;
    if (sqlite3_prepare_v2(db, kDayIndexSql, -1, &statement, nullptr) == SQLITE_OK
        && sqlite3_step(statement) == SQLITE_ROW)
        indexed = sqlite3_column_int(statement, 0) > 0;
    sqlite3_finalize(statement);
    return indexed;
}

}  // namespace

struct TrackDatabase::Statements {
    Statement day;
    Statement average;
    std::optional<bool> dayIndexed;
    bool allDaysRead = false;  // days holds every day of the table
    std::unordered_map<qint64, DayRows> days;  // by whole serial day
    std::map<AverageKey, std::optional<Stored>> averages;

    // Reads the whole table into days; false (days untouched) on failure.
    bool readAllDays(sqlite3 *db)
    {
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(db, kAllDaysSql, -1, &statement, nullptr) != SQLITE_OK) {
            sqlite3_finalize(statement);
            return false;
        }
        std::unordered_map<qint64, DayRows> read;
        int rc;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            const auto *date = reinterpret_cast<const char *>(sqlite3_column_text(statement, 3));
            if (!date || sqlite3_column_bytes(statement, 3) < 10)
                continue;
            const std::optional<double> serial = serialFromStored(std::string(date, 10));
            if (serial)
                keepFirst(read[static_cast<qint64>(*serial)], statement);
        }
        sqlite3_finalize(statement);
        if (rc != SQLITE_DONE)
            return false;
        days = std::move(read);
        allDaysRead = true;
        return true;
    }
};

TrackDatabase::TrackDatabase(Database &db, Kind kind)
    : db_(db)
    , kind_(kind)
    , statements_(std::make_unique<Statements>())
{ }

TrackDatabase::~TrackDatabase() = default;

std::optional<double> TrackDatabase::issueDate()
{
    // Read once, through the ordinary connection: "SELECT *" and a column by name.
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
    const auto day = static_cast<qint64>(std::trunc(runDate));
    sqlite3 *db = db_.nativeHandle();
    if (!statements_->dayIndexed && db)
        statements_->dayIndexed = hasDayIndex(db);
    if (statements_->dayIndexed == false && !statements_->allDaysRead && !statements_->readAllDays(db))
        return failure(what, db);
    auto known = statements_->days.find(day);
    if (known == statements_->days.end() && statements_->allDaysRead)
        return answer(nullptr, what);
    if (known == statements_->days.end()) {
        if (!statements_->day.ready(db, kDaySql))
            return failure(what, db);
        sqlite3_stmt *statement = statements_->day.get();
        bindText(statement, 1, storedDay(runDate));
        bindText(statement, 2, storedNextDay(runDate));
        DayRows rows;
        int rc;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
            keepFirst(rows, statement);
        const Lookup error = rc == SQLITE_DONE ? Lookup() : failure(what, db);
        sqlite3_reset(statement);
        if (rc != SQLITE_DONE)
            return error;
        known = statements_->days.emplace(day, std::move(rows)).first;
    }
    const auto row = known->second.find({course, surface});
    return answer(row == known->second.end() ? nullptr : &row->second, what);
}

Lookup TrackDatabase::averageTime(qint32 distance, const QString &course, qint32 surface)
{
    static const QString what = QStringLiteral("T_avetime");
    const AverageKey key {distance, course, surface};
    if (const auto known = statements_->averages.find(key); known != statements_->averages.end())
        return answer(known->second ? &*known->second : nullptr, what);
    sqlite3 *db = db_.nativeHandle();
    if (!statements_->average.ready(db, kind_ == Kind::Local ? kLocalAverageSql : kCentralAverageSql))
        return failure(what, db);
    sqlite3_stmt *statement = statements_->average.get();
    sqlite3_bind_int(statement, 1, distance);
    bindText(statement, 2, course);
    sqlite3_bind_int(statement, 3, surface);
    std::optional<Stored> row;
    const int rc = sqlite3_step(statement);
    if (rc == SQLITE_ROW)
        row = storedValue(statement, 0);
    const bool ok = rc == SQLITE_ROW || rc == SQLITE_DONE;
    const Lookup error = ok ? Lookup() : failure(what, db);
    sqlite3_reset(statement);
    if (!ok)
        return error;
    const auto stored = statements_->averages.emplace(key, std::move(row)).first;
    return answer(stored->second ? &*stored->second : nullptr, what);
}

}  // namespace marunoki
