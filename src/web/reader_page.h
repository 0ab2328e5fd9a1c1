#pragma once
// What every site reader keeps between loads: the page table (and page HTML) of
// the last page it loaded, and the one way it loads a page.

#include "web/page_loader.h"

#include <QString>

#include <memory>

namespace marunoki {

class MessageSink;
class PageTable;
class RaceStore;

// The base of the card and history readers; never held or deleted as a ReaderPage.
class ReaderPage {
public:
    ReaderPage();
    ReaderPage(const ReaderPage &) = delete;
    ReaderPage &operator=(const ReaderPage &) = delete;

    // The last page this reader loaded (empty before the first load).
    const PageTable &table() const { return *table_; }

protected:
    ~ReaderPage();

    // Loads url into the table through the loader and, when the page was read and
    // passed the check (PageStatus::Read), runs the parse steps on it. Returns the
    // loader's status.
    PageStatus read(PageLoader &loader, const QString &url, const PageRequest &request,
        const std::function<void(const PageTable &)> &parse);

    // A request with the status text, the page check and the splitter message.
    static PageRequest request(const QString &statusText, std::function<bool(const PageTable &)> check,
        const QString &splitFailureMessage);

private:
    std::unique_ptr<PageTable> table_;
};

// A site's race-card reader: loads the card of a race and fills the race fields,
// the runners and run 0 of every runner, and each runner's page address.
class CardReader : public ReaderPage {
public:
    virtual ~CardReader() = default;
    // Loads the card at url and, when the page check passes, parses it. Returns
    // the loader's status; the parse never changes it. siteBase is the site's
    // base address, from which the runners' addresses are made.
    virtual PageStatus readCard(PageLoader &loader, const QString &url, const QString &siteBase,
        RaceStore &store, MessageSink &messages)
        = 0;
};

// A site's horse-history reader: loads runner n's past-performance page and
// fills its pedigree and past runs.
class HistoryReader : public ReaderPage {
public:
    virtual ~HistoryReader() = default;
    // Loads the page at url and, when the page check passes, parses it. Returns
    // the loader's status; the parse never changes it.
    virtual PageStatus readHistory(PageLoader &loader, const QString &url, const QString &siteBase,
        RaceStore &store, qint32 n, MessageSink &messages)
        = 0;
};

}  // namespace marunoki
