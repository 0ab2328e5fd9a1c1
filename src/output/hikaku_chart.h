#pragma once
// The report's comparison graph: every runner's speed-figure line on one plot,
// as the window's comparison graph shows them (the bracket colours, one runner
// drawn thick), but framed for a reader of a page: the value axis spans the
// figures there are, labelled, with the reference line and its value, and the
// date axis names the months. The window keeps its own drawing.
//
// One SVG file serves every runner: each line is a group with the id "uNN"
// ("hikaku.svg#u05" draws runner 5 thick, and names it in the title), and
// without a fragment the chosen runner is the thick one. The PNG is the same
// picture without the fragments' rules.

#include "app/race_store.h"
#include "app/settings_values.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace marunoki {

// The scale of the value axis: from `low` to `high`, a line every `step`.
struct ChartScale {
    double low = 0;
    double high = 100;
    double step = 10;
};

// The value axis for the figures of the card's runners (runs 0..30 with a date
// and a figure) and the reference line: whole steps around all of them with a
// little room, a step of 10 (5 for a range of 30 or less). 0 to 100 when there
// is no figure.
ChartScale hikakuScale(const RaceStore &store);

// The group id of runner n's line: "u05".
QString hikakuLineId(qint32 n);

// The graph as an SVG document (UTF-8), `title` at its top (the race),
// runner `chosen` thick.
QByteArray hikakuChartSvg(
    const RaceStore &store, const Settings &settings, qint32 chosen, const QString &title);

// The same graph as a picture, `scale` pixels per SVG unit; a null image when
// it could not be drawn.
QImage hikakuChartImage(
    const RaceStore &store, const Settings &settings, qint32 chosen, const QString &title, double scale = 2);

}  // namespace marunoki
