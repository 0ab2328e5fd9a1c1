#pragma once
// The page loader: fetches one page through a PageSource, cuts it into the
// reader's page table, and checks that it is the page the reader expected.
//
// Statuses, as every reader returns them to its caller:
//   0  the page was read and passed the check
//   1  not the expected page (wrong page, HTTP error, time-out, too large ...)
//   2  the user stopped the load (cancelFlag was -1); cancelFlag is set back to 0

#include "web/page_table.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

namespace marunoki {

class MessageSink;
class PageSource;

// Receives the loader's status line ("出馬表読込み中・・・", "03/16 馬名成績読込み中・・・").
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void status(const QString &text) = 0;
    // Runner `current` of `count` is being read (1-based); shown as a progress
    // bar where there is one.
    virtual void runnerProgress(int current, int count)
    {
        (void)current;
        (void)count;
    }
};

// What one reader asks of the loader.
struct PageRequest {
    QString statusText;  // shown while the page loads
    std::function<bool(const PageTable &)> check;  // empty = no check (calendar)
    QString splitFailureMessage;  // "WebData読込みエラー(err-AA01)" ...
    bool honoursCancel = true;  // false for the meeting calendar
};

// What became of a page load: read and checked, not the expected page (or not
// fetched), or stopped by the user.
enum class [[nodiscard]] PageStatus {Read, NotExpected, Cancelled};

class PageLoader {
public:
    // Nothing is owned; all four must outlive the loader.
    PageLoader(
        PageSource &source, ProgressSink &progress, MessageSink &messages, std::atomic<qint16> &cancelFlag);
    PageLoader(const PageLoader &) = delete;
    PageLoader &operator=(const PageLoader &) = delete;

    // Loads the page at url into table (cleared first) and runs the check.
    // Returns the status as above. A failure to fetch (connection, HTTP status,
    // time limit, size limit) returns 1 without a message of its own: the reader's
    // caller shows its message ("出馬表が正常に読み込めません") once, with
    // failureDetail() behind it.
    PageStatus load(const QString &url, const PageRequest &request, PageTable &table);

    // The address and the cause of the last load's failed fetch,
    // "<address> (<cause>)"; empty when the last load fetched its page.
    QString failureDetail() const { return failureDetail_; }

    // Starts fetching these pages ahead (the horse pages of a race), so that the
    // later load() calls for them find them ready. Results never depend on it.
    void prefetch(const QStringList &urls);

private:
    PageSource &source_;
    ProgressSink &progress_;
    MessageSink &messages_;
    std::atomic<qint16> &cancelFlag_;
    QString failureDetail_;
};

}  // namespace marunoki
