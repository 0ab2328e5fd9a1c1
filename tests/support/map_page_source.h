#pragma once
// A page source over a map of addresses to body HTML, recording what was asked
// of it. An address equal to stopAt acts as the stop button pressed while that
// page loads. Single-threaded, as the load driver uses it.

#include "web/page_source.h"

#include <QList>
#include <QMap>
#include <QStringList>

namespace marunoki::test {

class MapPageSource : public PageSource {
public:
    explicit MapPageSource(std::atomic<qint16> &cancelFlag)
        : cancelFlag_(cancelFlag)
    { }

    FetchedPage fetch(const QString &url, const std::atomic<qint16> &) override
    {
        fetched.append(url);
        FetchedPage page;
        if (url == stopAt) {
            cancelFlag_.store(-1);
            page.outcome = FetchedPage::Outcome::Cancelled;
            return page;
        }
        const auto found = pages.constFind(url);
        if (found == pages.constEnd()) {
            page.error = QStringLiteral("HTTP 404");
            return page;
        }
        page.outcome = FetchedPage::Outcome::Ok;
        page.bodyHtml = *found;
        return page;
    }
    void prefetch(const QStringList &urls) override
    {
        prefetched.append(urls);
        fetchedBeforePrefetch = int(fetched.size());
    }
    void cancelAll() override { ++cancelAllCalls; }

    QMap<QString, QString> pages;
    QString stopAt;
    QStringList fetched;
    QList<QStringList> prefetched;
    int fetchedBeforePrefetch = -1;
    int cancelAllCalls = 0;

private:
    std::atomic<qint16> &cancelFlag_;
};

}  // namespace marunoki::test
