#include "db/mdb_import.h"

#include "db/child_process.h"
#include "db/file_format.h"
#include "db/mdb_copy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <clocale>
#include <cstdlib>
#include <string>

#include <signal.h>
#include <sys/stat.h>

// NOTES ON THE DESIGN
// - The copy runs in a child process (child_process.h) and uses libmdb, glib and
//   SQLite only; the paths it needs are turned into bytes before the fork.
// - Limits in the child: the file it writes may not grow beyond a bound derived
//   from the source size (a crafted file must not fill the disk within the time
//   limit), and the memory it may map is bounded by the source size too.
// - The child writes the temporary of an AtomicReplacement of the destination,
//   which is removed on every path but success, and synced and renamed over
//   the destination only after the child has ended cleanly.
// - The destination is checked before the child starts: never the source file
//   itself (by device and inode), never a read-only file, a folder or a link.

namespace marunoki {

namespace {

QString describeFailure(const QString &source, const ChildOutcome &outcome, int timeLimitSeconds)
{
    switch (outcome.kind) {
    case ChildOutcome::Kind::Succeeded:
        break;
    case ChildOutcome::Kind::Failed:
        return QStringLiteral("%1 を取り込めません（%2）").arg(source, outcome.report);
    case ChildOutcome::Kind::TimedOut:
        return QStringLiteral("%1 の取り込みが %2 秒を超えたので中止しました")
            .arg(source)
            .arg(timeLimitSeconds);
    case ChildOutcome::Kind::Stopped:
        return QStringLiteral("%1 の取り込みを中止しました").arg(source);
    case ChildOutcome::Kind::NotStarted:
        return QStringLiteral("%1 の取り込みを始められません（%2）").arg(source, outcome.report);
    case ChildOutcome::Kind::Crashed:
        if (outcome.signal == SIGXFSZ)
            return QStringLiteral("%1 の取り込みを中止しました（写しがありえない大きさになりました）")
                .arg(source);
        return QStringLiteral(
            "%1 を取り込めません（Accessファイルは壊れています: 読み取りが異常終了しました、"
            "シグナル %2）")
            .arg(source)
            .arg(outcome.signal);
    }
    return QString();
}

// Whether two names lead to the same file (through links, "..", another mount
// point of the same file system): the same device and inode.
bool isSameFile(const QString &a, const QString &b)
{
    struct stat first { };
    struct stat second { };
    return ::stat(QFile::encodeName(a).constData(), &first) == 0
        && ::stat(QFile::encodeName(b).constData(), &second) == 0 && first.st_dev == second.st_dev
        && first.st_ino == second.st_ino;
}

}  // namespace

Status importMdb(const QString &source, const QString &destination, int timeLimitSeconds,
    const FileSystem &files, const std::atomic<qint16> *cancelFlag)
{
    const FormatProbe probe = probeDatabaseFormat(source);
    if (probe.format != DatabaseFormat::Access) {
        if (probe.format == DatabaseFormat::SQLite)
            return Status::failure(
                QStringLiteral("%1 は SQLite のデータベースです（Access のデータベースではありません）")
                    .arg(source));
        return Status::failure(probe.error);
    }
    const QFileInfo target(destination);
    if (!target.absoluteDir().exists())
        return Status::failure(QStringLiteral("%1 のフォルダがありません").arg(destination));
    if (isSameFile(source, destination))
        return Status::failure(
            QStringLiteral("%1 は読み込む Access ファイル %2 そのものです。別の出力先を指定してください")
                .arg(destination, source));
    // Refuses a read-only, non-regular or unwritable destination before any work.
    AtomicReplacement replacement(target.absoluteFilePath(), files);
    if (!replacement.opened().ok())
        return Status::failure(replacement.opened().message());
    const std::string sourceBytes = QFile::encodeName(source).toStdString();
    const std::string temporaryBytes = QFile::encodeName(replacement.temporaryPath()).toStdString();
    // A generous bound: text grows at most threefold from UCS-2 to UTF-8.
    const qint64 maxOutput = std::max<qint64>(QFileInfo(source).size(), 1 << 20) * 8;

    ChildLimits limits;
    limits.timeLimitSeconds = timeLimitSeconds;
    limits.maxFileBytes = maxOutput;
    // libmdb reads page by page and keeps little; what a damaged file makes it
    // allocate beyond this is the damage, not the data.
    limits.maxMemoryBytes
        = std::min<qint64>((qint64(256) << 20) + 8 * QFileInfo(source).size(), qint64(2) << 30);
    const ChildOutcome outcome = runInChildProcess(
        [&sourceBytes, &temporaryBytes]() -> std::string {
            // Access 97 (Jet 3) files keep text in the code page of the Windows
            // that wrote them; for the files this program reads that is Japanese.
            ::setenv("MDB_JET3_CHARSET", "CP932", 0);
            // Decimal values pass through libmdb as text: write and read them
            // with '.', whatever the user's locale.
            std::setlocale(LC_NUMERIC, "C");
            return copyMdbToSqlite(sourceBytes.c_str(), temporaryBytes.c_str());
        },
        limits, cancelFlag);
    if (outcome.kind != ChildOutcome::Kind::Succeeded)
        return Status::failure(describeFailure(source, outcome, timeLimitSeconds));
    // The copy's bytes reach the disk before it replaces the destination.
    const Status saved = replacement.commit();
    if (!saved.ok())
        return Status::failure(saved.message());
    return Status::success();
}

}  // namespace marunoki
