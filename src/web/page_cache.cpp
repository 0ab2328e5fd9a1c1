#include "web/page_cache.h"

#include "app/atomic_file.h"
#include "app/message_sink.h"
#include "web/network_page_source.h"
#include "web/page_archive.h"
#include "web/transfer_body.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <vector>

namespace marunoki {

namespace {

const QByteArray kTag = QByteArrayLiteral("MKPAGE1");
constexpr qint64 kMaxHeader = 8192;

QByteArray sha1Hex(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex();
}

QByteArray headerOf(const QString &url, const QByteArray &bytes, const QByteArray &charset, qint64 storedMs)
{
    QByteArray clean = charset;
    clean.replace('\t', ' ').replace('\n', ' ').replace('\r', ' ');
    return kTag + '\t' + QUrl::toPercentEncoding(url) + '\t' + clean.trimmed() + '\t'
        + QByteArray::number(bytes.size()) + '\t' + sha1Hex(bytes) + '\t' + QByteArray::number(storedMs)
        + '\n';
}

// The page in a cache file, or nothing when the file is not one of ours for
// this address or its bytes are not the ones stored.
std::optional<PageCache::Page> parseEntry(const QByteArray &file, const QString &url)
{
    const qsizetype eol = file.indexOf('\n');
    if (eol < 0 || eol > kMaxHeader)
        return std::nullopt;
    const QList<QByteArray> fields = file.left(eol).split('\t');
    if (fields.size() != 6 || fields[0] != kTag || QUrl::fromPercentEncoding(fields[1]) != url)
        return std::nullopt;
    bool sizeOk = false;
    bool timeOk = false;
    const qint64 size = fields[3].toLongLong(&sizeOk);
    const qint64 storedMs = fields[5].toLongLong(&timeOk);
    PageCache::Page page {file.mid(eol + 1), fields[2], {}};
    if (!sizeOk || !timeOk || size != page.bytes.size() || sha1Hex(page.bytes) != fields[4])
        return std::nullopt;
    page.storedAt = QDateTime::fromMSecsSinceEpoch(storedMs, Qt::UTC);
    return page;
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

std::optional<PageCache::Page> PageCache::lookup(const QString &url, qint64 maxAge) const
{
    if (maxAge <= 0)
        return std::nullopt;
    QFile file(filePath(url));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray content = file.read(NetworkPageSource::kMaxPageBytes + kMaxHeader + 1);
    std::optional<Page> page = parseEntry(content, url);
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
    // Hidden files are the temporaries of writes in progress: never counted or
    // touched.
    QFileInfoList files = QDir(folder_).entryInfoList({QStringLiteral("*.html")}, QDir::Files, QDir::Time);
    qint64 total = 0;
    for (const QFileInfo &f : files)
        total += f.size();
    if (total <= sizeLimit_)
        return;
    // Sorted newest first: delete from the end, down to 90 % of the limit, so
    // that the next stores have room before the next scan.
    const qint64 target = sizeLimit_ - sizeLimit_ / 10;
    while (total > target && !files.isEmpty()) {
        const QFileInfo oldest = files.takeLast();
        QFile::remove(oldest.absoluteFilePath());  // may already be gone: another program evicted it
        total -= oldest.size();
    }
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
    if (!refresh_) {
        if (const auto page = cache_.lookup(url, policy_.maxAge(pageKindOf(url))))
            return pageFromBytes(page->bytes, page->charset);
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
