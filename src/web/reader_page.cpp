#include "web/reader_page.h"

#include "web/page_table.h"

namespace marunoki {

ReaderPage::ReaderPage()
    : table_(std::make_unique<PageTable>())
{ }

ReaderPage::~ReaderPage() = default;

PageStatus ReaderPage::read(PageLoader &loader, const QString &url, const PageRequest &request,
    const std::function<void(const PageTable &)> &parse)
{
    const PageStatus status = loader.load(url, request, *table_);
    if (status == PageStatus::Read)
        parse(*table_);
    return status;
}

PageRequest ReaderPage::request(const QString &statusText, std::function<bool(const PageTable &)> check,
    const QString &splitFailureMessage)
{
    PageRequest r;
    r.statusText = statusText;
    r.check = std::move(check);
    r.splitFailureMessage = splitFailureMessage;
    return r;
}

}  // namespace marunoki
