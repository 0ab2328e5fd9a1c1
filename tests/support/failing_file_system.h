#pragma once
// A file system whose write, fsync, close or rename fails the way a full disk
// or a failing device makes it fail, for the tests that every writer leaves
// the old file as it was and reports the failure. The other calls go to the
// real file system, so the temporary file really exists until it is removed.

#include "app/atomic_file.h"

#include <QDir>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <vector>

#include <unistd.h>

namespace marunoki::test {

class FailingFileSystem final : public FileSystem {
public:
    enum class Call { Write, Sync, Close, Rename };

    // `room`: for Write, how many bytes still fit before the writes fail (a
    // disk that fills up part-way through the file).
    FailingFileSystem(Call failing, int error, qint64 room = 0)
        : failing_(failing)
        , error_(error)
        , room_(room)
    { }
    FailingFileSystem(const FailingFileSystem &other)
        : failing_(other.failing_)
        , error_(other.error_)
        , room_(other.room_.load())
    { }

    ssize_t write(int fd, const void *data, size_t size) const override
    {
        if (failing_ != Call::Write)
            return ::write(fd, data, size);
        const qint64 fits = std::min<qint64>(qint64(size), room_.load());
        if (fits <= 0) {
            errno = error_;
            return -1;
        }
        const ssize_t written = ::write(fd, data, size_t(fits));
        if (written > 0)
            room_ -= written;
        return written;
    }
    int sync(int fd) const override { return failing_ == Call::Sync ? fail() : ::fsync(fd); }
    int close(int fd) const override
    {
        // The descriptor is gone even when close reports an error.
        const int closed = ::close(fd);
        return failing_ == Call::Close ? fail() : closed;
    }
    int rename(const char *from, const char *to) const override
    {
        return failing_ == Call::Rename ? fail() : ::rename(from, to);
    }

private:
    int fail() const
    {
        errno = error_;
        return -1;
    }

    Call failing_;
    int error_;
    mutable std::atomic<qint64> room_;
};

// One failure of each call a replacement makes, as a table for the writers'
// tests.
struct WriteFault {
    const char *name;
    FailingFileSystem files;
};

inline std::vector<WriteFault> writeFaults()
{
    using Call = FailingFileSystem::Call;
    return {
        {"full disk at the first write", FailingFileSystem(Call::Write, ENOSPC)},
        {"full disk part-way through", FailingFileSystem(Call::Write, ENOSPC, 3)},
        {"I/O error at fsync", FailingFileSystem(Call::Sync, EIO)},
        {"full disk only at close", FailingFileSystem(Call::Close, ENOSPC)},
        {"rename refused", FailingFileSystem(Call::Rename, EACCES)},
    };
}

// The names in a folder, hidden ones included (a leftover temporary starts
// with a dot).
inline QStringList folderEntries(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

}  // namespace marunoki::test
