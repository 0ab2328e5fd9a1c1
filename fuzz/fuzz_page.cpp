// Fuzz target: a page as arbitrary bytes, through the body extraction and the
// page table.
//
// The first byte picks the charset the page is said to have (none, Shift_JIS,
// EUC-JP, UTF-8, or an unknown one). Besides not crashing or hanging:
//  - the body is null only for a page without a body or nested too deeply;
//  - CR LF pairs come out as they went in: for a page whose only CRs are in
//    CR LF pairs (and with no form feed or character reference that could make
//    one), extracting it and then turning its CR LF pairs into LF gives what
//    the same page written with LF alone gives;
//  - the page table holds only rows 1..300 and its cells are bounded.

#include "fuzz_check.h"
#include "web/html_body.h"
#include "web/page_table.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace {

using namespace marunoki;
using fuzz::check;

QByteArray charsetFor(uint8_t selector)
{
    switch (selector % 5) {
    case 0:
        return {};
    case 1:
        return "Shift_JIS";
    case 2:
        return "EUC-JP";
    case 3:
        return "UTF-8";
    default:
        return "x-unknown-charset";
    }
}

// True when every CR of the page stands in a CR LF pair and nothing else could
// produce a CR or form feed (a byte-order mark would make it UTF-16, where the
// bytes are no characters).
bool onlyPairedCrs(const QByteArray &page)
{
    if (page.contains('\f') || page.contains('&') || page.startsWith("\xFE\xFF")
        || page.startsWith("\xFF\xFE"))
        return false;
    for (qsizetype i = 0; i < page.size(); ++i)
        if (page[i] == '\r' && (i + 1 == page.size() || page[i + 1] != '\n'))
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray charset = charsetFor(data[0]);
    const QByteArray page(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    const QString body = extractBodyHtml(page, charset);

    if (charset == "UTF-8" && onlyPairedCrs(page)) {
        QByteArray lfOnly = page;
        lfOnly.replace("\r\n", "\n");
        const QString lfBody = extractBodyHtml(lfOnly, charset);
        check(body.isNull() == lfBody.isNull(), "CR LF pairs do not change whether there is a body");
        QString normalized = body;
        normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        check(normalized == lfBody, "CR LF pairs come out as they went in");
    }

    PageTable table;
    splitPage(body.isNull() ? QString::fromUtf8(page) : body, table);
    check(table.cell(0, 0).isEmpty() && table.cell(0, 1).isEmpty(), "row 0 stays empty");
    qsizetype cellText = 0;
    for (int r = 1; r <= kPageRows; ++r)
        for (int c = 1; c <= kPageCols; ++c)
            cellText += table.cell(r, c).size();
    check(cellText <= 2 * table.pageHtml.size() + (1 << 20), "cell text bounded by the page");
    return 0;
}
