// The comparison graph (比較): every runner's speed-figure line on one plot, in
// its bracket's colour, the chosen runner with a thicker pen and larger circles.
// Figures are plotted as they are, not shifted by the race's base nor clamped:
// the plot compares runners with each other, and a figure off the scale is drawn
// off the plot area.

#include "app/format.h"
#include "view/graph_layout.h"
#include "view/graph_view.h"
#include "view/hikaku_lines.h"
#include "view/qb_color.h"
#include "view/runner_panels.h"

#include <QPointF>

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

// Where run r of runner k is plotted: its date against the runner's own today
// (run 0), its figure as it is.
QPointF runPoint(const RaceStore &store, qint32 k, int r, const GraphLayout &layout)
{
    const double x
        = (1 - (store.horses[k].runs[0].date - store.horses[k].runs[r].date) / kGraphDays) * layout.plotWidth
        + layout.graphLeft;
    return {x, layout.valueToY(store.horses[k].runs[r].speedFigure)};
}

// One runner's figure line: circles at the runs with a figure, joined; a run
// without a figure breaks the line, a run without a date is passed over.
void drawRunner(const RaceStore &store, qint32 k, const GraphLayout &layout, DrawBox &box,
    const QColor &colour, double factor)
{
    const double radius = layout.drawScale * 30 * factor;
    box.setDrawWidth(penWidth(layout.drawScale * 1.5 * factor));
    box.setDrawStyle(LineStyle::Solid);
    double prevX = 0;
    double prevY = 0;
    for (int r = 0; r <= kLastGraphRun; ++r) {
        if (!(store.horses[k].runs[r].date > 0))
            continue;
        const float figure = store.horses[k].runs[r].speedFigure;
        if (figure == 0) {
            prevX = prevY = 0;
            continue;
        }
        const QPointF point = runPoint(store, k, r, layout);
        const double x = point.x();
        const double y = point.y();
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

std::array<QColor, kRunnerSlots> hikakuColours(const RaceStore &store)
{
    std::array<QColor, kRunnerSlots> colours;
    colours.fill(QColor(0, 0, 0));
    // A runner without a known bracket keeps the colour of the one before it;
    // a runner without a name is not drawn and passes no colour on.
    QColor colour(0, 0, 0);
    for (const qint32 k : store.runners()) {
        if (store.horses[k].name.isEmpty())
            continue;
        colour = bracketColour(store.horses[k].runs[0].bracket).value_or(colour);
        colours[size_t(k)] = colour;
    }
    return colours;
}

void drawHikakuGraph(const RaceStore &store, qint32 shown, const Settings &settings, GraphSurfaces &surfaces,
    MessageSink &sink)
{
    DrawBox &box = surfaces.graphBox;
    const GraphLayout layout = GraphLayout::of(box, store.raceDate);
    box.setBorder(false);
    box.setBackground(windowBackgroundColor());
    box.clear();

    const double right = layout.graphLeft + layout.plotWidth;
    box.setDrawWidth(4);
    box.setDrawStyle(LineStyle::DashDot);
    const double y = layout.valueToY(store.referenceFigure);
    box.line(layout.graphLeft, y, right, y, qbColor(14));
    printText(box, layout.graphLeft + 50, y - 200,
        formatNumber(settings.kakeritu, QStringLiteral("00%")) + QStringLiteral("ライン"), 8);

    box.setDrawWidth(2);
    box.setDrawStyle(LineStyle::Solid);
    box.box(layout.graphLeft, layout.graphTop, right, layout.graphTop + layout.plotHeight, QColor(0, 0, 0));

    const qint32 chosen = chosenRunner(store, shown, surfaces.runnerBox);
    const std::array<QColor, kRunnerSlots> colours = hikakuColours(store);
    for (const qint32 k : store.runners()) {
        if (store.horses[k].name.isEmpty())
            continue;
        drawRunner(store, k, layout, box, colours[size_t(k)], k == chosen ? 2.5 : 1.0);
    }

    if (const QString info = writeUmaInfo(store, chosen, sink); !info.isNull())
        surfaces.umaInfo = info;
    fillHeadToHeadGrid(store, chosen, surfaces.taisenGrid, sink);
}

}  // namespace marunoki
