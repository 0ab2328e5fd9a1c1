// The legend beside the speed-figure graph (drawLegend). Its rows stand at the height
// of the value they explain in the graph, so the legend box uses the graph's
// plot area for its y positions; the three series keys sit below the graph's
// height, which is why the box is 1000 twips taller than the graph.

#include "view/graph_steps.h"

#include "view/qb_color.h"
#include "view/view_text.h"

namespace marunoki::graph {

namespace {

void setPen(DrawBox &box, int width)
{
    box.setDrawWidth(width);
    box.setDrawStyle(LineStyle::Solid);
}

// A series key: its marker at (400, y) on a line across the box, its name above.
void seriesKey(DrawBox &box, double y, const QString &name, const QColor &colour, bool circleMarker)
{
    if (circleMarker) {
        box.setFillStyle(FillStyle::Solid);
        box.setFillColor(colour);
        box.circle(400, y, 80, colour);
        box.setFillStyle(FillStyle::Transparent);
    } else {
        box.filledBox(400 - 30, y - 30, 400 + 30, y + 30, colour);
    }
    box.line(0, y, 800, y, colour);
    printText(box, 50, y - 250, name, 8);
}

}  // namespace

bool drawLegend(
    const GraphLayout &layout, const std::array<QString, kGraphOverlayCount> &iniGraph, DrawBox &legend)
{
    legend.clear();
    legend.setBorder(true);
    legend.setBackground(windowBackgroundColor());
    legend.setSize(900, layout.boxHeight + 1000);
    legend.setVisible(true);
    const auto shown = [&iniGraph](Overlay overlay) { return overlayStored(iniGraph, overlay); };

    if (shown(Overlay::Bracket)) {
        setPen(legend, 3);
        for (int k = 1; k <= 8; ++k) {
            const double y = layout.valueToY(overlayScale(Overlay::Bracket).value(k));
            legend.filledBox(50 - 50, y - 50, 50 + 50, y + 50, qbColor(3));
            printText(legend, 150, y - 100, QString::number(k) + QStringLiteral("枠"), 8);
        }
    }
    if (shown(Overlay::Distance)) {
        setPen(legend, 3);
        legend.setFillStyle(FillStyle::Transparent);
        for (int d = 900; d <= 2400; d += 100) {
            const double y = layout.valueToY(overlayScale(Overlay::Distance).value(d));
            legend.circle(560, y, 60, qbColor(5));
            printText(legend, 660, y - 100, QString::number(d / 100), 8);
        }
        printText(legend, 460, layout.valueToY(80) + 70, QStringLiteral("100m"), 8);
        printText(legend, 460, layout.valueToY(80) - 50, QStringLiteral("×"), 8);
    }
    if (shown(Overlay::FirstCorner)) {
        setPen(legend, 3);
        for (int k = 1; k <= 9; ++k) {
            const double y = layout.valueToY(overlayScale(Overlay::FirstCorner).value(k));
            legend.box(60 - 60, y - 60, 60 + 60, y + 60, qbColor(12));
            printText(legend, 180, y - 100, QString::number(k), 8);
        }
        printText(legend, 0, 5, QStringLiteral("1角通過"), 8);
    }
    if (shown(Overlay::Going)) {
        setPen(legend, 1);
        for (int k = 1; k <= 4; ++k) {
            const double y = layout.valueToY(overlayScale(Overlay::Going).value(k));
            legend.setFillStyle(FillStyle::Solid);
            legend.setFillColor(qbColor(8));
            legend.circle(560, y, 60, qbColor(8));
            legend.setFillStyle(FillStyle::Transparent);
            printText(legend, 660, y - 100, goingMark(k), 8);
        }
    }
    setPen(legend, 3);
    seriesKey(legend, layout.boxHeight - 100, QStringLiteral("SP指数"), qbColor(9), true);
    if (shown(Overlay::BodyWeight)) {
        setPen(legend, 1);
        seriesKey(legend, layout.boxHeight + 300, QStringLiteral("馬体重推移"), qbColor(0), false);
    }
    if (shown(Overlay::Finish)) {
        setPen(legend, 1);
        seriesKey(legend, layout.boxHeight + 700, QStringLiteral("着順"), qbColor(8), false);
    }
    return true;
}

}  // namespace marunoki::graph
