#include "web/page_cache.h"

#include "app/atomic_file.h"
#include "app/message_sink.h"
#include "app/regular_file.h"
#include "web/network_page_source.h"
#include "web/page_archive.h"
#include "web/transfer_body.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <ctime>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace marunoki {

namespace {

// The first format's hash covered the page only; its entries read as missing
// but are still ours to evict.
const QByteArray kOldTag = QByteArrayLiteral("MKPAGE1");
const QByteArray kTag = QByteArrayLiteral("MKPAGE2");
constexpr qint64 kMaxHeader = 8192;

// The hash of an entry: its header's fields before the hash, and the page.
QByteArray entryHash(QByteArrayView signedFields, QByteArrayView bytes)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(signedFields);
    hash.addData(QByteArrayView("\n"));
    hash.addData(bytes);
    return hash.result().toHex();
}

QByteArray sha1Hex(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex();
}

QByteArray headerOf(const QString &url, const QByteArray &bytes, const QByteArray &charset, qint64 storedMs)
{
    QByteArray clean = charset;
    clean.replace('\t', ' ').replace('\n', ' ').replace('\r', ' ');
    const QByteArray fields = kTag + '\t' + QUrl::toPercentEncoding(url) + '\t' + clean.trimmed() + '\t'
        + QByteArray::number(bytes.size()) + '\t' + QByteArray::number(storedMs);
    return fields + '\t' + entryHash(fields, bytes) + '\n';
}

// The page in a cache file, or nothing when the file is not one of ours for
// this address or its header or bytes are not the ones stored.
std::optional<PageCache::Page> parseEntry(const QByteArray &file, const QString &url)
{
    const qsizetype eol = file.indexOf('\n');
    if (eol < 0 || eol > kMaxHeader)
        return std::nullopt;
    const QByteArrayView header = QByteArrayView(file).first(eol);
    const QList<QByteArray> fields = file.left(eol).split('\t');
    if (fields.size() != 6 || fields[0] != kTag || QUrl::fromPercentEncoding(fields[1]) != url)
        return std::nullopt;
    bool sizeOk = false;
    bool timeOk = false;
    const qint64 size = fields[3].toLongLong(&sizeOk);
    const qint64 storedMs = fields[4].toLongLong(&timeOk);
    const QByteArrayView bytes = QByteArrayView(file).sliced(eol + 1);
    if (!sizeOk || !timeOk || size != bytes.size()
        || entryHash(header.first(header.lastIndexOf('\t')), bytes) != fields[5])
        return std::nullopt;
    return PageCache::Page {
        bytes.toByteArray(), fields[2], QDateTime::fromMSecsSinceEpoch(storedMs, Qt::UTC)};
}

std::string encoded(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

// Whether the entry `name` of the open folder is a regular file (not followed
// through a link) that starts with one of the cache's tags.
bool isOurEntry(int folderFd, const char *name)
{
    const int fd = ::openat(folderFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info { };
    char head[8] = {};
    const bool ours = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)
        && ::read(fd, head, sizeof head) == ssize_t(sizeof head)
        && (QByteArrayView(head, 8) == kTag + '\t' || QByteArrayView(head, 8) == kOldTag + '\t');
    ::close(fd);
    return ours;
}

struct EvictionCandidate {
    std::string name;
    qint64 size = 0;
    qint64 age = 0;  // seconds since modified; a time in the future counts as the oldest
};

// The cache's own files in the open folder, oldest last.
std::vector<EvictionCandidate> ownEntries(DIR *dir)
{
    const qint64 now = ::time(nullptr);
    std::vector<EvictionCandidate> found;
    while (const dirent *entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        // Hidden files are the temporaries of writes in progress.
        if (name.empty() || name.front() == '.' || !name.ends_with(".html"))
            continue;
        struct stat info { };
        if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)
            || !isOurEntry(::dirfd(dir), entry->d_name))
            continue;
        const qint64 modified = info.st_mtim.tv_sec;
        found.push_back({std::string(name), qint64(info.st_size),
            modified > now ? std::numeric_limits<qint64>::max() : now - modified});
    }
    std::stable_sort(found.begin(), found.end(),
        [](const EvictionCandidate &a, const EvictionCandidate &b) { return a.age < b.age; });
    return found;
}

}  // namespace

PageKind pageKindOf(const QString &url)
{
    const QUrl u(url);
    const QString path = u.path();
    if ((path.contains(QLatin1String("/scores/")) && path.endsWith(QLatin1String("/denma.html")))
        || path.endsWith(QLatin1String("/race/page.php")))
        return PageKind::Card;
    if (path.contains(QLatin1String("/directory/horse/")) || path.endsWith(QLatin1String("/db/horse.php")))
        return PageKind::Horse;
    return PageKind::Calendar;
}

qint64 CachePolicy::maxAge(PageKind kind) const
{
    switch (kind) {
    case PageKind::Card:
        return cardMaxAge;
    case PageKind::Horse:
        return horseMaxAge;
    case PageKind::Calendar:
        break;
    }
    return calendarMaxAge;
}

PageCache::PageCache(const QString &folder, qint64 sizeLimitBytes, Clock clock)
    : folder_(QDir(folder).absolutePath() + u'/')
    , sizeLimit_(sizeLimitBytes)
    , clock_(std::move(clock))
{ }

QString PageCache::filePath(const QString &url) const
{
    bool shortened = false;
    const QString base = readablePageName(url, &shortened);
    const QByteArray hash = sha1Hex(url.toUtf8()).left(10);
    return folder_ + base + u'-' + QString::fromLatin1(hash) + QLatin1String(".html");
}

QString PageCache::refusal() const
{
    struct stat info { };
    if (::lstat(encoded(folder_.chopped(1)).c_str(), &info) != 0)
        return {};  // missing (made by the first store), or failing on every use anyway
    if (S_ISLNK(info.st_mode))
        return QStringLiteral("シンボリックリンクです");
    if (!S_ISDIR(info.st_mode))
        return QStringLiteral("フォルダではありません");
    return {};
}

std::optional<PageCache::Page> PageCache::lookup(const QString &url, qint64 maxAge) const
{
    if (maxAge <= 0 || !refusal().isEmpty())
        return std::nullopt;
    const QString path = filePath(url);
    struct stat info { };
    if (::lstat(encoded(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    // Never waits: a FIFO put there in between is refused as well.
    const RegularFileRead read = readRegularFile(path, NetworkPageSource::kMaxPageBytes + kMaxHeader + 1);
    if (!read.status.ok())
        return std::nullopt;
    std::optional<Page> page = parseEntry(read.bytes, url);
    // A page cut short (kept by an older version) is as good as damaged: the
    // next load fetches it again.
    if (!page || !endsWithHtmlEndTag(page->bytes))
        return std::nullopt;
    const qint64 age = page->storedAt.secsTo(clock_());
    // A page stored "in the future" (a clock set back) is as good as stale.
    if (age < 0 || age >= maxAge)
        return std::nullopt;
    return page;
}

Status PageCache::store(const QString &url, const QByteArray &bytes, const QByteArray &charset)
{
    if (const QString refused = refusal(); !refused.isEmpty())
        return Status::failure(
            QStringLiteral("キャッシュのフォルダ %1 は%2").arg(folder_.chopped(1), refused));
    if (!QDir().mkpath(folder_))
        return Status::failure(QStringLiteral("キャッシュのフォルダ %1 を作れません").arg(folder_));
    const QByteArray content = headerOf(url, bytes, charset, clock_().toMSecsSinceEpoch()) + bytes;
    Status written = writeFileAtomically(filePath(url), content);
    if (!written.ok())
        return written;
    bool check = false;
    {
        std::lock_guard lock(mutex_);
        storedSinceScan_ += content.size();
        // The first store scans the folder once; later ones only when what was
        // stored since could have filled a tenth of the limit.
        check = !scanned_ || storedSinceScan_ > sizeLimit_ / 10;
    }
    if (check)
        evict();
    return written;
}

void PageCache::remove(const QString &url)
{
    QFile::remove(filePath(url));
}

void PageCache::evict()
{
    {
        std::lock_guard lock(mutex_);
        scanned_ = true;
        storedSinceScan_ = 0;
    }
    // Opened without following a link: a "cache" that is one is never entered.
    const int folderFd
        = ::open(encoded(folder_.chopped(1)).c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folderFd < 0)
        return;
    DIR *dir = ::fdopendir(folderFd);
    if (dir == nullptr) {
        ::close(folderFd);
        return;
    }
    std::vector<EvictionCandidate> files = ownEntries(dir);
    qint64 total = 0;
    for (const EvictionCandidate &f : files)
        total += f.size;
    // Newest first: delete from the end, down to 90 % of the limit, so that the
    // next stores have room before the next scan.
    const qint64 target = total > sizeLimit_ ? sizeLimit_ - sizeLimit_ / 10 : total;
    while (total > target && !files.empty()) {
        // May already be gone: another program evicted it.
        ::unlinkat(::dirfd(dir), files.back().name.c_str(), 0);
        total -= files.back().size;
        files.pop_back();
    }
    ::closedir(dir);
}

CachingPageSource::CachingPageSource(
    PageSource &inner, PageCache &cache, const CachePolicy &policy, bool refresh, MessageSink &messages)
    : inner_(inner)
    , cache_(cache)
    , policy_(policy)
    , refresh_(refresh)
    , messages_(messages)
{ }

bool CachingPageSource::isFresh(const QString &url) const
{
    return !refresh_ && cache_.lookup(url, policy_.maxAge(pageKindOf(url))).has_value();
}

FetchedPage CachingPageSource::fetch(const QString &url, const std::atomic<qint16> &cancelFlag)
{
    reportRefusal();
    if (!refresh_) {
        if (const auto page = cache_.lookup(url, policy_.maxAge(pageKindOf(url))))
            return pageFromBytesUnlessStopped(page->bytes, page->charset, cancelFlag);
    }
    FetchedPage page = inner_.fetch(url, cancelFlag);
    // Only what the site really served is kept; file:// pages are already files.
    if (page.outcome != FetchedPage::Outcome::Ok || page.bytes.isEmpty() || QUrl(url).isLocalFile())
        return page;
    if (policy_.maxAge(pageKindOf(url)) <= 0)
        return page;
    const Status stored = cache_.store(url, page.bytes, page.charset);
    if (!stored.ok() && !reported_.exchange(true))
        messages_.message(QStringLiteral("ページをキャッシュに保存できません: %1").arg(stored.message()));
    return page;
}

void CachingPageSource::reportRefusal()
{
    if (reported_.load())
        return;
    const QString refused = cache_.refusal();
    if (!refused.isEmpty() && !reported_.exchange(true))
        messages_.message(QStringLiteral("キャッシュのフォルダ %1 は%2。キャッシュを使わずに読み込みます")
                              .arg(QDir::toNativeSeparators(cache_.folder().chopped(1)), refused));
}

void CachingPageSource::discard(const QString &url)
{
    cache_.remove(url);
    inner_.discard(url);
}

void CachingPageSource::prefetch(const QStringList &urls)
{
    QStringList missing;
    for (const QString &url : urls) {
        if (!isFresh(url))
            missing.append(url);
    }
    if (!missing.isEmpty())
        inner_.prefetch(missing);
}

}  // namespace marunoki
