// The report's tables: every cell's text escaped, numbers to the right, and as
// the cell's style only what differs from the table's defaults.

#include "output/race_report.h"
#include "view/cell_grid.h"

#include <gtest/gtest.h>

namespace marunoki {
namespace {

TEST(GridHtml, EachCellHasItsTextEscapedAndOnlyTheStyleItChanges)
{
    const QString text = QStringLiteral("馬名");
    struct Case {
        const char *name;
        GridCell cell;
        QString td;
    };
    const Case cases[] = {
        {"plain", {text}, QStringLiteral("<td>馬名</td>")},
        {"markup", {QStringLiteral("<b>&\"")}, QStringLiteral("<td>&lt;b&gt;&amp;&quot;</td>")},
        {"number", {QStringLiteral("12.5")}, QStringLiteral("<td class=\"r\">12.5</td>")},
        {"number at the left", {.text = QStringLiteral("12"), .align = CellAlign::LeftCenter},
            QStringLiteral("<td>12</td>")},
        {"bold", {.text = text, .bold = true}, QStringLiteral("<td style=\"font-weight:bold\">馬名</td>")},
        {"background", {.text = text, .background = QColor(255, 0, 0)},
            QStringLiteral("<td style=\"background:#ff0000\">馬名</td>")},
        {"colour", {.text = text, .foreground = QColor(0, 0, 255)},
            QStringLiteral("<td style=\"color:#0000ff\">馬名</td>")},
        {"bigger", {.text = text, .fontSize = 10}, QStringLiteral("<td style=\"font-size:10pt\">馬名</td>")},
        {"the table's own size", {.text = text, .fontSize = 8}, QStringLiteral("<td>馬名</td>")},
    };
    for (const Case &c : cases) {
        CellGrid grid;
        grid.setRows(1);
        grid.setCols(1);
        *grid.at(0, 0) = c.cell;
        const QString html = gridHtml(grid, QStringLiteral("t&"));
        EXPECT_TRUE(html.contains(QStringLiteral("<tr>") + c.td + QStringLiteral("</tr>")))
            << c.name << '\n'
            << html.toStdString();
        EXPECT_TRUE(html.contains(QStringLiteral("<table class=\"grid t&amp;\" style=\"font-size:8pt\">")));
        EXPECT_TRUE(html.contains(QStringLiteral("<col style=\"width:64px\"/>")));
    }
}

}  // namespace
}  // namespace marunoki
