#pragma once
// The page table: a loaded page cut into rows and cells of plain text.
//
// Rows 0..300 and columns 0..60. Row 0 and the rows past the page's last row stay
// empty. For rows 1..300, column 0 holds the raw HTML of the row (from just after
// the previous "</tr>" up to its own "</tr>"), columns 1..60 the text of the row's
// cells with the markup removed. Every reader keeps its own table and its own
// copy of the page HTML, which it searches for links.

#include <QString>

#include <array>
#include <atomic>

namespace marunoki {

constexpr int kPageRows = 300;
constexpr int kPageCols = 60;

class PageTable {
public:
    PageTable() = default;

    // T(row, col); out-of-range positions read as the empty text, so the readers'
    // landmark offsets (row + 21 near the bottom of the page) never fault.
    const QString &cell(int row, int col) const;
    void setCell(int row, int col, const QString &text);
    void clear();

    // The page's body HTML with every CR LF pair removed.
    QString pageHtml;

private:
    std::array<std::array<QString, kPageCols + 1>, kPageRows + 1> cells_;
};

// Cuts body HTML into the table: clears it, removes every CR LF pair into
// pageHtml, splits rows on "</tr>" / "</TR>" and cells on "</td>" / "</TD>", and
// strips markup from cells 1..60. Text beyond the 300th row end and beyond the
// 60th cell end of a row is ignored. Never fails; runs in time linear in the page.
void splitPage(const QString &bodyHtml, PageTable &table);

// splitPage that gives up when cancelFlag becomes -1: then returns false with
// the table cleared. Looks at the flag often enough that a stop on a page of
// any size is seen within milliseconds.
[[nodiscard]] bool splitPageUnlessStopped(
    const QString &bodyHtml, PageTable &table, const std::atomic<qint16> &cancelFlag);

}  // namespace marunoki
