// The comparison graph (比較): every runner's speed-figure line on one plot, in
// its bracket's colour, the chosen runner with a thicker pen and larger circles.
// Figures are plotted as they are, not shifted by the race's base nor clamped:
// the plot compares runners with each other, and a figure off the scale is drawn
// off the plot area.

#include "app/format.h"
#include "view/graph_layout.h"
#include "view/graph_view.h"
#include "view/qb_color.h"
#include "view/runner_panels.h"

#include <algorithm>
#include <optional>

namespace marunoki {

namespace {

// The colour of a bracket; nothing for a bracket that has none.
std::optional<QColor> bracketColour(qint32 waku)
{
    switch (waku) {
    case 1:
        return QColor(128, 128, 128);
    case 2:
        return windowTextColor();
    case 3:
        return QColor(255, 0, 0);
    case 4:
        return QColor(0, 0, 255);
    case 5:
        return QColor(192, 192, 0);
    case 6:
        return QColor(0, 192, 0);
    case 7:
        return QColor(255, 128, 0);
    case 8:
        return QColor(255, 128, 128);
    default:
        return std::nullopt;
    }
}

// The runner named by the runner box ("01".."18"); the shown runner when the box
// names no runner of the card (or a card count beyond the store's slots would let
// it name one that cannot exist).
qint32 chosenRunner(const RaceStore &store, qint32 shown, const QString &runnerBox)
{
    const std::optional<qint32> n = toWholeNumber(runnerBox);
    if (n && store.isRunner(*n))
        return *n;
    return shown;
}

// One runner's figure line: circles at the runs with a figure, joined; a run
// without a figure breaks the line, a run without a date is passed over.
void drawRunner(const RaceStore &store, qint32 k, const GraphLayout &layout, DrawBox &box,
    const QColor &colour, double factor)
{
    const double radius = layout.drawScale * 30 * factor;
    box.setDrawWidth(penWidth(layout.drawScale * 1.5 * factor));
    box.setDrawStyle(LineStyle::Solid);
    const double today = store.R_date[k][0];
    double prevX = 0;
    double prevY = 0;
    for (int r = 0; r <= kLastGraphRun; ++r) {
        if (!(store.R_date[k][r] > 0))
            continue;
        const float figure = store.U_sisuu[k][r];
        if (figure == 0) {
            prevX = prevY = 0;
            continue;
        }
        const double x
            = (1 - (today - store.R_date[k][r]) / kGraphDays) * layout.plotWidth + layout.graphLeft;
        const double y = layout.valueToY(figure);
        box.setFillStyle(FillStyle::Solid);
        box.setFillColor(colour);
        box.circle(x, y, radius, colour);
        box.setFillStyle(FillStyle::Transparent);
        if (prevX > 0)
            box.line(x, y, prevX, prevY, colour);
        prevX = x;
        prevY = y;
    }
}

}  // namespace

void drawHikakuGraph(const RaceStore &store, qint32 shown, const Settings &settings, GraphSurfaces &surfaces,
    MessageSink &sink)
{
    DrawBox &box = surfaces.picture1;
    const GraphLayout layout = GraphLayout::of(box, store.raceDate);
    box.setBorder(false);
    box.setBackground(windowBackgroundColor());
    box.clear();

    const double right = layout.graphLeft + layout.plotWidth;
    box.setDrawWidth(4);
    box.setDrawStyle(LineStyle::DashDot);
    const double y = layout.valueToY(store.rentaiKizyun);
    box.line(layout.graphLeft, y, right, y, qbColor(14));
    printText(box, layout.graphLeft + 50, y - 200,
        formatNumber(settings.kakeritu, QStringLiteral("00%")) + QStringLiteral("ライン"), 8);

    box.setDrawWidth(2);
    box.setDrawStyle(LineStyle::Solid);
    box.box(layout.graphLeft, layout.graphTop, right, layout.graphTop + layout.plotHeight, QColor(0, 0, 0));

    const qint32 chosen = chosenRunner(store, shown, surfaces.runnerBox);
    // A runner without a known bracket keeps the colour of the one before it.
    QColor colour(0, 0, 0);
    for (const qint32 k : store.runners()) {
        if (store.U_name[k].isEmpty())
            continue;
        colour = bracketColour(store.U_waku[k][0]).value_or(colour);
        drawRunner(store, k, layout, box, colour, k == chosen ? 2.5 : 1.0);
    }

    if (const QString info = writeUmaInfo(store, chosen, sink); !info.isNull())
        surfaces.umaInfo = info;
    taisen_grid(store, chosen, surfaces.taisenGrid, sink);
}

}  // namespace marunoki
