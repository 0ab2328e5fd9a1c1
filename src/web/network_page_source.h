#pragma once
// Pages from the web (http, https) and from local files (file://).
//
// The requests run in a network thread of their own; the thread that asks for a
// page waits on a condition and looks at the stop flag every 20 ms, so no event
// loop is ever spun inside a load. The body HTML of each arriving page is
// extracted on a parser thread while the other pages are still on their way.
//
// Limits, each a failure with its cause: a time limit per page (30 s unless set),
// at most 5 redirects, 20 MB per page, an HTTP status other than 2xx.
//
// Manners (see request_pacing.h): requests start at most `rate` a second (no
// limit unless set), a wait in the queue not counting towards a page's time
// limit. A busy answer (HTTP 429 or 503) with a Retry-After of up to a minute is
// waited out, starting nothing else meanwhile, and the page is asked for again,
// up to three times; the first such wait is said once to the notice sink. A
// stop ends a fetch() waiting at once, as ever. prefetch()
// keeps up to maxInFlight requests open (4 unless set; 1 fetches strictly one
// after another), started in the order given; fetch() takes a prefetched result,
// waits for it, or starts the request itself (ahead of the prefetched ones).
//
// Thread-safe. The destructor aborts what is in flight and stops the network
// thread; a page still being parsed is abandoned, not waited for.
// Needs a QCoreApplication (the program's) for the network thread's event loop;
// without one every http(s) fetch fails at once.

#include "web/page_source.h"
#include "web/request_pacing.h"

#include <memory>

namespace marunoki {

class MessageSink;

class NetworkPageSource : public PageSource {
public:
    static constexpr int kDefaultTimeLimitMs = 30000;
    static constexpr int kDefaultMaxInFlight = 4;
    static constexpr qint64 kMaxPageBytes = 20 * 1024 * 1024;

    // clock: what the request rate is kept by (a test's own clock; it must
    // outlive the source).
    explicit NetworkPageSource(const Clock &clock = steadyClock());
    ~NetworkPageSource() override;
    NetworkPageSource(const NetworkPageSource &) = delete;
    NetworkPageSource &operator=(const NetworkPageSource &) = delete;

    // Applies to requests started afterwards.
    void setTimeLimitMs(int ms);
    // At least 1.
    void setMaxInFlight(int count);
    // Requests started per second; 0 (the default) is no limit.
    void setRate(double perSecond);
    // Where the source says, once, that the site asked it to wait; said from
    // the thread of a fetch() that is waiting. Nothing is said without one. The
    // sink must outlive the source.
    void setNotices(MessageSink *sink);

    FetchedPage fetch(const QString &url, const std::atomic<qint16> &cancelFlag) override;
    void prefetch(const QStringList &urls) override;
    // Aborts every request in flight and drops every result not yet taken; a
    // fetch() waiting at that moment returns Cancelled.
    void cancelAll() override;

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

// A page that arrived: its body extracted from the bytes (see extractBodyHtml),
// the bytes and charset kept for an archive. Every source's pages go through it:
// a page that does not end with its </html> (endsWithHtmlEndTag) fails with
// cutPageCause(), and a failed page is neither cached nor archived.
FetchedPage pageFromBytes(const QByteArray &bytes, const QByteArray &charset);
// A page that could not be had, with the cause.
FetchedPage failedPage(const QString &cause);

// pageFromBytes on a thread of its own, waited for while cancelFlag is not -1.
// On a stop returns Cancelled at once and abandons the parse (it ends on its
// own and its result is dropped): a stop must not wait for the HTML parser.
FetchedPage pageFromBytesUnlessStopped(
    const QByteArray &bytes, const QByteArray &charset, const std::atomic<qint16> &cancelFlag);

// Reads a local page file the way the network source reads a page: only a
// regular file, refused over kMaxPageBytes, body extracted (see extractBodyHtml)
// unless a stop comes first. Used for file:// addresses.
FetchedPage readPageFile(const QString &path, const std::atomic<qint16> &cancelFlag);

}  // namespace marunoki
