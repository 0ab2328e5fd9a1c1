#pragma once
// What the window's text views hold, as JSON: the race panel, the
// past-performance table, and for every runner of the card the runner panel,
// the per-run grid and the head-to-head grid as they are right after that
// runner is shown (drawGraph with the per-run table switch on). Filled by the
// same code that fills the window's views.
//
//   { "Label1": caption, "MSFlexGrid3": GRID,
//     "runners": [ { "uma": n, "Label7": caption, "MSFlexGrid2": GRID, "MSFlexGrid1": GRID }, ... ] }
//   GRID = { "rows": R, "cols": C, "text": [[R x C texts]],
//            "style": [ { "r", "c", "fore": "#RRGGBB", "back": "#RRGGBB", "bold", "size" }, ... ] }
//
// "style" lists every cell whose text colour, background, weight or size differs
// from the grid's defaults (black on white, regular, the grid's base size), with
// all four; "size" is in points. Captions have their line breaks as "\n".

#include "app/status.h"
#include "window/window_views.h"

#include <QJsonObject>

namespace marunoki {

// One grid as JSON.
QJsonObject gridJson(const CellGrid &grid);

// The whole dump. Draws every runner (check1 is taken as 1 whatever the
// context says), then shows again what was shown.
QJsonObject viewsJson(ViewContext &context);

// The dump as an indented UTF-8 file, written atomically.
Status writeViewsJson(ViewContext &context, const QString &path);

}  // namespace marunoki
