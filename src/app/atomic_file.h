#pragma once
// Replacing a file so that whoever reads it afterwards sees either the old
// content or the whole new content, never a mix and never an empty file. Every
// file the program writes (CSV, JSON, settings, archived pages and their index,
// the track-data update, imported database copies) goes through here.
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
//   FIFO, device, folder or symbolic link of that name is never replaced.
// - The new file keeps the old one's permission bits (a new file gets 0666
//   less the umask, as any program's new file does).
// - The calls that can fail with a full disk or an I/O error go through a
//   FileSystem, so a test can make any one of them fail.

#include "status.h"

#include <QByteArray>
#include <QString>

#include <sys/types.h>

namespace marunoki {

// The operating-system calls of a replacement, POSIX style: -1 with errno set
// on failure. Implementations are stateless as far as the caller can tell and
// may be shared between threads.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual ssize_t write(int fd, const void *data, size_t size) const = 0;
    virtual int sync(int fd) const = 0;
    virtual int close(int fd) const = 0;
    virtual int rename(const char *from, const char *to) const = 0;
};

// The real calls (write, fsync, close, rename).
class PosixFileSystem final : public FileSystem {
public:
    ssize_t write(int fd, const void *data, size_t size) const override;
    int sync(int fd) const override;
    int close(int fd) const override;
    int rename(const char *from, const char *to) const override;
};

// The real file system, for callers that do not pass their own. Immutable.
const FileSystem &systemFileSystem();

// One replacement in progress: checks the target and creates the temporary
// beside it; the caller writes the content (through write, or by having
// another writer such as SQLite fill temporaryPath()), then commits. Destroying
// an uncommitted replacement removes the temporary; the target is untouched
// until commit succeeds. Not thread-safe.
class AtomicReplacement {
public:
    AtomicReplacement(const QString &target, const FileSystem &files);
    ~AtomicReplacement();
    AtomicReplacement(const AtomicReplacement &) = delete;
    AtomicReplacement &operator=(const AtomicReplacement &) = delete;

    // Failure when the target cannot be replaced or the temporary not made;
    // then write and commit fail with the same message.
    const Status &opened() const { return opened_; }
    // The temporary file (empty until opened).
    QString temporaryPath() const;

    // Appends bytes to the temporary; every byte or a failure.
    Status write(const char *data, qint64 size);
    Status write(const QByteArray &bytes) { return write(bytes.constData(), bytes.size()); }
    // Forces the temporary's content to the disk, gives it the target's
    // permission bits, closes it and renames it over the target. Once only.
    Status commit();

private:
    Status failure(int error) const;
    void discard();

    QString target_;
    const FileSystem &files_;
    QByteArray temporary_;
    int fd_ = -1;
    mode_t mode_ = 0;
    Status opened_ = Status::success();
    bool committed_ = false;
};

// Writes bytes to path atomically. The failure's message names the file and
// the cause in Japanese ("… に書き込めません（ディスクの空きがありません）").
Status writeFileAtomically(
    const QString &path, const QByteArray &bytes, const FileSystem &files = systemFileSystem());

}  // namespace marunoki
