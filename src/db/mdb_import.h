#pragma once
// Import of an Access (Jet 3/4, ACE) file into an SQLite file, for the cached
// copies and for the command "marunoki-cli import-mdb SRC DEST".
//
// The Access file is only read. The copy is made by a child process (libmdb is
// not hardened against damaged or crafted files), which writes a temporary file
// beside the destination; the parent waits at most timeLimitSeconds, kills the
// child when the time is up, and renames the temporary file into place only
// after the child has finished cleanly. So the destination is either the whole
// copy or left as it was (an existing file is replaced only on success), and a
// crash, hang or failure in the child becomes an error text. Blocking; call it
// from one thread at a time.

#include "app/atomic_file.h"

#include <QString>

#include <atomic>

namespace marunoki {

constexpr int kImportTimeLimitSeconds = 120;

// Copies every user table of the Access file `source` into a new SQLite file
// `destination` (see mdb_copy.h for the types and indexes). The destination's
// folder must exist. The source must be an Access file by its first bytes. A
// destination that is the source itself (by any name), read-only or not a
// regular file is refused before anything is written. The copy is replaced
// through `files` like every file the program writes. cancelFlag, when given,
// stops the import when it becomes -1 (the child is killed, its temporary
// removed, the destination left as it was).
Status importMdb(const QString &source, const QString &destination,
    int timeLimitSeconds = kImportTimeLimitSeconds, const FileSystem &files = systemFileSystem(),
    const std::atomic<qint16> *cancelFlag = nullptr);

}  // namespace marunoki
