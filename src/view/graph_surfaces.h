#pragma once
// Everything the graph views draw on or fill, as the main window owns it: the
// graph box, the legend box, the per-run data grid, the head-to-head grid, the
// race and runner panels and the runner box's text. The window (or a test, or the
// printer) owns the objects; the views only write into them.

#include "view/cell_grid.h"
#include "view/draw_box.h"

#include <QString>

namespace marunoki {

struct GraphSurfaces {
    DrawBox &graphBox;  // the graph of the shown runner
    DrawBox &legendBox;  // the legend beside it
    CellGrid &runGrid;  // one row per past run of the shown runner
    CellGrid &taisenGrid;  // head-to-head record against every other runner
    QString &raceInfo;  // race panel: title, CR, conditions
    QString &umaInfo;  // runner panel: seven lines
    QString &runnerBox;  // the runner box's text, "01".."18"
};

}  // namespace marunoki
