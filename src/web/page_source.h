#pragma once
// Where pages come from: the network (http, https, file://), an archive folder of
// pages saved by an earlier load, or a fake in tests. A source returns the page's
// body HTML as a browser's DOM serializes it (see html_body.h).

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>

namespace marunoki {

struct [[nodiscard]] FetchedPage {
    enum class Outcome { Ok, Failed, Cancelled };
    Outcome outcome = Outcome::Failed;
    QString bodyHtml;  // Ok: the body's inner HTML, CR LF pairs still in it; null
                       // when the page has no body to cut (see extractBodyHtml)
    QString error;  // Failed: the cause, for a message that names the address
    QByteArray bytes;  // Ok: the page as served, for an archive (may be empty)
    QByteArray charset;  // Ok: the Content-Type header's charset, if any
};

class PageSource {
public:
    virtual ~PageSource() = default;

    // Returns the page at url. Blocks until it is there, the fetch failed, or
    // cancelFlag becomes -1 (then Outcome::Cancelled, at once). Thread-safe.
    virtual FetchedPage fetch(const QString &url, const std::atomic<qint16> &cancelFlag) = 0;

    // Begins fetching these addresses ahead, in order; fetch() of one of them
    // then waits for (or takes) that result. The default does nothing.
    virtual void prefetch(const QStringList &urls) { (void)urls; }

    // Drops every fetch ahead that has not been taken (a stop, or a new load).
    virtual void cancelAll() { }

    // The page at url, as fetched last, was not the page its reader expected
    // (an error or maintenance page served as 200): a source that keeps pages
    // forgets it. The default does nothing.
    virtual void discard(const QString &url) { (void)url; }
};

}  // namespace marunoki
