#include "atomic_file.h"

#include "app/file_name.h"
#include "app/write_failure.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace marunoki {
namespace {

// Our own error numbers for refusals that have no errno of their own.
constexpr int kNotRegular = -1;
constexpr int kReadOnly = -2;

QString causeOf(int error)
{
    switch (error) {
    case kNotRegular:
        return QStringLiteral("通常のファイルではありません");
    case kReadOnly:
        return QStringLiteral("読み取り専用のファイルです");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("ディスクの空きがありません");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎます");
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("書き込みが許可されていません");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("フォルダがありません");
    case EIO:
        return QStringLiteral("入出力エラー");
    case ELOOP:
        return QStringLiteral("シンボリックリンクが循環しています");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

}  // namespace

QString writeFailureCause(int error)
{
    return causeOf(error);
}

namespace {

mode_t newFileMode()
{
    // umask() can only be read by setting it, which would race with other
    // threads creating files (pages are saved from the network thread); the
    // kernel shows it in /proc instead.
    QFile status(QStringLiteral("/proc/self/status"));
    mode_t mask = 022;
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("Umask:")) {
                bool ok = false;
                const uint value = line.mid(6).trimmed().toUInt(&ok, 8);
                if (ok)
                    mask = mode_t(value) & 0777;
            }
        }
    }
    return 0666 & ~mask;
}

}  // namespace

ssize_t PosixFileSystem::write(int fd, const void *data, size_t size) const
{
    return ::write(fd, data, size);
}

int PosixFileSystem::sync(int fd) const
{
    return ::fsync(fd);
}

int PosixFileSystem::close(int fd) const
{
    return ::close(fd);
}

int PosixFileSystem::rename(const char *from, const char *to) const
{
    return ::rename(from, to);
}

const FileSystem &systemFileSystem()
{
    static const PosixFileSystem files;
    return files;
}

AtomicReplacement::AtomicReplacement(const QString &target, const FileSystem &files)
    : target_(target)
    , files_(files)
{
    const QByteArray name = fileNameBytes(target);
    struct stat existing { };
    if (::lstat(name.constData(), &existing) == 0) {
        if (!S_ISREG(existing.st_mode)) {
            opened_ = failure(kNotRegular);
            return;
        }
        // No write bit at all is the user's "read-only", which even root
        // (whom access() always lets write) respects.
        if ((existing.st_mode & 0222) == 0) {
            opened_ = failure(kReadOnly);
            return;
        }
        if (::access(name.constData(), W_OK) != 0) {
            opened_ = failure(errno == EROFS ? EROFS : kReadOnly);
            return;
        }
        mode_ = existing.st_mode & 07777;
    } else if (errno != ENOENT) {
        opened_ = failure(errno);
        return;
    } else {
        mode_ = newFileMode();
    }

    const QFileInfo info(target);
    temporary_ = fileNameBytes(info.absolutePath() + u'/' + u'.' + info.fileName()) + ".XXXXXX";
    fd_ = ::mkostemp(temporary_.data(), O_CLOEXEC);
    if (fd_ < 0) {
        opened_ = failure(errno);
        temporary_.clear();
    }
}

AtomicReplacement::~AtomicReplacement()
{
    if (!committed_)
        discard();
}

QString AtomicReplacement::temporaryPath() const
{
    return fileNameFromBytes(temporary_);
}

Status AtomicReplacement::failure(int error) const
{
    return Status::failure(QStringLiteral("%1 に書き込めません（%2）").arg(target_, causeOf(error)));
}

void AtomicReplacement::discard()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.isEmpty())
        ::unlink(temporary_.constData());
    temporary_.clear();
}

Status AtomicReplacement::write(const char *data, qint64 size)
{
    if (!opened_.ok())
        return opened_;
    if (fd_ < 0)
        return Status::failure(
            QStringLiteral("%1 に書き込めません（書き込みは終わっています）").arg(target_));
    while (size > 0) {
        const ssize_t written = files_.write(fd_, data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            // A write that stores nothing without an error still means no room.
            const Status failed = failure(written == 0 ? ENOSPC : errno);
            discard();
            return failed;
        }
        data += written;
        size -= written;
    }
    return Status::success();
}

Status AtomicReplacement::commit()
{
    if (!opened_.ok())
        return opened_;
    if (fd_ < 0)
        return Status::failure(
            QStringLiteral("%1 に書き込めません（書き込みは終わっています）").arg(target_));

    int error = 0;
    // A full disk may only show at fsync (delayed allocation) or close (network
    // file systems): both are checked before the rename.
    if (files_.sync(fd_) != 0 || ::fchmod(fd_, mode_) != 0)
        error = errno;
    const int fd = fd_;
    fd_ = -1;
    if (files_.close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && files_.rename(temporary_.constData(), fileNameBytes(target_).constData()) != 0)
        error = errno;
    if (error != 0) {
        const Status failed = failure(error);
        discard();
        return failed;
    }
    committed_ = true;

    // The rename is on the disk only once the folder is.
    const QString folder = QFileInfo(target_).absolutePath();
    const int dir = ::open(fileNameBytes(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return Status::success();
}

Status writeFileAtomically(const QString &path, const QByteArray &bytes, const FileSystem &files)
{
    AtomicReplacement replacement(path, files);
    const Status written = replacement.write(bytes);
    if (!written.ok())
        return written;
    return replacement.commit();
}

}  // namespace marunoki
