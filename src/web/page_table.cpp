#include "web/page_table.h"

#include <algorithm>

namespace marunoki {

namespace {

const QString kEmpty;

// Position of the first end tag "</tr>" or "</TR>" (given as its three-character
// tail "tr>" / "TR>"; mixed case does not count) at or after from, or -1. One
// forward pass: every "</" is looked at once, so splitting a page stays linear.
qsizetype findMarker(QStringView text, qsizetype from, QStringView lowerTail, QStringView upperTail)
{
    for (qsizetype i = text.indexOf(u"</", from); i >= 0; i = text.indexOf(u"</", i + 1)) {
        const QStringView tail = text.mid(i + 2, 3);
        if (tail == lowerTail || tail == upperTail)
            return i;
    }
    return -1;
}

// Keeps, for every ">" in order, the text up to the next "<" (or the end). Text
// before the first ">" is dropped; text after a stray ">" is copied once per ">".
//
// Those repeated copies make the result grow with the square of a run of stray
// ">" (a script's comparisons, or a broken page): a cell of a million ">" would
// ask for terabytes. The page's cells together may therefore produce at most
// budget characters, which no real page comes near (its cell texts are shorter
// than the page); what would pass it is cut off. The next "<" is remembered
// rather than searched again for every ">", so the work stays linear too.
QString stripMarkup(QStringView s, qsizetype &budget)
{
    QString out;
    qsizetype lt = -2;  // next "<" after the current ">"; -1 none left; -2 not known yet
    for (qsizetype gt = s.indexOf(u'>'); gt >= 0 && budget > 0; gt = s.indexOf(u'>', gt + 1)) {
        if (lt != -1 && lt <= gt)
            lt = s.indexOf(u'<', gt + 1);
        const qsizetype end = lt < 0 ? s.size() : lt;
        const qsizetype take = std::min(end - gt - 1, budget);
        out.append(s.mid(gt + 1, take));
        budget -= take;
    }
    return out;
}

}  // namespace

const QString &PageTable::cell(int row, int col) const
{
    if (row < 0 || row > kPageRows || col < 0 || col > kPageCols)
        return kEmpty;
    return cells_[row][col];
}

void PageTable::setCell(int row, int col, const QString &text)
{
    if (row < 0 || row > kPageRows || col < 0 || col > kPageCols)
        return;
    cells_[row][col] = text;
}

void PageTable::clear()
{
    for (auto &row : cells_)
        for (auto &c : row)
            c.clear();
    pageHtml.clear();
}

void splitPage(const QString &bodyHtml, PageTable &table)
{
    const std::atomic<qint16> notStopped {0};
    static_cast<void>(splitPageUnlessStopped(bodyHtml, table, notStopped));  // never stopped
}

bool splitPageUnlessStopped(const QString &bodyHtml, PageTable &table, const std::atomic<qint16> &cancelFlag)
{
    const auto stopped = [&table, &cancelFlag] {
        if (cancelFlag.load() != -1)
            return false;
        table.clear();
        return true;
    };
    table.clear();
    // One pass, copying the text between the pairs; the flag is looked at once
    // per stretch of text, so a stop is seen within a fraction of a millisecond.
    constexpr qsizetype kStretch = 1 << 16;
    const QStringView body(bodyHtml);
    QString &html = table.pageHtml;
    html.reserve(body.size());
    qsizetype copied = 0;
    qsizetype checked = 0;
    for (qsizetype at = body.indexOf(u"\r\n"); at >= 0; at = body.indexOf(u"\r\n", copied)) {
        html.append(body.mid(copied, at - copied));
        copied = at + 2;
        if (copied - checked > kStretch) {
            if (stopped())
                return false;
            checked = copied;
        }
    }
    html.append(body.mid(copied));
    if (stopped())
        return false;

    const QStringView page(table.pageHtml);
    qsizetype textBudget = 2 * page.size() + (1 << 20);
    qsizetype start = 0;  // 0-based position of the first character of the next row
    for (int row = 1; row <= kPageRows; ++row) {
        const qsizetype p = findMarker(page, start, u"tr>", u"TR>");
        // No marker, or an empty row at the current start: this and every later
        // row would find the same marker first, so all of them stay empty.
        if (p < 0 || p == start)
            break;
        table.setCell(row, 0, page.mid(start, p - start).toString());
        start = p + 5;
        if (stopped())
            return false;
    }

    for (int row = 1; row <= kPageRows; ++row) {
        if (stopped())
            return false;
        const QString raw = table.cell(row, 0);
        if (raw.isEmpty())
            continue;
        const QStringView rowText(raw);
        qsizetype cellStart = 0;
        for (int col = 1; col <= kPageCols; ++col) {
            // A marker right at the cell start is passed over and the scan goes on.
            qsizetype p = findMarker(rowText, cellStart, u"td>", u"TD>");
            if (p == cellStart)
                p = findMarker(rowText, cellStart + 1, u"td>", u"TD>");
            if (p < 0)
                break;
            table.setCell(row, col, stripMarkup(rowText.mid(cellStart, p - cellStart), textBudget));
            cellStart = p + 5;
        }
    }
    return true;
}

}  // namespace marunoki
