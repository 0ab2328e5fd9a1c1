#include "regular_file.h"

#include "app/file_name.h"

#include <QFile>

#include <algorithm>
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
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("ファイルがありません");
    case EACCES:
    case EPERM:
        return QStringLiteral("読み取りが許可されていません");
    case EIO:
        return QStringLiteral("入出力エラー");
    case ELOOP:
        return QStringLiteral("シンボリックリンクが循環しています");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

// Empty for a regular file, else what the path names instead.
QString notRegular(mode_t mode)
{
    if (S_ISREG(mode))
        return {};
    QString kind;
    if (S_ISFIFO(mode))
        kind = QStringLiteral("（名前付きパイプ）");
    else if (S_ISDIR(mode))
        kind = QStringLiteral("（フォルダ）");
    else if (S_ISCHR(mode) || S_ISBLK(mode))
        kind = QStringLiteral("（デバイス）");
    else if (S_ISSOCK(mode))
        kind = QStringLiteral("（ソケット）");
    return QStringLiteral("通常のファイルではありません") + kind;
}

}  // namespace

RegularFileRead readRegularFile(const QString &path, qint64 maxBytes)
{
    const auto failure = [](const QString &cause) { return RegularFileRead {{}, Status::failure(cause)}; };
    const QByteArray name = fileNameBytes(path);
    struct stat info { };
    if (::stat(name.constData(), &info) != 0)
        return failure(causeOf(errno));
    if (const QString refusal = notRegular(info.st_mode); !refusal.isEmpty())
        return failure(refusal);

    int fd = -1;
    do {
        fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return failure(causeOf(errno));
    const auto closeWith = [fd](RegularFileRead result) {
        ::close(fd);
        return result;
    };
    if (::fstat(fd, &info) != 0)
        return closeWith(failure(causeOf(errno)));
    if (const QString refusal = notRegular(info.st_mode); !refusal.isEmpty())
        return closeWith(failure(refusal));

    RegularFileRead result;
    result.bytes.resize(qsizetype(std::min<qint64>(maxBytes, std::max<qint64>(info.st_size, 0))));
    qint64 have = 0;
    for (;;) {
        if (have == result.bytes.size()) {
            // The file may have grown since fstat; look for more up to the limit.
            if (have >= maxBytes)
                break;
            result.bytes.resize(qsizetype(std::min<qint64>(maxBytes, have + 65536)));
        }
        const ssize_t got = ::read(fd, result.bytes.data() + have, size_t(result.bytes.size() - have));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return closeWith(failure(causeOf(errno)));
        if (got == 0)
            break;
        have += got;
    }
    result.bytes.truncate(qsizetype(have));
    return closeWith(std::move(result));
}

}  // namespace marunoki
