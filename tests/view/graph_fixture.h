#pragma once
// Shared pieces of the graph tests (the GUI application that fonts and painting
// need comes from gui_environment.cpp): the window's boxes and grids in one place, a race store with runs
// placed by their distance from the race day, and filters over a recorded drawing.

#include "app/race_store.h"
#include "app/settings_values.h"
#include "view/cell_grid.h"
#include "view/graph_surfaces.h"
#include "view/recorded_drawing.h"

#include <QString>

#include <vector>

namespace marunoki::test {

// The window's graph box (9135 x 6735 twips, as designed), legend box, grids and
// panel texts, and the surfaces that point at them.
struct GraphWindow {
    RecordedDrawing graphBox;
    RecordedDrawing legendBox;
    CellGrid runGrid;
    CellGrid taisenGrid;
    QString raceInfo;
    QString umaInfo;
    QString runnerBox;
    GraphSurfaces surfaces {graphBox, legendBox, runGrid, taisenGrid, raceInfo, umaInfo, runnerBox};

    GraphWindow() { graphBox.setSize(9135, 6735); }
};

// Race day of the hand-built graph races: 2026-11-29.
double graphRaceDay();

// A one-runner race on the race day with graphBase `base`; the runner is named,
// in bracket 3, and is the shown runner.
void setUpRace(RaceStore &store, int runners = 1, qint32 base = 0);

// Run r of runner h, `daysBefore` days before the race, at 東京 on turf, with a
// speed figure (0 for none) computed with a track variant.
void placeRun(RaceStore &store, int h, int r, double daysBefore, float figure);

// Settings with every overlay switched to `value` and a 30% reference line.
Settings graphSettings(const QString &value);

// The primitives of one kind, in drawing order.
std::vector<DrawPrimitive> primitivesOf(const RecordedDrawing &drawing, PrimitiveKind kind);
// The text primitives whose text is `text`.
std::vector<DrawPrimitive> textsReading(const RecordedDrawing &drawing, const QString &text);
// The primitives of one kind in one colour.
std::vector<DrawPrimitive> primitivesIn(
    const RecordedDrawing &drawing, PrimitiveKind kind, const QColor &colour);

// The graph's mappings for the 9135 x 6735 box (plot 8785 x 6335 at 250, 200).
double xOfDaysBefore(double daysBefore);
double yOfValue(double value);

}  // namespace marunoki::test
