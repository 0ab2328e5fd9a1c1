#pragma once
// A prepared SQLite statement for the journal's own .cpp files: prepared once,
// every value bound (never SQL built from data), finalised with the object.
// Only .cpp files include this header; SQLite stays a private link.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <sqlite3.h>

#include <optional>

namespace marunoki::journal_sql {

class Statement {
public:
    Statement(sqlite3 *db, const char *sql)
    {
        prepareRc_ = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr);
        if (prepareRc_ != SQLITE_OK) {
            sqlite3_finalize(stmt_);
            stmt_ = nullptr;
        }
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool ok() const { return stmt_ != nullptr; }

    // Binds parameter i (1-based). Empty optionals and null texts bind NULL.
    void bind(int i, qint64 value) { sqlite3_bind_int64(stmt_, i, value); }
    void bind(int i, int value) { sqlite3_bind_int64(stmt_, i, value); }
    void bind(int i, double value) { sqlite3_bind_double(stmt_, i, value); }
    void bind(int i, const QString &text)
    {
        if (text.isNull()) {
            sqlite3_bind_null(stmt_, i);
            return;
        }
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(stmt_, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    void bind(int i, const QByteArray &blob)
    {
        sqlite3_bind_blob(stmt_, i, blob.constData(), int(blob.size()), SQLITE_TRANSIENT);
    }
    template <typename T>
    void bind(int i, const std::optional<T> &value)
    {
        if (value)
            bind(i, *value);
        else
            sqlite3_bind_null(stmt_, i);
    }

    // SQLITE_ROW, SQLITE_DONE or an error code (the preparation's, when it failed).
    int step() { return stmt_ ? sqlite3_step(stmt_) : prepareRc_; }
    // Steps a statement that returns no rows; true when it ran.
    bool run()
    {
        const int rc = step();
        reset();
        return rc == SQLITE_DONE || rc == SQLITE_ROW;
    }
    void reset()
    {
        if (stmt_) {
            sqlite3_reset(stmt_);
            sqlite3_clear_bindings(stmt_);
        }
    }

    bool isNull(int col) const { return sqlite3_column_type(stmt_, col) == SQLITE_NULL; }
    qint64 int64(int col) const { return sqlite3_column_int64(stmt_, col); }
    int integer(int col) const { return sqlite3_column_int(stmt_, col); }
    double real(int col) const { return sqlite3_column_double(stmt_, col); }
    QString text(int col) const
    {
        const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(stmt_, col));
        return p ? QString::fromUtf8(p, sqlite3_column_bytes(stmt_, col)) : QString();
    }
    std::optional<int> optionalInt(int col) const
    {
        return isNull(col) ? std::nullopt : std::optional<int>(integer(col));
    }
    std::optional<double> optionalReal(int col) const
    {
        return isNull(col) ? std::nullopt : std::optional<double>(real(col));
    }
    // The column's bytes, valid until the next step or reset.
    QByteArrayView blob(int col) const
    {
        const auto *p = static_cast<const char *>(sqlite3_column_blob(stmt_, col));
        return p ? QByteArrayView(p, sqlite3_column_bytes(stmt_, col)) : QByteArrayView();
    }

private:
    sqlite3_stmt *stmt_ = nullptr;
    int prepareRc_ = SQLITE_OK;
};

}  // namespace marunoki::journal_sql
