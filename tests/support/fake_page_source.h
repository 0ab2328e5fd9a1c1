#pragma once
// Test doubles around the page loader: a page source that serves fixed pages
// from memory, and a progress sink that records the status lines.

#include "web/page_loader.h"
#include "web/page_source.h"

#include <QHash>
#include <QStringList>

#include <functional>
#include <mutex>

namespace marunoki::test {

// Serves pages set by address; an unknown address fails with "HTTP 404".
// onFetch, when set, runs at the start of every fetch (to press the stop
// button in the middle of a load, for example).
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

    std::function<void(const QString &)> onFetch;

private:
    mutable std::mutex mutex_;
    QHash<QString, FetchedPage> pages_;
    QStringList fetched_;
    QStringList prefetched_;
    int cancelAllCalls_ = 0;
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

private:
    mutable std::mutex mutex_;
    QStringList lines_;
};

}  // namespace marunoki::test
