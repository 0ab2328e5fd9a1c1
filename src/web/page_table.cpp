#include "web/page_table.h"

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
QString stripMarkup(QStringView s)
{
    QString out;
    qsizetype gt = s.indexOf(u'>');
    while (gt >= 0) {
        const qsizetype lt = s.indexOf(u'<', gt + 1);
        const qsizetype end = lt < 0 ? s.size() : lt;
        out.append(s.mid(gt + 1, end - gt - 1));
        gt = s.indexOf(u'>', gt + 1);
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
    table.clear();
    QString html = bodyHtml;
    html.replace(QStringLiteral("\r\n"), QString());
    table.pageHtml = html;

    const QStringView page(table.pageHtml);
    qsizetype start = 0;  // 0-based position of the first character of the next row
    for (int row = 1; row <= kPageRows; ++row) {
        const qsizetype p = findMarker(page, start, u"tr>", u"TR>");
        // No marker, or an empty row at the current start: this and every later
        // row would find the same marker first, so all of them stay empty.
        if (p < 0 || p == start)
            break;
        table.setCell(row, 0, page.mid(start, p - start).toString());
        start = p + 5;
    }

    for (int row = 1; row <= kPageRows; ++row) {
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
            const QStringView s = rowText.mid(cellStart, p - cellStart);
            if (!s.isEmpty())
                table.setCell(row, col, stripMarkup(s));
            cellStart = p + 5;
        }
    }
}

}  // namespace marunoki
