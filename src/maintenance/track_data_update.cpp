#include "maintenance/track_data_update.h"

#include "analysis/track_db.h"
#include "app/format.h"
#include "app/message_sink.h"
#include "db/database.h"
#include "db/file_format.h"
#include "settings/settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// NOTES ON THE DESIGN
// - Order of the update: open the chosen file (it must be a regular file, so a
//   pipe or a device cannot hang the copy), refuse the installed file itself (by
//   device and inode, which also catches links to it), copy it to a temporary
//   beside "marunoki.dat" (AtomicReplacement: every write checked), check that
//   copy, then commit: fsync, the installed file's permissions, rename over
//   "marunoki.dat", fsync of the folder so the rename survives a power cut.
// - The temporary file is removed on every path but success. A process killed
//   before the rename can leave it behind; nothing ever reads it.
// - The check opens the temporary copy read-only, as every database is opened.
//   A WAL-mode SQLite file whose "-wal" log beside it is not empty is refused
//   before the copy: its newest rows may still be in the log, which is another
//   program's working file, and installing the main file alone would drop them.
// - An Access file is imported for the check (by the same import as every
//   Access file, with the caller's time limit) into a scratch folder of its own
//   that goes with the check, not into the user's cache, where a copy keyed by
//   the temporary's name would never be used again. The installed file is imported afresh on its next use
//   (its size and time differ from the old file's).
// - Error texts of the database layer name the file they opened, i.e. the
//   temporary; the messages name the file the user chose instead.

namespace marunoki {

namespace {

const QString kInstalledName = QStringLiteral("marunoki.dat");
const QString kCannotOpen = QStringLiteral("dataファイルが開けません");

TrackFileCheck checkOpened(Database &db)
{
    TrackDatabase track(db, TrackDatabase::Kind::Central);
    const std::optional<double> issued = track.issueDate();
    if (!issued)
        return {
            TrackFileCheck::Kind::NotTrackData, 0, QStringLiteral("version表がないか、その日付が読めません")};
    if (*issued > 0)
        return {TrackFileCheck::Kind::Dated, *issued, QString()};
    return {TrackFileCheck::Kind::NoIssueDate, 0, QString()};
}

// The chosen file, open for reading; refuses anything but a regular file
// without blocking on it (opening a pipe for reading waits for a writer).
class SourceFile {
public:
    explicit SourceFile(const QString &path)
    {
        fd_ = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0) {
            error_ = QStringLiteral("%1 を読めません (%2)").arg(path, qt_error_string(errno));
            return;
        }
        if (::fstat(fd_, &stat_) != 0 || !S_ISREG(stat_.st_mode)) {
            error_ = QStringLiteral("%1 はファイルではありません").arg(path);
            close();
        }
    }
    ~SourceFile() { close(); }
    SourceFile(const SourceFile &) = delete;
    SourceFile &operator=(const SourceFile &) = delete;

    bool isOpen() const { return fd_ >= 0; }
    const QString &error() const { return error_; }

    bool isSameFileAs(const QString &path) const
    {
        struct stat other { };
        return ::stat(QFile::encodeName(path).constData(), &other) == 0 && other.st_dev == stat_.st_dev
            && other.st_ino == stat_.st_ino;
    }

    // Copies the rest of the file into `out`; false with a reason on failure.
    // `readFailed` tells a fault of the source from one of the destination.
    bool copyTo(AtomicReplacement &out, bool &readFailed, QString &why)
    {
        QByteArray buffer(1 << 20, Qt::Uninitialized);
        for (;;) {
            const ssize_t got = ::read(fd_, buffer.data(), static_cast<size_t>(buffer.size()));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                readFailed = true;
                why = qt_error_string(errno);
                return false;
            }
            if (got == 0)
                return true;
            const Status written = out.write(buffer.constData(), got);
            if (!written.ok()) {
                why = written.message();
                return false;
            }
        }
    }

private:
    void close()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

    int fd_ = -1;
    struct stat stat_ { };
    QString error_;
};

TrackUpdateResult failed(TrackUpdateResult::Outcome outcome)
{
    TrackUpdateResult result;
    result.outcome = outcome;
    return result;
}

TrackUpdateResult copyFailed(MessageSink &sink, const QString &why)
{
    sink.message(
        QStringLiteral("馬場情報ファイルを更新できません（%1）。現在の馬場情報ファイルはそのままです")
            .arg(why));
    return failed(TrackUpdateResult::Outcome::CopyFailed);
}

TrackUpdateResult unopenable(MessageSink &sink, const QString &why)
{
    // One message; why (naming the file) is its detail.
    sink.detailedMessage(kCannotOpen, why);
    return failed(TrackUpdateResult::Outcome::Unopenable);
}

}  // namespace

QString trackVersionText(double issueDate)
{
    return QStringLiteral("現在の馬場情報ファイルは ") + formatDate(issueDate, QStringLiteral("yyyy/mm/dd"))
        + QStringLiteral("版です");
}

std::optional<QString> installedTrackVersion(
    const AppFolder &folder, MessageSink &sink, const QString &cacheFolder)
{
    const auto db = Database::open(folder.file(kInstalledName), sink, cacheFolder);
    if (!db)
        return std::nullopt;
    const TrackFileCheck check = checkOpened(*db);
    if (check.kind != TrackFileCheck::Kind::Dated)
        return std::nullopt;
    return trackVersionText(check.issueDate);
}

TrackFileCheck checkTrackFile(const QString &path, const TrackUpdateOptions &options)
{
    QString opened = path;
    // Declared first: the database on its copy closes before the folder goes.
    std::optional<QTemporaryDir> scratch;
    if (probeDatabaseFormat(path).format == DatabaseFormat::Access) {
        const QString base = options.scratchFolder.isEmpty() ? QDir::tempPath() : options.scratchFolder;
        scratch.emplace(base + QStringLiteral("/marunoki-check-XXXXXX"));
        if (!scratch->isValid())
            return {TrackFileCheck::Kind::Unopenable, 0,
                QStringLiteral("no scratch folder for the import of %1: %2")
                    .arg(path, scratch->errorString())};
        opened = scratch->filePath(QStringLiteral("import.sqlite"));
        const Status status = importMdb(path, opened, options.importSeconds);
        if (!status.ok())
            return {TrackFileCheck::Kind::Unopenable, 0, status.message()};
    }
    QString error;
    const auto db = Database::openQuietly(opened, &error);
    if (!db)
        return {TrackFileCheck::Kind::Unopenable, 0, error.replace(opened, path)};
    return checkOpened(*db);
}

TrackUpdateResult updateTrackFile(const AppFolder &folder, const QString &source, MessageSink &sink,
    const TrackUpdateOptions &options, const FileSystem &files)
{
    using Outcome = TrackUpdateResult::Outcome;
    if (source.isEmpty()) {
        sink.message(QStringLiteral("更新ファイルを選択してください"));
        return failed(Outcome::NoFileChosen);
    }
    const QString installed = folder.file(kInstalledName);
    SourceFile in(source);
    if (!in.isOpen())
        return unopenable(sink, in.error());
    if (in.isSameFileAs(installed)) {
        sink.message(
            QStringLiteral("選択したファイルは現在の馬場情報ファイルです。別のファイルを選択してください"));
        return failed(Outcome::SameFile);
    }

    if (QFileInfo(source + QStringLiteral("-wal")).size() > 0) {
        sink.message(QStringLiteral("選択したファイルは他のプログラムが書き込み中です。そのプログラムを終了し"
                                    "てから更新してください"));
        return failed(Outcome::InUse);
    }

    AtomicReplacement copy(installed, files);
    if (!copy.opened().ok())
        return copyFailed(sink, copy.opened().message());
    const QString copyPath = copy.temporaryPath();
    bool readFailed = false;
    QString why;
    if (!in.copyTo(copy, readFailed, why)) {
        if (readFailed)
            return unopenable(sink, QStringLiteral("%1 を読めません (%2)").arg(source, why));
        return copyFailed(sink, why);
    }

    TrackFileCheck check = checkTrackFile(copyPath, options);
    check.error.replace(copyPath, source);
    switch (check.kind) {
    case TrackFileCheck::Kind::Dated:
        break;
    case TrackFileCheck::Kind::NoIssueDate:
        return failed(Outcome::NoIssueDate);
    case TrackFileCheck::Kind::NotTrackData:
        sink.message(
            QStringLiteral("選択したファイルは馬場情報ファイルではありません（%1）").arg(check.error));
        return failed(Outcome::NotTrackData);
    case TrackFileCheck::Kind::Unopenable:
        return unopenable(sink, check.error);
    }

    const Status installedNow = copy.commit();
    if (!installedNow.ok())
        return copyFailed(sink, installedNow.message());

    TrackUpdateResult result;
    result.outcome = Outcome::Updated;
    result.issueDate = check.issueDate;
    result.versionText = trackVersionText(check.issueDate);
    return result;
}

QString updateStartFolder(const AppFolder &folder)
{
    const QFileInfo saved(readTrackDataFolder(folder));
    if (saved.isAbsolute() && saved.isDir())
        return QDir::cleanPath(saved.filePath());
    return folder.path();
}

}  // namespace marunoki
