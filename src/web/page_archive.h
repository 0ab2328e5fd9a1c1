#pragma once
// Saving loaded pages to a folder, and loading them back from it without the
// network, so that a load can be repeated (or examined) with exactly the pages
// it had.
//
// The folder holds one file per address, named readably after the address's
// host, path and query (with a short hash when two addresses would share a name
// or the name had to be shortened), and "index.tsv": one line per page with the
// address, the file name and the charset of the Content-Type header. The files
// keep the bytes as served, so an offline load decodes them exactly as the
// online one did. Every file is written atomically.
//
// The folder may be shared with other files (even the application folder), and
// its index may be stale or written by someone else: a save writes only a name
// the archive generates from the address itself, never a name read from the
// index, and never over an existing file that the index does not already list
// as that address's page. A name taken by another file falls back to the
// hashed name; when that is taken too the save fails.
//
// Several programs may archive into one folder at once (two loads, a load and
// a day): each save locks the folder (flock on the folder itself, so no lock
// file is left in it), reads the index afresh and changes only its own line,
// so no save loses another's. Lines the archive did not write (other tools',
// a file name that is not UTF-8, an address listed twice) are written back
// byte for byte; of an address listed twice, the last line is its page.

#include "app/atomic_file.h"
#include "app/result.h"
#include "web/page_source.h"

#include <QString>

#include <mutex>
#include <optional>
#include <vector>

namespace marunoki {

class MessageSink;

// The readable part of the file name an address gets: host, path and query
// with every other character folded into "_", at most 80 characters, without
// ".html". shortened tells whether it had to be cut.
QString readablePageName(const QString &url, bool *shortened);

// The folder and its index. Thread-safe.
class PageArchive {
public:
    static constexpr const char *kIndexName = "index.tsv";
    static constexpr qint64 kMaxIndexBytes = 20 * 1024 * 1024;

    // Reads the folder's index if it has one; lines it cannot use are passed
    // over (and written back as they were). An index that is there but cannot
    // be read whole (not a regular file, over kMaxIndexBytes, unreadable) makes
    // every save and load fail with its cause, and is never written. Every file
    // the archive writes goes through `files`, which must outlive it.
    explicit PageArchive(const QString &folder, const FileSystem &files = systemFileSystem());

    struct Page {
        QByteArray bytes;
        QByteArray charset;
    };

    // Saves a page (replacing an earlier copy of the same address) and rewrites
    // the index as it is now in the folder, with this page's line.
    Status save(const QString &url, const QByteArray &bytes, const QByteArray &charset);
    // The saved page, or a failure when the address is not in the archive or
    // its file cannot be read.
    Result<Page> load(const QString &url) const;

    // The file name a save of this address writes (for tests and the report of
    // a load); empty when every name it could get is taken by another file.
    QString fileNameFor(const QString &url) const;

    // How long a save waits for another program's save into the same folder.
    static constexpr int kLockWaitMs = 10000;

private:
    // One line of the index as read (or written), and what it says when it is
    // a page line we understand.
    struct IndexLine {
        QByteArray raw;  // without its line break; written back as it is
        QString url;  // empty: not a page line of ours to understand
        QString file;
        QByteArray charset;
    };
    void readIndexLocked();
    // The line that gives the address's page (the last one naming it).
    std::optional<size_t> pageLineLocked(const QString &url) const;
    QString fileNameLocked(const QString &url) const;
    bool nameIsFreeFor(const QString &url, const QString &name) const;
    Status writeIndexLocked() const;
    QString indexRefusal() const;

    QString folder_;
    const FileSystem &files_;
    mutable std::mutex mutex_;
    std::vector<IndexLine> lines_;  // the index, line by line, in its order
    QString indexProblem_;  // why the index that is there could not be read; empty when it could
};

// Passes every request to another source and saves each page it gets into an
// archive. A page that cannot be saved is still returned; the first such
// failure is reported through the sink (once per source).
class ArchivingPageSource : public PageSource {
public:
    ArchivingPageSource(PageSource &inner, PageArchive &archive, MessageSink &messages);

    FetchedPage fetch(const QString &url, const std::atomic<qint16> &cancelFlag) override;
    void prefetch(const QStringList &urls) override { inner_.prefetch(urls); }
    void cancelAll() override { inner_.cancelAll(); }
    void discard(const QString &url) override { inner_.discard(url); }

    // Whether any page could not be saved (the archive is then incomplete, and
    // a run that asked for it did not do all it was asked).
    bool saveFailed() const { return reported_.load(); }

private:
    PageSource &inner_;
    PageArchive &archive_;
    MessageSink &messages_;
    std::atomic<bool> reported_ {false};
};

// Pages from an archive folder instead of the network. An address that is not
// in the archive fails with the cause "保存されたページにありません".
class OfflinePageSource : public PageSource {
public:
    explicit OfflinePageSource(const PageArchive &archive);

    FetchedPage fetch(const QString &url, const std::atomic<qint16> &cancelFlag) override;

private:
    const PageArchive &archive_;
};

}  // namespace marunoki
