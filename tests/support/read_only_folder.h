#pragma once
// A folder in which no file can be made while the object lives: no write
// permission, and for the superuser (whom permissions do not stop) the
// immutable flag of the file system. Used by the tests that a reader or a
// failed writer leaves nothing beside the files it was given.

#include <QFile>
#include <QString>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace marunoki::test {

class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString &folder)
        : folder_(folder)
    {
        QFile::setPermissions(folder_, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        if (::geteuid() == 0)
            flagged_ = immutable(true);
    }
    ~ReadOnlyFolder()
    {
        if (flagged_)
            immutable(false);
        QFile::setPermissions(
            folder_, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;

    // False when neither the permissions nor the flag hold the folder (the
    // superuser on a file system without the flag): such a test must skip.
    bool protects() const { return ::access(QFile::encodeName(folder_).constData(), W_OK) != 0 || flagged_; }

private:
    bool immutable(bool on) const
    {
        const int fd = ::open(QFile::encodeName(folder_).constData(), O_RDONLY | O_DIRECTORY);
        if (fd < 0)
            return false;
        int flags = 0;
        bool set = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        set = set && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return set;
    }

    QString folder_;
    bool flagged_ = false;
};

}  // namespace marunoki::test
