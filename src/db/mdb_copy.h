#pragma once
// The copy of an Access (Jet) file into a new SQLite file, table by table.
//
// It uses libmdb and the SQLite C API only, and no Qt objects, because it runs in
// a child process of its own (see mdb_import.h): libmdb is not hardened against
// damaged or crafted files, and a crash or a hang there must not take the
// program with it.
//
// The copy keeps table and column names. Types: Text and Memo become TEXT; Byte,
// Integer, Long and Boolean INTEGER (a Boolean is 1 or 0); Single, Double,
// Currency and Decimal REAL; DateTime TEXT 'YYYY-MM-DD', with ' HH:MM:SS' only
// when the value has a time of day; Binary BLOB; a replication ID its text.
// Null stays Null. OLE objects and attachments are not copied (Null). Indexes
// for the program's lookups are added when their tables and columns exist.

#include <string>

namespace marunoki {

// Writes the copy of the Access file at accessPath to sqlitePath, which must not
// exist yet. Returns an empty text on success, else what went wrong. On failure
// the file at sqlitePath may be left half-written; the caller removes it.
std::string copyMdbToSqlite(const char *accessPath, const char *sqlitePath);

}  // namespace marunoki
