#include "atomic_file.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace marunoki {
namespace {

QString causeOf(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("ディスクの空きがありません");
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("書き込みが許可されていません");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("フォルダがありません");
    case EIO:
        return QStringLiteral("入出力エラー");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

Status failed(const QString &path, const QString &cause)
{
    return Status::failure(QStringLiteral("%1 に書き込めません（%2）").arg(path, cause));
}

bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0) {
            errno = ENOSPC;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

}  // namespace

Status writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    const QByteArray target = QFile::encodeName(path);
    mode_t mode = 0666 & ~[] {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return mask;
    }();

    struct stat existing { };
    if (::lstat(target.constData(), &existing) == 0) {
        if (!S_ISREG(existing.st_mode))
            return failed(path, QStringLiteral("通常のファイルではありません"));
        if (::access(target.constData(), W_OK) != 0)
            return failed(path, QStringLiteral("読み取り専用のファイルです"));
        mode = existing.st_mode & 07777;
    } else if (errno != ENOENT) {
        return failed(path, causeOf(errno));
    }

    const QFileInfo info(path);
    QByteArray temporary = QFile::encodeName(info.absolutePath() + u'/' + u'.' + info.fileName()) + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return failed(path, causeOf(errno));

    int error = 0;
    if (!writeAll(fd, bytes.constData(), bytes.size()) || ::fchmod(fd, mode) != 0 || ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.constData(), target.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.constData());
        return failed(path, causeOf(error));
    }

    // The rename is on the disk only once the folder is.
    const int dir
        = ::open(QFile::encodeName(info.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return Status::success();
}

}  // namespace marunoki
