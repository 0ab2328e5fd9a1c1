#pragma once
// The persistent page cache: pages of earlier loads kept in a folder of the
// application folder ("cache/"), so that going back to a race, or loading a
// race of a day fetched the night before, needs no network.
//
// NOTES ON THE DESIGN
// - One file per address, named the way a page archive names its pages (the
//   address made readable, plus a hash of the whole address so that the name
//   depends on the address alone). There is no shared index: two programs (the
//   desktop and the command line) may use the folder at once, and the only
//   thing they ever do to one another's files is replace or delete them whole.
// - A file starts with one header line (a tag, the address, the charset, the
//   size of the page, the time it was stored, and a SHA-1 over the header's
//   other fields and the page), then the page bytes as served. A file whose
//   header does not parse, names another address, or whose bytes or header do
//   not match the hash is damaged: it is treated as missing and the next store
//   replaces it. Entries of the first format (whose hash left the charset out)
//   read as missing too.
// - The folder holds only what the cache wrote, and the cache touches nothing
//   else: eviction deletes only regular files that start with one of our tags,
//   and works through a descriptor of the folder opened without following a
//   link, so a "cache" that is a symbolic link (or not a folder) is never
//   entered. Such a folder is refused whole: nothing is read from it or stored
//   in it, and the caching source says so once.
// - Entries are read as any file the program only reads (regular_file.h):
//   a FIFO or a device in the folder is refused without waiting.
// - Every file is written atomically (writeFileAtomically): a reader sees the
//   old page, the new page, or no page, never a mix.
// - Maximum ages are per kind of page (cards change until the race, past
//   performance changes once a week, the meeting calendar during the week); a
//   maximum age of 0 turns the cache off for that kind. Age is measured from
//   the time in the header, so copying the folder keeps the ages.
// - The size bound is kept by deleting the oldest files first, checked when the
//   cache is opened and whenever the bytes stored since the last check could
//   have crossed it. Another program may delete a file we are about to read;
//   that reads as missing. A file whose modification time lies in the future
//   (a clock set back, a touched file) counts as the oldest, so it cannot keep
//   the others from being evicted or stay for ever itself.

#include "app/status.h"
#include "web/page_source.h"

#include <QDateTime>
#include <QString>

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>

namespace marunoki {

class MessageSink;

enum class PageKind { Card, Horse, Calendar };

// Which kind of page an address is: a race card of either site, a horse's page
// of either site, or anything else (the meeting calendar's top page).
PageKind pageKindOf(const QString &url);

// How long each kind of page stays fresh, in seconds (0 = never read from the
// cache), and how large the folder may grow.
struct CachePolicy {
    qint64 cardMaxAge = 3600;
    qint64 horseMaxAge = 6 * 3600;
    qint64 calendarMaxAge = 3600;
    qint64 sizeLimitBytes = 500LL * 1024 * 1024;

    qint64 maxAge(PageKind kind) const;
};

// The folder. Thread-safe; any number of PageCache objects, in any number of
// processes, may work on the same folder.
class PageCache {
public:
    using Clock = std::function<QDateTime()>;

    // Nothing is read or created until the first lookup or store. clock gives
    // the current time (UTC); tests pass their own.
    PageCache(const QString &folder, qint64 sizeLimitBytes, Clock clock = &QDateTime::currentDateTimeUtc);

    struct Page {
        QByteArray bytes;
        QByteArray charset;
        QDateTime storedAt;
    };

    // The stored page when it is there, undamaged, whole (ending with its
    // </html>) and not older than maxAge seconds; nothing otherwise (also for
    // maxAge 0).
    std::optional<Page> lookup(const QString &url, qint64 maxAge) const;
    // Stores a page, replacing an older copy; may evict the oldest files.
    Status store(const QString &url, const QByteArray &bytes, const QByteArray &charset);
    // Forgets the page at url.
    void remove(const QString &url);
    // Deletes the oldest files until the folder is within the size limit.
    void evict();

    // Why the folder cannot be used (a symbolic link, not a folder); empty
    // when it can, or does not exist yet. Looked at anew on every call.
    QString refusal() const;

    // The file an address is stored in.
    QString filePath(const QString &url) const;
    const QString &folder() const { return folder_; }

private:
    QString folder_;
    qint64 sizeLimit_;
    Clock clock_;
    std::mutex mutex_;  // guards the two fields below
    bool scanned_ = false;
    qint64 storedSinceScan_ = 0;
};

// A page source that answers from the cache when it can and stores what the
// inner source fetches. With refresh set, the cache is not read (every page is
// fetched again) but still written: "最新の情報に更新" for one load. A page
// that cannot be stored is still returned; the first such failure, or a folder
// the cache refuses, is reported through the sink. A stop ends the reading of
// a cached page at once. Thread-safe.
class CachingPageSource : public PageSource {
public:
    CachingPageSource(
        PageSource &inner, PageCache &cache, const CachePolicy &policy, bool refresh, MessageSink &messages);

    FetchedPage fetch(const QString &url, const std::atomic<qint16> &cancelFlag) override;
    // Passes on only the addresses the cache cannot answer.
    void prefetch(const QStringList &urls) override;
    void cancelAll() override { inner_.cancelAll(); }
    // A page its reader refused is not kept: the next load fetches it again.
    void discard(const QString &url) override;

    // Whether the page at url would be answered from the cache now.
    bool isFresh(const QString &url) const;

private:
    // Says once that the cache's folder is refused (see PageCache::refusal).
    void reportRefusal();

    PageSource &inner_;
    PageCache &cache_;
    CachePolicy policy_;
    bool refresh_;
    MessageSink &messages_;
    std::atomic<bool> reported_ {false};
};

}  // namespace marunoki
