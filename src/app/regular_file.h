#pragma once
// Opening a file the program only reads (a saved page, a database file) only
// when it is a regular file.
//
// A FIFO blocks the open, or the first read, until some writer comes along: the
// load would hang and not even see the stop request. A device may never end, a
// folder cannot be read as a file. Each is refused with a message saying what
// the path names, and nothing here ever waits.
//
// NOTES ON THE DESIGN
// - The path is looked at first (stat), so that a device is never even opened
//   (opening some has side effects); then it is opened without blocking, and
//   the opened descriptor is checked again (fstat), since the path may have been
//   replaced in between. A regular file ignores the non-blocking flag, so the
//   reads that follow behave as usual.

#include "status.h"

#include <QByteArray>
#include <QString>

namespace marunoki {

struct [[nodiscard]] RegularFileRead {
    QByteArray bytes;  // the file's first bytes, at most the number asked for
    Status status = Status::success();
};

// Reads at most maxBytes bytes from the start of the file at path. On failure
// the bytes are empty and the message gives the cause in Japanese without the
// path ("通常のファイルではありません（名前付きパイプ）", "ファイルがありません").
RegularFileRead readRegularFile(const QString &path, qint64 maxBytes);

}  // namespace marunoki
