#include "output/report_folder.h"

#include "app/file_name.h"
#include "app/write_failure.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace marunoki {

namespace {

// The names in a folder (without "." and ".."); nothing when it cannot be read.
std::optional<QStringList> entriesOf(const QString &folder)
{
    DIR *dir = ::opendir(fileNameBytes(folder).constData());
    if (dir == nullptr)
        return std::nullopt;
    QStringList names;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArrayView name(entry->d_name);
        if (name != "." && name != "..")
            names << fileNameFromBytes(name);
    }
    ::closedir(dir);
    return names;
}

bool isRegularFile(const QString &path)
{
    struct stat info { };
    return ::lstat(fileNameBytes(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

// Deletes the named regular files of folder, then the folder if it is empty.
void removeFiles(const QString &folder, const QStringList &names)
{
    for (const QString &name : names) {
        const QString path = folder + u'/' + name;
        if (isRegularFile(path))
            ::unlink(fileNameBytes(path).constData());
    }
    ::rmdir(fileNameBytes(folder).constData());
}

}  // namespace

ReportFolder::ReportFolder(const QString &target, std::function<bool(const QString &)> isReportFile)
    : isReportFile_(std::move(isReportFile))
{
    QString absolute = QDir::cleanPath(QFileInfo(target).absoluteFilePath());
    const QFileInfo info(absolute);
    if (info.isSymLink() && info.isDir())
        absolute = info.canonicalFilePath();
    target_ = absolute;
    const QFileInfo resolved(target_);
    if (resolved.exists() && !resolved.isDir()) {
        opened_ = Status::failure(
            QStringLiteral("フォルダ %1 を作成できません（同じ名前のファイルがあります）").arg(target));
        return;
    }
    const QString parent = resolved.absolutePath();
    if (!QDir().mkpath(parent)) {
        opened_ = Status::failure(QStringLiteral("フォルダ %1 を作成できません").arg(parent));
        return;
    }
    QByteArray pattern = fileNameBytes(parent + QStringLiteral("/.") + resolved.fileName()) + ".new-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        opened_ = Status::failure(
            QStringLiteral("フォルダ %1 を作成できません（%2）").arg(target, writeFailureCause(errno)));
        return;
    }
    staging_ = fileNameFromBytes(pattern);
    // mkdtemp's folder is private; the report keeps the old folder's mode, or
    // gets a folder's usual one.
    struct stat old { };
    const mode_t mode = ::stat(fileNameBytes(target_).constData(), &old) == 0 ? old.st_mode & 07777 : 0755;
    ::chmod(pattern.constData(), mode);
}

ReportFolder::~ReportFolder()
{
    if (!swapped_)
        removeStaging();
}

void ReportFolder::removeStaging()
{
    if (staging_.isEmpty())
        return;
    // Only what was written into it: files.
    removeFiles(staging_, entriesOf(staging_).value_or(QStringList()));
}

Status ReportFolder::swapIn()
{
    if (!opened_.ok())
        return opened_;
    if (swapped_)
        return Status::failure(QStringLiteral("%1 は置き換え済みです").arg(target_));
    const QByteArray target = fileNameBytes(target_);
    const QByteArray staging = fileNameBytes(staging_);
    const auto failure = [this](int error) {
        return Status::failure(
            QStringLiteral("%1 を置き換えられません（%2）").arg(target_, writeFailureCause(error)));
    };

    struct stat info { };
    if (::lstat(target.constData(), &info) != 0) {
        if (errno != ENOENT)
            return failure(errno);
        if (::rename(staging.constData(), target.constData()) != 0)
            return failure(errno);
        swapped_ = true;
        return Status::success();
    }

    const std::optional<QStringList> old = entriesOf(target_);
    if (!old)
        return failure(errno);
    bool onlyReport = S_ISDIR(info.st_mode);
    for (const QString &name : *old)
        onlyReport = onlyReport && isReportFile_(name) && isRegularFile(target_ + u'/' + name);

    if (onlyReport) {
        if (::renameat2(AT_FDCWD, staging.constData(), AT_FDCWD, target.constData(), RENAME_EXCHANGE) == 0) {
            swapped_ = true;
            removeFiles(staging_, *old);  // the old report, now under the new folder's name
            return Status::success();
        }
        if (errno != EINVAL && errno != ENOSYS)
            return failure(errno);
        // A file system without the exchange: the old report steps aside first.
        QByteArray aside = fileNameBytes(QFileInfo(target_).absolutePath() + QStringLiteral("/.")
                               + QFileInfo(target_).fileName())
            + ".old-XXXXXX";
        if (::mkdtemp(aside.data()) == nullptr || ::rename(target.constData(), aside.constData()) != 0)
            return failure(errno);
        if (::rename(staging.constData(), target.constData()) != 0) {
            const int error = errno;
            ::rename(aside.constData(), target.constData());
            return failure(error);
        }
        swapped_ = true;
        removeFiles(fileNameFromBytes(aside), *old);
        return Status::success();
    }

    // The folder is shared with other files: each new file replaces its old
    // copy whole, the index last, so that it never names graphs not yet there.
    QStringList fresh = entriesOf(staging_).value_or(QStringList());
    std::stable_partition(
        fresh.begin(), fresh.end(), [](const QString &name) { return name != QLatin1String("index.html"); });
    for (const QString &name : fresh) {
        if (::rename(fileNameBytes(staging_ + u'/' + name).constData(),
                fileNameBytes(target_ + u'/' + name).constData())
            != 0)
            return failure(errno);
    }
    swapped_ = true;
    ::rmdir(staging.constData());
    return Status::success();
}

}  // namespace marunoki
