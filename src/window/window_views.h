#pragma once
// The models of everything the main window shows, apart from its selection
// boxes: the graph box and the legend box as retained pictures, the three grids,
// the two information panels and the runner box's text. The window displays
// them; the drawing routines and the printing jobs write into them. Owned by
// whoever shows or prints (the window, a test).

#include "app/common.h"
#include "app/message_sink.h"
#include "app/race_store.h"
#include "app/settings_values.h"
#include "view/cell_grid.h"
#include "view/graph_surfaces.h"
#include "view/recorded_drawing.h"

#include <QString>

namespace marunoki {

// Design sizes of the graph box and the legend box, twips.
constexpr double kGraphBoxWidth = 9135;
constexpr double kGraphBoxHeight = 6735;
constexpr double kLegendBoxWidth = 900;

// The views the window draws in its graph box or shows over it.
enum class DrawnView {
    Graph,  // the speed-figure graph of one runner
    Hikaku,  // the comparison graph of every runner
    Bacyu,  // the past-performance table
};

struct WindowViews {
    // The boxes at their design sizes, the panels saying that nothing is loaded,
    // the runner box at "01" and the past-performance table hidden.
    WindowViews();

    RecordedDrawing graphBox;  // the graph (or the comparison graph)
    RecordedDrawing legendBox;  // the legend beside it
    CellGrid runGrid;  // the per-run grid: one row per past run of the shown runner
    CellGrid taisenGrid;  // the head-to-head grid (対戦成績)
    CellGrid bacyuGrid;  // the past-performance table (馬柱)
    QString raceInfo;  // the race panel's caption
    QString umaInfo;  // the runner panel's caption
    QString runnerBox;  // the runner box's text, the shown runner as "01"

    // The runner the graph views draw, 1..fieldSize (0 = none): set by the runner
    // navigation, by the end of a load and by the jobs that draw every runner.
    qint32 shownRunner = 0;

    // The view drawn last (the graph before any drawing). The table is drawn
    // over the graph box, so after the table the box below it still holds the
    // graph or comparison graph drawn before it.
    DrawnView drawn = DrawnView::Graph;

    // The store holds an analysed race (the last load went through).
    bool analysed = false;
    // The view the next load that goes through shows after its graph ("bacyu",
    // "hikaku"; empty or "graph": the graph alone): the view remembered from the
    // last run, used once.
    QString viewAfterLoad;

    // What the graph drivers draw on and fill.
    GraphSurfaces surfaces();
};

// One drawing request: the store (only read), the settings, the table check box's value and
// where messages go.
struct ViewContext {
    const RaceStore &store;
    const Settings &settings;
    qint32 tableCheck;  // the table check box: the per-run grid is filled only at 1
    WindowViews &views;
    MessageSink &messages;
};

// The view buttons. "グラフ": the table is hidden and the speed-figure graph of
// views.shownRunner drawn with its grids and panels. "比較": the table is hidden and the
// comparison graph drawn, the runner named by the runner box emphasised.
// "馬柱": the past-performance table is drawn and shown over the graph.
void switchToGraph(ViewContext &context);
void switchToHikaku(ViewContext &context);
void switchToBacyu(ViewContext &context);

// The speed-figure graph of views.shownRunner, as after a load or a runner change.
void showGraph(ViewContext &context);

// The comparison graph with `runner` chosen, as the window draws it when the
// runner box is set to that runner while the comparison graph is shown. Nothing
// is drawn when `runner` is not a runner of the race.
void showHikakuOf(ViewContext &context, qint32 runner);

// A race load begins: the past-performance table is hidden (even when the load
// then stops at a missing selection).
void loadStarting(WindowViews &views);
// A race load ended. When it went through to the analysis runner 1 becomes the
// shown runner and its speed-figure graph is drawn,then views.viewAfterLoad when it names another
// view (and it is forgotten). A load stopped at a message has emptied the store:
// every view goes back to "データ未読込み" (no runner shown, nothing drawn), and
// views.viewAfterLoad is kept for the next load.
void loadEnded(ViewContext &context, bool analysed);

// The view on screen: "bacyu" while the table is shown, else "hikaku" or
// "graph" as drawn last ("graph" before any drawing).
QString shownView(const WindowViews &views);

// The options changed the reference-line share (settings.kakeritu). The line is
// computed from the loaded figures at the end of a load; without this it would
// stay at the old share's height while the graph's label names the new one. The
// line is computed again from the figures of the analysed race in `store` (the
// store of the context) and the view on screen drawn again. Nothing happens
// before a load has gone through.
void shareChanged(RaceStore &store, ViewContext &context);

// The table check box changed; context.tableCheck is its new value (0 or 1). The
// speed-figure graph of the shown runner is drawn again when a runner is shown
// (views.shownRunner > 0), filling the per-run grid only at 1. (Saving the
// choice is the driver's: `tableCheckClicked`.)
void tableCheckChanged(ViewContext &context);

// A click on the head-to-head grid's row `row`: the runner of that row, or 0 when
// the row is the captions (0), the totals or an empty row below the last runner.
qint32 runnerOfTaisenRow(int row, const RaceStore &store);

// After the shown runner changed: the runner box shows views.shownRunner as "00",
// then the comparison graph is drawn again when it is the current view, else the
// speed-figure graph. Nothing is drawn when the shown runner is not a runner of
// the race.
void redrawAfterRunnerChange(ViewContext &context);

}  // namespace marunoki
