#pragma once
// Test doubles around the page loader: a page source that serves fixed pages
// from memory, and a progress sink that records the status lines.

#include "web/page_loader.h"
#include "web/page_source.h"

#include <QHash>
#include <QMap>
#include <QStringList>

#include <functional>
#include <mutex>

namespace marunoki::test {

// Serves pages set by address; an unknown address fails with "HTTP 404".
// onFetch, when set, runs at the start of every fetch (to press the stop
// button in the middle of a load, for example): a fetch whose stop flag is
// then set ends as cancelled. Records what it was asked for, and what it was
// told to discard.
class FakePageSource : public PageSource {
public:
    void setPage(const QString &url, const QString &bodyHtml)
    {
        std::lock_guard lock(mutex_);
        FetchedPage page;
        page.outcome = FetchedPage::Outcome::Ok;
        page.bodyHtml = bodyHtml;
        pages_.insert(url, page);
    }
    void setResult(const QString &url, const FetchedPage &page)
    {
        std::lock_guard lock(mutex_);
        pages_.insert(url, page);
    }
    // Every page of a map of addresses to body HTML.
    void setPages(const QMap<QString, QString> &bodies)
    {
        for (auto it = bodies.begin(); it != bodies.end(); ++it)
            setPage(it.key(), it.value());
    }
    void removePage(const QString &url)
    {
        std::lock_guard lock(mutex_);
        pages_.remove(url);
    }
    // The body HTML served for an address; empty when there is none.
    QString page(const QString &url) const
    {
        std::lock_guard lock(mutex_);
        return pages_.value(url).bodyHtml;
    }

    FetchedPage fetch(const QString &url, const std::atomic<qint16> &cancelFlag) override
    {
        if (onFetch)
            onFetch(url);
        std::lock_guard lock(mutex_);
        fetched_.append(url);
        if (cancelFlag.load() == -1) {
            FetchedPage stopped;
            stopped.outcome = FetchedPage::Outcome::Cancelled;
            return stopped;
        }
        if (const auto it = pages_.find(url); it != pages_.end())
            return *it;
        FetchedPage missing;
        missing.error = QStringLiteral("HTTP 404");
        return missing;
    }
    void prefetch(const QStringList &urls) override
    {
        std::lock_guard lock(mutex_);
        prefetched_ += urls;
        ++prefetchCalls_;
        fetchedBeforePrefetch_ = int(fetched_.size());
    }
    void discard(const QString &url) override
    {
        std::lock_guard lock(mutex_);
        discarded_.append(url);
    }
    void cancelAll() override
    {
        std::lock_guard lock(mutex_);
        ++cancelAllCalls_;
    }

    QStringList fetched() const
    {
        std::lock_guard lock(mutex_);
        return fetched_;
    }
    // The pages a reader said are not to be kept.
    QStringList discarded() const
    {
        std::lock_guard lock(mutex_);
        return discarded_;
    }
    QStringList prefetched() const
    {
        std::lock_guard lock(mutex_);
        return prefetched_;
    }
    int cancelAllCalls() const
    {
        std::lock_guard lock(mutex_);
        return cancelAllCalls_;
    }
    int prefetchCalls() const
    {
        std::lock_guard lock(mutex_);
        return prefetchCalls_;
    }
    // How many pages had been fetched when the last prefetch came; -1 before any.
    int fetchedBeforePrefetch() const
    {
        std::lock_guard lock(mutex_);
        return fetchedBeforePrefetch_;
    }
    // Forgets what was fetched, discarded and prefetched, for the next load of a test.
    void forgetRequests()
    {
        std::lock_guard lock(mutex_);
        fetched_.clear();
        discarded_.clear();
        prefetched_.clear();
        prefetchCalls_ = 0;
        fetchedBeforePrefetch_ = -1;
    }

    std::function<void(const QString &)> onFetch;

private:
    mutable std::mutex mutex_;
    QHash<QString, FetchedPage> pages_;
    QStringList fetched_;
    QStringList discarded_;
    QStringList prefetched_;
    int cancelAllCalls_ = 0;
    int prefetchCalls_ = 0;
    int fetchedBeforePrefetch_ = -1;
};

class RecordingProgress : public ProgressSink {
public:
    void status(const QString &text) override
    {
        std::lock_guard lock(mutex_);
        lines_.append(text);
    }
    QStringList lines() const
    {
        std::lock_guard lock(mutex_);
        return lines_;
    }
    void clear()
    {
        std::lock_guard lock(mutex_);
        lines_.clear();
    }

private:
    mutable std::mutex mutex_;
    QStringList lines_;
};

}  // namespace marunoki::test
