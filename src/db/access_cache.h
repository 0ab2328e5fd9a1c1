#pragma once
// The cached SQLite copies of Access files.
//
// A copy is named by a hash of the Access file's absolute path and a hash of its
// size, modification time and the importer's own version, so it is made once per
// version of the file and a replaced or touched file is imported again. Making a
// copy writes a temporary file in the cache folder and renames it into place, so
// the folder never holds a half-made copy under a real name; copies of older
// versions of the same file are removed afterwards.

#include <QString>

namespace marunoki {

struct [[nodiscard]] CachedCopy {
    QString path;  // the SQLite copy; empty on failure
    QString error;  // why there is no copy
    bool imported = false;  // true when this call made the copy
};

// The cached copy of the Access file, importing it first when there is none for
// its present version (or when refresh is set, e.g. because the copy was found
// damaged). Creates the cache folder when needed.
CachedCopy cachedSqliteCopy(const QString &accessPath, const QString &cacheFolder, bool refresh = false);

}  // namespace marunoki
