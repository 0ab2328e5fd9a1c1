#pragma once
// What the window's text views hold, as JSON: the race panel, the
// past-performance table, and for every runner of the card the runner panel,
// the per-run grid and the head-to-head grid as they are right after that
// runner is shown (drawGraph with the per-run table switch on). Filled by the
// same code that fills the window's views. The keys are the dump's own and
// stay as they are, whatever the views are called in the code: "Label1" is the
// race panel, "MSFlexGrid3" the 馬柱 grid, "Label7" the runner panel,
// "MSFlexGrid2" the per-run grid and "MSFlexGrid1" the head-to-head grid.
//
//   { "Label1": caption, "MSFlexGrid3": GRID,
//     "runners": [ { "uma": n, "Label7": caption, "MSFlexGrid2": GRID, "MSFlexGrid1": GRID,
//                    "graph": DRAWING }, ... ],
//     "legend": DRAWING, "hikaku": DRAWING }
//   GRID = { "rows": R, "cols": C, "text": [[R x C texts]],
//            "style": [ { "r", "c", "fore": "#RRGGBB", "back": "#RRGGBB", "bold", "size" }, ... ] }
//   DRAWING = { "width": W, "height": H, "ops": [ OP, ... ] }
//   OP = { "kind": "line" | "box" | "fill" | "circle" | "text", "x1", "y1",
//          "x2", "y2" (line, box, fill), "r", "fill": "#RRGGBB" | null (circle),
//          "color": "#RRGGBB", "width": pixels, "style": "solid" | "dot" | "dashdot" (all but text),
//          "text", "size" (text) }
//
// "style" lists every cell whose text colour, background, weight or size differs
// from the grid's defaults (black on white, regular, the grid's base size), with
// all four; "size" is in points. Captions have their line breaks as "\n".
//
// A drawing is a retained picture at its design size, in twips, its primitives
// in drawing order: "graph" is the runner's graph box, "legend" the legend box
// as drawn with runner 1, "hikaku" the comparison graph with runner 1 chosen.
// A circle's "fill" is its fill colour when it is filled, else null.

#include "app/status.h"
#include "window/window_views.h"

#include <QJsonObject>

namespace marunoki {

// One grid as JSON.
QJsonObject gridJson(const CellGrid &grid);

// One retained drawing as JSON.
QJsonObject drawingJson(const RecordedDrawing &drawing);

// The whole dump. Draws every runner (tableCheck is taken as 1 whatever the
// context says), then shows again what was shown.
QJsonObject viewsJson(ViewContext &context);

// The dump as an indented UTF-8 file, written atomically.
Status writeViewsJson(ViewContext &context, const QString &path);

}  // namespace marunoki
