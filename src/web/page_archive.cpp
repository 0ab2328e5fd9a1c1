#include "web/page_archive.h"

#include "app/message_sink.h"
#include "app/regular_file.h"
#include "web/fetch_cause.h"
#include "web/network_page_source.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <cerrno>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace marunoki {

namespace {

constexpr int kMaxBaseName = 80;

// Tabs and line breaks would break the index's lines; a backslash escapes them.
QString escapeField(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString unescapeField(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const QChar next = text[++i];
        out += next == u't' ? QChar(u'\t') : next == u'n' ? QChar(u'\n') : next == u'r' ? QChar(u'\r') : next;
    }
    return out;
}

// A name the index may point at: a plain file inside the folder.
bool isPlainFileName(const QString &name)
{
    return !name.isEmpty() && !name.startsWith(u'.') && !name.contains(u'/') && !name.contains(u'\\')
        && !name.contains(u':') && name != QLatin1String(PageArchive::kIndexName);
}

}  // namespace

QString readablePageName(const QString &url, bool *shortened)
{
    const QUrl u(url);
    QString raw = u.host() + u.path();
    if (u.hasQuery())
        raw += u'_' + u.query();
    QString base;
    for (QChar c : raw) {
        const bool keep = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')
            || c == u'.' || c == u'-';
        if (keep)
            base += c;
        else if (!base.endsWith(u'_'))
            base += u'_';
    }
    while (base.startsWith(u'_') || base.startsWith(u'.'))
        base.remove(0, 1);
    while (base.endsWith(u'_') || base.endsWith(u'.'))
        base.chop(1);
    for (const QLatin1String ext : {QLatin1String(".html"), QLatin1String(".htm")}) {
        if (base.endsWith(ext, Qt::CaseInsensitive))
            base.chop(ext.size());  // ".html" is added back to every name
    }
    *shortened = base.size() > kMaxBaseName;
    base.truncate(kMaxBaseName);
    return base.isEmpty() ? QStringLiteral("page") : base;
}

PageArchive::PageArchive(const QString &folder, const FileSystem &files)
    : folder_(QDir(folder).absolutePath() + u'/')
    , files_(files)
{
    std::lock_guard lock(mutex_);
    readIndexLocked();
}

void PageArchive::readIndexLocked()
{
    lines_.clear();
    indexProblem_.clear();
    // An index that is not a regular file (a FIFO would block), too large or
    // unreadable is not used, and never written over: the pages it lists would
    // be lost from it.
    const QString indexPath = folder_ + QLatin1String(kIndexName);
    const RegularFileRead index = readRegularFile(indexPath, kMaxIndexBytes + 1);
    if (!index.status.ok()) {
        if (QFileInfo(indexPath).exists() || QFileInfo(indexPath).isSymLink())
            indexProblem_ = index.status.message();
        return;
    }
    if (index.bytes.size() > kMaxIndexBytes) {
        indexProblem_ = QStringLiteral("%1 MB を超えています").arg(kMaxIndexBytes / (1024 * 1024));
        return;
    }
    QByteArrayList raws = index.bytes.split('\n');
    if (raws.last().isEmpty())
        raws.removeLast();  // the break that ends the last line
    lines_.reserve(size_t(raws.size()));
    for (QByteArray &raw : raws) {
        IndexLine line {std::move(raw), {}, {}, {}};
        const QList<QByteArray> fields = line.raw.split('\t');
        // A line of no use to us is someone else's: it stays as it was. So
        // does a text that is not UTF-8, which would not come back the same.
        const bool utf8 = QString::fromUtf8(line.raw).toUtf8() == line.raw;
        if (utf8 && fields.size() == 3) {
            const QString url = unescapeField(QString::fromUtf8(fields[0]));
            const QString file = QString::fromUtf8(fields[1]);
            if (!url.isEmpty() && isPlainFileName(file)) {
                line.url = url;
                line.file = file;
                line.charset = fields[2].trimmed();
            }
        }
        lines_.push_back(std::move(line));
    }
}

std::optional<size_t> PageArchive::pageLineLocked(const QString &url) const
{
    for (size_t i = lines_.size(); i-- > 0;) {
        if (lines_[i].url == url)
            return i;
    }
    return std::nullopt;
}

QString PageArchive::indexRefusal() const
{
    return QStringLiteral("索引 %1 が読めません（%2）").arg(QLatin1String(kIndexName), indexProblem_);
}

QString PageArchive::fileNameFor(const QString &url) const
{
    std::lock_guard lock(mutex_);
    return fileNameLocked(url);
}

// A generated name may be written for an address when no other address of
// the index uses it and no file of that name exists, unless the index already
// lists that very file as this address's page (an earlier save of ours).
bool PageArchive::nameIsFreeFor(const QString &url, const QString &name) const
{
    for (const IndexLine &line : lines_) {
        if (!line.url.isEmpty() && line.url != url && line.file.compare(name, Qt::CaseInsensitive) == 0)
            return false;
    }
    if (const auto own = pageLineLocked(url); own && lines_[*own].file == name)
        return true;
    return !QFileInfo(folder_ + name).exists() && !QFileInfo(folder_ + name).isSymLink();
}

QString PageArchive::fileNameLocked(const QString &url) const
{
    // Only names made from the address: an index line naming "notes.txt" or
    // "marunoki.dat" never becomes a file the archive writes.
    bool shortened = false;
    const QString base = readablePageName(url, &shortened);
    const QString plain = base + QLatin1String(".html");
    const QByteArray hash = QCryptographicHash::hash(url.toUtf8(), QCryptographicHash::Sha1).toHex().left(10);
    const QString hashed = base + u'-' + QString::fromLatin1(hash) + QLatin1String(".html");
    // An address saved before keeps its file.
    if (const auto own = pageLineLocked(url); own && lines_[*own].file == hashed)
        return hashed;
    if (!shortened && nameIsFreeFor(url, plain))
        return plain;
    return nameIsFreeFor(url, hashed) ? hashed : QString();
}

Status PageArchive::writeIndexLocked() const
{
    QByteArray text;
    for (const IndexLine &line : lines_)
        text += line.raw + '\n';
    return writeFileAtomically(folder_ + QLatin1String(kIndexName), text, files_);
}

namespace {

// The folder locked against the saves of other programs for as long as the
// object lives. A file system that cannot lock is used unlocked.
class FolderLock {
public:
    explicit FolderLock(const QString &folder)
        : fd_(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        if (fd_ < 0)
            return;
        QElapsedTimer waited;
        waited.start();
        while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            if ((errno != EWOULDBLOCK && errno != EINTR) || waited.elapsed() > PageArchive::kLockWaitMs) {
                busy_ = errno == EWOULDBLOCK;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    ~FolderLock()
    {
        if (fd_ >= 0)
            ::close(fd_);  // lets the lock go
    }
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    // Whether another program held the lock for the whole wait.
    bool busy() const { return busy_; }

private:
    int fd_;
    bool busy_ = false;
};

}  // namespace

Status PageArchive::save(const QString &url, const QByteArray &bytes, const QByteArray &charset)
{
    std::lock_guard lock(mutex_);
    if (!QDir().mkpath(folder_))
        return Status::failure(QStringLiteral("フォルダを作れません"));
    const FolderLock folderLock(folder_);
    if (folderLock.busy())
        return Status::failure(
            QStringLiteral("別のプログラムがこのフォルダに保存していて、%1 秒待っても終わりません")
                .arg(kLockWaitMs / 1000));
    // Another program may have saved since this one last read the index.
    readIndexLocked();
    if (!indexProblem_.isEmpty())
        return Status::failure(indexRefusal());
    const QString name = fileNameLocked(url);
    if (name.isEmpty())
        return Status::failure(QStringLiteral("このアドレスのファイル名はすべて別のファイルが使っています"));
    const Status written = writeFileAtomically(folder_ + name, bytes, files_);
    if (!written.ok())
        return written;
    QByteArray cleanCharset = charset;
    cleanCharset.replace('\t', ' ').replace('\n', ' ').replace('\r', ' ');
    IndexLine line {escapeField(url).toUtf8() + '\t' + name.toUtf8() + '\t' + cleanCharset.trimmed(), url,
        name, cleanCharset.trimmed()};
    // The address's line naming this file is ours and is replaced in place;
    // any other line stays, and the new one (last) gives the page from now on.
    if (const auto own = pageLineLocked(url); own && lines_[*own].file == name)
        lines_[*own] = std::move(line);
    else
        lines_.push_back(std::move(line));
    return writeIndexLocked();
}

Result<PageArchive::Page> PageArchive::load(const QString &url) const
{
    IndexLine entry;
    {
        std::lock_guard lock(mutex_);
        if (!indexProblem_.isEmpty())
            return Result<Page>::failure(Status::failure(indexRefusal()));
        const auto line = pageLineLocked(url);
        if (!line)
            return Result<Page>::failure(Status::failure(notInArchiveCause()));
        entry = lines_[*line];
    }
    // The index may name anything in the folder; a FIFO would hold the load.
    RegularFileRead read = readRegularFile(folder_ + entry.file, NetworkPageSource::kMaxPageBytes + 1);
    if (!read.status.ok())
        return Result<Page>::failure(
            Status::failure(QStringLiteral("%1: %2").arg(entry.file, read.status.message())));
    Page page {std::move(read.bytes), entry.charset};
    if (page.bytes.size() > NetworkPageSource::kMaxPageBytes)
        return Result<Page>::failure(Status::failure(QStringLiteral("ページが大きすぎます")));
    return {std::move(page), Status::success()};
}

ArchivingPageSource::ArchivingPageSource(PageSource &inner, PageArchive &archive, MessageSink &messages)
    : inner_(inner)
    , archive_(archive)
    , messages_(messages)
{ }

FetchedPage ArchivingPageSource::fetch(const QString &url, const std::atomic<qint16> &cancelFlag)
{
    FetchedPage page = inner_.fetch(url, cancelFlag);
    if (page.outcome != FetchedPage::Outcome::Ok)
        return page;
    if (const Status saved = archive_.save(url, page.bytes, page.charset);
        !saved.ok() && !reported_.exchange(true))
        messages_.message(QStringLiteral("ページを保存できません: %1 (%2)").arg(url, saved.message()));
    return page;
}

OfflinePageSource::OfflinePageSource(const PageArchive &archive)
    : archive_(archive)
{ }

FetchedPage OfflinePageSource::fetch(const QString &url, const std::atomic<qint16> &cancelFlag)
{
    // Reading the file never blocks (only regular files are read); its parse
    // may take long, and a stop does not wait for it.
    const Result<PageArchive::Page> page = archive_.load(url);
    if (!page.ok())
        return failedPage(page.status.message());
    return pageFromBytesUnlessStopped(page.value.bytes, page.value.charset, cancelFlag);
}

}  // namespace marunoki
