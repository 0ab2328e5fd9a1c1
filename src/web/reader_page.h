#pragma once
// What every site reader keeps between loads: the page table (and page HTML) of
// the last page it loaded, and the one way it loads a page.

#include "web/page_loader.h"

#include <QString>

#include <memory>

namespace marunoki {

class PageTable;

// A base of the readers only; never held or deleted as a ReaderPage.
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
    // passed the check (status 0), runs the parse steps on it. Returns the status:
    // 0 read, 1 not the expected page, 2 stopped by the user.
    int read(PageLoader &loader, const QString &url, const PageRequest &request,
        const std::function<void(const PageTable &)> &parse);

    // A request with the status text, the page check and the splitter message.
    static PageRequest request(const QString &statusText, std::function<bool(const PageTable &)> check,
        const QString &splitFailureMessage);

private:
    std::unique_ptr<PageTable> table_;
};

}  // namespace marunoki
