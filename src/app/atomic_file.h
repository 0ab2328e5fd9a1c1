#pragma once
// Replacing a file so that whoever reads it afterwards sees either the old
// content or the whole new content, never a mix and never an empty file.
//
// NOTES ON THE DESIGN
// - The new content goes to a temporary file in the same folder (a rename is
//   atomic only within one file system), every write is checked (a full disk
//   shows up as a short or failed write, or only at fsync or close), the data
//   is forced to the disk, and only then is the temporary renamed over the
//   target; the folder is synced so the rename itself survives a power cut.
// - Any failure removes the temporary and leaves the target byte-identical.
// - The target must be a regular file (or not exist) and, when it exists,
//   writable by us: a read-only file is a user's decision we respect, and a
//   FIFO, device or folder of that name is never replaced.
// - The new file keeps the old one's permission bits.

#include "status.h"

#include <QByteArray>
#include <QString>

namespace marunoki {

// Writes bytes to path atomically. The failure's message names the file and
// the cause in Japanese.
Status writeFileAtomically(const QString &path, const QByteArray &bytes);

}  // namespace marunoki
