#include "db/mdb_copy.h"

#include "db/stored_date.h"

#include <mdbtools.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>

// NOTES ON THE DESIGN
// - Rows are read with libmdb's bound columns: mdb_fetch_row converts every
//   column into its bound buffer as text, and records where the raw value lies
//   in the page buffer (cur_value_start, cur_value_len; length 0 = Null for a
//   fixed-size column). Numbers and dates are decoded from the raw bytes, which
//   avoids libmdb's locale-dependent number and date texts; texts are taken from
//   the buffers, which libmdb has already turned into UTF-8.
// - A Text column gives length 0 both for Null and for the empty text; only then
//   is the row cracked again to read its Null flag.
// - All identifiers are written between double quotes (a " doubled); values are
//   always bound.
// - libmdb reads a page beyond the end of the file as no page at all: a table
//   whose pages were cut off simply ends early, and a catalogue cut short lists
//   fewer tables. So a copy is refused as damaged unless every table listed,
//   and the catalogue itself, has all its pages inside the file and gives as
//   many rows as its definition counts.

namespace marunoki {

namespace {

// Large enough for a Memo of 64K characters in UTF-8. libmdb writes up to this
// many bytes into every bound buffer.
constexpr std::size_t kBindSize = 200000;

constexpr int kOffsetMask = 0x1fff;

struct Handles {
    MdbHandle *mdb = nullptr;
    sqlite3 *db = nullptr;
    ~Handles()
    {
        if (db)
            sqlite3_close(db);
        if (mdb)
            mdb_close(mdb);
    }
};

struct Table {
    MdbTableDef *def = nullptr;
    ~Table()
    {
        if (def)
            mdb_free_tabledef(def);
    }
};

struct Statement {
    sqlite3_stmt *stmt = nullptr;
    ~Statement() { sqlite3_finalize(stmt); }
};

std::string quoted(const char *identifier)
{
    std::string out = "\"";
    for (const char *p = identifier; *p; ++p) {
        out += *p;
        if (*p == '"')
            out += '"';
    }
    return out + '"';
}

// What a damaged Access file says, with what could not be read.
std::string damaged(const std::string &what);

// Why SQLite refused, in the user's words: never its SQL or its English text.
// code: the failed call's own result, when it gave one.
std::string sqliteCause(sqlite3 *db, int code = SQLITE_OK)
{
    static const std::string duplicate = "duplicate column name: ";
    const std::string message = sqlite3_errmsg(db);
    if (code == SQLITE_OK)
        code = sqlite3_errcode(db);
    switch (code & 0xff) {
    case SQLITE_FULL:
        return "ディスクがいっぱいです";
    case SQLITE_IOERR:
        return "書き込みに失敗しました（入出力エラー）";
    case SQLITE_CANTOPEN:
        return "ファイルを開けません";
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return "書き込みが許されていません";
    case SQLITE_TOOBIG:
        return "値が大きすぎます";
    case SQLITE_NOMEM:
        return "メモリが足りません";
    default:
        break;
    }
    if (message.rfind(duplicate, 0) == 0)
        return "列名 " + message.substr(duplicate.size())
            + " が二つあります（大文字と小文字だけが違う列名は同じ名前です）";
    return "SQLite のエラー " + std::to_string(code);
}

std::string sqliteError(sqlite3 *db, const std::string &what, int code = SQLITE_OK)
{
    return what + "（" + sqliteCause(db, code) + "）";
}

// Runs sql; on a failure error says what could not be done and why.
bool exec(sqlite3 *db, const std::string &sql, const std::string &what, std::string &error)
{
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    error = sqliteError(db, what);
    return false;
}

const char *sqliteType(int mdbType)
{
    switch (mdbType) {
    case MDB_BOOL:
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
        return "INTEGER";
    case MDB_MONEY:
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_NUMERIC:
        return "REAL";
    case MDB_BINARY:
    case MDB_OLE:
        return "BLOB";
    default:
        return "TEXT";
    }
}

// Bytes of the raw value of a fixed-size type.
int rawSize(int mdbType)
{
    switch (mdbType) {
    case MDB_BYTE:
        return 1;
    case MDB_INT:
        return 2;
    case MDB_LONGINT:
    case MDB_FLOAT:
        return 4;
    case MDB_MONEY:
    case MDB_DOUBLE:
    case MDB_DATETIME:
        return 8;
    default:
        return 0;
    }
}

template <typename T>
T rawValue(const unsigned char *at)
{
    T value;
    std::memcpy(&value, at, sizeof value);  // Jet stores little-endian, as does the host
    return value;
}

// One column of the table being copied, with its bound buffer.
struct Column {
    MdbColumn *col = nullptr;
    std::vector<char> text;
    int length = 0;
};

class RowCopier {
public:
    RowCopier(MdbHandle *mdb, MdbTableDef *table, std::vector<Column> &columns, sqlite3_stmt *insert)
        : mdb_(mdb)
        , table_(table)
        , columns_(columns)
        , insert_(insert)
    { }

    // Binds every column of the row just fetched; false when a value is damaged.
    bool bindRow(std::string &error)
    {
        nullFlagsRead_ = false;
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            if (!bindColumn(static_cast<int>(i), error))
                return false;
        }
        return true;
    }

private:
    bool bindColumn(int index, std::string &error)
    {
        const Column &c = columns_[static_cast<std::size_t>(index)];
        const int parameter = index + 1;
        const int type = c.col->col_type;
        if (type == MDB_BOOL) {
            sqlite3_bind_int(insert_, parameter, c.text[0] == '1' ? 1 : 0);
            return true;
        }
        if (const int size = rawSize(type)) {
            if (c.col->cur_value_len == 0) {
                sqlite3_bind_null(insert_, parameter);
                return true;
            }
            const int start = c.col->cur_value_start;
            if (c.col->cur_value_len < size || start < 0
                || start + size > static_cast<int>(sizeof mdb_->pg_buf)) {
                error = damaged(std::string("列 ") + c.col->name + " の値が読めません");
                return false;
            }
            bindRaw(parameter, type, mdb_->pg_buf + start);
            return true;
        }
        switch (type) {
        case MDB_TEXT:
            if (c.length == 0 && isNull(index))
                sqlite3_bind_null(insert_, parameter);
            else
                sqlite3_bind_text(insert_, parameter, c.text.data(), c.length, SQLITE_TRANSIENT);
            return true;
        case MDB_MEMO:
        case MDB_REPID:
            if (c.col->cur_value_len == 0)
                sqlite3_bind_null(insert_, parameter);
            else
                sqlite3_bind_text(insert_, parameter, c.text.data(), c.length, SQLITE_TRANSIENT);
            return true;
        case MDB_NUMERIC:
            if (c.col->cur_value_len == 0)
                sqlite3_bind_null(insert_, parameter);
            else
                sqlite3_bind_double(insert_, parameter, std::strtod(c.text.data(), nullptr));
            return true;
        case MDB_BINARY: {
            const int start = c.col->cur_value_start;
            const int length = c.col->cur_value_len;
            if (length <= 0 || start < 0 || start + length > static_cast<int>(sizeof mdb_->pg_buf))
                sqlite3_bind_null(insert_, parameter);
            else
                sqlite3_bind_blob(insert_, parameter, mdb_->pg_buf + start, length, SQLITE_TRANSIENT);
            return true;
        }
        default:
            sqlite3_bind_null(insert_, parameter);
            return true;
        }
    }

    void bindRaw(int parameter, int type, const unsigned char *at)
    {
        switch (type) {
        case MDB_BYTE:
            sqlite3_bind_int(insert_, parameter, *at);
            break;
        case MDB_INT:
            sqlite3_bind_int(insert_, parameter, rawValue<std::int16_t>(at));
            break;
        case MDB_LONGINT:
            sqlite3_bind_int(insert_, parameter, rawValue<std::int32_t>(at));
            break;
        case MDB_FLOAT:
            sqlite3_bind_double(insert_, parameter, rawValue<float>(at));
            break;
        case MDB_DOUBLE:
            sqlite3_bind_double(insert_, parameter, rawValue<double>(at));
            break;
        case MDB_MONEY:
            // Currency is a 64-bit count of ten-thousandths.
            sqlite3_bind_double(
                insert_, parameter, static_cast<double>(rawValue<std::int64_t>(at)) / 10000.0);
            break;
        case MDB_DATETIME: {
            const std::string text = storedDateTime(rawValue<double>(at));
            if (text.empty())
                sqlite3_bind_null(insert_, parameter);
            else
                sqlite3_bind_text(
                    insert_, parameter, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
            break;
        }
        default:
            sqlite3_bind_null(insert_, parameter);
        }
    }

    // The Null flag of a column of the row just fetched (the last row read from
    // the current page), read once per row and only when needed.
    bool isNull(int index)
    {
        if (!nullFlagsRead_) {
            nullFlagsRead_ = true;
            nullFlags_.assign(columns_.size(), true);
            int start = 0;
            size_t size = 0;
            if (table_->cur_row > 0
                && mdb_find_row(mdb_, static_cast<int>(table_->cur_row) - 1, &start, &size) == 0) {
                std::vector<MdbField> fields(table_->num_cols);
                // A row written before a column was deleted counts more columns
                // than the table: only the table's own are filled in.
                const int count = std::min(mdb_crack_row(table_, start & kOffsetMask, size, fields.data()),
                    static_cast<int>(fields.size()));
                for (int i = 0; i < count; ++i) {
                    const int column = fields[static_cast<std::size_t>(i)].colnum;
                    if (column >= 0 && column < static_cast<int>(nullFlags_.size()))
                        nullFlags_[static_cast<std::size_t>(column)]
                            = fields[static_cast<std::size_t>(i)].is_null;
                }
            }
        }
        return nullFlags_[static_cast<std::size_t>(index)];
    }

    MdbHandle *mdb_;
    MdbTableDef *table_;
    std::vector<Column> &columns_;
    sqlite3_stmt *insert_;
    bool nullFlagsRead_ = false;
    std::vector<bool> nullFlags_;
};

std::string damaged(const std::string &what)
{
    return "Accessファイルは壊れています（" + what + "）";
}

// Empty when every page the table's usage map lists lies inside the file,
// else what is missing. libmdb gives 0 at the end of the map.
std::string missingPages(MdbHandle *mdb, MdbTableDef *def, const char *table)
{
    struct stat info { };
    if (::fstat(fileno(mdb->f->stream), &info) != 0)
        return damaged("大きさが分かりません");
    const auto pages = static_cast<std::int64_t>(info.st_size / mdb->fmt->pg_size);
    for (gint32 page = mdb_map_find_next(mdb, def->usage_map, static_cast<unsigned int>(def->map_sz), 0);
         page != 0; page = mdb_map_find_next(mdb, def->usage_map, static_cast<unsigned int>(def->map_sz),
                        static_cast<guint32>(page))) {
        if (page < 0)
            return damaged(std::string("テーブル ") + table + " のページ表が読めません");
        if (page >= pages)
            return damaged(std::string("テーブル ") + table + " のページ " + std::to_string(page)
                + " がファイルの外にあります");
    }
    return {};
}

// Empty when the table gave as many rows as its definition counts.
std::string missingRows(MdbTableDef *def, const char *table, unsigned long read)
{
    if (read >= def->num_rows)
        return {};
    return damaged(std::string("テーブル ") + table + " の " + std::to_string(def->num_rows) + " 行中 "
        + std::to_string(read) + " 行しか読めません");
}

// The catalogue (the table MSysObjects) whole: all its pages in the file and
// all its rows readable.
std::string checkCatalogue(MdbHandle *mdb)
{
    // The catalogue's definition is always on page 2 (libmdb reads it the same way).
    MdbCatalogEntry entry {};
    entry.mdb = mdb;
    entry.object_type = MDB_TABLE;
    entry.table_pg = 2;
    std::strcpy(entry.object_name, "MSysObjects");
    Table table;
    table.def = mdb_read_table(&entry);
    if (!table.def || !mdb_read_columns(table.def))
        return damaged("テーブルの一覧が読めません");
    if (std::string missing = missingPages(mdb, table.def, "MSysObjects"); !missing.empty())
        return missing;
    mdb_rewind_table(table.def);
    unsigned long rows = 0;
    while (mdb_fetch_row(table.def))
        ++rows;
    return missingRows(table.def, "MSysObjects", rows);
}

bool copyTable(MdbHandle *mdb, MdbCatalogEntry *entry, sqlite3 *db, std::string &error)
{
    Table table;
    table.def = mdb_read_table(entry);
    if (!table.def || !mdb_read_columns(table.def)) {
        error = damaged(std::string("テーブル ") + entry->object_name + " の定義が読めません");
        return false;
    }
    MdbTableDef *def = table.def;
    error = missingPages(mdb, def, entry->object_name);
    if (!error.empty())
        return false;
    const std::string name = quoted(entry->object_name);
    std::string create = "CREATE TABLE " + name + " (";
    std::string insert = "INSERT INTO " + name + " VALUES (";
    std::vector<Column> columns(def->num_cols);
    for (unsigned int i = 0; i < def->num_cols; ++i) {
        Column &c = columns[i];
        c.col = static_cast<MdbColumn *>(g_ptr_array_index(def->columns, i));
        c.text.assign(kBindSize, '\0');
        mdb_bind_column(def, static_cast<int>(i) + 1, c.text.data(), &c.length);
        create += (i ? ", " : "") + quoted(c.col->name) + " " + sqliteType(c.col->col_type);
        insert += i ? ", ?" : "?";
    }
    if (!exec(db, create + ")", "テーブル " + name + " を作れません", error))
        return false;
    if (def->num_cols == 0) {
        error = missingRows(def, entry->object_name, 0);
        return error.empty();
    }
    Statement statement;
    if (sqlite3_prepare_v2(db, (insert + ")").c_str(), -1, &statement.stmt, nullptr) != SQLITE_OK) {
        error = sqliteError(db, "テーブル " + name + " の写しを用意できません");
        return false;
    }
    RowCopier copier(mdb, def, columns, statement.stmt);
    mdb_rewind_table(def);
    unsigned long copied = 0;
    while (mdb_fetch_row(def)) {
        ++copied;
        if (!copier.bindRow(error)) {
            error = "テーブル " + name + ": " + error;
            return false;
        }
        if (const int rc = sqlite3_step(statement.stmt); rc != SQLITE_DONE) {
            error = sqliteError(db, "テーブル " + name + " の行を書き込めません", rc);
            return false;
        }
        sqlite3_reset(statement.stmt);
    }
    error = missingRows(def, entry->object_name, copied);
    return error.empty();
}

// Indexes for the track lookups and the local-racing merge. A table or column
// that is not there simply leaves its index out.
void addLookupIndexes(sqlite3 *db)
{
    static const char *const indexes[] = {
        // These two cover their queries: the value is read from the index itself.
        "CREATE INDEX mk_T_sisuu_day ON T_sisuu(S_date, S_zyo, S_siba, S_sisuu)",
        "CREATE INDEX mk_T_avetime_course ON T_avetime(A_kyori, A_zyo, A_siba, A_class, A_sin_kyu, A_time)",
        "CREATE INDEX mk_T_Useiseki_name ON T_Useiseki(U_name)",
        "CREATE INDEX mk_T_Useiseki_code ON T_Useiseki(R_code)",
        "CREATE INDEX mk_T_Rdata_code ON T_Rdata(R_code)",
        "CREATE INDEX mk_T_Rdata_date ON T_Rdata(R_date)",
    };
    for (const char *sql : indexes)
        sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    sqlite3_exec(db, "ANALYZE", nullptr, nullptr, nullptr);
}

}  // namespace

std::string copyMdbToSqlite(const char *accessPath, const char *sqlitePath)
{
    Handles h;
    h.mdb = mdb_open(accessPath, MDB_NOFLAGS);
    if (!h.mdb)
        return "Accessファイルを開けません";
    mdb_set_bind_size(h.mdb, kBindSize);
    mdb_set_boolean_fmt_numbers(h.mdb);
    if (!mdb_read_catalog(h.mdb, MDB_TABLE))
        return damaged("テーブルの一覧が読めません");
    if (std::string damage = checkCatalogue(h.mdb); !damage.empty())
        return damage;

    if (sqlite3_open_v2(sqlitePath, &h.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
        return sqliteError(h.db, "SQLite のファイルを作れません");
    std::string error;
    // The file is new and renamed into place only when complete, so it needs
    // no journal.
    const std::string writing = "SQLite のファイルに書き込めません";
    if (!exec(h.db, "PRAGMA journal_mode = OFF", writing, error)
        || !exec(h.db, "PRAGMA synchronous = OFF", writing, error) || !exec(h.db, "BEGIN", writing, error))
        return error;
    for (unsigned int i = 0; i < h.mdb->num_catalog; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(h.mdb->catalog, i));
        if (entry->object_type != MDB_TABLE || !mdb_is_user_table(entry))
            continue;
        if (!copyTable(h.mdb, entry, h.db, error))
            return error;
    }
    addLookupIndexes(h.db);
    if (!exec(h.db, "COMMIT", writing, error))
        return error;
    if (sqlite3_close(h.db) != SQLITE_OK)
        return sqliteError(h.db, "SQLite のファイルを閉じられません");
    h.db = nullptr;
    return std::string();
}

}  // namespace marunoki
