#include "web/page_loader.h"

#include "app/message_sink.h"
#include "web/page_source.h"

namespace marunoki {

PageLoader::PageLoader(
    PageSource &source, ProgressSink &progress, MessageSink &messages, std::atomic<qint16> &cancelFlag)
    : source_(source)
    , progress_(progress)
    , messages_(messages)
    , cancelFlag_(cancelFlag)
{ }

PageStatus PageLoader::load(const QString &url, const PageRequest &request, PageTable &table)
{
    progress_.status(request.statusText);
    failureDetail_.clear();

    // The meeting calendar's waits do not look at the stop flag; it waits on a
    // flag that nobody sets.
    const std::atomic<qint16> notStopped {0};
    const std::atomic<qint16> &flag = request.honoursCancel ? cancelFlag_ : notStopped;
    const auto stopRequested = [&flag] { return flag.load() == -1; };
    const auto cancel = [this] {
        source_.cancelAll();
        cancelFlag_.store(0);
        return PageStatus::Cancelled;
    };

    if (stopRequested())
        return cancel();
    const FetchedPage page = source_.fetch(url, flag);
    if (page.outcome == FetchedPage::Outcome::Cancelled || stopRequested())
        return cancel();
    if (page.outcome == FetchedPage::Outcome::Failed) {
        failureDetail_ = QStringLiteral("%1 (%2)").arg(url, page.error);
        return PageStatus::NotExpected;
    }

    // A page without a body (a frameset page, or one nested too deeply to parse)
    // gets the reader's splitter message and an empty table, which then fails
    // the check.
    if (page.bodyHtml.isNull()) {
        table.clear();
        messages_.message(request.splitFailureMessage);
    } else if (!splitPageUnlessStopped(page.bodyHtml, table, flag)) {
        return cancel();
    }
    const bool refused = request.check && !request.check(table);
    // A page that is no page for its reader is not kept for the next load.
    if (refused || page.bodyHtml.isNull())
        source_.discard(url);
    return refused ? PageStatus::NotExpected : PageStatus::Read;
}

void PageLoader::prefetch(const QStringList &urls)
{
    source_.prefetch(urls);
}

}  // namespace marunoki
