#include "window/window_views.h"

#include "analysis/runner_statistics.h"
#include "settings/settings.h"
#include "view/bacyu_table.h"
#include "view/graph_view.h"
#include "view/runner_panels.h"

#include <utility>

namespace marunoki {

namespace {

const QString kNothingLoaded = QStringLiteral("データ未読込み");

}  // namespace

WindowViews::WindowViews()
    : raceInfo(kNothingLoaded)
    , umaInfo(kNothingLoaded)
    , runnerBox(QStringLiteral("01"))
{
    graphBox.setSize(kGraphBoxWidth, kGraphBoxHeight);
    legendBox.setSize(kLegendBoxWidth, kGraphBoxHeight);
    bacyuGrid.visible = false;
    // The per-run grid has its columns and headers from the start, as designed,
    // so a graph drawn before any load (or after a load that stopped) fills an
    // empty grid instead of failing on a grid without rows. Laying out a fresh
    // grid cannot fail; nothing is shown.
    RecordingSink unused;
    layOutRunGrid(runGrid, unused);
}

GraphSurfaces WindowViews::surfaces()
{
    return GraphSurfaces {graphBox, legendBox, runGrid, taisenGrid, raceInfo, umaInfo, runnerBox};
}

void showGraph(ViewContext &context)
{
    context.views.drawn = DrawnView::Graph;
    GraphSurfaces surfaces = context.views.surfaces();
    drawGraph(context.store, context.views.shownRunner, context.settings, context.tableCheck, surfaces,
        context.messages);
}

namespace {

void showHikakuGraph(ViewContext &context)
{
    context.views.drawn = DrawnView::Hikaku;
    GraphSurfaces surfaces = context.views.surfaces();
    drawHikakuGraph(context.store, context.views.shownRunner, context.settings, surfaces, context.messages);
}

}  // namespace

void switchToGraph(ViewContext &context)
{
    context.views.bacyuGrid.visible = false;
    showGraph(context);
}

void switchToHikaku(ViewContext &context)
{
    context.views.bacyuGrid.visible = false;
    showHikakuGraph(context);
}

void switchToBacyu(ViewContext &context)
{
    context.views.bacyuGrid.visible = true;
    context.views.drawn = DrawnView::Bacyu;
    drawBacyu(context.store, context.views.bacyuGrid, context.messages);
}

void showHikakuOf(ViewContext &context, qint32 runner)
{
    if (!context.store.isRunner(runner))
        return;
    context.views.bacyuGrid.visible = false;
    context.views.drawn = DrawnView::Hikaku;
    context.views.shownRunner = runner;
    redrawAfterRunnerChange(context);
}

void loadStarting(WindowViews &views)
{
    views.bacyuGrid.visible = false;
    views.analysed = false;
}

void loadEnded(ViewContext &context, bool analysed)
{
    if (!analysed) {
        // The load emptied the store before it stopped: a race still drawn would
        // ignore every click and mark, so the window shows that nothing is
        // loaded. The view remembered from the last run waits for the next load.
        QString remembered = std::move(context.views.viewAfterLoad);
        context.views = WindowViews();
        context.views.viewAfterLoad = std::move(remembered);
        return;
    }
    context.views.shownRunner = 1;
    context.views.analysed = true;
    showGraph(context);
    const QString view = std::exchange(context.views.viewAfterLoad, QString());
    if (view == QStringLiteral("bacyu"))
        switchToBacyu(context);
    else if (view == QStringLiteral("hikaku"))
        switchToHikaku(context);
}

QString shownView(const WindowViews &views)
{
    if (views.bacyuGrid.visible)
        return QStringLiteral("bacyu");
    if (views.drawn == DrawnView::Hikaku)
        return QStringLiteral("hikaku");
    return QStringLiteral("graph");
}

void shareChanged(RaceStore &store, ViewContext &context)
{
    if (!context.views.analysed)
        return;
    referenceLine(store, context.settings.kakeritu, context.messages);
    if (context.views.bacyuGrid.visible)
        return;  // the table shows no line; the graph is drawn when it comes back
    redrawAfterRunnerChange(context);
}

void tableCheckChanged(ViewContext &context)
{
    if (context.views.shownRunner > 0)
        showGraph(context);
}

qint32 runnerOfTaisenRow(int row, const RaceStore &store)
{
    // Row 0 holds the column captions; rows 1..18 are the runners of the card.
    return store.isRunner(row) ? row : 0;
}

void redrawAfterRunnerChange(ViewContext &context)
{
    const qint32 shown = context.views.shownRunner;
    if (!context.store.isRunner(shown))
        return;
    context.views.runnerBox = QStringLiteral("%1").arg(shown, 2, 10, QLatin1Char('0'));
    if (context.views.drawn == DrawnView::Hikaku)
        showHikakuGraph(context);
    else
        showGraph(context);
}

}  // namespace marunoki
