#include "web/page_table.h"

#include <gtest/gtest.h>

namespace marunoki {
namespace {

QString row(int cells, const QString &prefix = QStringLiteral("c"))
{
    QString html = QStringLiteral("<tr>");
    for (int i = 1; i <= cells; ++i)
        html += QStringLiteral("<td>%1%2</td>").arg(prefix).arg(i);
    return html + QStringLiteral("</tr>");
}

QString rows(int count)
{
    QString html = QStringLiteral("<table><tbody>");
    for (int r = 1; r <= count; ++r)
        html += QStringLiteral("<tr><td>r%1</td></tr>").arg(r);
    return html + QStringLiteral("</tbody></table>");
}

TEST(SplitPage, DropsCellsBeyondTheSixtieth)
{
    PageTable t;
    splitPage(QStringLiteral("<table>") + row(70) + QStringLiteral("</table>"), t);
    EXPECT_EQ(t.cell(1, 1), QStringLiteral("c1"));
    EXPECT_EQ(t.cell(1, 60), QStringLiteral("c60"));
    EXPECT_EQ(t.cell(1, 61), QString());
    EXPECT_TRUE(t.cell(1, 0).contains(QStringLiteral("c70")));  // the raw row keeps everything
}

TEST(SplitPage, LeavesRowsPastTheLastRowEmpty)
{
    PageTable t;
    splitPage(rows(5), t);
    EXPECT_EQ(t.cell(5, 1), QStringLiteral("r5"));
    for (int r = 6; r <= kPageRows; ++r)
        EXPECT_TRUE(t.cell(r, 0).isEmpty() && t.cell(r, 1).isEmpty()) << r;
    EXPECT_TRUE(t.cell(0, 0).isEmpty());
}

TEST(SplitPage, IgnoresRowsBeyondTheThreeHundredth)
{
    PageTable t;
    splitPage(rows(320), t);
    EXPECT_EQ(t.cell(300, 1), QStringLiteral("r300"));
    EXPECT_EQ(t.cell(301, 1), QString());
    EXPECT_FALSE(t.pageHtml.isEmpty());
    EXPECT_TRUE(t.pageHtml.contains(QStringLiteral("r320")));
}

TEST(SplitPage, CellOfLinkedHorseNameYieldsTheNameAlone)
{
    PageTable t;
    splitPage(QStringLiteral("<tr><td class=\"bml\"><a href=\"/directory/horse/2004104205/index.html\">"
                             "ディープインパクト</a></td><td>57.0</td></tr>"),
        t);
    EXPECT_EQ(t.cell(1, 1), QStringLiteral("ディープインパクト"));
    EXPECT_EQ(t.cell(1, 2), QStringLiteral("57.0"));
}

TEST(SplitPage, EmptyRowLeavesItAndAllLaterRowsEmpty)
{
    PageTable t;
    splitPage(QStringLiteral("<tr><td>a</td></tr></tr><tr><td>b</td></tr>"), t);
    EXPECT_EQ(t.cell(1, 1), QStringLiteral("a"));
    EXPECT_TRUE(t.cell(2, 0).isEmpty());
    EXPECT_TRUE(t.cell(3, 0).isEmpty());
    EXPECT_FALSE(t.pageHtml.isEmpty());
}

TEST(SplitPage, PassesOverACellMarkerAtTheCellStart)
{
    PageTable t;
    // The second "</td>" starts right where the second cell would: it is passed
    // over, and the cell runs to the next marker.
    splitPage(QStringLiteral("<tr><td>a</td></td><td>b</td></tr>"), t);
    EXPECT_EQ(t.cell(1, 1), QStringLiteral("a"));
    EXPECT_EQ(t.cell(1, 2), QStringLiteral("b"));
    EXPECT_EQ(t.cell(1, 3), QString());
}

TEST(SplitPage, RemovesCrLfPairsOnly)
{
    PageTable t;
    splitPage(QStringLiteral("<tr><td>\r\n出馬表\r\n</td><td>a\nb\rc</td></tr>"), t);
    EXPECT_EQ(t.cell(1, 1), QStringLiteral("出馬表"));
    EXPECT_EQ(t.cell(1, 2), QStringLiteral("a\nb\rc"));
    EXPECT_FALSE(t.pageHtml.contains(QStringLiteral("\r\n")));
}

TEST(SplitPage, MarkersMatchInLowerOrUpperCaseOnly)
{
    struct Case {
        const char *html;
        const char *cell1;
        const char *cell2;
    };
    const Case cases[] = {
        {"<TR><TD>a</TD><TD>b</TD></TR>", "a", "b"}, {"<tr><td>a</td><td>b</td></tr>", "a", "b"},
        {"<tr><td>a</Td><td>b</td></tr>", "ab", ""},  // mixed case is no marker
    };
    for (const Case &c : cases) {
        PageTable t;
        splitPage(QString::fromUtf8(c.html), t);
        EXPECT_EQ(t.cell(1, 1), QString::fromUtf8(c.cell1)) << c.html;
        EXPECT_EQ(t.cell(1, 2), QString::fromUtf8(c.cell2)) << c.html;
    }
}

TEST(SplitPage, CopiesTextAfterAStrayGreaterThanOncePerSign)
{
    PageTable t;
    splitPage(QStringLiteral("<tr><td title=\"a>b\">x</td></tr>"), t);
    // ">" inside the attribute: 'b">x' then 'x'.
    EXPECT_EQ(t.cell(1, 1), QStringLiteral("b\">xx"));
}

TEST(SplitPage, ClearsTheTableBeforeSplitting)
{
    PageTable t;
    splitPage(rows(10), t);
    splitPage(rows(2), t);
    EXPECT_EQ(t.cell(2, 1), QStringLiteral("r2"));
    EXPECT_TRUE(t.cell(3, 1).isEmpty());
}

// A run of stray ">" asks for text that grows with its square; the cell texts
// are bounded instead of exhausting memory.
TEST(SplitPage, RunOfStrayGreaterThanSignsStaysBounded)
{
    const QString cell(200000, u'>');
    const QString html = QStringLiteral("<tr><td>") + cell + QStringLiteral("</td></tr>");
    PageTable t;
    splitPage(html, t);
    EXPECT_GT(t.cell(1, 1).size(), 0);
    EXPECT_LE(t.cell(1, 1).size(), 2 * html.size() + (1 << 20));
}

// The line breaks are removed in one pass with the stop flag looked at on the
// way: a page of any size gives the same table as before, and a stop at any
// point leaves an empty table.
TEST(SplitPage, RemovesLineBreaksInOnePassAndGivesUpOnAStop)
{
    QString large;
    for (int i = 0; large.size() < 3000000; ++i)
        large += QStringLiteral("<tr>\r\n<td>a%1</td>\r\n<td>\r\r\n\nb</td></tr>\r\n").arg(i);
    const QString bodies[] = {
        QStringLiteral("\r\n\r\n<tr><td>x\r\r\n\ny</td></tr>\r"),
        QStringLiteral("<tr><td>no breaks</td></tr>"),
        large,
    };
    for (const QString &body : bodies) {
        QString expected = body;
        expected.replace(QStringLiteral("\r\n"), QString());
        PageTable table;
        const std::atomic<qint16> running {0};
        ASSERT_TRUE(splitPageUnlessStopped(body, table, running));
        EXPECT_EQ(table.pageHtml, expected);

        table.setCell(5, 5, QStringLiteral("left over"));
        const std::atomic<qint16> stopped {-1};
        EXPECT_FALSE(splitPageUnlessStopped(body, table, stopped));
        EXPECT_TRUE(table.pageHtml.isEmpty());
        EXPECT_TRUE(table.cell(1, 0).isEmpty() && table.cell(5, 5).isEmpty());
    }
}

// The cells are one block of rows: a position one past an edge would alias a
// neighbouring cell, so every edge is written and read beside its neighbours.
TEST(PageTable, EveryEdgeCellHoldsItsTextAndOutOfRangeCellsReadEmptyAndIgnoreWrites)
{
    struct Cell {
        int row;
        int col;
    };
    const Cell inside[]
        = {{0, 0}, {0, kPageCols}, {4, kPageCols}, {5, 0}, {kPageRows, 0}, {kPageRows, kPageCols}};
    const Cell outside[] = {{kPageRows + 1, 1}, {-1, 0}, {1, kPageCols + 1}, {4, kPageCols + 1}, {5, -1},
        {kPageRows + 1, 0}, {-1, kPageCols}};
    PageTable t;
    for (const Cell &c : inside)
        t.setCell(c.row, c.col, QStringLiteral("%1,%2").arg(c.row).arg(c.col));
    for (const Cell &c : outside)
        t.setCell(c.row, c.col, QStringLiteral("x"));
    for (const Cell &c : inside)
        EXPECT_EQ(t.cell(c.row, c.col), QStringLiteral("%1,%2").arg(c.row).arg(c.col))
            << c.row << "," << c.col;
    for (const Cell &c : outside)
        EXPECT_TRUE(t.cell(c.row, c.col).isEmpty()) << c.row << "," << c.col;
}

}  // namespace
}  // namespace marunoki
